// File system operations on Win32, with the existence test of KivExistFile.
#include "frame/FileSystem.h"

#include "frame/Handles.h"

#include <windows.h>

namespace kiv::file {

namespace {

// The volume root of a full path: "C:\" or "\\server\share\".
std::string VolumeRoot(const std::string& full) {
    if (full.size() >= 3 && full[1] == ':' && full[2] == '\\') return full.substr(0, 3);
    if (full.compare(0, 2, "\\\\") == 0) {
        std::size_t server = full.find('\\', 2);
        if (server == std::string::npos) return std::string();
        std::size_t share = full.find('\\', server + 1);
        return share == std::string::npos ? full + "\\" : full.substr(0, share + 1);
    }
    return std::string();
}

bool Identify(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    // No access rights asked: this open never conflicts with a sharing lock.
    UniqueFile file(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && ::GetFileInformationByHandle(file.get(), &info) != FALSE;
}

}  // namespace

bool Exists(const char* path) {
    if (path == nullptr || *path == '\0') return false;
    char full[MAX_PATH];
    char* filePart = nullptr;
    DWORD length = ::GetFullPathNameA(path, MAX_PATH, full, &filePart);
    if (length == 0 || length >= MAX_PATH) return false;
    std::string root = VolumeRoot(full);
    if (root.empty() ||
        !::GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0))
        return false;
    WIN32_FIND_DATAA data;
    UniqueFind search(::FindFirstFileA(path, &data));
    return static_cast<bool>(search);
}

bool SameFile(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION first, second;
    if (!Identify(a, first) || !Identify(b, second)) return false;
    return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

bool Copy(const std::string& source, const std::string& destination) {
    // A destination that does not exist yet cannot be the source, so a new one needs no
    // same-file test: under Wine that test costs a directory scan for the missing name.
    if (::CopyFileA(source.c_str(), destination.c_str(), TRUE)) return true;
    if (SameFile(source, destination)) return false;
    return ::CopyFileA(source.c_str(), destination.c_str(), FALSE) != FALSE;
}

bool Move(const std::string& source, const std::string& destination) {
    if (!Copy(source, destination)) return false;
    Delete(source);
    return true;
}

bool Delete(const std::string& path) { return ::DeleteFileA(path.c_str()) != FALSE; }

bool CreateFolder(const std::string& path) { return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE; }

std::string FirstFreeNumberedName(const std::string& base) {
    for (unsigned long long n = 1;; ++n) {
        std::string name = base + std::to_string(n);
        if (!Exists(name)) return name;
    }
}

std::vector<Entry> List(const std::string& pattern) {
    std::vector<Entry> entries;
    WIN32_FIND_DATAA data;
    UniqueFind search(::FindFirstFileA(pattern.c_str(), &data));
    if (!search) return entries;
    do {
        entries.push_back(Entry{data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                                data.nFileSizeLow});
    } while (::FindNextFileA(search.get(), &data));
    return entries;
}

}  // namespace kiv::file
