// Command line of kivhost and its automatic page answers (no Windows API).
#pragma once

#include <map>
#include <string>
#include <vector>

namespace kivhost {

enum class Action {
    Next,    // control 1 ("&Fortsetzen" on the cancel confirmation)
    Back,    // control 4
    Cancel,  // control 2; a confirmation it brings up is confirmed unless a rule names the confirmation
    Escape,  // the Escape key to the focused control
    Tick,    // every check box of the page
    Select,  // the list entry whose text is exactly the step's text
};

struct Step {
    Action action = Action::Next;
    std::string text;  // Select only
};

// What one showing of a page gets: ticks and selections, then at most one step that ends the showing.
using Showing = std::vector<Step>;

// Which page an answer is for: every page, a page title, or a dialog template of the DLL.
struct AnswerRule {
    std::string spelled;            // the argument as given, for messages
    std::string title;              // empty: every page without a rule of its own
    int templateId = 0;             // nonzero: the page built from exactly this template
    std::vector<Showing> showings;  // one per successive showing; the last one repeats
};

// KivSetResponseFile's modes (main.cpp asserts that they are the public header's).
constexpr int kNormalMode = 0;
constexpr int kRecordMode = 1;
constexpr int kSilentMode = 2;

struct Options {
    std::string script;        // path of the call script
    std::string dll;           // empty: KivForIS55.dll beside kivhost.exe
    std::string screenshots;   // folder, or empty
    std::string log;           // the DLL's log file, or empty
    std::string responseFile;  // --record or --silent: set with KivSetResponseFile before the first call
    int responseMode = kNormalMode;
    std::vector<AnswerRule> answers;
    std::map<std::string, std::string> defines;  // buffers preset from the command line
    std::string journal;                         // --undo or --commit: the journal's folder; no script then
    bool undoJournal = false;
    int timeoutSeconds = -1;  // -1: 60 when pages are answered automatically, else none
    bool help = false;
};

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

// "next", "Zielpfad bestätigen=back", "1007=tick,next", "1006=back,next" (two showings),
// "AutoCAD Produkt festlegen=select:AutoCAD 2000,next". A page named must exist and take every step.
bool ParseAnswer(const std::string& argument, AnswerRule& rule, std::string& error);

// The rule for a page: the first for its template or its title, else the first for every page.
const AnswerRule* FindAnswer(const std::vector<AnswerRule>& rules, int templateId, const std::string& title);

std::string Describe(const Step& step);

extern const char* const kUsage;

}  // namespace kivhost
