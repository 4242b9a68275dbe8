// Automatic page answers: a thread timer set before each call finds the page on the calling thread.
#include "AutoAnswer.h"

#include "Output.h"
#include "Screenshot.h"

#include "frame/FileSystem.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace kivhost {

namespace {

constexpr UINT kTickMs = 100;

std::string WindowTitle(HWND window) {
    char text[512] = "";
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

// Plain ASCII for file names: umlauts spelled out, everything else but letters and digits as "_".
std::string FileNamePart(const std::string& ansiTitle) {
    static const struct {
        unsigned char ansi;
        const char* ascii;
    } kUmlauts[] = {{0xE4, "ae"}, {0xF6, "oe"}, {0xFC, "ue"}, {0xC4, "Ae"}, {0xD6, "Oe"}, {0xDC, "Ue"}, {0xDF, "ss"}};
    std::string name;
    for (char c : ansiTitle) {
        unsigned char byte = static_cast<unsigned char>(c);
        const char* spelled = nullptr;
        for (const auto& umlaut : kUmlauts)
            if (umlaut.ansi == byte) spelled = umlaut.ascii;
        if (spelled != nullptr)
            name += spelled;
        else if (byte < 0x80 && std::isalnum(byte))
            name += c;
        else if (!name.empty() && name.back() != '_')
            name += '_';
    }
    while (!name.empty() && name.back() == '_') name.pop_back();
    return name.empty() ? "window" : name;
}

void Press(HWND page, int id) {
    ::PostMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(page, id)));
}

BOOL CALLBACK Collect(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> Children(HWND page) {
    std::vector<HWND> children;
    ::EnumChildWindows(page, &Collect, reinterpret_cast<LPARAM>(&children));
    return children;
}

bool HasClass(HWND window, const char* name) {
    char text[64] = "";
    ::GetClassNameA(window, text, sizeof text);
    return ::lstrcmpiA(text, name) == 0;
}

bool IsCheckBox(HWND window) {
    if (!HasClass(window, "Button")) return false;
    LONG type = ::GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX;
}

}  // namespace

AutoAnswer* AutoAnswer::current_ = nullptr;

AutoAnswer::AutoAnswer(Settings settings) : settings_(std::move(settings)) {
    armed_ = !settings_.rules.empty() || !settings_.screenshotFolder.empty() || settings_.timeoutMs != 0;
    // A folder that is there already makes this fail, which is fine.
    if (!settings_.screenshotFolder.empty()) kiv::file::CreateFolder(settings_.screenshotFolder);
}

void CALLBACK AutoAnswer::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (current_ != nullptr) current_->Tick();
}

void AutoAnswer::Begin(int line) {
    line_ = line;
    calledAt_ = ::GetTickCount();
    page_ = nullptr;
    answered_ = false;
    cancelledPage_ = nullptr;
    failure_.clear();
    answersGiven_.clear();
    if (!armed_) return;
    current_ = this;
    // A thread timer: its WM_TIMER reaches the modal loop of whatever page the call runs.
    timer_ = ::SetTimer(nullptr, 0, kTickMs, &AutoAnswer::OnTimer);
}

bool AutoAnswer::End(std::string& failure) {
    if (timer_ != 0) ::KillTimer(nullptr, timer_);
    timer_ = 0;
    current_ = nullptr;
    if (failure_.empty()) return true;
    // The WM_QUIT that ended the page is posted again by the modal loop; it is ours.
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    failure = failure_;
    return false;
}

void AutoAnswer::Tick() {
    if (!failure_.empty()) return;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetCurrentThreadId(), &info)) return;
    HWND page = info.hwndActive;
    bool shown = page != nullptr && page != settings_.mainWindow && ::IsWindowVisible(page);
    // The whole call is bounded: answers that send a page round in a circle must not restart the clock.
    if (settings_.timeoutMs != 0 && ::GetTickCount() - calledAt_ >= settings_.timeoutMs) {
        Stop("the call did not return within " + std::to_string(settings_.timeoutMs / 1000) + " s" +
             (shown ? "; page \"" + ToUtf8(WindowTitle(page)) + "\" was open" : std::string()) + "; " +
             AnswersGiven());
        return;
    }
    if (!shown) return;
    if (page != page_) {
        page_ = page;
        ticksOnPage_ = 0;
        answered_ = false;
    }
    // One more tick on the same page lets it and its controls finish painting.
    if (++ticksOnPage_ < 2) return;
    if (!answered_) {
        answered_ = true;
        Answer(page, info.hwndFocus);
    }
}

