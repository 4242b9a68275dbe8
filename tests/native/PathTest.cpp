// Separators of a path walked character by character, with the lead bytes of code page 932.
#include "core/Path.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

bool IsShiftJisLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

constexpr std::size_t kNone = std::string::npos;

}  // namespace

TEST(LastSeparator, SkipsTheSecondByteOfDoubleByteCharacters) {
    struct Case {
        const char* what;
        std::string path;
        const char* separators;
        std::size_t expected;
    };
    // 表 is 0x95 0x5C and ソ is 0x83 0x5C in code page 932.
    const Case cases[] = {
        {"empty", "", "\\", kNone},
        {"no separator", "Arch.Cfg", "\\", kNone},
        {"plain path", "C:\\KIV\\Arch.Cfg", "\\", 6},
        {"folder ending in a trail backslash", "C:\\\x95\x5C\\Arch.Cfg", "\\", 5},
        {"file name ending in a trail backslash", "C:\\a\\\x83\x5C", "\\", 4},
        {"only a trail backslash", "\x95\x5C", "\\", kNone},
        {"two characters in a row", "\x95\x5C\x83\x5C\\x", "\\", 4},
        {"backslash after a lone lead byte at the end", "C:\\a\\\x95", "\\", 4},
        {"half-width katakana is single-byte", "C:\\\xB1\\x", "\\", 4},
        {"slash counts when asked",
         "C:\\a/\x95\x5C"
         "b",
         "\\/", 4},
        {"slash ignored otherwise", "C:\\a/b", "\\", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected, kiv::path::LastSeparator(c.path, c.separators, IsShiftJisLeadByte));
    }
}

TEST(WithoutTrailingSeparators, CutsEveryEndingBackslashButARootsOwnOrATrailByte) {
    // The second byte of 表 (0x95 0x5C in code page 932) is no separator.
    const std::pair<std::string, std::string> cases[] = {{"", ""},
                                                         {"C:\\K\\P", "C:\\K\\P"},
                                                         {"C:\\K\\P\\", "C:\\K\\P"},
                                                         {"C:\\K\\P\\\\\\", "C:\\K\\P"},
                                                         {"C:\\", "C:\\"},
                                                         {"C:\\\\\\", "C:\\"},
                                                         {"\\", "\\"},
                                                         {"\\\\\\", "\\"},
                                                         {"\\\\server\\share\\", "\\\\server\\share"},
                                                         {"C:\\\x95\x5C", "C:\\\x95\x5C"},
                                                         {"C:\\\x95\x5C\\\\", "C:\\\x95\x5C"}};
    for (const auto& [folder, expected] : cases)
        EXPECT_EQ(expected, kiv::path::WithoutTrailingSeparators(folder, IsShiftJisLeadByte)) << folder;
}
