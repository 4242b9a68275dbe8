// Finding, reading, operating and capturing the windows of the calling thread, as a user at the screen would.
#pragma once

#include "pagekit/Image.h"

#include <windows.h>

#include <string>
#include <vector>

namespace pagekit {

// The active window of the calling thread, or null.
HWND ActiveWindow();

// Texts as wide characters, so that umlauts compare by code point; AnsiText in the ANSI code page.
std::wstring Text(HWND window);
std::string AnsiText(HWND window);
bool HasClass(HWND window, const char* className);
bool IsCheckBox(HWND window);
// Direct children in creation order, which for a dialog is the order of its template.
std::vector<HWND> Children(HWND parent);
std::vector<std::wstring> ListEntries(HWND list);

// Posted, so each returns before the window reacts.
void Click(HWND button);
void Command(HWND dialog, int id);  // what a button of the dialog sends, even a hidden one
void SelectListEntry(HWND dialog, HWND list, int index);
// Key down and up to the focused control when it lies in dialog, else to dialog itself: the
// dialog's modal loop turns Enter and Escape there into its commands.
void PostKey(HWND dialog, WPARAM key);
void PressCloseBox(HWND window);

// The whole window, frame included, freshly painted. BitBlt from the window DC: PrintWindow
// gives a blank picture under Wine.
Image Capture(HWND window);

}  // namespace pagekit
