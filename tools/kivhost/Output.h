// kivhost's console output (UTF-8) and its conversions from and to the ANSI code page.
#pragma once

#include "Script.h"

#include <string>

namespace kivhost {

// One line on standard output, flushed at once so that it survives a crash of the DLL.
void Print(const std::string& utf8);
// One line on standard error.
void PrintError(const std::string& utf8);

// ANSI code page text as UTF-8.
std::string ToUtf8(const std::string& ansi);

// A script as read from disk, in the ANSI code page: a valid UTF-8 script is
// converted line by line (a character the code page lacks is an error of its
// line); anything else is taken to be ANSI already.
bool ScriptToAnsi(const std::string& file, std::string& ansi, ScriptError& error);

}  // namespace kivhost
