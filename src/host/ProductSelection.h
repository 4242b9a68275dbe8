// KivGetMainAcadData: the AutoCAD product choice.
#pragma once

#include <windows.h>

namespace kiv::host {

// dorvaAtPage picks the page that names "Dorva AT"; dash4Only offers only "-4" products.
void GetMainAcadData(HWND parentWindow, char* folderBuffer, char* productKeyBuffer, bool dorvaAtPage, bool dash4Only);

}  // namespace kiv::host
