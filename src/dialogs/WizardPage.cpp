// Wizard page behaviour, side picture painting and cancel confirmation.
#include "dialogs/WizardPage.h"

#include "resource.h"
#include "win32/CallOutcome.h"
#include "win32/Handles.h"
#include "win32/Log.h"

#include <initializer_list>
#include <string>

namespace kiv::dialogs {

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// The rectangle of a control in its parent's client coordinates; false when it has no parent.
bool RectInParent(HWND control, RECT& rect) {
    HWND parent = ::GetParent(control);
    if (parent == nullptr || !::GetWindowRect(control, &rect)) return false;
    POINT topLeft{rect.left, rect.top};
    ::ScreenToClient(parent, &topLeft);
    rect = RECT{topLeft.x, topLeft.y, topLeft.x + (rect.right - rect.left), topLeft.y + (rect.bottom - rect.top)};
    return true;
}

void DrawPath(HDC dc, std::initializer_list<POINT> points) {
    const POINT* p = points.begin();
    ::MoveToEx(dc, p->x, p->y, nullptr);
    for (++p; p != points.end(); ++p) ::LineTo(dc, p->x, p->y);
}

// The title of a dialog template in the ANSI code page, for a page that is played back without its window.
std::string TemplateTitle(HINSTANCE module, int templateId) {
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5));  // RT_DIALOG
    HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
    const WORD* at = loaded != nullptr ? static_cast<const WORD*>(::LockResource(loaded)) : nullptr;
    if (at == nullptr) return std::string();
    // The fixed header of DLGTEMPLATEEX (signature 0xFFFF in its second word) or DLGTEMPLATE,
    // then the menu and the class: 0, 0xFFFF with an ordinal, or a string.
    at += at[1] == 0xFFFF ? 13 : 9;
    for (int field = 0; field < 2; ++field) {
        if (*at == 0xFFFF)
            at += 2;
        else
            while (*at++ != 0) {
            }
    }
    const auto* title = reinterpret_cast<const wchar_t*>(at);
    char ansi[256] = "";
    ::WideCharToMultiByte(CP_ACP, 0, title, -1, ansi, sizeof ansi - 1, nullptr, nullptr);
    return ansi;
}

}  // namespace

bool DrawEtchedEdge(HDC dc, const RECT& r, EdgeMode mode) {
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    UniqueGdiObject dark(::CreatePen(PS_SOLID, 1, shadow));
    if (!dark) return false;
    UniqueGdiObject light;
    HGDIOBJ previous = ::SelectObject(dc, dark.get());
    // Declared after the pens: the old pen is back in place before they are deleted.
    ScopeExit restore([&] { ::SelectObject(dc, previous); });

    if (mode == EdgeMode::Box)
        DrawPath(dc, {{r.left, r.bottom}, {r.left, r.top}, {r.right, r.top}});
    else
        DrawPath(dc, {{r.left, r.top}, {r.right, r.top}});

    // On a white button face white lines would vanish.
    light.reset(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNFACE) == kWhite ? shadow : kWhite));
    if (!light) return false;
    ::SelectObject(dc, light.get());
    if (mode == EdgeMode::Box)
        DrawPath(dc, {{r.left + 1, r.bottom}, {r.right - 1, r.bottom}, {r.right - 1, r.top}});
    else
        DrawPath(dc, {{r.left, r.top + 1}, {r.right, r.top + 1}});
    return true;
}

void PaintSidePicture(HDC dc, HWND placeholder, HWND separator, HINSTANCE module, int bitmapId) {
    RECT picture;
    if (placeholder == nullptr || !RectInParent(placeholder, picture)) return;
    UniqueGdiObject bitmap(::LoadBitmapA(module, MAKEINTRESOURCEA(bitmapId)));
    if (!bitmap) return;
    {
        UniqueMemoryDc memory(::CreateCompatibleDC(dc));
        if (!memory) return;
        HGDIOBJ previous = ::SelectObject(memory.get(), bitmap.get());
        ::BitBlt(dc, picture.left, picture.top, picture.right - picture.left, picture.bottom - picture.top,
                 memory.get(), 0, 0, SRCCOPY);
        ::SelectObject(memory.get(), previous);
    }
    if (!DrawEtchedEdge(dc, picture, EdgeMode::Box)) return;
    RECT line;
    if (separator != nullptr && RectInParent(separator, line)) DrawEtchedEdge(dc, line, EdgeMode::Line);
}