std::string AutoAnswer::AnswersGiven() const {
    std::vector<std::pair<std::string, int>> counted;
    for (const std::string& event : answersGiven_) {
        auto same = std::find_if(counted.begin(), counted.end(), [&](const auto& c) { return c.first == event; });
        if (same == counted.end())
            counted.emplace_back(event, 1);
        else
            ++same->second;
    }
    if (counted.empty()) return "no answer was given";
    std::string text = "answers given:";
    for (const auto& c : counted)
        text += " " + c.first + (c.second > 1 ? " (" + std::to_string(c.second) + " times)" : "") + ";";
    text.pop_back();
    return text;
}

void AutoAnswer::Answer(HWND page, HWND focus) {
    std::string title = WindowTitle(page);
    const AnswerRule* rule = FindAnswer(settings_.rules, title, settings_.captions);
    bool forEveryPage = rule != nullptr && rule->title.empty() && rule->templateId == 0;
    std::vector<Step> steps;
    if (cancelledPage_ != nullptr && ::GetWindow(page, GW_OWNER) == cancelledPage_ && (rule == nullptr || forEveryPage)) {
        // The confirmation of a cancel we gave: confirm it, whatever the rule for every page says.
        steps.push_back(Step{Action::Cancel, std::string()});
    } else if (rule != nullptr) {
        steps = rule->steps;
    } else {
        Capture(page);
        if (!settings_.rules.empty()) events_.push_back("page \"" + ToUtf8(title) + "\": no answer given, left open");
        return;
    }
    // Ticks and selections first, so that the screenshot shows the page as it is answered.
    auto setsControls = [](const Step& step) { return step.action == Action::Tick || step.action == Action::Select; };
    std::string done;
    for (const Step& step : steps) {
        if (!setsControls(step)) continue;
        done += (done.empty() ? "" : ", ") + Describe(step);
        if (!Perform(page, focus, step)) return;
    }
    Capture(page);
    for (const Step& step : steps) {
        if (setsControls(step)) continue;
        done += (done.empty() ? "" : ", ") + Describe(step);
        if (!Perform(page, focus, step)) return;
    }
    events_.push_back("page \"" + ToUtf8(title) + "\": " + ToUtf8(done));
    answersGiven_.push_back(events_.back());
}

bool AutoAnswer::Perform(HWND page, HWND focus, const Step& step) {
    switch (step.action) {
        case Action::Next: Press(page, IDOK); return true;
        case Action::Back: Press(page, 4); return true;
        case Action::Cancel:
            cancelledPage_ = page;
            Press(page, IDCANCEL);
            return true;
        case Action::Escape:
            cancelledPage_ = page;
            ::PostMessageA(focus != nullptr ? focus : page, WM_KEYDOWN, VK_ESCAPE, 0);
            return true;
        case Action::Tick: {
            bool any = false;
            for (HWND child : Children(page)) {
                if (!IsCheckBox(child)) continue;
                ::SendMessageA(child, BM_SETCHECK, BST_CHECKED, 0);
                any = true;
            }
            if (!any) Stop("page \"" + ToUtf8(WindowTitle(page)) + "\" has no check box to tick");
            return any;
        }
        case Action::Select:
            for (HWND child : Children(page)) {
                if (!HasClass(child, "ListBox")) continue;
                LRESULT index = ::SendMessageA(child, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                               reinterpret_cast<LPARAM>(step.text.c_str()));
                if (index == LB_ERR) continue;
                ::SendMessageA(child, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
                ::SendMessageA(page, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(child), LBN_SELCHANGE),
                               reinterpret_cast<LPARAM>(child));
                return true;
            }
            Stop("page \"" + ToUtf8(WindowTitle(page)) + "\" lists no entry " + ToUtf8(Quote(step.text)));
            return false;
    }
    return false;
}

void AutoAnswer::CaptureNewWindows(int line) {
    if (settings_.screenshotFolder.empty()) return;
    line_ = line;
    std::vector<HWND> windows;
    ::EnumThreadWindows(::GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows)
        if (window != settings_.mainWindow && ::IsWindowVisible(window)) Capture(window);
}

void AutoAnswer::Capture(HWND window) {
    if (settings_.screenshotFolder.empty() || !captured_.insert(window).second) return;
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    char number[16];
    std::snprintf(number, sizeof number, "%02d", ++shots_);
    std::string path = settings_.screenshotFolder + "\\" + number + "-line" + std::to_string(line_) + "-" +
                       FileNamePart(WindowTitle(window)) + ".bmp";
    events_.push_back(SaveWindowBitmap(window, path) ? "screenshot " + ToUtf8(path)
                                                     : "screenshot " + ToUtf8(path) + " could not be saved");
}

void AutoAnswer::Stop(const std::string& reason) {
    failure_ = reason;
    // Ends the modal loop of the page; the export then returns with whatever it does for that.
    ::PostQuitMessage(0);
}

}  // namespace kivhost
