// Entry points of the setup dialogs that the export shims call.
#pragma once

#include <windows.h>

namespace kiv::dialogs {

// Logon name, or "Dorva AT User", into nameBuffer and the setup state.
void GetUserName(char* nameBuffer);
// User-name page: 1 Next, else 0.
int ShowUserName(HWND parentWindow, const char* userNameText, int greyed);
// Target-folder page: page result, or 2 for a missing argument.
int ShowTargetFolder(HWND parentWindow, const char* targetFolder, const char* productName);
// Tablet-menu page and menu backup.
int IsWithinTablet(HWND parentWindow, const char* acadFolder, char* resultBuffer);

void StartProgress(HWND parentWindow, const char* headerText, int rangeMax);
void SetProgressName(const char* itemName);
void SetProgressPosition(int position);
int DestroyProgress();

}  // namespace kiv::dialogs
