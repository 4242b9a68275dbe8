// The dialog base's window procedure and the modal and modeless runs.
#include "dialogs/Dialog.h"

#include <utility>

namespace kiv::dialogs {

INT_PTR CALLBACK Dialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(window, DWLP_USER, lParam);
        reinterpret_cast<Dialog*>(lParam)->window_ = window;
    }
    auto* self = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(window, DWLP_USER));
    if (self == nullptr) return FALSE;
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (...) {
        self->failure_ = std::current_exception();
        self->Abandon();
        return TRUE;
    }
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInit() ? TRUE : FALSE;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_PAINT:
            return OnPaint() ? TRUE : FALSE;
        case WM_SETCURSOR:
            if (!OnSetCursor()) return FALSE;
            ::SetWindowLongPtrA(window_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_NCDESTROY:
            ::SetWindowLongPtrA(window_, DWLP_USER, 0);
            window_ = nullptr;
            OnFinalDestroy();
            return FALSE;
        default:
            return FALSE;
    }
}

void Dialog::RethrowFailure() {
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

int ModalDialog::Run() {
    creationError_ = ERROR_SUCCESS;
    // DialogBoxParam answers 0, not -1, for an owner that is no window.
    if (Owner() != nullptr && !::IsWindow(Owner())) {
        creationError_ = ERROR_INVALID_WINDOW_HANDLE;
        return kNotCreated;
    }
    ended_ = false;
    INT_PTR result =
        ::DialogBoxParamA(Module(), MAKEINTRESOURCEA(TemplateId()), Owner(), &Procedure, CreationParameter());
    if (result == kNotCreated && creationError_ == ERROR_SUCCESS) creationError_ = ::GetLastError();
    RethrowFailure();
    if (result == kNotCreated) return kNotCreated;
    // Wine's modal loop answers IDOK when a WM_QUIT ends it.
    return ended_ ? static_cast<int>(result) : IDCANCEL;
}

void ModalDialog::End(int result) noexcept {
    ended_ = true;
    ::EndDialog(Window(), result);
}

void ModalDialog::EndNotCreated(DWORD error) noexcept {
    creationError_ = error;
    End(kNotCreated);
}

void ModalDialog::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    if (id == IDOK) End(IDOK);
    if (id == IDCANCEL) End(IDCANCEL);
}

bool ModelessDialog::Create() {
    HWND window =
        ::CreateDialogParamA(Module(), MAKEINTRESOURCEA(TemplateId()), Owner(), &Procedure, CreationParameter());
    RethrowFailure();
    return window != nullptr;
}

}  // namespace kiv::dialogs
