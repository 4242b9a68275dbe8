// Registry key holder over advapi32.
#include "win32/RegKey.h"

#include "win32/Log.h"

#include <cstring>

namespace kiv {

namespace {

std::string Describe(HKEY root, const char* subKeyPath) {
    const char* rootName = root == HKEY_LOCAL_MACHINE ? "HKLM" : root == HKEY_CURRENT_USER ? "HKCU" : "HKEY";
    return std::string(rootName) + "\\" + (subKeyPath != nullptr ? subKeyPath : "");
}

}  // namespace

bool RegKey::Open(HKEY root, const char* subKeyPath, bool forWrite) {
    HKEY key = nullptr;
    LONG status = forWrite ? ::RegCreateKeyExA(root, subKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                               nullptr, &key, nullptr)
                           : ::RegOpenKeyExA(root, subKeyPath, 0, KEY_READ, &key);
    const bool ok = status == ERROR_SUCCESS;
    if (forWrite || !ok)
        log::Operation(forWrite ? "RegCreateKey" : "RegOpenKey", ok, static_cast<DWORD>(status),
                       [&] { return Describe(root, subKeyPath); });
    if (!ok) return false;
    key_.reset(key);
    path_ = Describe(root, subKeyPath);
    return true;
}

bool RegKey::OpenForRead(HKEY root, const char* subKeyPath) { return Open(root, subKeyPath, false); }

bool RegKey::OpenForWrite(HKEY root, const char* subKeyPath) { return Open(root, subKeyPath, true); }

bool RegKey::ReadString(const char* valueName, std::string& text) const {
    text.clear();
    DWORD size = 0;
    if (!key_) return false;
    LONG status = ::RegQueryValueExA(key_.get(), valueName, nullptr, nullptr, nullptr, &size);
    if (status != ERROR_SUCCESS) {
        log::Operation("RegQueryValue", false, static_cast<DWORD>(status),
                       [&] { return path_ + " " + log::Quote(valueName); });
        return false;
    }
    std::string buffer(static_cast<std::size_t>(size) + 1, '\0');
    // The value may change between the two queries; whatever the second one
    // delivers within the first size is taken.
    ::RegQueryValueExA(key_.get(), valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(&buffer[0]), &size);
    text.assign(buffer.c_str(), std::strlen(buffer.c_str()));
    return true;
}

bool RegKey::WriteString(const std::string& text, const char* valueName) const {
    if (!key_) return false;
    LONG status = ::RegSetValueExA(key_.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                   static_cast<DWORD>(text.size() + 1));
    log::Operation("RegSetValue", status == ERROR_SUCCESS, static_cast<DWORD>(status),
                   [&] { return path_ + " " + log::Quote(valueName) + " = " + log::Quote(text.c_str()); });
    return status == ERROR_SUCCESS;
}

bool RegKey::EnumSubKeys(std::vector<std::string>& names) const {
    names.clear();
    if (!key_) return false;
    for (DWORD index = 0;; ++index) {
        char name[256];  // the longest key name and its zero
        DWORD length = sizeof name;
        if (::RegEnumKeyExA(key_.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (length > 0) names.emplace_back(name, length);
    }
    return !names.empty();
}

bool RegKey::DeleteSubKey(const char* name) const {
    if (!key_ || name == nullptr || *name == '\0') return false;
    LONG status = ::RegDeleteKeyA(key_.get(), name);
    log::Operation("RegDeleteKey", status == ERROR_SUCCESS, static_cast<DWORD>(status),
                   [&] { return path_ + "\\" + name; });
    return status == ERROR_SUCCESS;
}

}  // namespace kiv
