// Command-line parsing of kivhost.
#include "Options.h"

#include "Script.h"

#include <cctype>
#include <cstdlib>

namespace kivhost {

const char* const kUsage =
    "usage: kivhost [options] SCRIPT\n"
    "Runs a call script against KivForIS55.dll as a setup script would: one export\n"
    "call per line, each printed with its result and the buffers it wrote.\n"
    "\n"
    "  --dll PATH           the DLL to load (default: KivForIS55.dll beside kivhost.exe)\n"
    "  --answer ANSWER      answer pages automatically; may be repeated:\n"
    "                         next                         every page: Next\n"
    "                         \"Zielpfad bestätigen=back\"   the page with this title\n"
    "                         1007=tick,next               the page of dialog template 1007\n"
    "                       steps: next, back, cancel (confirmed), escape, tick,\n"
    "                       select:TEXT (the list entry TEXT)\n"
    "  --timeout SECONDS    stop an export call that has not returned after this long,\n"
    "                       whatever its pages do (default 60 with --answer, else\n"
    "                       none; 0: none)\n"
    "  --screenshots DIR    save each page shown as a .bmp file in DIR\n"
    "  --define NAME=TEXT   preset the buffer NAME\n"
    "\n"
    "Exit status: 0 every line ran, 1 script error (nothing ran), 2 usage or DLL\n"
    "error, 3 the run was stopped (a page did not close, a buffer overrun), 4 the\n"
    "DLL crashed.\n";

namespace {

std::string Trimmed(const std::string& text) {
    std::size_t end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

bool ParseStep(const std::string& word, Step& step) {
    static const struct {
        const char* word;
        Action action;
    } kSteps[] = {{"next", Action::Next},     {"back", Action::Back}, {"cancel", Action::Cancel},
                  {"escape", Action::Escape}, {"tick", Action::Tick}};
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

bool AllDigits(const std::string& text) {
    if (text.empty() || text.size() > 5) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

}  // namespace

bool ParseAnswer(const std::string& argument, AnswerRule& rule, std::string& error) {
    rule = AnswerRule();
    std::size_t equals = argument.find('=');
    std::string steps = argument;
    if (equals != std::string::npos) {
        std::string page = Trimmed(argument.substr(0, equals));
        steps = argument.substr(equals + 1);
        if (page.empty()) {
            error = "--answer " + argument + ": no page before \"=\"";
            return false;
        }
        if (AllDigits(page))
            rule.templateId = std::atoi(page.c_str());
        else
            rule.title = page;
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
        rule.steps.push_back(step);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return true;
}

const AnswerRule* FindAnswer(const std::vector<AnswerRule>& rules, const std::string& title,
                             const std::map<int, std::string>& captions) {
    const AnswerRule* everyPage = nullptr;
    std::string shown = Trimmed(title);
    for (const AnswerRule& rule : rules) {
        if (rule.templateId != 0) {
            auto caption = captions.find(rule.templateId);
            if (caption != captions.end() && Trimmed(caption->second) == shown) return &rule;
        } else if (rule.title.empty()) {
            if (everyPage == nullptr) everyPage = &rule;
        } else if (rule.title == shown) {
            return &rule;
        }
    }
    return everyPage;
}

std::string Describe(const Step& step) {
    switch (step.action) {
        case Action::Next: return "next";
        case Action::Back: return "back";
        case Action::Cancel: return "cancel";
        case Action::Escape: return "escape";
        case Action::Tick: return "tick";
        case Action::Select: return "select " + Quote(step.text);
    }
    return "?";
}

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
    options = Options();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            options.help = true;
            return true;
        }
        if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            const std::string& value = args[++i];
            if (arg == "--dll") {
                options.dll = value;
            } else if (arg == "--screenshots") {
                options.screenshots = value;
            } else if (arg == "--answer") {
                AnswerRule rule;
                if (!ParseAnswer(value, rule, error)) return false;
                options.answers.push_back(rule);
            } else if (arg == "--timeout") {
                char* end = nullptr;
                long seconds = std::strtol(value.c_str(), &end, 10);
                if (value.empty() || *end != '\0' || seconds < 0 || seconds > 86400) {
                    error = "--timeout " + value + ": not a number of seconds";
                    return false;
                }
                options.timeoutSeconds = static_cast<int>(seconds);
            } else if (arg == "--define") {
                std::size_t equals = value.find('=');
                std::string name = value.substr(0, equals);
                if (equals == std::string::npos || !IsName(name)) {
                    error = "--define " + value + ": expected NAME=TEXT";
                    return false;
                }
                if (value.size() - equals - 1 >= 260) {
                    error = "--define " + name + ": the text does not fit a 260-byte buffer";
                    return false;
                }
                options.defines[name] = value.substr(equals + 1);
            } else {
                error = "unknown option " + arg;
                return false;
            }
        } else if (options.script.empty()) {
            options.script = arg;
        } else {
            error = "more than one script: " + options.script + " and " + arg;
            return false;
        }
    }
    if (options.script.empty()) {
        error = "no script given";
        return false;
    }
    if (options.timeoutSeconds < 0) options.timeoutSeconds = options.answers.empty() ? 0 : 60;
    return true;
}

}  // namespace kivhost
