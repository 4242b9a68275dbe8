// RegKey: the one registry key holder; every operation answers with a plain success flag.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kiv {

class RegKey {
public:
    RegKey() noexcept = default;
    ~RegKey() { Close(); }
    RegKey(RegKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
    RegKey& operator=(RegKey&& other) noexcept;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    // Both opens take the new key only once the platform call has succeeded.
    bool OpenForRead(HKEY root, const char* subKeyPath);
    bool OpenForWrite(HKEY root, const char* subKeyPath);
    void Close() noexcept;

    bool ReadString(const char* valueName, std::string& text) const;
    bool WriteString(const std::string& text, const char* valueName) const;
    bool EnumSubKeys(std::vector<std::string>& names) const;
    bool DeleteSubKey(const char* name) const;

    bool IsOpen() const noexcept { return key_ != nullptr; }

private:
    void Attach(HKEY key) noexcept;
    HKEY key_ = nullptr;
};

}  // namespace kiv
