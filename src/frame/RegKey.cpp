// Registry key holder over advapi32.
#include "frame/RegKey.h"

#include <cstring>

namespace kiv {

RegKey& RegKey::operator=(RegKey&& other) noexcept {
    if (this != &other) {
        Attach(other.key_);
        other.key_ = nullptr;
    }
    return *this;
}

void RegKey::Attach(HKEY key) noexcept {
    Close();
    key_ = key;
}

bool RegKey::OpenForRead(HKEY root, const char* subKeyPath) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, subKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    Attach(key);
    return true;
}

bool RegKey::OpenForWrite(HKEY root, const char* subKeyPath) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(root, subKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return false;
    Attach(key);
    return true;
}

void RegKey::Close() noexcept {
    if (key_ != nullptr) {
        ::RegCloseKey(key_);
        key_ = nullptr;
    }
}

bool RegKey::ReadString(const char* valueName, std::string& text) const {
    text.clear();
    DWORD size = 0;
    if (key_ == nullptr || ::RegQueryValueExA(key_, valueName, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return false;
    std::string buffer(static_cast<std::size_t>(size) + 1, '\0');
    // The value may change between the two queries; whatever the second one
    // delivers within the first size is taken.
    ::RegQueryValueExA(key_, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(&buffer[0]), &size);
    text.assign(buffer.c_str(), std::strlen(buffer.c_str()));
    return true;
}

bool RegKey::WriteString(const std::string& text, const char* valueName) const {
    if (key_ == nullptr) return false;
    return ::RegSetValueExA(key_, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool RegKey::EnumSubKeys(std::vector<std::string>& names) const {
    names.clear();
    if (key_ == nullptr) return false;
    for (DWORD index = 0;; ++index) {
        char name[260];
        DWORD length = sizeof name;
        if (::RegEnumKeyExA(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (length > 0) names.emplace_back(name, length);
    }
    return !names.empty();
}

bool RegKey::DeleteSubKey(const char* name) const {
    if (key_ == nullptr || name == nullptr || *name == '\0') return false;
    return ::RegDeleteKeyA(key_, name) == ERROR_SUCCESS;
}

}  // namespace kiv
