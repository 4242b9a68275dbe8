// Scratch folders and registry keys for the Wine tests: each test works on its
// own, removed before and after it runs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kivtest {

// C:\kivtest\<suite>.<test>, empty at construction and removed at destruction.
class ScratchFolder {
public:
    ScratchFolder();
    // The same below another drive's root, such as "K:".
    explicit ScratchFolder(const std::string& drive);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    // path() + "\\" + relative
    std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }

private:
    std::string path_;
};

// Clears the keys the library touches below HKEY_LOCAL_MACHINE before and after a test.
class ScratchRegistry {
public:
    ScratchRegistry();
    ~ScratchRegistry();
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

    static void Clear();
};

// Files
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);  // empty when missing
bool FileExists(const std::string& path);       // file only
bool FolderExists(const std::string& path);
void MakeFolder(const std::string& path);  // with missing parents
void RemoveTree(const std::string& path);
std::vector<std::string> ListNames(const std::string& folder);  // sorted, without . and ..

// Registry, all below HKEY_LOCAL_MACHINE unless a root is given.
void SetRegString(const std::string& keyPath, const char* valueName, const std::string& value,
                  HKEY root = HKEY_LOCAL_MACHINE);
void SetRegValue(const std::string& keyPath, const char* valueName, DWORD type, const void* data, DWORD size);
bool GetRegString(const std::string& keyPath, const char* valueName, std::string& value);
bool RegKeyExists(const std::string& keyPath);
void CreateRegKey(const std::string& keyPath);
void DeleteRegTree(const std::string& keyPath);
std::vector<std::string> RegSubKeys(const std::string& keyPath);

extern const char* const kAcadReleaseKey;  // Software\Autodesk\AutoCAD\R15.0

}  // namespace kivtest
