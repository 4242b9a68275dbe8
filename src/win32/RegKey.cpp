// Registry key holder over advapi32.
#include "win32/RegKey.h"

#include "core/Text.h"
#include "win32/Log.h"

#include <algorithm>

namespace kiv {

namespace {

std::string Describe(HKEY root, const std::string& subKeyPath) {
    const char* rootName = root == HKEY_LOCAL_MACHINE ? "HKLM" : root == HKEY_CURRENT_USER ? "HKCU" : "HKEY";
    return std::string(rootName) + "\\" + subKeyPath;
}

Outcome OfStatus(LONG status) { return Outcome::OfCall(status == ERROR_SUCCESS, static_cast<DWORD>(status)); }

// Every read starts with this much room; a longer value costs one more query.
constexpr std::size_t kFirstReadSize = 256;

}  // namespace

Outcome RegKey::Open(HKEY root, const std::string& subKeyPath, REGSAM access, bool create) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LONG status = create ? ::RegCreateKeyExA(root, subKeyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                   access, nullptr, &key, &disposition)
                               : ::RegOpenKeyExA(root, subKeyPath.c_str(), 0, access, &key);
    const Outcome outcome = OfStatus(status);
    if (!outcome || disposition == REG_CREATED_NEW_KEY)
        log::Operation(create ? "RegCreateKey" : "RegOpenKey", outcome.done(), outcome.error(),
                       [&] { return Describe(root, subKeyPath); });
    if (!outcome) return outcome;
    key_.reset(key);
    name_ = Describe(root, subKeyPath);
    return outcome;
}

Outcome RegKey::OpenForRead(HKEY root, const std::string& subKeyPath) {
    return Open(root, subKeyPath, KEY_READ, false);
}

Outcome RegKey::OpenForWrite(HKEY root, const std::string& subKeyPath) {
    return Open(root, subKeyPath, KEY_SET_VALUE, true);
}

Outcome RegKey::OpenForDelete(HKEY root, const std::string& subKeyPath) {
    // RegDeleteKey asks for DELETE on the sub-key itself; the rights held on its
    // parent play no part, so the parent is opened for no more than listing.
    return Open(root, subKeyPath, KEY_ENUMERATE_SUB_KEYS, false);
}

Outcome RegKey::OpenForValues(HKEY root, const std::string& subKeyPath) {
    return Open(root, subKeyPath, KEY_SET_VALUE, false);
}

Outcome RegKey::ReadValue(const char* valueName, RegValue& value) const {
    if (!key_) return Outcome::Failed(ERROR_INVALID_HANDLE);
    value.name = valueName != nullptr ? valueName : "";
    value.data.assign(kFirstReadSize, '\0');
    LONG status;
    DWORD size;
    do {
        size = static_cast<DWORD>(value.data.size());
        status = ::RegQueryValueExA(key_.get(), valueName, nullptr, &value.type,
                                    reinterpret_cast<BYTE*>(&value.data[0]), &size);
        if (status == ERROR_MORE_DATA) value.data.resize(std::max<std::size_t>(size, value.data.size() * 2));
    } while (status == ERROR_MORE_DATA);
    const Outcome outcome = OfStatus(status);
    if (outcome.failed())
        log::Operation("RegQueryValue", false, outcome.error(), [&] { return name_ + " " + log::Quote(valueName); });
    value.data.resize(outcome ? std::min<std::size_t>(size, value.data.size()) : 0);
    return outcome;
}

Outcome RegKey::EnumValues(std::vector<RegValue>& values) const {
    values.clear();
    if (!key_) return Outcome::Failed(ERROR_INVALID_HANDLE);
    for (DWORD index = 0;; ++index) {
        char name[16384];  // the longest value name and its zero
        DWORD length = sizeof name;
        LONG status = ::RegEnumValueA(key_.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) return Outcome::Done();
        RegValue value;
        const Outcome read = status == ERROR_SUCCESS ? ReadValue(name, value) : OfStatus(status);
        if (!read) {
            log::Operation("RegEnumValue", false, read.error(), [&] { return name_; });
            return Outcome::Failed(read.error());
        }
        values.push_back(std::move(value));
    }
}

