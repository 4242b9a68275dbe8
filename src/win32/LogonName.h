// KivGetUserName: the name of the user logged on to Windows, with a fixed fallback.
#pragma once

namespace kiv {

// The logon name, or "Dorva AT User" when there is none, into nameBuffer (when
// it fits) and into the setup state, where the update manager looks for it.
void TakeLogonName(char* nameBuffer);

}  // namespace kiv
