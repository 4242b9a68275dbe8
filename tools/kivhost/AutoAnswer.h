// Answers the pages an export shows, saves their screenshots and ends a call that does not return in time.
#pragma once

#include "DialogTemplate.h"
#include "Options.h"

#include "pagekit/TimerDriver.h"

#include <windows.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kivhost {

class AutoAnswer {
public:
    struct Settings {
        HWND mainWindow = nullptr;
        std::vector<AnswerRule> rules;
        std::map<int, DialogTemplate> templates;  // the DLL's dialog templates
        std::string screenshotFolder;             // empty: none
        DWORD timeoutMs = 0;                      // 0: calls may take any time
    };

    explicit AutoAnswer(Settings settings);
    AutoAnswer(const AutoAnswer&) = delete;
    AutoAnswer& operator=(const AutoAnswer&) = delete;

    // Runs call: the pages it shows on this thread are answered once they are
    // visible and active. False when the call had to be ended; failure says why.
    bool Around(int line, const std::function<void()>& call, std::string& failure);

    // Windows that appeared outside a modal loop (the progress window).
    void CaptureNewWindows(int line);

    // What happened to pages during the last call, one line each.
    const std::vector<std::string>& events() const { return events_; }
    void ClearEvents() { events_.clear(); }

private:
    void Tick();
    int TemplateOf(HWND page) const;
    std::string Name(HWND page) const;  // page 1006 "Zielpfad bestätigen", in UTF-8
    void Answer(HWND page);
    bool Perform(HWND page, const Step& step);
    void Capture(HWND window);
    void Stop(const std::string& reason);
    std::string AnswersGiven() const;

    Settings settings_;
    bool armed_ = false;
    pagekit::TimerDriver driver_;
    int line_ = 0;
    HWND page_ = nullptr;
    int ticksOnPage_ = 0;
    bool answered_ = false;
    HWND cancelledPage_ = nullptr;
    std::string openPage_;  // the page active at the last tick
    std::string failure_;
    std::set<HWND> captured_;
    int shots_ = 0;
    std::map<std::pair<const AnswerRule*, int>, std::size_t> showings_;  // per rule and template
    std::vector<std::string> events_;
    std::vector<std::string> answersGiven_;  // during the current call
};

}  // namespace kivhost
