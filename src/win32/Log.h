// Opt-in diagnostic log: KIVFORIS55_LOG names a file that gets one line per
// export call and per file or registry operation that changes something or fails.
#pragma once

#include <windows.h>

#include <string>

namespace kiv::log {

// True when KIVFORIS55_LOG names a file. Read on every call, so a host may
// set it at any time; unset, the library writes nothing.
bool Enabled() noexcept;

// Every line says how much it matters; nothing is filtered out.
enum class Level { Info, Warning, Error };

// Appends text and a line end, stamped with time, process and level; failures
// are ignored. A process's first line is preceded by a header: the library's
// version and path, Windows, the user and whether an administrator, the ANSI
// code page.
void Write(const std::string& text, Level level = Level::Info) noexcept;

// The system's text for a Win32 error code in the user's language, without its
// line end; empty when the system has none.
std::string SystemMessage(DWORD error);

// "\"text\"" cut to a readable length, or "NULL".
std::string Quote(const char* text);

// Records an operation that changed something or failed: what, on which paths
// or key, and for a failure the error code with the system's text for it. A
// file, folder or key that is not there is told as such, not as an error:
// most such operations are checks. Keeps the caller's last-error value, so a
// log line changes nothing.
void Record(const char* what, const std::string& subject, bool ok, DWORD error) noexcept;

// The same, building the subject text only when the log is on.
template <typename Subject>
void Operation(const char* what, bool ok, DWORD error, Subject&& subject) noexcept {
    if (!Enabled()) return;
    try {
        Record(what, subject(), ok, error);
    } catch (...) {
    }
}

// For a call just made whose failure code is GetLastError(); passes ok on.
template <typename Subject>
bool Operation(const char* what, bool ok, Subject&& subject) noexcept {
    Operation(what, ok, ok ? ERROR_SUCCESS : ::GetLastError(), subject);
    return ok;
}

}  // namespace kiv::log
