// The name rules of the native build, for its tests and fuzzing: no lead bytes, ASCII case only.
#include "core/Path.h"

namespace kiv::path {

namespace {
char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

bool IsAnsiLeadByte(unsigned char) { return false; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

}  // namespace kiv::path
