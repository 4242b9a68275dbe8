// The configuration core's platform operations on the native build (POSIX), for its tests and fuzzing.
#include "upgrade/Platform.h"

#include <cstdio>
#include <stdlib.h>
#include <unistd.h>

namespace kiv::upgrade::platform {

namespace {
char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
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

}  // namespace kiv::upgrade::platform
