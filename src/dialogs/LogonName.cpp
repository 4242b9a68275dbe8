// KivGetUserName: the name of the user logged on to Windows, with a fixed fallback.
#include "dialogs/Exports.h"

#include "frame/OutputBuffer.h"
#include "frame/SetupState.h"

#include <string>

namespace kiv::dialogs {

namespace {
const char* const kFallbackUserName = "Dorva AT User";
}  // namespace

// windows.h maps GetUserName to GetUserNameA, for this definition too.
void GetUserName(char* nameBuffer) {
    char name[kOutputBufferSize];
    DWORD size = sizeof name;
    // An empty logon name would leave the update manager without a user.
    bool found = ::GetUserNameA(name, &size) != FALSE && name[0] != '\0';
    std::string chosen = found ? std::string(name) : std::string(kFallbackUserName);
    WriteOutput(nameBuffer, chosen);
    State().userName = chosen;
}

}  // namespace kiv::dialogs
