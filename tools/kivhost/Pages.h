// The DLL's pages as a user sees them: template, title, buttons, and the answers each can take (no Windows API).
#pragma once

#include "Options.h"
#include "Script.h"

#include <string>
#include <vector>

namespace kivhost {

struct Page {
    int templateId;
    const char* title;    // ANSI (Windows-1252), as the page shows it
    const char* buttons;  // the visible buttons with the answers that press them
    unsigned answers;     // bits of Action
};

const std::vector<Page>& Pages();
const Page* FindPage(int templateId);
std::vector<const Page*> PagesTitled(const std::string& title);
bool Takes(const Page& page, Action action);

// "page 1003 "User Information" cannot take back; its buttons: ...; its answers: ..." for every
// step of rule that a page of pages cannot take; where adds to each message.
void CheckSteps(const AnswerRule& rule, const std::vector<const Page*>& pages, const std::string& where,
                std::vector<std::string>& errors);

// The answer for every page must suit every page the script can show without a rule of its own.
void CheckAnswersForScript(const std::vector<AnswerRule>& rules, const std::vector<Statement>& statements,
                           std::vector<std::string>& errors);

}  // namespace kivhost
