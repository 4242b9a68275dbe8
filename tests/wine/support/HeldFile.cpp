// Files held open for the lock tests.
#include "support/HeldFile.h"

namespace kivtest {

const LockKind kLockKinds[2] = {
    {"held with no sharing", 0, false},
    {"held sharing reads only", FILE_SHARE_READ, true},
};

HeldFile::HeldFile(const std::string& path, DWORD share)
    : handle_(::CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}

HeldFile::~HeldFile() {
    if (ok()) ::CloseHandle(handle_);
}

}  // namespace kivtest
