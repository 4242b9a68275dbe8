// Where the library's dialogs come from and where they appear on the screen.
#pragma once

#include <windows.h>

namespace kiv::dialogs {

// The library's own module: its dialog templates, bitmaps and strings.
HINSTANCE LibraryModule();

// Centres window over its owner, or over the work area when it has no visible
// owner, and keeps it inside the work area of the owner's monitor.
void CenterOverOwner(HWND window);

}  // namespace kiv::dialogs
