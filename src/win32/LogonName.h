// KivGetUserName: the name of the user logged on to Windows, with a fixed fallback.
#pragma once

#include <optional>
#include <string>

namespace kiv {

// The name of the user logged on to Windows; none when the system tells none.
std::optional<std::string> LogonName();

// The setup's user name lives in the setup state, and these are its only writers.

// The logon name, or "Dorva AT User" when there is none, into nameBuffer (when
// it fits) and into the setup state, where the update manager looks for it.
void TakeLogonName(char* nameBuffer);

// The same without a buffer, unless a name is set already.
void TakeLogonNameUnlessSet();

// A name the user confirmed on the user name page.
void RememberUserName(std::string name);

}  // namespace kiv
