// Small text helpers shared by the subsystems (no Windows API).
#pragma once

#include <string>

namespace kiv::text {

// A null C string counts as empty everywhere.
inline std::string FromArg(const char* s) { return s != nullptr ? std::string(s) : std::string(); }
inline bool IsEmpty(const char* s) { return s == nullptr || *s == '\0'; }

}  // namespace kiv::text
