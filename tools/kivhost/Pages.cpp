// The page table of kivhost and the check of page answers against it.
#include "Pages.h"

#include "Calls.h"
#include "Script.h"

#include <set>

namespace kivhost {

namespace {

constexpr unsigned Bit(Action action) { return 1u << static_cast<unsigned>(action); }
constexpr unsigned kNext = Bit(Action::Next), kBack = Bit(Action::Back), kCancel = Bit(Action::Cancel),
                   kEscape = Bit(Action::Escape), kTick = Bit(Action::Tick), kSelect = Bit(Action::Select);

const char* const kNextCancel = "\"&Weiter >\" for next and \"Abbrechen\" for cancel";
const char* const kProductButtons = "\"&Weiter >\" for next and a list to select from";

std::string AnswerWords(unsigned answers) {
    static const char* const kWords[] = {"next", "back", "cancel", "escape", "tick", "select:ENTRY"};
    std::string words;
    for (unsigned i = 0; i < sizeof kWords / sizeof kWords[0]; ++i)
        if ((answers & (1u << i)) != 0) words += (words.empty() ? "" : ", ") + std::string(kWords[i]);
    return words;
}

}  // namespace

const std::vector<Page>& Pages() {
    static const std::vector<Page> pages = {
        {1003, "User Information", kNextCancel, kNext | kCancel | kEscape},
        {1006, "Zielpfad best\xE4tigen",
         "\"< &Zur\xFC"
         "ck\" for back, \"&Weiter >\" for next and \"Abbrechen\" for cancel",
         kNext | kBack | kCancel | kEscape},
        {1007, "Tablettmen\xFC einrichten", "\"&Weiter >\" for next, \"Abbrechen\" for cancel and a check box to tick",
         kNext | kCancel | kEscape | kTick},
        {1008, "AutoCAD Produkt festlegen", kProductButtons, kNext | kEscape | kSelect},
        {1009, "AutoCAD Produkt festlegen", kProductButtons, kNext | kEscape | kSelect},
        {1010, "User Information", kNextCancel, kNext | kCancel | kEscape},
        {1020, "Setup Abbrechen ", "\"&Fortsetzen\" for next and \"A&bbrechen\" for cancel", kNext | kCancel | kEscape},
    };
    return pages;
}

const Page* FindPage(int templateId) {
    for (const Page& page : Pages())
        if (page.templateId == templateId) return &page;
    return nullptr;
}

std::vector<const Page*> PagesTitled(const std::string& title) {
    std::vector<const Page*> titled;
    for (const Page& page : Pages())
        if (Trimmed(page.title) == Trimmed(title)) titled.push_back(&page);
    return titled;
}

bool Takes(const Page& page, Action action) { return (page.answers & Bit(action)) != 0; }

void CheckSteps(const AnswerRule& rule, const std::vector<const Page*>& pages, const std::string& where,
                std::vector<std::string>& errors) {
    for (const Page* page : pages) {
        std::set<Action> refused;
        for (const Showing& showing : rule.showings) {
            for (const Step& step : showing) {
                if (Takes(*page, step.action) || !refused.insert(step.action).second) continue;
                std::string word = step.action == Action::Select ? "select" : Describe(step);
                errors.push_back("--answer " + rule.spelled + ": page " + std::to_string(page->templateId) + " \"" +
                                 page->title + "\"" + where + " cannot take " + word + " (it shows " + page->buttons +
                                 "; its answers: " + AnswerWords(page->answers) + ")");
            }
        }
    }
}

void CheckAnswersForScript(const std::vector<AnswerRule>& rules, const std::vector<Statement>& statements,
                           std::vector<std::string>& errors) {
    std::set<int> checked;
    for (const Statement& statement : statements) {
        const CallSpec* call = statement.assignment ? nullptr : FindCall(statement.name);
        int shown = call != nullptr ? PageShown(*call, statement) : 0;
        const Page* page = FindPage(shown);
        if (page == nullptr || !checked.insert(shown).second) continue;
        const AnswerRule* rule = FindAnswer(rules, shown, page->title);
        if (rule != nullptr && rule->templateId == 0 && rule->title.empty())
            CheckSteps(*rule, {page}, ", which line " + std::to_string(statement.line) + " shows,", errors);
    }
}

}  // namespace kivhost
