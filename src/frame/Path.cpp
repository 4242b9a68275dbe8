// ANSI paths and names as the file system sees them, on Win32 and natively.
#include "frame/Path.h"

#ifdef _WIN32
#include <windows.h>

#include <climits>
#include <string>
#endif

namespace kiv::path {

namespace {

#ifdef _WIN32
// US English has no casing of its own (Turkish maps i to a dotted capital), so
// its upper case is the system's default table, the one NTFS compares names
// with. LOCALE_INVARIANT would say so more plainly but needs Windows XP.
const LCID kCaseLocale = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);

// text from the ANSI code page in UTF-16 upper case; false when it holds a
// byte sequence that is no character there.
bool UpperCaseWide(std::string_view text, std::wstring& upper) {
    upper.clear();
    if (text.empty()) return true;
    if (text.size() > INT_MAX) return false;
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0) return false;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, &wide[0], length) != length)
        return false;
    upper.assign(wide.size(), L'\0');
    return ::LCMapStringW(kCaseLocale, LCMAP_UPPERCASE, wide.data(), length, &upper[0], length) == length;
}
#else
char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
#endif

}  // namespace

bool IsAnsiLeadByte(unsigned char byte) {
#ifdef _WIN32
    return ::IsDBCSLeadByte(byte) != FALSE;
#else
    (void)byte;
    return false;
#endif
}

std::size_t LastSeparator(std::string_view path, std::string_view separators, LeadByteTest isLeadByte) {
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (isLeadByte(static_cast<unsigned char>(path[i])))
            ++i;  // the second byte belongs to the character, whatever its value
        else if (separators.find(path[i]) != std::string_view::npos)
            last = i;
    }
    return last;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
#ifdef _WIN32
    std::wstring upperA, upperB;
    // Bytes that are no text in the code page have no case either.
    if (!UpperCaseWide(a, upperA) || !UpperCaseWide(b, upperB)) return a == b;
    return upperA == upperB;
#else
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
#endif
}

}  // namespace kiv::path
