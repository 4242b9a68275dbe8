// Answers the pages an export shows, saves their screenshots and ends a page that never closes.
#pragma once

#include "Options.h"

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace kivhost {

class AutoAnswer {
public:
    struct Settings {
        HWND mainWindow = nullptr;
        std::vector<AnswerRule> rules;
        std::map<int, std::string> captions;  // the DLL's dialog templates
        std::string screenshotFolder;         // empty: none
        DWORD timeoutMs = 0;                  // 0: pages may stay open
    };

    explicit AutoAnswer(Settings settings);
    AutoAnswer(const AutoAnswer&) = delete;
    AutoAnswer& operator=(const AutoAnswer&) = delete;

    // Calls call() with a thread timer armed: the pages it shows on this
    // thread are answered once they are visible and active. Returns false
    // when a page had to be ended; failure then says why.
    template <typename Call>
    bool Around(int line, Call&& call, std::string& failure) {
        Begin(line);
        call();
        return End(failure);
    }

    // Windows that appeared outside a modal loop (the progress window).
    void CaptureNewWindows(int line);

    // What happened to pages during the last call, one line each.
    const std::vector<std::string>& events() const { return events_; }
    void ClearEvents() { events_.clear(); }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);

    void Begin(int line);
    bool End(std::string& failure);
    void Tick();
    void Answer(HWND page, HWND focus);
    bool Perform(HWND page, HWND focus, const Step& step);
    void Capture(HWND window);
    void Stop(const std::string& reason);
    std::string AnswersGiven() const;

    Settings settings_;
    bool armed_ = false;
    UINT_PTR timer_ = 0;
    int line_ = 0;
    DWORD calledAt_ = 0;
    HWND page_ = nullptr;
    int ticksOnPage_ = 0;
    bool answered_ = false;
    HWND cancelledPage_ = nullptr;
    std::string failure_;
    std::set<HWND> captured_;
    int shots_ = 0;
    std::vector<std::string> events_;
    std::vector<std::string> answersGiven_;  // during the current call

    static AutoAnswer* current_;  // the timer procedure gets no context of its own
};

}  // namespace kivhost
