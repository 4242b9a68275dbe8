// The dialog base of the library's windows and the wizard page behaviour the pages share:
// side picture, etched frame, Next/Back/Cancel mapping, cancel confirmation, centring.
#pragma once

#include "dialogs/PageResult.h"
#include "dialogs/ResponseFile.h"
#include "dialogs/WindowPlacement.h"

#include <windows.h>

#include <exception>
#include <string>

namespace kiv::dialogs {

enum class EdgeMode { Box = 0, Line = 1 };

// Dark (button shadow) left and top, light bottom and right; the line mode
// draws a dark line along the top edge with a light one below it. False when
// a pen cannot be created.
bool DrawEtchedEdge(HDC dc, const RECT& rect, EdgeMode mode);

// Copies bitmapId from its top-left corner into the placeholder's rectangle,
// never scaled, then frames it and draws the separator line. Either control
// may be null; whatever cannot be done ends the painting silently.
void PaintSidePicture(HDC dc, HWND placeholder, HWND separator, HINSTANCE module, int bitmapId);

// A modal dialog from a template of the library. The static procedure stores
// `this` at WM_INITDIALOG and hands each message to a small virtual handler.
class Dialog {
public:
    Dialog(int templateId, HWND owner, HINSTANCE module = LibraryModule()) noexcept
        : module_(module), templateId_(templateId), owner_(owner) {}
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    static constexpr int kNotCreated = -1;

    // The value the dialog ended with, or kNotCreated. A dialog whose modal
    // loop a WM_QUIT ended gives IDCANCEL: nobody chose anything. An
    // exception that a handler raised ends the dialog and is rethrown here,
    // since it must not unwind through the platform's frames.
    int Run();

    // After Run gave kNotCreated: the Win32 error that kept the dialog from being made.
    DWORD CreationError() const noexcept { return creationError_; }

protected:
    HWND Window() const noexcept { return window_; }
    HINSTANCE Module() const noexcept { return module_; }
    int TemplateId() const noexcept { return templateId_; }
    HWND Item(int id) const noexcept { return ::GetDlgItem(window_, id); }
    void End(int result) noexcept;
    // Ends the dialog as not created, for the error that a start step met.
    void EndNotCreated(DWORD error) noexcept;

    // Returns true to let the platform put the focus on the first tab stop.
    virtual bool OnInit() { return true; }
    // Default: "OK" (Enter) ends with IDOK, "Cancel" (Escape, the close box) with IDCANCEL.
    virtual void OnCommand(int id, int code);
    // Returns true when the paint request was handled.
    virtual bool OnPaint() { return false; }

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE module_;
    int templateId_;
    HWND owner_;
    HWND window_ = nullptr;
    bool ended_ = false;
    DWORD creationError_ = ERROR_SUCCESS;
    std::exception_ptr failure_;
};

enum class CancelAnswer { Continue, Abort, NotCreated };

// "Setup Abbrechen ": Continue for "&Fortsetzen"; Abort for "A&bbrechen", Escape
// or the close box. Opens at its template position relative to the asking page.
CancelAnswer AskCancelConfirmation(HWND page, HINSTANCE module = LibraryModule());

struct PageSettings {
    const char* exportName = "";  // names the page's sections in a response file
    int bitmapId = 0;
    bool confirmCancel = true;    // Cancel asks AskCancelConfirmation first
    bool hideBack = false;        // the Back button is hidden at start
    bool answersBack = false;     // a Back command ends the page with PageResult::Back
    bool transferOnNext = false;  // Next reads the controls back into the page's data
};

class WizardPage : public Dialog {
public:
    WizardPage(int templateId, HWND owner, const PageSettings& settings, HINSTANCE module = LibraryModule()) noexcept
        : Dialog(templateId, owner, module), settings_(settings) {}

    // The page's result. A Cancel and a page that was not created are also told
    // for KivGetLastError, a Cancel with the page's title. In the record mode
    // the answer is written to the response file; in the silent mode it is read
    // from there instead, and no window is made.
    PageResult Run();

protected:
    void End(PageResult result) noexcept { Dialog::End(ToInt(result)); }

    // Fills the controls from the page's data; false ends the page with PageResult::NotCreated.
    virtual bool LoadControls() { return true; }
    // Reads the controls back into the page's data (on Next, when transferOnNext).
    virtual void SaveControls() {}
    // The page's own start steps, after the common ones.
    virtual void OnStart() {}
    // The page's own keys of a Next answer in a response file. Playing them
    // back sets the page's data as the person's Next did; false, told, when
    // they are missing or invalid.
    virtual void RecordAnswer(response::Values&) const {}
    virtual bool PlayAnswer(const response::Answer&) { return true; }

    bool OnInit() override;
    void OnCommand(int id, int code) override;
    bool OnPaint() override;

private:
    PageResult PlayBack();

    PageSettings settings_;
    std::string title_;
};

}  // namespace kiv::dialogs
