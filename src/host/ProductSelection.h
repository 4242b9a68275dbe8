// KivGetMainAcadData: the AutoCAD product choice.
#pragma once

#include <windows.h>

namespace kiv::host {

void GetMainAcadData(HWND parentWindow, char* folderBuffer, char* productKeyBuffer, int altPage, int dash4Only);

}  // namespace kiv::host
