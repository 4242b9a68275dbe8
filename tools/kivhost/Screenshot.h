// Saves what a window shows, frame included, as a 24-bit BMP file.
#pragma once

#include <windows.h>

#include <string>

namespace kivhost {

bool SaveWindowBitmap(HWND window, const std::string& path);

}  // namespace kivhost
