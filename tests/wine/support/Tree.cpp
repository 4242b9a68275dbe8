// Recursive snapshots of scratch folders.
#include "support/Tree.h"

#include "support/Scratch.h"

#include "../native/Tables.h"

namespace kivtest {

namespace {

void Collect(const std::string& root, const std::string& relative, std::map<std::string, std::string>& tree) {
    std::string folder = relative.empty() ? root : root + "\\" + relative;
    for (const std::string& name : ListNames(folder)) {
        std::string child = relative.empty() ? name : relative + "\\" + name;
        if (FolderExists(root + "\\" + child)) {
            tree[child + "\\"];
            Collect(root, child, tree);
        } else {
            tree[child] = ReadFile(root + "\\" + child);
        }
    }
}

void CollectValues(const std::string& keyPath, const std::string& relative, std::map<std::string, std::string>& tree) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    for (DWORD index = 0;; ++index) {
        char name[260];
        BYTE data[4096];
        DWORD nameLength = sizeof name, dataSize = sizeof data;
        if (::RegEnumValueA(key, index, name, &nameLength, nullptr, nullptr, data, &dataSize) != ERROR_SUCCESS) break;
        tree[relative + ":" + std::string(name, nameLength)] = std::string(reinterpret_cast<char*>(data), dataSize);
    }
    ::RegCloseKey(key);
}

void CollectKeys(const std::string& keyPath, const std::string& relative, std::map<std::string, std::string>& tree) {
    CollectValues(keyPath, relative, tree);
    for (const std::string& name : RegSubKeys(keyPath)) {
        tree[relative + name + "\\"];
        CollectKeys(keyPath + "\\" + name, relative + name + "\\", tree);
    }
}

}  // namespace

std::map<std::string, std::string> RegSnapshot(const std::string& keyPath) {
    std::map<std::string, std::string> tree;
    if (RegKeyExists(keyPath)) {
        tree[""];
        CollectKeys(keyPath, "", tree);
    }
    return tree;
}

std::map<std::string, std::string> Snapshot(const std::string& root) {
    std::map<std::string, std::string> tree;
    Collect(root, "", tree);
    return tree;
}

std::string WithoutStamp(const std::string& path, std::string bytes) {
    // A configuration file's block entries, "KEY 5005 LENGTH CODE|NAME|VALUE", carry the stamped codes.
    if (path.size() >= 4 && ::lstrcmpiA(path.c_str() + path.size() - 4, ".cfg") == 0)
        for (std::size_t bar = bytes.find('|'); bar != std::string::npos;
             bar = bytes.find('|', bytes.find('\n', bar))) {
            const std::size_t code = bytes.rfind(' ', bar) + 1;
            if (code + 7 <= bar) bytes.replace(code + 1, 6, 6, '0');
        }
    if (path.size() < 4 || path.compare(path.size() - 4, 4, ".DAT") != 0 || bytes.size() < 10) return bytes;
    bytes.replace(6, 4, 4, '\0');
    if (path.find("BLOCK") != std::string::npos)
        for (std::size_t at = kivnative::layout::kHeaderSize + kivnative::layout::kTimeCodeAt; at + 6 <= bytes.size();
             at += kivnative::layout::kRecordSize)
            bytes.replace(at, 6, 6, '0');
    return bytes;
}

}  // namespace kivtest
