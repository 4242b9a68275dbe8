// Unattended installs: the response mode, and each page's answer recorded into or played back from an INI file.
#pragma once

#include "dialogs/PageResult.h"

#include <string>
#include <utility>
#include <vector>

namespace kiv::dialogs::response {

// KivSetResponseFile: true when the mode was set, which restarts the counts; a refusal is told.
bool SetResponseFile(const char* file, int mode);

bool Recording() noexcept;
bool Silent() noexcept;

// A page's own keys beside "Result", in the order they are written.
using Values = std::vector<std::pair<std::string, std::string>>;

// Replaces the section "<exportName>-<n>" of the export's next showing with
// Result and values. A failed write is told with the file and the section.
void Record(const char* exportName, PageResult result, const Values& values);

// The section of the export's next showing, in the silent mode.
class Answer {
public:
    explicit Answer(const char* exportName);

    // The value of key; empty when the section or the key is missing.
    std::string Value(const char* key) const;
    // Tells that key is missing or invalid (ERROR_NOT_FOUND), naming the file and the section.
    void TellInvalid(const std::string& key) const;
    // Counts the showing once its answer was taken.
    void Taken() const;

private:
    std::string exportName_;
    std::string section_;
};

}  // namespace kiv::dialogs::response
