// The diagnostic log's file: appended a whole line at a time, safe with several writers.
#include "win32/Log.h"

#include "core/SetupState.h"
#include "win32/Handles.h"
#include "win32/LogonName.h"
#include "win32/Module.h"

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

std::string Stamp(Level level) {
    static const char* const kLevelNames[] = {"info   ", "warning", "error  "};
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    char text[80];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u [%lu] %s ", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond, now.wMilliseconds, ::GetCurrentProcessId(),
                  kLevelNames[static_cast<int>(level)]);
    return text;
}

bool IsAdministrator() {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                    &administrators))
        return false;
    BOOL member = FALSE;
    const bool asked = ::CheckTokenMembership(nullptr, administrators, &member) != FALSE;
    ::FreeSid(administrators);
    return asked && member != FALSE;
}

// What a support case needs first: which library, on which Windows, for whom.
std::string Header() {
    OSVERSIONINFOA windows = {};
    windows.dwOSVersionInfoSize = sizeof windows;
    char version[192] = "unknown";
    if (::GetVersionExA(&windows))
        std::snprintf(version, sizeof version, "%lu.%lu.%lu%s%s", windows.dwMajorVersion, windows.dwMinorVersion,
                      windows.dwBuildNumber, windows.szCSDVersion[0] != '\0' ? " " : "", windows.szCSDVersion);
    const std::string libraryVersion = module::Version();
    return "KivForIS55 " + (libraryVersion.empty() ? std::string("(no version)") : libraryVersion) + " " +
           Quote(module::Path().c_str()) + "; Windows " + version + "; user " +
           Quote(LogonName().value_or("").c_str()) + (IsAdministrator() ? ", administrator" : ", no administrator") +
           "; ANSI code page " + std::to_string(::GetACP());
}

}  // namespace

bool Enabled() noexcept {
    // Asked right after the operation a caller may record: its last error must survive the look-up.
    const DWORD lastError = ::GetLastError();
    const bool enabled = ::GetEnvironmentVariableA(kVariable, nullptr, 0) > 1;
    ::SetLastError(lastError);
    return enabled;
}

void Write(const std::string& text, Level level) noexcept {
    DWORD lastError = ::GetLastError();
    try {
        std::string path = LogPath();
        if (path.empty()) return;
        UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            std::string line = Stamp(level) + text + "\r\n";
            // Writers in other processes take turns on a lock byte far past any real end,
            // so each line goes whole to the end as it is then.
            OVERLAPPED lockAt = {};
            lockAt.Offset = 0xFFFFFFFE;
            lockAt.OffsetHigh = 0x7FFFFFFF;
            bool locked = ::LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &lockAt) != FALSE;
            // Asked under the lock, which also keeps this process's own threads apart.
            if (!State().logHeaderWritten) {
                State().logHeaderWritten = true;
                line = Stamp(Level::Info) + Header() + "\r\n" + line;
            }
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
        Level level = Level::Info;
        if (ok) {
            line += ": ok";
        } else if (error == ERROR_SUCCESS) {
            line += ": refused";
            level = Level::Warning;
        } else if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            line += ": not there (" + std::to_string(error) + ")";
        } else {
            level = Level::Error;
            line += ": error " + std::to_string(error);
            std::string message = SystemMessage(error);
            if (!message.empty()) line += " (" + message + ")";
        }
        Write(line, level);
    } catch (...) {
    }
    ::SetLastError(lastError);
}

}  // namespace kiv::log
