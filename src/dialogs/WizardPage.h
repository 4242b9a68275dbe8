// The wizard page behaviour the pages share: side picture, etched frame,
// Next/Back/Cancel mapping, cancel confirmation, centring.
#pragma once

#include "dialogs/Dialog.h"
#include "dialogs/PageResult.h"
#include "dialogs/ResponseFile.h"

#include <windows.h>

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

class WizardPage : public ModalDialog {
public:
    WizardPage(int templateId, HWND owner, const PageSettings& settings, HINSTANCE module = LibraryModule()) noexcept
        : ModalDialog(templateId, owner, module), settings_(settings) {}

    // The page's result. A Cancel and a page that was not created are also told
    // for KivGetLastError, a Cancel with the page's title. In the record mode
    // the answer is written to the response file; in the silent mode it is read
    // from there instead, and no window is made.
    PageResult Run();

protected:
    void End(PageResult result) noexcept { ModalDialog::End(ToInt(result)); }

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
