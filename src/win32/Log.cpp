// The diagnostic log's file: appended a whole line at a time, safe with several writers.
#include "win32/Log.h"

#include "win32/Handles.h"

#include <cstdio>

namespace kiv::log {

namespace {

constexpr const char* kVariable = "KIVFORIS55_LOG";
constexpr std::size_t kLongestQuoted = 200;

std::string LogPath() {
    char path[MAX_PATH];
    DWORD length = ::GetEnvironmentVariableA(kVariable, path, sizeof path);
    return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}

}  // namespace

std::string SystemMessage(DWORD error) {
    char* text = nullptr;
    DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length > 0 && text != nullptr ? std::string(text, length) : std::string();
    if (text != nullptr) ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message;
}

namespace {

std::string Stamp() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u [%lu] ", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond, now.wMilliseconds, ::GetCurrentProcessId());
    return text;
}

}  // namespace

bool Enabled() noexcept {
    // Asked right after the operation a caller may record: its last error must survive the look-up.
    const DWORD lastError = ::GetLastError();
    const bool enabled = ::GetEnvironmentVariableA(kVariable, nullptr, 0) > 1;
    ::SetLastError(lastError);
    return enabled;
}

void Write(const std::string& text) noexcept {
    DWORD lastError = ::GetLastError();
    try {
        std::string path = LogPath();
        if (path.empty()) return;
        UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            std::string line = Stamp() + text + "\r\n";
            // Writers in other processes take turns on a lock byte far past any real end,
            // so each line goes whole to the end as it is then.
            OVERLAPPED lockAt = {};
            lockAt.Offset = 0xFFFFFFFE;
            lockAt.OffsetHigh = 0x7FFFFFFF;
            bool locked = ::LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &lockAt) != FALSE;
            ::SetFilePointer(file.get(), 0, nullptr, FILE_END);
            DWORD written = 0;
            ::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            if (locked) ::UnlockFileEx(file.get(), 0, 1, 0, &lockAt);
        }
    } catch (...) {
        // The log never changes what the library does.
    }
    ::SetLastError(lastError);
}

std::string Quote(const char* text) {
    if (text == nullptr) return "NULL";
    std::string quoted = "\"";
    std::size_t length = 0;
    for (const char* at = text; *at != '\0'; ++at, ++length) {
        if (length == kLongestQuoted) return quoted + "\"...";
        if (*at == '"' || *at == '\\') quoted += '\\';
        if (*at == '\r' || *at == '\n')
            quoted += *at == '\r' ? "\\r" : "\\n";
        else
            quoted += *at;
    }
    return quoted + "\"";
}

void Record(const char* what, const std::string& subject, bool ok, DWORD error) noexcept {
    DWORD lastError = ::GetLastError();
    try {
        std::string line = std::string("  ") + what + " " + subject;
        if (ok) {
            line += ": ok";
        } else if (error == ERROR_SUCCESS) {
            line += ": refused";
        } else {
            line += ": error " + std::to_string(error);
            std::string message = SystemMessage(error);
            if (!message.empty()) line += " (" + message + ")";
        }
        Write(line);
    } catch (...) {
    }
    ::SetLastError(lastError);
}

}  // namespace kiv::log
