// The progress window, its wait-cursor hold and the four progress entries.
#include "dialogs/ProgressWindow.h"

#include "core/SetupState.h"
#include "core/Text.h"
#include "dialogs/Entries.h"
#include "dialogs/ResponseFile.h"
#include "dialogs/WindowPlacement.h"
#include "resource.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <utility>

namespace kiv::dialogs {

namespace {

HCURSOR SystemCursor(LPCSTR id) { return ::LoadCursorA(nullptr, id); }

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

BusyCursor::BusyCursor() { ::SetCursor(SystemCursor(IDC_WAIT)); }
BusyCursor::~BusyCursor() { ::SetCursor(SystemCursor(IDC_ARROW)); }

ProgressWindow::ProgressWindow(HWND owner, std::string headerText, int rangeMax)
    : owner_(owner), headerText_(std::move(headerText)), rangeMax_(rangeMax) {}

ProgressWindow* ProgressWindow::Open(HWND owner, std::string headerText, int rangeMax) {
    std::unique_ptr<ProgressWindow> progress(new ProgressWindow(owner, std::move(headerText), rangeMax));
    if (!progress->Create()) return nullptr;
    ProgressWindow* window = progress.release();  // owned by its window from here on
    window->libraryReference_ = ReferenceLibrary();
    ::ShowWindow(window->window_, SW_SHOW);
    ::UpdateWindow(window->window_);
    return window;
}

bool ProgressWindow::Create() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    HWND window = ::CreateDialogParamA(LibraryModule(), MAKEINTRESOURCEA(IDD_PROGRESS), owner_, &Procedure,
                                       reinterpret_cast<LPARAM>(this));
    ownsItself_ = window != nullptr;
    return ownsItself_;
}

void ProgressWindow::SetItemName(const char* itemName) {
    ::SetDlgItemTextA(window_, IDC_PROGRESS_ITEM, text::FromArg(itemName).c_str());
}

void ProgressWindow::SetPosition(int position) {
    ::SendDlgItemMessageA(window_, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

bool ProgressWindow::Destroy() { return ::DestroyWindow(window_) != FALSE; }

INT_PTR CALLBACK ProgressWindow::Procedure(HWND window, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<ProgressWindow*>(lParam);
        ::SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->window_ = window;
        return self->OnInitDialog();
    }
    auto* self = reinterpret_cast<ProgressWindow*>(::GetWindowLongPtrA(window, DWLP_USER));
    if (self == nullptr) return FALSE;
    switch (message) {
        case WM_SETCURSOR:
            return self->OnSetCursor();
        case WM_NCDESTROY:
            self->OnFinalDestroy();
            return FALSE;
        default:
            return FALSE;
    }
}

BOOL ProgressWindow::OnInitDialog() {
    ::SetDlgItemTextA(window_, IDC_PROGRESS_HEADER, headerText_.c_str());
    CenterOverOwner(window_);
    HWND bar = ::GetDlgItem(window_, IDC_PROGRESS_BAR);
    // The range message carries both bounds as 16-bit halves.
    ::SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, LOWORD(rangeMax_)));
    ::SetFocus(bar);
    return FALSE;
}

BOOL ProgressWindow::OnSetCursor() {
    // The class cursor would replace the wait cursor whenever the mouse moves over the window.
    if (Progress().busyCursor == nullptr) return FALSE;
    ::SetCursor(SystemCursor(IDC_WAIT));
    ::SetWindowLongPtrA(window_, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

void ProgressWindow::OnFinalDestroy() {
    ::SetWindowLongPtrA(window_, DWLP_USER, 0);
    window_ = nullptr;
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
    Progress().window = ProgressWindow::Open(parentWindow, text::FromArg(headerText), rangeMax);
    Progress().busyCursor = new BusyCursor;
}

void SetProgressName(const char* itemName) {
    if (ProgressWindow* window = Progress().window) window->SetItemName(itemName);
}

void SetProgressPosition(int position) {
    if (ProgressWindow* window = Progress().window) window->SetPosition(position);
}

bool DestroyProgress() {
    delete std::exchange(Progress().busyCursor, nullptr);
    ProgressWindow* window = std::exchange(Progress().window, nullptr);
    if (window == nullptr) return false;
    // Released once the window is gone; the calling script holds the library meanwhile.
    UniqueModule reference = window->TakeLibraryReference();
    return window->Destroy();
}

}  // namespace kiv::dialogs
