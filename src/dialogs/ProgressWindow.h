// The modeless progress window the setup script opens around its long steps.
#pragma once

#include "dialogs/Dialog.h"
#include "win32/Handles.h"

#include <windows.h>

#include <string>
#include <utility>

namespace kiv::dialogs {

// Modeless dialog from template 130. Once its window exists the object owns
// itself: the final destruction message deletes it, so Destroy ends both.
class ProgressWindow : public ModelessDialog {
public:
    // Creates, centres, shows and paints the window; nullptr when it cannot be created.
    static ProgressWindow* Open(HWND owner, std::string headerText, int rangeMax);

    void SetItemName(const char* itemName);
    void SetPosition(int position);
    // The library's reference to itself, held while the window is open.
    UniqueModule TakeLibraryReference() { return std::move(libraryReference_); }

private:
    ProgressWindow(HWND owner, std::string headerText, int rangeMax);

    bool OnInit() override;
    bool OnSetCursor() override;
    void OnFinalDestroy() noexcept override;

    std::string headerText_;
    int rangeMax_;
    bool ownsItself_ = false;
    UniqueModule libraryReference_;
};

}  // namespace kiv::dialogs
