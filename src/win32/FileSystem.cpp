// File system operations on Win32, with the existence test of KivExistFile.
#include "win32/FileSystem.h"

#include "core/Path.h"

#include "win32/Handles.h"
#include "win32/Log.h"

#include <windows.h>

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

}  // namespace

bool Exists(const char* path) {
    if (path == nullptr || *path == '\0') return false;
    std::string root = VolumeRoot(FullPath(path));
    if (root.empty()) return false;
    const UINT callerMode = QuietCriticalErrors();
    ScopeExit restore([callerMode]() noexcept { ::SetErrorMode(callerMode); });
    if (!::GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0)) return false;
    WIN32_FIND_DATAA data;
    UniqueFind search(::FindFirstFileA(path, &data));
    return static_cast<bool>(search);
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
    auto subject = [&] { return log::Quote(source.c_str()) + " -> " + log::Quote(destination.c_str()); };
    // A destination that does not exist yet cannot be the source, so a new one needs no
    // same-file test: under Wine that test costs a directory scan for the missing name.
    if (::CopyFileA(source.c_str(), destination.c_str(), TRUE)) {
        log::Operation("CopyFile", true, subject);
        return Outcome::Done();
    }
    if (SameFile(source, destination)) {
        log::Operation("CopyFile onto itself", false, ERROR_SUCCESS, subject);
        return Outcome::Failed(ERROR_ACCESS_DENIED);
    }
    const bool ok =
        log::Operation("CopyFile", ::CopyFileA(source.c_str(), destination.c_str(), FALSE) != FALSE, subject);
    return Outcome::OfCall(ok, ::GetLastError());
}

Outcome Move(const std::string& source, const std::string& destination) {
    Outcome copied = Copy(source, destination);
    if (!copied) return copied;
    return Delete(source);
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
        return error == ERROR_NO_MORE_FILES ? Outcome::Missing(error) : Outcome::OfError(error);
    }
    do {
        entries.push_back(Entry{data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                                (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow});
    } while (::FindNextFileA(search.get(), &data));
    const DWORD error = ::GetLastError();
    return error == ERROR_NO_MORE_FILES ? Outcome::Done() : Outcome::Failed(error);
}

}  // namespace kiv::file
