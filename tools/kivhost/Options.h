// Command line of kivhost and its automatic page answers (no Windows API).
#pragma once

#include <map>
#include <string>
#include <vector>

namespace kivhost {

enum class Action {
    Next,    // control 1
    Back,    // control 4
    Cancel,  // control 2; a confirmation it brings up is answered with its control 2 as well
    Escape,  // the Escape key to the focused control
    Tick,    // every check box of the page
    Select,  // the list entry whose text is exactly the step's text
};

struct Step {
    Action action = Action::Next;
    std::string text;  // Select only
};

// Which page an answer is for: every page, a page title, or a dialog template of the DLL.
struct AnswerRule {
    std::string title;  // empty: every page without a rule of its own
    int templateId = 0; // nonzero: the page whose title is that template's caption
    std::vector<Step> steps;
};

struct Options {
    std::string script;      // path of the call script
    std::string dll;         // empty: KivForIS55.dll beside kivhost.exe
    std::string screenshots; // folder, or empty
    std::vector<AnswerRule> answers;
    std::map<std::string, std::string> defines;  // buffers preset from the command line
    int timeoutSeconds = -1;  // -1: 60 when pages are answered automatically, else none
    bool help = false;
};

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

// "next", "Zielpfad bestätigen=back", "1007=tick,next", "AutoCAD Produkt festlegen=select:AutoCAD 2000,next"
bool ParseAnswer(const std::string& argument, AnswerRule& rule, std::string& error);

// The rule for a page: one for its title or its template first, else the one for every page.
// captions maps the DLL's dialog template ids to their captions.
const AnswerRule* FindAnswer(const std::vector<AnswerRule>& rules, const std::string& title,
                             const std::map<int, std::string>& captions);

std::string Describe(const Step& step);

extern const char* const kUsage;

}  // namespace kivhost
