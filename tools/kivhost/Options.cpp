// Command-line parsing of kivhost.
#include "Options.h"

#include "Calls.h"

#include "Pages.h"
#include "Script.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iterator>

namespace kivhost {

const char* const kUsage =
    "usage: kivhost [options] SCRIPT\n"
    "       kivhost [--dll PATH] --undo FOLDER | --commit FOLDER\n"
    "Runs a call script against KivForIS55.dll as a setup script would: one export\n"
    "call per line, each printed with its result and the buffers it wrote.\n"
    "\n"
    "  --dll PATH           the DLL to load (default: KivForIS55.dll beside kivhost.exe)\n"
    "  --answer ANSWER      answer pages automatically; may be repeated:\n"
    "                         next                         every page: Next\n"
    "                         \"Zielpfad bestätigen=back\"   the page with this title\n"
    "                         1007=tick,next               the page of dialog template 1007\n"
    "                         1006=back,next               Back, and Next when it shows again\n"
    "                       steps: next, back, cancel (confirmed), escape, tick,\n"
    "                       select:TEXT (the list entry TEXT); next, back, cancel and\n"
    "                       escape end a showing, the last showing repeats\n"
    "  --timeout SECONDS    stop an export call that has not returned after this long,\n"
    "                       whatever its pages do (default 60 with --answer, else\n"
    "                       none; 0: none)\n"
    "  --screenshots DIR    save each page shown as a .png file in DIR\n"
    "  --define NAME=TEXT   preset the buffer NAME\n"
    "  --log FILE           have the DLL log its calls to FILE (KIVFORIS55_LOG)\n"
    "  --record FILE        record every page's answer into the response file FILE\n"
    "  --silent FILE        play the pages back from FILE: no page, no window, and\n"
    "                       hwnd is null (not with --answer)\n"
    "  --undo FOLDER        undo the changes recorded in the undo journal in FOLDER,\n"
    "                       which a crashed or killed setup left (no script then)\n"
    "  --commit FOLDER      keep them and remove that journal\n"
    "\n"
    "A call may be followed by an expected result: KivShowTargeDir(...) == 1\n"
    "\n"
    "Exit status: 0 every line ran, 1 script error (nothing ran), 2 usage or DLL\n"
    "error, 3 the run was stopped (a call did not return in time, a buffer overrun),\n"
    "4 the DLL crashed, 5 a result was not the one expected (the run stopped there).\n";

namespace {

bool ParseStep(const std::string& word, Step& step) {
    static const struct {
        const char* word;
        Action action;
    } kSteps[] = {{"next", Action::Next},
                  {"back", Action::Back},
                  {"cancel", Action::Cancel},
                  {"escape", Action::Escape},
                  {"tick", Action::Tick}};
    if (Lowered(word.substr(0, 7)) == "select:") {
        step = Step{Action::Select, word.substr(7)};
        return !step.text.empty();
    }
    for (const auto& entry : kSteps) {
        if (Lowered(word) == entry.word) {
            step = Step{entry.action, std::string()};
            return true;
        }
    }
    return false;
}

bool EndsShowing(Action action) { return action != Action::Tick && action != Action::Select; }

bool AllDigits(const std::string& text) {
    if (text.empty() || text.size() > 5) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

std::string TemplateList() {
    std::string list;
    for (const Page& page : Pages()) list += (list.empty() ? "" : ", ") + std::to_string(page.templateId);
    return list;
}

std::string TitleList() {
    std::string list;
    for (const Page& page : Pages())
        if (list.find("\"" + std::string(page.title) + "\"") == std::string::npos)
            list += (list.empty() ? "\"" : ", \"") + std::string(page.title) + "\"";
    return list;
}

// Each option with a value: stores it, or says why it cannot.
using Apply = bool (*)(const std::string& value, Options& options, std::string& error);

bool ApplyAnswer(const std::string& value, Options& options, std::string& error) {
    AnswerRule rule;
    if (!ParseAnswer(value, rule, error)) return false;
    for (const AnswerRule& earlier : options.answers) {
        if (earlier.templateId == rule.templateId && Trimmed(earlier.title) == Trimmed(rule.title)) {
            error = "--answer " + value + ": that page has an answer already (--answer " + earlier.spelled + ")";
            return false;
        }
    }
    options.answers.push_back(rule);
    return true;
}

bool ApplyTimeout(const std::string& value, Options& options, std::string& error) {
    char* end = nullptr;
    long seconds = std::strtol(value.c_str(), &end, 10);
    if (*end != '\0' || seconds < 0 || seconds > 86400 || !std::isdigit(static_cast<unsigned char>(value[0]))) {
        error = "--timeout " + value + ": not a number of seconds from 0 to 86400";
        return false;
    }
    options.timeoutSeconds = static_cast<int>(seconds);
    return true;
}

bool ApplyDefine(const std::string& value, Options& options, std::string& error) {
    std::size_t equals = value.find('=');
    std::string name = value.substr(0, equals);
    if (equals == std::string::npos || !IsName(name)) {
        error = "--define " + value + ": expected NAME=TEXT";
        return false;
    }
    if (value.size() - equals - 1 >= kBufferSize) {
        error = "--define " + name + ": the text does not fit a " + std::to_string(kBufferSize) + "-byte buffer";
        return false;
    }
    options.defines[name] = value.substr(equals + 1);
    return true;
}

bool ApplyResponse(const std::string& value, Options& options, std::string& error, int mode) {
    if (options.responseMode != 0) {
        error = "--record and --silent: only one of them, once";
        return false;
    }
    options.responseFile = value;
    options.responseMode = mode;
    return true;
}

const struct {
    const char* name;
    Apply apply;  // null: the option takes no value
} kOptions[] = {
    {"--dll",
     [](const std::string& v, Options& o, std::string&) {
         o.dll = v;
         return true;
     }},
    {"--answer", &ApplyAnswer},
    {"--timeout", &ApplyTimeout},
    {"--screenshots",
     [](const std::string& v, Options& o, std::string&) {
         o.screenshots = v;
         return true;
     }},
    {"--define", &ApplyDefine},
    {"--log",
     [](const std::string& v, Options& o, std::string&) {
         o.log = v;
         return true;
     }},
    {"--record", [](const std::string& v, Options& o, std::string& e) { return ApplyResponse(v, o, e, kRecordMode); }},
    {"--silent", [](const std::string& v, Options& o, std::string& e) { return ApplyResponse(v, o, e, kSilentMode); }},

    {"--undo",
     [](const std::string& v, Options& o, std::string&) {
         o.journal = v;
         o.undoJournal = true;
         return true;
     }},
    {"--commit",
     [](const std::string& v, Options& o, std::string&) {
         o.journal = v;
         o.undoJournal = false;
         return true;
     }},
    {"--help", nullptr},
    {"-h", nullptr},
    {"/?", nullptr},
};

}  // namespace

bool ParseAnswer(const std::string& argument, AnswerRule& rule, std::string& error) {
    rule = AnswerRule();
    rule.spelled = argument;
    std::size_t equals = argument.find('=');
    std::string steps = argument;
    std::vector<const Page*> pages;
    if (equals != std::string::npos) {
        std::string page = Trimmed(argument.substr(0, equals));
        steps = argument.substr(equals + 1);
        if (page.empty()) {
            error = "--answer " + argument + ": no page before \"=\"";
            return false;
        }
        if (AllDigits(page)) {
            rule.templateId = std::atoi(page.c_str());
            if (const Page* found = FindPage(rule.templateId)) pages.push_back(found);
            if (pages.empty()) {
                error =
                    "--answer " + argument + ": no page has template " + page + " (the pages: " + TemplateList() + ")";
                return false;
            }
        } else {
            rule.title = page;
            pages = PagesTitled(page);
            if (pages.empty()) {
                error = "--answer " + argument + ": no page has the title \"" + page +
                        "\" (the titles: " + TitleList() + ")";
                return false;
            }
        }
    }
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = steps.find(',', start);
        std::string word = steps.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        Step step;
        if (!ParseStep(word, step)) {
            error = "--answer " + argument + ": unknown step \"" + word +
                    "\" (next, back, cancel, escape, tick, select:TEXT)";
            return false;
        }
        if (rule.showings.empty() || (!rule.showings.back().empty() && EndsShowing(rule.showings.back().back().action)))
            rule.showings.emplace_back();
        rule.showings.back().push_back(step);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    std::vector<std::string> refused;
    CheckSteps(rule, pages, "", refused);
    if (refused.empty()) return true;
    error = refused.front();
    return false;
}

const AnswerRule* FindAnswer(const std::vector<AnswerRule>& rules, int templateId, const std::string& title) {
    const AnswerRule* everyPage = nullptr;
    for (const AnswerRule& rule : rules) {
        if (rule.templateId != 0) {
            if (rule.templateId == templateId) return &rule;
        } else if (rule.title.empty()) {
            if (everyPage == nullptr) everyPage = &rule;
        } else if (rule.title == Trimmed(title)) {
            return &rule;
        }
    }
    return everyPage;
}

std::string Describe(const Step& step) {
    switch (step.action) {
        case Action::Next:
            return "next";
        case Action::Back:
            return "back";
        case Action::Cancel:
            return "cancel";
        case Action::Escape:
            return "escape";
        case Action::Tick:
            return "tick";
        case Action::Select:
            return "select " + Quote(step.text);
    }
    return "?";
}

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
    options = Options();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool isOption = arg.size() > 1 && (arg[0] == '-' || arg == "/?");
        if (!isOption) {
            if (!options.script.empty()) {
                error = "more than one script: " + options.script + " and " + arg;
                return false;
            }
            options.script = arg;
            continue;
        }
        std::size_t equals = arg.compare(0, 2, "--") == 0 ? arg.find('=') : std::string::npos;
        std::string name = arg.substr(0, equals);
        const auto* option =
            std::find_if(std::begin(kOptions), std::end(kOptions), [&](const auto& o) { return name == o.name; });
        if (option == std::end(kOptions)) {
            error = "unknown option " + name;
            return false;
        }
        if (option->apply == nullptr) {
            if (equals != std::string::npos) {
                error = name + " takes no value";
                return false;
            }
            options.help = true;
            return true;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size() && args[i + 1].compare(0, 2, "--") != 0) {
            value = args[++i];
        }
        if (value.empty()) {
            error = name + " needs a value";
            return false;
        }
        if (!option->apply(value, options, error)) return false;
    }
    if (!options.journal.empty() && !options.script.empty()) {
        error = "--undo and --commit take no script";
        return false;
    }
    if (options.script.empty() && options.journal.empty()) {
        error = "no script given";
        return false;
    }
    if (options.responseMode == kSilentMode && !options.answers.empty()) {
        error = "--answer and --silent: a silent run shows no page to answer";
        return false;
    }
    if (options.timeoutSeconds < 0) options.timeoutSeconds = options.answers.empty() ? 0 : 60;
    return true;
}

}  // namespace kivhost
