// The progress window, its wait-cursor hold and the four progress entries.
#include "dialogs/ProgressWindow.h"

#include "core/Text.h"
#include "dialogs/Entries.h"
#include "dialogs/ResponseFile.h"
#include "resource.h"

#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace kiv::dialogs {

namespace {

HCURSOR SystemCursor(LPCSTR id) { return ::LoadCursorA(nullptr, id); }

// One hold of the wait cursor. A second start ends the first hold before it
// takes its own, so at most one exists and the hold itself is the count.
class BusyCursor {
public:
    BusyCursor() { ::SetCursor(SystemCursor(IDC_WAIT)); }
    ~BusyCursor() { ::SetCursor(SystemCursor(IDC_ARROW)); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

struct ProgressSlot {
    ProgressWindow* window = nullptr;  // owned by its own window
    std::optional<BusyCursor> busyCursor;
};

// The four exports arrive separately, so the open window and the hold outlive
// each call. Never destroyed: unloading the library must not call user32 under
// the loader lock; only KivRegProgDestroy ends them.
ProgressSlot& Progress() {
    static ProgressSlot& slot = *new ProgressSlot;
    return slot;
}

// A script that unloads the library while the window is open must not take
// the window procedure with it, so the open window keeps the library loaded.
// Loading its own file again counts one more reference on every Windows
// (GetModuleHandleEx needs XP); the wide calls also take a folder name that
// the ANSI code page cannot spell.
UniqueModule ReferenceLibrary() {
    std::wstring path(32768, L'\0');  // the longest path Windows knows
    DWORD length = ::GetModuleFileNameW(LibraryModule(), &path[0], static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return UniqueModule();
    path.resize(length);
    return UniqueModule(::LoadLibraryW(path.c_str()));
}

}  // namespace

ProgressWindow::ProgressWindow(HWND owner, std::string headerText, int rangeMax)
    : ModelessDialog(IDD_PROGRESS, owner), headerText_(std::move(headerText)), rangeMax_(rangeMax) {}

ProgressWindow* ProgressWindow::Open(HWND owner, std::string headerText, int rangeMax) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    std::unique_ptr<ProgressWindow> progress(new ProgressWindow(owner, std::move(headerText), rangeMax));
    if (!progress->Create()) return nullptr;
    ProgressWindow* window = progress.release();  // owned by its window from here on
    window->ownsItself_ = true;
    window->libraryReference_ = ReferenceLibrary();
    ::ShowWindow(window->Window(), SW_SHOW);
    ::UpdateWindow(window->Window());
    return window;
}

void ProgressWindow::SetItemName(const char* itemName) {
    ::SetDlgItemTextA(Window(), IDC_PROGRESS_ITEM, text::FromArg(itemName).c_str());
}

void ProgressWindow::SetPosition(int position) {
    ::SendDlgItemMessageA(Window(), IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

bool ProgressWindow::OnInit() {
    ::SetDlgItemTextA(Window(), IDC_PROGRESS_HEADER, headerText_.c_str());
    CenterOverOwner(Window());
    HWND bar = Item(IDC_PROGRESS_BAR);
    // The range message carries both bounds as 16-bit halves.
    ::SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, LOWORD(rangeMax_)));
    ::SetFocus(bar);
    return false;
}

bool ProgressWindow::OnSetCursor() {
    // The class cursor would replace the wait cursor whenever the mouse moves over the window.
    if (!Progress().busyCursor) return false;
    ::SetCursor(SystemCursor(IDC_WAIT));
    return true;
}

void ProgressWindow::OnFinalDestroy() noexcept {
    // Destroying the owner destroys this window too; the state must not keep a dangling reference.
    if (Progress().window == this) Progress().window = nullptr;
    // Still held only when the owner closed the window: freeing it here could
    // unload the code that is running, so the library stays loaded instead.
    libraryReference_.release();
    if (ownsItself_) delete this;
}

void StartProgress(HWND parentWindow, const char* headerText, int rangeMax) {
    DestroyProgress();
    if (response::Silent()) return;
    ProgressSlot& slot = Progress();
    slot.window = ProgressWindow::Open(parentWindow, text::FromArg(headerText), rangeMax);
    slot.busyCursor.emplace();
}

void SetProgressName(const char* itemName) {
    if (ProgressWindow* window = Progress().window) window->SetItemName(itemName);
}

void SetProgressPosition(int position) {
    if (ProgressWindow* window = Progress().window) window->SetPosition(position);
}

bool DestroyProgress() {
    Progress().busyCursor.reset();
    ProgressWindow* window = std::exchange(Progress().window, nullptr);
    if (window == nullptr) return false;
    // Released once the window is gone; the calling script holds the library meanwhile.
    UniqueModule reference = window->TakeLibraryReference();
    return window->Destroy();
}

}  // namespace kiv::dialogs
