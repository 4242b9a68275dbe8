// The dialog base of the library's windows, and its modal and modeless ways of running.
#pragma once

#include "dialogs/WindowPlacement.h"

#include <windows.h>

#include <exception>

namespace kiv::dialogs {

// A dialog from a template of the library. The static procedure stores `this`
// at WM_INITDIALOG and hands each message to a small virtual handler;
// ModalDialog and ModelessDialog make the window.
class Dialog {
public:
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

protected:
    Dialog(int templateId, HWND owner, HINSTANCE module) noexcept
        : module_(module), templateId_(templateId), owner_(owner) {}

    HWND Window() const noexcept { return window_; }
    HWND Owner() const noexcept { return owner_; }
    HINSTANCE Module() const noexcept { return module_; }
    int TemplateId() const noexcept { return templateId_; }
    HWND Item(int id) const noexcept { return ::GetDlgItem(window_, id); }
    // What the platform's creation call takes to reach the procedure.
    LPARAM CreationParameter() noexcept { return reinterpret_cast<LPARAM>(this); }
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // An exception that a handler raised, rethrown on the caller's side of the
    // platform's frames, which it must not unwind through.
    void RethrowFailure();

    // Returns true to let the platform put the focus on the first tab stop.
    virtual bool OnInit() { return true; }
    virtual void OnCommand(int, int) {}
    // Returns true when the paint request was handled.
    virtual bool OnPaint() { return false; }
    // Returns true when the handler set the cursor itself.
    virtual bool OnSetCursor() { return false; }
    // The window's last message; the handler may delete this object.
    virtual void OnFinalDestroy() noexcept {}
    // Closes the window after a handler failed.
    virtual void Abandon() noexcept = 0;

private:
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE module_;
    int templateId_;
    HWND owner_;
    HWND window_ = nullptr;
    std::exception_ptr failure_;
};

// A dialog whose modal loop runs inside Run.
class ModalDialog : public Dialog {
public:
    ModalDialog(int templateId, HWND owner, HINSTANCE module = LibraryModule()) noexcept
        : Dialog(templateId, owner, module) {}

    static constexpr int kNotCreated = -1;

    // The value the dialog ended with, or kNotCreated. A dialog whose modal
    // loop a WM_QUIT ended gives IDCANCEL: nobody chose anything. An
    // exception that a handler raised ends the dialog and is rethrown here.
    int Run();

    // After Run gave kNotCreated: the Win32 error that kept the dialog from being made.
    DWORD CreationError() const noexcept { return creationError_; }

protected:
    void End(int result) noexcept;
    // Ends the dialog as not created, for the error that a start step met.
    void EndNotCreated(DWORD error) noexcept;

    // "OK" (Enter) ends with IDOK, "Cancel" (Escape, the close box) with IDCANCEL.
    void OnCommand(int id, int code) override;
    void Abandon() noexcept override { ::EndDialog(Window(), kNotCreated); }

private:
    bool ended_ = false;
    DWORD creationError_ = ERROR_SUCCESS;
};

// A dialog whose window stays after Create returns; the script's thread
// dispatches its messages.
class ModelessDialog : public Dialog {
public:
    // False when the platform could not make the window. An exception that a
    // handler raised while it was made is rethrown here.
    bool Create();
    bool Destroy() noexcept { return ::DestroyWindow(Window()) != FALSE; }

protected:
    ModelessDialog(int templateId, HWND owner, HINSTANCE module = LibraryModule()) noexcept
        : Dialog(templateId, owner, module) {}

    void Abandon() noexcept override { ::DestroyWindow(Window()); }
};

}  // namespace kiv::dialogs
