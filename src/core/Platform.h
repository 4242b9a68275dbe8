// The few platform operations the configuration core needs, with a Win32 and a native implementation.
#pragma once

#include "core/Path.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kiv::core::platform {

// Seconds since 1970 (UTC) as a 64-bit value, also after January 2038.
std::int64_t NowSeconds();

// Equality of names and keys ignoring letter case as the file system compares names.
using path::EqualsIgnoringCase;

// Creates a new empty file in the folder of path under a name no other file
// has, and returns that name; empty when none can be created. In the DLL the
// name is the library's own, and temporary files that a killed process left
// in that folder are removed first.
std::string CreateTemporaryBeside(const std::string& path);

// Puts source in the place of target in one step; an existing target's name
// spelling and attributes carry over, but for the archive bit, which a changed
// file gets. On failure, including a read-only
// target (access denied) or a folder, both files stay as they were. Failures
// leave the platform's last error code (errno natively) saying why.
bool ReplaceWith(const std::string& source, const std::string& target);

}  // namespace kiv::core::platform
