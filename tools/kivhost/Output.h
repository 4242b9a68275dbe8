// kivhost's console output (UTF-8), its exit statuses, and its conversions from and to the ANSI code page.
#pragma once

#include "Script.h"

#include <string>
#include <vector>

namespace kivhost {

enum ExitStatus {
    kExitDone = 0,
    kExitScriptError = 1,
    kExitSetupError = 2,
    kExitStopped = 3,
    kExitCrashed = 4,
    kExitUnexpected = 5,  // a call's result was not the one its "== N" expects
};

// One line on standard output, flushed at once so that it survives a crash of the DLL.
void Print(const std::string& utf8);
// One line on standard error.
void PrintError(const std::string& utf8);

// ANSI code page text as UTF-8.
std::string ToUtf8(const std::string& ansi);

// Bytes that are valid UTF-8 as they are, anything else taken as ANSI and converted.
std::string AsUtf8(const std::string& bytes);

// The system's text for an error code, as UTF-8 and without the closing line break.
std::string SystemMessage(unsigned long error);

// A script as read from disk, in the ANSI code page: a valid UTF-8 script is
// converted line by line (a line with a character the code page lacks is an
// error, and stays empty); anything else is taken to be ANSI already.
std::string ScriptToAnsi(const std::string& file, std::vector<ScriptError>& errors);

}  // namespace kivhost
