// Entry points of the setup dialogs that the export shims call.
#pragma once

#include "dialogs/PageResult.h"

#include <windows.h>

namespace kiv::dialogs {

// User-name page: true for Next, when the name shown becomes the setup state's.
bool ShowUserName(HWND parentWindow, const char* userNameText, bool greyed);
// Target-folder page: its result, or Cancel for a missing argument (refused).
PageResult ShowTargetFolder(HWND parentWindow, const char* targetFolder, const char* productName);

// No window and no wait cursor in the silent mode.
void StartProgress(HWND parentWindow, const char* headerText, int rangeMax);
void SetProgressName(const char* itemName);
void SetProgressPosition(int position);
// True when an open progress window was closed.
bool DestroyProgress();

}  // namespace kiv::dialogs
