// The modeless progress window the setup script opens around its long steps.
#pragma once

#include "win32/Handles.h"

#include <windows.h>

#include <string>
#include <utility>

namespace kiv::dialogs {

// One hold of the wait cursor. A second start ends the first hold before it
// takes its own, so at most one exists and the hold itself is the count.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Modeless dialog from template 130. Once its window exists the object owns
// itself: the final destruction message deletes it.
class ProgressWindow {
public:
    // Creates, centres, shows and paints the window; nullptr when it cannot be created.
    static ProgressWindow* Open(HWND owner, std::string headerText, int rangeMax);

    void SetItemName(const char* itemName);
    void SetPosition(int position);
    // Destroys the window, and with it this object.
    bool Destroy();
    // The library's reference to itself, held while the window is open.
    UniqueModule TakeLibraryReference() { return std::move(libraryReference_); }

private:
    ProgressWindow(HWND owner, std::string headerText, int rangeMax);
    bool Create();

    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnInitDialog();
    BOOL OnSetCursor();
    void OnFinalDestroy();

    HWND owner_;
    std::string headerText_;
    int rangeMax_;
    HWND window_ = nullptr;
    bool ownsItself_ = false;
    UniqueModule libraryReference_;
};

}  // namespace kiv::dialogs