CancelAnswer AskCancelConfirmation(HWND page, HINSTANCE module) {
    switch (ModalDialog(IDD_CANCEL_CONFIRM, page, module).Run()) {
        case IDOK:
            return CancelAnswer::Continue;
        case ModalDialog::kNotCreated:
            return CancelAnswer::NotCreated;
        default:
            return CancelAnswer::Abort;
    }
}

// How a page ended, for support: the button, and after Next the page's own answer (box, list choice).
void LogPageEnd(int templateId, const std::string& title, const char* how, PageResult result,
                const response::Values& values) {
    if (!log::Enabled()) return;
    const char* button = result == PageResult::Next     ? "Next"
                         : result == PageResult::Back   ? "Back"
                         : result == PageResult::Cancel ? "Cancel"
                                                        : "not created";
    std::string line =
        "  Page " + std::to_string(templateId) + " " + log::Quote(title.c_str()) + " " + how + ": " + button;
    for (const auto& [key, value] : values) line += ", " + key + "=" + log::Quote(value.c_str());
    log::Write(line);
}

// A page ends through the dialog base, so the base's own answers must mean the same to the script.
static_assert(ModalDialog::kNotCreated == ToInt(PageResult::NotCreated) && IDCANCEL == ToInt(PageResult::Cancel),
              "a page that is not created or whose loop is ended answers as the script expects");

PageResult WizardPage::Run() {
    if (response::Silent()) return PlayBack();
    const PageResult result = static_cast<PageResult>(ModalDialog::Run());
    response::Values values;
    if (result == PageResult::Next) RecordAnswer(values);
    LogPageEnd(TemplateId(), title_, "ended", result, values);
    if (result == PageResult::Cancel) outcome::Cancelled(title_);
    if (result == PageResult::NotCreated) {
        outcome::Fail(CreationError(), "Seite " + std::to_string(TemplateId()) + " konnte nicht angezeigt werden");
        return result;
    }
    if (response::Recording()) response::Record(settings_.exportName, result, values);
    return result;
}

PageResult WizardPage::PlayBack() {
    const response::Answer answer(settings_.exportName);
    const std::string value = answer.Value("Result");
    PageResult result = PageResult::NotCreated;
    for (PageResult given : {PageResult::Next, PageResult::Cancel, PageResult::Back})
        if (value == std::to_string(ToInt(given)) && (given != PageResult::Back || settings_.answersBack))
            result = given;
    if (result == PageResult::NotCreated) {
        answer.TellInvalid("Result");
        return result;
    }
    if (result == PageResult::Next && !PlayAnswer(answer)) return PageResult::NotCreated;
    const std::string title = TemplateTitle(Module(), TemplateId());
    response::Values values;
    if (result == PageResult::Next) RecordAnswer(values);
    LogPageEnd(TemplateId(), title, "played back", result, values);
    if (result == PageResult::Cancel) outcome::Cancelled(title);
    answer.Taken();
    return result;
}

bool WizardPage::OnInit() {
    char title[256] = "";
    ::GetWindowTextA(Window(), title, sizeof title);
    title_ = title;
    if (!LoadControls()) {
        EndNotCreated(::GetLastError());
        return true;
    }
    CenterOverOwner(Window());
    if (settings_.hideBack) ::ShowWindow(Item(IDC_BACK), SW_HIDE);
    OnStart();
    ::SetFocus(Item(IDOK));
    return false;
}

void WizardPage::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    switch (id) {
        case IDOK:
            if (settings_.transferOnNext) SaveControls();
            End(PageResult::Next);
            break;
        case IDC_BACK:
            if (settings_.answersBack) End(PageResult::Back);
            break;
        case IDCANCEL:
            if (!settings_.confirmCancel || AskCancelConfirmation(Window(), Module()) != CancelAnswer::Continue)
                End(PageResult::Cancel);
            break;
        default:
            break;
    }
}

bool WizardPage::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(Window(), &paint);
    PaintSidePicture(dc, Item(IDC_SIDE_PICTURE), Item(IDC_SEPARATOR), Module(), settings_.bitmapId);
    ::EndPaint(Window(), &paint);
    return true;
}

}  // namespace kiv::dialogs
