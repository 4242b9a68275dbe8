// Console output and code page conversions of kivhost.
#include "Output.h"

#include <windows.h>

#include <cstdio>

namespace kivhost {

namespace {

std::wstring Widen(const std::string& text, UINT codePage, DWORD flags, bool& ok) {
    ok = true;
    if (text.empty()) return std::wstring();
    int length = ::MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length == 0) {
        ok = false;
        return std::wstring();
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string Narrow(const std::wstring& wide, UINT codePage, bool& lossless) {
    lossless = true;
    if (wide.empty()) return std::string();
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = codePage == CP_UTF8 ? nullptr : &usedDefault;
    // Without it an Omega would quietly become an O.
    DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int length = ::WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                       usedDefaultOut);
    std::string text(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), &text[0], length, nullptr,
                          usedDefaultOut);
    lossless = usedDefault == FALSE && length > 0;
    return text;
}

bool IsAscii(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace

void Print(const std::string& utf8) {
    std::fputs(utf8.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void PrintError(const std::string& utf8) {
    std::fputs(utf8.c_str(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

std::string ToUtf8(const std::string& ansi) {
    if (IsAscii(ansi)) return ansi;
    bool ok = false;
    std::wstring wide = Widen(ansi, CP_ACP, 0, ok);
    return Narrow(wide, CP_UTF8, ok);
}

std::string AsUtf8(const std::string& bytes) {
    bool utf8 = false;
    Widen(bytes, CP_UTF8, MB_ERR_INVALID_CHARS, utf8);
    return utf8 ? bytes : ToUtf8(bytes);
}

std::string SystemMessage(unsigned long error) {
    char* text = nullptr;
    DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length != 0 && text != nullptr ? std::string(text, length) : std::string();
    if (text != nullptr) ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    if (message.empty()) message = "system error";
    return ToUtf8(message) + " (error " + std::to_string(error) + ")";
}

std::string ScriptToAnsi(const std::string& file, std::vector<ScriptError>& errors) {
    // A byte order mark says UTF-8 and is no part of the first line.
    bool marked = file.compare(0, 3, "\xEF\xBB\xBF") == 0;
    std::string raw = marked ? file.substr(3) : file;
    bool utf8 = false;
    Widen(raw, CP_UTF8, MB_ERR_INVALID_CHARS, utf8);
    if (!utf8 || IsAscii(raw)) return raw;
    std::string ansi;
    int line = 0;
    std::size_t start = 0;
    while (start <= raw.size()) {
        std::size_t end = raw.find('\n', start);
        std::string piece = raw.substr(start, end == std::string::npos ? std::string::npos : end - start);
        ++line;
        bool ok = false;
        std::string converted = Narrow(Widen(piece, CP_UTF8, 0, ok), CP_ACP, ok);
        if (!piece.empty() && !ok) {
            errors.push_back(ScriptError{line, "a character of this line is missing from the ANSI code page"});
            converted.clear();
        }
        ansi += converted;
        if (end == std::string::npos) break;
        ansi += '\n';
        start = end + 1;
    }
    return ansi;
}

}  // namespace kivhost
