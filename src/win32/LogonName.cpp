// The logon name lookup of KivGetUserName.
#include "win32/LogonName.h"

#include "core/OutputBuffer.h"
#include "core/SetupState.h"

#include <windows.h>

#include <string>
#include <utility>

namespace kiv {

namespace {
const char* const kFallbackUserName = "Dorva AT User";
}  // namespace

std::optional<std::string> LogonName() {
    char name[kOutputBufferSize];
    DWORD size = sizeof name;
    // An empty logon name would leave the update manager without a user.
    if (!::GetUserNameA(name, &size) || name[0] == '\0') return std::nullopt;
    return std::string(name);
}

void TakeLogonName(char* nameBuffer) {
    const std::string chosen = LogonName().value_or(kFallbackUserName);
    WriteOutput(nameBuffer, chosen);
    RememberUserName(chosen);
}

void TakeLogonNameUnlessSet() {
    if (State().userName.empty()) RememberUserName(LogonName().value_or(kFallbackUserName));
}

void RememberUserName(std::string name) { State().userName = std::move(name); }

}  // namespace kiv
