// Automatic page answers: a thread timer set before each call finds the page on the calling thread.
#include "AutoAnswer.h"

#include "Output.h"

#include "pagekit/Window.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace kivhost {

namespace {

constexpr UINT kTickMs = 100;
// A call that pumps no messages cannot be ended; the process is, this long after the timeout.
constexpr DWORD kGraceMs = 5000;

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

BOOL CALLBACK Collect(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// The live page was built from this template: same caption, the same controls in the same
// order, and its static texts with the template's words and greyed state. Static texts are
// what tells the two product pages and the two user-name pages apart.
bool Shows(HWND page, const DialogTemplate& dialog) {
    std::wstring caption(dialog.caption.begin(), dialog.caption.end());
    std::vector<HWND> children = pagekit::Children(page);
    if (pagekit::Text(page) != caption || children.size() != dialog.items.size()) return false;
    for (std::size_t i = 0; i < children.size(); ++i) {
        const DialogItem& item = dialog.items[i];
        std::string className(item.className.begin(), item.className.end());
        if ((::GetDlgCtrlID(children[i]) & 0xFFFF) != item.id || !pagekit::HasClass(children[i], className.c_str()))
            return false;
        if (className != "Static") continue;
        bool greyed = (item.style & WS_DISABLED) != 0;
        if (pagekit::Text(children[i]) != std::wstring(item.text.begin(), item.text.end()) ||
            greyed == (::IsWindowEnabled(children[i]) != FALSE))
            return false;
    }
    return true;
}

}  // namespace

AutoAnswer::AutoAnswer(Settings settings)
    : settings_(std::move(settings)),
      driver_(pagekit::TimerDriver::Settings{kTickMs, settings_.timeoutMs, kGraceMs, [this] {
                                                 PrintError("line " + std::to_string(line_) +
                                                            ": the call does not return and answers no messages; "
                                                            "kivhost ends itself");
                                                 ::TerminateProcess(::GetCurrentProcess(), kExitStopped);
                                             }}) {
    armed_ = !settings_.rules.empty() || !settings_.screenshotFolder.empty() || settings_.timeoutMs != 0;
    // A folder that is there already makes this fail, which is fine.
    // Not the DLL's file helper, whose log is for the DLL's own work.
    if (!settings_.screenshotFolder.empty()) ::CreateDirectoryA(settings_.screenshotFolder.c_str(), nullptr);
}

bool AutoAnswer::Around(int line, const std::function<void()>& call, std::string& failure) {
    line_ = line;
    page_ = nullptr;
    answered_ = false;
    cancelledPage_ = nullptr;
    openPage_.clear();
    failure_.clear();
    answersGiven_.clear();
    if (!armed_) {
        call();
        return true;
    }
    driver_.Run(call, [this] { Tick(); });
    if (driver_.DeadlinePassed() && failure_.empty())
        failure_ = "the call did not return within " + std::to_string(settings_.timeoutMs / 1000) + " s" +
                   (openPage_.empty() ? std::string() : "; " + openPage_ + " was open") + "; " + AnswersGiven();
    failure = failure_;
    return failure_.empty();
}

int AutoAnswer::TemplateOf(HWND page) const {
    for (const auto& dialog : settings_.templates)
        if (Shows(page, dialog.second)) return dialog.first;
    return 0;
}

std::string AutoAnswer::Name(HWND page) const {
    int id = TemplateOf(page);
    return "page " + (id != 0 ? std::to_string(id) + " " : std::string()) + "\"" + ToUtf8(pagekit::AnsiText(page)) +
           "\"";
}

void AutoAnswer::Tick() {
    HWND page = pagekit::ActiveWindow();
    bool shown = page != nullptr && page != settings_.mainWindow && ::IsWindowVisible(page);
    if (!failure_.empty() || driver_.DeadlinePassed()) return;
    if (!shown) {
        openPage_.clear();
        return;
    }
    if (page != page_) {
        page_ = page;
        ticksOnPage_ = 0;
        answered_ = false;
        openPage_ = Name(page);
    }
    // One more tick on the same page lets it and its controls finish painting.
    if (++ticksOnPage_ < 2 || answered_) return;
    answered_ = true;
    Answer(page);
}

void AutoAnswer::Answer(HWND page) {
    int id = TemplateOf(page);
    const AnswerRule* rule = FindAnswer(settings_.rules, id, pagekit::AnsiText(page));
    bool forEveryPage = rule != nullptr && rule->title.empty() && rule->templateId == 0;
    Showing steps;
    if (cancelledPage_ != nullptr && ::GetWindow(page, GW_OWNER) == cancelledPage_ &&
        (rule == nullptr || forEveryPage)) {
        // The confirmation of a cancel we gave: confirm it, whatever the answer for every page says.
        steps.push_back(Step{Action::Cancel, std::string()});
    } else if (rule != nullptr) {
        std::size_t& shown = showings_[{rule, id}];
        steps = rule->showings[std::min(shown, rule->showings.size() - 1)];
        ++shown;
    } else {
        Capture(page);
        if (!settings_.rules.empty()) events_.push_back(openPage_ + ": no answer given, left open");
        return;
    }
    // Ticks and selections first, so that the screenshot shows the page as it is answered.
    auto setsControls = [](const Step& step) { return step.action == Action::Tick || step.action == Action::Select; };
    std::string done;
    for (const Step& step : steps) {
        if (!setsControls(step)) continue;
        done += (done.empty() ? "" : ", ") + Describe(step);
        if (!Perform(page, step)) return;
    }
    Capture(page);
    for (const Step& step : steps) {
        if (setsControls(step)) continue;
        done += (done.empty() ? "" : ", ") + Describe(step);
        if (!Perform(page, step)) return;
    }
    events_.push_back(openPage_ + ": " + ToUtf8(done));
    answersGiven_.push_back(events_.back());
}

bool AutoAnswer::Perform(HWND page, const Step& step) {
    static const struct {
        Action action;
        int id;
        const char* name;
    } kButtons[] = {{Action::Next, IDOK, "Next"}, {Action::Back, 4, "Back"}, {Action::Cancel, IDCANCEL, "Cancel"}};
    for (const auto& button : kButtons) {
        if (button.action != step.action) continue;
        HWND control = ::GetDlgItem(page, button.id);
        // As a user: a hidden or greyed button cannot be pressed.
        if (control == nullptr || !::IsWindowVisible(control) || !::IsWindowEnabled(control)) {
            Stop(openPage_ + " shows no " + button.name + " button to press");
            return false;
        }
        if (step.action == Action::Cancel) cancelledPage_ = page;
        pagekit::Click(control);
        return true;
    }
    switch (step.action) {
        case Action::Escape:
            cancelledPage_ = page;
            pagekit::PostKey(page, VK_ESCAPE);
            return true;
        case Action::Tick: {
            bool any = false;
            for (HWND child : pagekit::Children(page)) {
                if (!pagekit::IsCheckBox(child)) continue;
                ::SendMessageA(child, BM_SETCHECK, BST_CHECKED, 0);
                any = true;
            }
            if (!any) Stop(openPage_ + " has no check box to tick");
            return any;
        }
        case Action::Select:
            for (HWND child : pagekit::Children(page)) {
                if (!pagekit::HasClass(child, "ListBox")) continue;
                LRESULT index = ::SendMessageA(child, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                               reinterpret_cast<LPARAM>(step.text.c_str()));
                if (index == LB_ERR) continue;
                pagekit::SelectListEntry(page, child, static_cast<int>(index));
                return true;
            }
            Stop(openPage_ + " lists no entry " + ToUtf8(Quote(step.text)));
            return false;
        default:
            return false;
    }
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
    char number[16];
    std::snprintf(number, sizeof number, "%02d", ++shots_);
    std::string path = settings_.screenshotFolder + "\\" + number + "-line" + std::to_string(line_) + "-" +
                       FileNamePart(pagekit::AnsiText(window)) + ".png";
    events_.push_back(pagekit::SavePng(pagekit::Capture(window), path)
                          ? "screenshot " + ToUtf8(path)
                          : "screenshot " + ToUtf8(path) + " could not be saved");
}

void AutoAnswer::Stop(const std::string& reason) {
    failure_ = reason;
    // Ends the modal loop of the page; the export then returns with whatever it does for that.
    driver_.EndCall();
}

std::string AutoAnswer::AnswersGiven() const {
    std::vector<std::pair<std::string, int>> counted;
    for (const std::string& answer : answersGiven_) {
        auto same = std::find_if(counted.begin(), counted.end(), [&](const auto& c) { return c.first == answer; });
        if (same == counted.end())
            counted.emplace_back(answer, 1);
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

}  // namespace kivhost
