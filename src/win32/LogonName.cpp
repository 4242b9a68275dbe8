// The logon name lookup of KivGetUserName.
#include "win32/LogonName.h"

#include "core/OutputBuffer.h"
#include "core/SetupState.h"

#include <windows.h>

#include <string>

namespace kiv {

namespace {
const char* const kFallbackUserName = "Dorva AT User";
}  // namespace

void TakeLogonName(char* nameBuffer) {
    char name[kOutputBufferSize];
    DWORD size = sizeof name;
    // An empty logon name would leave the update manager without a user.
    bool found = ::GetUserNameA(name, &size) != FALSE && name[0] != '\0';
    std::string chosen = found ? std::string(name) : std::string(kFallbackUserName);
    WriteOutput(nameBuffer, chosen);
    State().userName = chosen;
}

}  // namespace kiv
