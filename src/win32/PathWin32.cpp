// The name rules of Win32: the ANSI code page's lead bytes, and letter case as the file system folds it.
#include "core/Path.h"

#include <windows.h>

#include <climits>
#include <string>

namespace kiv::path {

namespace {

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

}  // namespace

bool IsAnsiLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    std::wstring upperA, upperB;
    // Bytes that are no text in the code page have no case either.
    if (!UpperCaseWide(a, upperA) || !UpperCaseWide(b, upperB)) return a == b;
    return upperA == upperB;
}

}  // namespace kiv::path
