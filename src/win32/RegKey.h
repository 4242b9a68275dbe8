// RegKey: the one registry key holder; every operation answers with a plain success flag.
#pragma once

#include "win32/Handles.h"

#include <windows.h>

#include <string>
#include <vector>

namespace kiv {

class RegKey {
public:
    // Both opens take the new key only once the platform call has succeeded.
    bool OpenForRead(HKEY root, const char* subKeyPath);
    bool OpenForWrite(HKEY root, const char* subKeyPath);
    void Close() noexcept { key_.reset(); }

    bool ReadString(const char* valueName, std::string& text) const;
    bool WriteString(const std::string& text, const char* valueName) const;
    bool EnumSubKeys(std::vector<std::string>& names) const;
    bool DeleteSubKey(const char* name) const;

    bool IsOpen() const noexcept { return static_cast<bool>(key_); }

private:
    bool Open(HKEY root, const char* subKeyPath, bool forWrite);

    UniqueRegKey key_;
    std::string path_;  // for the diagnostic log
};

}  // namespace kiv
