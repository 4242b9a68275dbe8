// ANSI paths and names as the file system sees them: separators that are characters
// of their own also in East Asian double-byte code pages, and letter case ignored
// letter by letter under the same rules for every user locale.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kiv::path {

// Whether a byte opens a two-byte character.
using LeadByteTest = bool (*)(unsigned char byte);

// The lead bytes of the process's ANSI code page; natively there are none.
// Win32 and native builds each define this and EqualsIgnoringCase.
bool IsAnsiLeadByte(unsigned char byte);

// Position of the last byte of path that is one of separators and a character
// of its own; npos when there is none. In code pages 932, 936, 949 and 950 the
// second byte of a character can be 0x5C, a backslash, and never counts.
std::size_t LastSeparator(std::string_view path, std::string_view separators, LeadByteTest isLeadByte = IsAnsiLeadByte);

// Position of the first backslash at or after from that is a character of its
// own; from must start a character.
std::size_t NextSeparator(std::string_view path, std::size_t from, LeadByteTest isLeadByte = IsAnsiLeadByte);

// The folder without the backslashes that end it, as a folder argument is taken:
// "C:\\K\\P\\" gives "C:\\K\\P". A root keeps its own ("C:\\", "\\"), and a
// double-byte character whose second byte is 0x5C is not cut.
std::string WithoutTrailingSeparators(std::string_view folder, LeadByteTest isLeadByte = IsAnsiLeadByte);

// Equality of names ignoring letter case as the file system compares them: each
// character upper-cased by the system's default table, then compared as is. A
// Turkish user's dotted capital I and the language rules that call "ss" and
// "ß" or a name with and without a soft hyphen equal play no part. Natively
// only ASCII letters fold.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace kiv::path
