// Files held open the way a running program holds them, for the tests of what the library does meanwhile.
#pragma once

#include <windows.h>

#include <string>

namespace kivtest {

// How a program holds a file open for reading: its share mode decides whether
// others may still read it (and so copy it); neither kind lets them delete or write it.
struct LockKind {
    const char* what;
    DWORD share;
    bool othersMayRead;
};
extern const LockKind kLockKinds[2];

// Holds path open for reading with the given share mode until destroyed. Wine
// checks share modes across all handles of a file, those of the same process
// included, so a handle held by the test process stands for another program's.
class HeldFile {
public:
    HeldFile(const std::string& path, DWORD share);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

}  // namespace kivtest
