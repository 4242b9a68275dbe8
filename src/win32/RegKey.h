// RegKey: the one registry key holder; every operation answers an Outcome that keeps a
// missing key or value apart from a failure and carries the Win32 code.
#pragma once

#include "win32/Handles.h"
#include "win32/Outcome.h"

#include <windows.h>

#include <string>
#include <vector>

namespace kiv {

// One value as stored: its name, type and bytes.
struct RegValue {
    std::string name;
    DWORD type = REG_NONE;
    std::string data;
};

class RegKey {
public:
    // Each open asks only for the access its use needs, and the holder takes the new
    // key only once the platform call has succeeded: a failed open leaves it as it was.
    // To read values and list sub-keys; missing when the key is not there.
    Outcome OpenForRead(HKEY root, const std::string& subKeyPath);
    // To write values: creates the key, and missing parents, when it is not there.
    Outcome OpenForWrite(HKEY root, const std::string& subKeyPath);
    // To delete sub-keys: an existing key only, never created; missing when it is not there.
    Outcome OpenForDelete(HKEY root, const std::string& subKeyPath);
    // To write and delete values of an existing key only, never created; missing when it is not there.
    Outcome OpenForValues(HKEY root, const std::string& subKeyPath);

    // The value's bytes up to its first zero, whatever its type; text is empty unless done.
    Outcome ReadString(const char* valueName, std::string& text) const;
    Outcome WriteString(const std::string& text, const char* valueName) const;
    // Values as stored, whatever their type: one, or all in index order (done also when there are none).
    Outcome ReadValue(const char* valueName, RegValue& value) const;
    Outcome EnumValues(std::vector<RegValue>& values) const;
    Outcome WriteValue(const RegValue& value) const;
    // Missing when there is no such value.
    Outcome DeleteValue(const char* valueName) const;
    // The direct sub-keys in index order; done also when there are none. After a
    // failure, names holds those listed before it.
    Outcome EnumSubKeys(std::vector<std::string>& names) const;
    // One direct sub-key that has no sub-keys of its own; missing when it is not there.
    Outcome DeleteSubKey(const char* name) const;

    bool IsOpen() const noexcept { return static_cast<bool>(key_); }

private:
    Outcome Open(HKEY root, const std::string& subKeyPath, REGSAM access, bool create);

    UniqueRegKey key_;
    std::string name_;  // for the diagnostic log
};

}  // namespace kiv
