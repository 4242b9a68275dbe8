// The outcome of the current export call, which KivGetLastError hands to the script:
// the first failure's Win32 code and one line for a person, kept in the setup state.
#pragma once

#include "win32/Outcome.h"

#include <windows.h>

#include <string>

namespace kiv::outcome {

// A new export call starts: success until something is told.
void Begin() noexcept;

// Tells the call's failure: code and what failed, followed by the system's text
// for the code in the user's language. Only the first failure of a call is kept,
// since later ones are mostly its consequences.
void Fail(DWORD code, const std::string& what) noexcept;

// The same for a failed or missing operation; a done one tells nothing. Passes
// the outcome on, so a caller can test it in the same line.
const Outcome& Tell(const Outcome& outcome, const std::string& what) noexcept;

// The user ended a page with Cancel (ERROR_CANCELLED): names the page.
void Cancelled(const std::string& page) noexcept;
// Nothing to work on was found (ERROR_NOT_FOUND).
void NotFound(const std::string& what) noexcept;
// The export refused its arguments (ERROR_INVALID_PARAMETER).
void Refused(const std::string& what) noexcept;

// Whether the current call has told a failure yet.
bool Failed() noexcept;

// The code of the last call, and its line cut at a whole character to fit
// a caller's buffer of KIV_BUFFER_SIZE bytes (nothing written for a null one).
DWORD LastCode() noexcept;
void CopyLastText(char* buffer) noexcept;

}  // namespace kiv::outcome
