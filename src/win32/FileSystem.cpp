// File system operations on Win32, with the existence test of KivExistFile.
#include "win32/FileSystem.h"

#include "core/Path.h"
#include "core/Platform.h"

#include "win32/Handles.h"
#include "win32/Log.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string_view>

namespace kiv::file {

namespace {

// The volume root of a full path: "C:\" or "\\server\share\".
std::string VolumeRoot(const std::string& full) {
    if (full.size() >= 3 && full[1] == ':' && full[2] == '\\') return full.substr(0, 3);
    if (full.compare(0, 2, "\\\\") == 0) {
        std::size_t server = path::NextSeparator(full, 2);
        if (server == std::string::npos) return std::string();
        std::size_t share = path::NextSeparator(full, server + 1);
        return share == std::string::npos ? full + "\\" : full.substr(0, share + 1);
    }
    return std::string();
}

// Empty when the name cannot be resolved within the path size.
std::string FullPath(const char* path) {
    char full[MAX_PATH];
    char* filePart = nullptr;
    DWORD length = ::GetFullPathNameA(path, MAX_PATH, full, &filePart);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(full, length);
}

// Adds "no disk" and open-error dialogs off to the caller's mode; returns the caller's mode.
UINT QuietCriticalErrors() {
    const UINT quiet = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
    // Only SetErrorMode can read the mode on Windows 2000; the quiet bits stay on meanwhile.
    const UINT caller = ::SetErrorMode(quiet);
    ::SetErrorMode(caller | quiet);
    return caller;
}

bool Identify(const std::string& path, FileIdentity& identity) {
    // No access rights asked: this open never conflicts with a sharing lock.
    UniqueFile file(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!file || !::GetFileInformationByHandle(file.get(), &info)) return false;
    identity.volumeSerial = info.dwVolumeSerialNumber;
    identity.indexHigh = info.nFileIndexHigh;
    identity.indexLow = info.nFileIndexLow;
    identity.fullPath = FullPath(path.c_str());
    return !identity.fullPath.empty();
}

bool IndexKnown(const FileIdentity& identity) { return identity.indexHigh != 0 || identity.indexLow != 0; }

std::string FromTo(const std::string& from, const std::string& to) {
    return log::Quote(from.c_str()) + " -> " + log::Quote(to.c_str());
}

// The first match of a directory search, or with folderOnly the first folder among its matches.
bool Found(const std::string& pattern, bool folderOnly) {
    WIN32_FIND_DATAA data;
    UniqueFind search(::FindFirstFileA(pattern.c_str(), &data));
    if (!search || !folderOnly) return static_cast<bool>(search);
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return true;
    } while (::FindNextFileA(search.get(), &data));
    return false;
}

// Written bytes reach the disk before the rename that makes them count, so that a
// power loss leaves the old file or the new one; any handle flushes the whole file.
bool FlushToDisk(const std::string& path) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    return file && ::FlushFileBuffers(file.get());
}

// Copies source over an existing destination through a flushed temporary copy beside it.
Outcome Overwrite(const std::string& source, const std::string& destination) {
    if (SameFile(source, destination)) {
        log::Operation("CopyFile onto itself", false, ERROR_SUCCESS, [&] { return FromTo(source, destination); });
        return Outcome::Failed(ERROR_ACCESS_DENIED);
    }
    return ReplaceThroughTemporary(destination, [&](const std::string& temporary) {
        const bool copied = ::CopyFileA(source.c_str(), temporary.c_str(), FALSE) != FALSE;
        const DWORD error = ::GetLastError();
        log::Operation("CopyFile", copied, error, [&] { return FromTo(source, temporary); });
        // The copy takes a read-only source's attribute (Wine also after a failed copy), which would
        // refuse the flush and the removal; the replace gives it the destination's attributes.
        ::SetFileAttributesA(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::SetLastError(error);
        return copied && FlushToDisk(temporary);
    });
}

// The library's temporary files are named "~kiv", eight upper-case hexadecimal digits and
// ".tmp" ("~kiv0A1B2C3D.tmp"): no program's or user's own name, so a later call may remove
// those that a killed process left, and nothing else.
constexpr char kTemporaryPrefix[] = "~kiv";
constexpr char kTemporarySuffix[] = ".tmp";
constexpr std::size_t kTemporaryDigits = 8;

bool IsTemporaryName(std::string_view name) {
    const std::size_t prefix = sizeof kTemporaryPrefix - 1, suffix = sizeof kTemporarySuffix - 1;
    if (name.size() != prefix + kTemporaryDigits + suffix || name.substr(0, prefix) != kTemporaryPrefix ||
        name.substr(prefix + kTemporaryDigits) != kTemporarySuffix)
        return false;
    for (char c : name.substr(prefix, kTemporaryDigits))
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    return true;
}

}  // namespace

std::string TemporaryName(unsigned long number) {
    char name[sizeof kTemporaryPrefix + kTemporaryDigits + sizeof kTemporarySuffix];
    std::snprintf(name, sizeof name, "%s%08lX%s", kTemporaryPrefix, number, kTemporarySuffix);
    return name;
}

Outcome ReplaceThroughTemporary(const std::string& destination,
                                const std::function<bool(const std::string& temporary)>& fill) {
    const std::string temporary = core::platform::CreateTemporaryBeside(destination);
    if (temporary.empty()) return Outcome::Failed(::GetLastError());
    ScopeExit removeTemporary([&temporary]() noexcept {
        const DWORD error = ::GetLastError();  // for the caller to tell
        ::DeleteFileA(temporary.c_str());
        ::SetLastError(error);
    });
    if (!fill(temporary) || !core::platform::ReplaceWith(temporary, destination))
        return Outcome::Failed(::GetLastError());
    removeTemporary.release();
    return Outcome::Done();
}

