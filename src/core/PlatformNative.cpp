// The configuration core's platform operations on the native build (POSIX), for its tests and fuzzing.
#include "core/Platform.h"

#include <stdlib.h>
#include <unistd.h>
#include <chrono>
#include <cstdio>

namespace kiv::core::platform {

std::int64_t NowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string CreateTemporaryBeside(const std::string& path) {
    std::string name = path + ".XXXXXX";
    int fd = ::mkstemp(&name[0]);
    if (fd < 0) return std::string();
    ::close(fd);
    return name;
}

bool ReplaceWith(const std::string& source, const std::string& target) {
    return std::rename(source.c_str(), target.c_str()) == 0;
}

}  // namespace kiv::core::platform
