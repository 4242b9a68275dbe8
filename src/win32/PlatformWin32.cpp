// The configuration core's platform operations on Win32.
#include "core/Platform.h"

#include "core/Path.h"
#include "win32/Handles.h"
#include "win32/Log.h"

#include <windows.h>

#include <cstdio>
#include <string_view>

namespace kiv::upgrade::platform {

namespace {

std::string Describe(const std::string& source, const std::string& target) {
    return log::Quote(source.c_str()) + " -> " + log::Quote(target.c_str());
}

// The library's temporary files are named "~kiv", eight upper-case hexadecimal digits and
// ".tmp" ("~kiv0A1B2C3D.tmp"): no program's or user's own name, so a later call may remove
// those that a killed process left, and nothing else.
constexpr char kTemporaryPrefix[] = "~kiv";
constexpr char kTemporarySuffix[] = ".tmp";
constexpr std::size_t kTemporaryDigits = 8;
constexpr int kTemporaryAttempts = 1000;

bool IsTemporaryName(std::string_view name) {
    const std::size_t prefix = sizeof kTemporaryPrefix - 1, suffix = sizeof kTemporarySuffix - 1;
    if (name.size() != prefix + kTemporaryDigits + suffix || name.substr(0, prefix) != kTemporaryPrefix ||
        name.substr(prefix + kTemporaryDigits) != kTemporarySuffix)
        return false;
    for (char c : name.substr(prefix, kTemporaryDigits))
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    return true;
}

// folder ends in its separator, or is empty for the current folder.
void RemoveLeftTemporaries(const std::string& folder) {
    WIN32_FIND_DATAA data;
    // The search also matches short 8.3 names, so the long name is checked in full.
    UniqueFind search(::FindFirstFileA((folder + kTemporaryPrefix + "*" + kTemporarySuffix).c_str(), &data));
    if (!search) return;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !IsTemporaryName(data.cFileName)) continue;
        const std::string left = folder + data.cFileName;
        ::SetFileAttributesA(left.c_str(), FILE_ATTRIBUTE_NORMAL);
        log::Operation("DeleteFile", ::DeleteFileA(left.c_str()) != FALSE, [&] { return log::Quote(left.c_str()); });
    } while (::FindNextFileA(search.get(), &data));
}

}  // namespace

std::int64_t NowSeconds() {
    // The C runtime's time() is 32-bit and fails after January 2038.
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks = (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
    constexpr std::uint64_t kTicksPerSecond = 10000000;  // 100 ns
    constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
    return static_cast<std::int64_t>(ticks / kTicksPerSecond) - kSecondsFrom1601To1970;
}

std::string CreateTemporaryBeside(const std::string& path) {
    std::size_t slash = path::LastSeparator(path, "\\/");
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    RemoveLeftTemporaries(folder);
    // Different processes start at different numbers; a number in use is passed over.
    DWORD number = (::GetCurrentProcessId() << 16) ^ ::GetTickCount();
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt, ++number) {
        char name[sizeof kTemporaryPrefix + kTemporaryDigits + sizeof kTemporarySuffix];
        std::snprintf(name, sizeof name, "%s%08lX%s", kTemporaryPrefix, static_cast<unsigned long>(number),
                      kTemporarySuffix);
        const std::string temporary = folder + name;
        UniqueFile file(
            ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) return temporary;
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    return std::string();
}

bool ReplaceWith(const std::string& source, const std::string& target) {
    // A wildcard would make the search below answer for another file.
    if (target.find_first_of("*?") != std::string::npos) {
        ::SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    std::string destination = target;
    // One search gives the attributes and the name as spelled on disk ("ARCH.CFG"), which a
    // rename would otherwise replace with the spelling it is given.
    WIN32_FIND_DATAA data;
    UniqueFind search(::FindFirstFileA(target.c_str(), &data));
    if (search) {
        // Windows refuses to replace a read-only file or a folder; Wine as root replaces a read-only
        // file, so ask first.
        if ((data.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
            log::Operation("MoveFileEx", false, ERROR_ACCESS_DENIED, [&] { return Describe(source, target); });
            ::SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        destination = target.substr(0, path::LastSeparator(target, "\\/") + 1) + data.cFileName;
        // The archive bit is not carried: the content changed. A plain file needs no call at all.
        const DWORD carried = data.dwFileAttributes & ~(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL);
        if (carried != 0) ::SetFileAttributesA(source.c_str(), carried | FILE_ATTRIBUTE_ARCHIVE);
    }
    return log::Operation("MoveFileEx",
                          ::MoveFileExA(source.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE,
                          [&] { return Describe(source, destination); });
}

}  // namespace kiv::upgrade::platform