Outcome RegKey::WriteValue(const RegValue& value) const {
    if (!key_) return Outcome::Failed(ERROR_INVALID_HANDLE);
    const Outcome outcome = OfStatus(::RegSetValueExA(key_.get(), value.name.c_str(), 0, value.type,
                                                      reinterpret_cast<const BYTE*>(value.data.data()),
                                                      static_cast<DWORD>(value.data.size())));
    log::Operation("RegSetValue", outcome.done(), outcome.error(),
                   [&] { return name_ + " " + log::Quote(value.name.c_str()); });
    return outcome;
}

Outcome RegKey::DeleteValue(const char* valueName) const {
    if (!key_) return Outcome::Failed(ERROR_INVALID_HANDLE);
    const Outcome outcome = OfStatus(::RegDeleteValueA(key_.get(), valueName));
    log::Operation("RegDeleteValue", outcome.done(), outcome.error(),
                   [&] { return name_ + " " + log::Quote(valueName); });
    return outcome;
}

Outcome RegKey::ReadString(const char* valueName, std::string& text) const {
    text.clear();
    if (!key_) return Outcome::Failed(ERROR_INVALID_HANDLE);
    std::string buffer(kFirstReadSize, '\0');
    LONG status;
    DWORD size;
    // A value longer than the room, or one that grew since the last query, answers
    // ERROR_MORE_DATA with the size it needs now; the room at least doubles each time.
    do {
        size = static_cast<DWORD>(buffer.size());
        status =
            ::RegQueryValueExA(key_.get(), valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(&buffer[0]), &size);
        if (status == ERROR_MORE_DATA) buffer.resize(std::max<std::size_t>(size, buffer.size() * 2));
    } while (status == ERROR_MORE_DATA);
    const Outcome outcome = OfStatus(status);
    if (!outcome) {
        log::Operation("RegQueryValue", false, outcome.error(), [&] { return name_ + " " + log::Quote(valueName); });
        return outcome;
    }
    const char* data = buffer.data();
    text.assign(data, std::find(data, data + std::min<std::size_t>(size, buffer.size()), '\0'));
    return outcome;
}

Outcome RegKey::WriteString(const std::string& text, const char* valueName) const {
    if (!key_) return Outcome::Failed(ERROR_INVALID_HANDLE);
    const Outcome outcome =
        OfStatus(::RegSetValueExA(key_.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>(text.size() + 1)));
    log::Operation("RegSetValue", outcome.done(), outcome.error(),
                   [&] { return name_ + " " + log::Quote(valueName) + " = " + log::Quote(text.c_str()); });
    return outcome;
}

Outcome RegKey::EnumSubKeys(std::vector<std::string>& names) const {
    names.clear();
    if (!key_) return Outcome::Failed(ERROR_INVALID_HANDLE);
    for (DWORD index = 0;; ++index) {
        char name[256];  // the longest key name and its zero
        DWORD length = sizeof name;
        const LONG status = ::RegEnumKeyExA(key_.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) return Outcome::Done();
        if (status != ERROR_SUCCESS) {
            // Ending here quietly would pass a shortened list off as the whole one.
            log::Operation("RegEnumKey", false, static_cast<DWORD>(status), [&] { return name_; });
            return Outcome::Failed(static_cast<DWORD>(status));
        }
        if (length > 0) names.emplace_back(name, length);
    }
}

Outcome RegKey::DeleteSubKey(const char* name) const {
    if (!key_) return Outcome::Failed(ERROR_INVALID_HANDLE);
    // An empty name would not name a sub-key.
    if (text::IsEmpty(name)) return Outcome::Failed(ERROR_INVALID_PARAMETER);
    const Outcome outcome = OfStatus(::RegDeleteKeyA(key_.get(), name));
    log::Operation("RegDeleteKey", outcome.done(), outcome.error(), [&] { return name_ + "\\" + name; });
    return outcome;
}

}  // namespace kiv
