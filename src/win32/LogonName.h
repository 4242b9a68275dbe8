// KivGetUserName: the name of the user logged on to Windows, with a fixed fallback.
#pragma once

#include <optional>
#include <string>

namespace kiv {

// The name of the user logged on to Windows; none when the system tells none.
std::optional<std::string> LogonName();

// The logon name, or "Dorva AT User" when there is none, into nameBuffer (when
// it fits) and into the setup state, where the update manager looks for it.
void TakeLogonName(char* nameBuffer);

}  // namespace kiv