Outcome Flush(const std::string& path) { return Outcome::OfCall(FlushToDisk(path), ::GetLastError()); }

void RemoveLeftTemporaries(const std::string& path) {
    std::size_t slash = path::LastSeparator(path, "\\/");
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
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

bool Exists(const char* path) {
    if (path == nullptr || *path == '\0') return false;
    const std::string full = FullPath(path);
    const std::string root = VolumeRoot(full);
    if (root.empty()) return false;
    const UINT callerMode = QuietCriticalErrors();
    ScopeExit restore([callerMode]() noexcept { ::SetErrorMode(callerMode); });
    if (!::GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0)) return false;
    // The directory search finds no entry for a root, nor for a name that ends in a backslash.
    if (full == root) return true;
    const std::string name = path::WithoutTrailingSeparators(path);
    return Found(name, name.size() != std::strlen(path));
}

bool IsFolder(const std::string& path) {
    const UINT callerMode = QuietCriticalErrors();
    ScopeExit restore([callerMode]() noexcept { ::SetErrorMode(callerMode); });
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool SameIdentity(const FileIdentity& a, const FileIdentity& b) {
    // Some network redirectors report index 0 for every file.
    if (IndexKnown(a) && IndexKnown(b))
        return a.volumeSerial == b.volumeSerial && a.indexHigh == b.indexHigh && a.indexLow == b.indexLow;
    return !a.fullPath.empty() && path::EqualsIgnoringCase(a.fullPath, b.fullPath);
}

bool SameFile(const std::string& a, const std::string& b) {
    FileIdentity first, second;
    return Identify(a, first) && Identify(b, second) && SameIdentity(first, second);
}

Outcome Copy(const std::string& source, const std::string& destination) {
    auto subject = [&] { return FromTo(source, destination); };
    // Opened first, so that a missing source is told before anything is made; held without
    // delete sharing for the whole copy, so that no removal below reaches it, however spelled.
    UniqueFile held(::CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!held) {
        const DWORD error = ::GetLastError();
        log::Operation("CopyFile", false, error, subject);
        return Outcome::OfError(error);
    }
    // A new destination needs no same-file test, which under Wine costs a directory scan for the missing name.
    const bool copied = ::CopyFileA(source.c_str(), destination.c_str(), TRUE) != FALSE;
    const DWORD error = ::GetLastError();
    // An existing destination is no failure but the other way, which logs its own steps.
    if (!copied && (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)) return Overwrite(source, destination);
    log::Operation("CopyFile", copied, error, subject);
    if (copied) return Outcome::Done();
    // Past the held source only the destination's creation, which leaves nothing, or a write fails;
    // Wine keeps what it wrote before a failed write (a full disk), with a read-only source's attribute.
    const DWORD made = ::GetFileAttributesA(destination.c_str());
    if (made != INVALID_FILE_ATTRIBUTES && (made & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ::SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
        log::Operation("DeleteFile", ::DeleteFileA(destination.c_str()) != FALSE,
                       [&] { return log::Quote(destination.c_str()); });
    }
    return Outcome::Failed(error);
}

Outcome Move(const std::string& source, const std::string& destination) {
    Outcome copied = Copy(source, destination);
    if (!copied) return copied;
    // A source that has gone meanwhile does not stay.
    Outcome deleted = Delete(source);
    return deleted.failed() ? deleted : Outcome::Done();
}

Outcome Delete(const std::string& path) {
    const bool ok =
        log::Operation("DeleteFile", ::DeleteFileA(path.c_str()) != FALSE, [&] { return log::Quote(path.c_str()); });
    return Outcome::OfCall(ok, ::GetLastError());
}

Outcome CreateFolder(const std::string& path) {
    const bool ok = log::Operation("CreateDirectory", ::CreateDirectoryA(path.c_str(), nullptr) != FALSE,
                                   [&] { return log::Quote(path.c_str()); });
    return Outcome::OfCall(ok, ::GetLastError());
}

Outcome RemoveFolder(const std::string& path) {
    const bool ok = log::Operation("RemoveDirectory", ::RemoveDirectoryA(path.c_str()) != FALSE,
                                   [&] { return log::Quote(path.c_str()); });
    return Outcome::OfCall(ok, ::GetLastError());
}

std::string FirstFreeNumberedName(const std::string& base) {
    for (unsigned long long n = 1;; ++n) {
        std::string name = base + std::to_string(n);
        if (!Exists(name)) return name;
    }
}

Outcome List(const std::string& pattern, std::vector<Entry>& entries) {
    entries.clear();
    WIN32_FIND_DATAA data;
    UniqueFind search(::FindFirstFileA(pattern.c_str(), &data));
    if (!search) {
        const DWORD error = ::GetLastError();
        // A pattern below a file (ERROR_DIRECTORY) matches nothing either.
        return error == ERROR_NO_MORE_FILES || error == ERROR_DIRECTORY ? Outcome::Missing(error)
                                                                        : Outcome::OfError(error);
    }
    do {
        entries.push_back(Entry{data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                                (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow});
    } while (::FindNextFileA(search.get(), &data));
    const DWORD error = ::GetLastError();
    return error == ERROR_NO_MORE_FILES ? Outcome::Done() : Outcome::Failed(error);
}

}  // namespace kiv::file
