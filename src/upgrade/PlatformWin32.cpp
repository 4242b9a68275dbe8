// The configuration core's platform operations on Win32.
#include "upgrade/Platform.h"

#include "frame/Handles.h"

#include <windows.h>

namespace kiv::upgrade::platform {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                            static_cast<int>(b.size())) == CSTR_EQUAL;
}

std::string CreateTemporaryBeside(const std::string& path) {
    std::size_t slash = path.find_last_of("\\/");
    // The separator stays with the folder so that "C:\x.cfg" gives "C:\", not C:'s current folder.
    std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    char name[MAX_PATH];
    if (::GetTempFileNameA(folder.c_str(), "kiv", 0, name) == 0) return std::string();
    return name;
}

bool ReplaceWith(const std::string& source, const std::string& target) {
    DWORD attributes = ::GetFileAttributesA(target.c_str());
    std::string destination = target;
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        // Windows refuses to replace a read-only file; Wine replaces it, so ask first.
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
        // A rename takes the spelling of the name it is given: keep the one on disk ("ARCH.CFG").
        WIN32_FIND_DATAA data;
        UniqueFind search(::FindFirstFileA(target.c_str(), &data));
        if (search) destination = target.substr(0, target.find_last_of("\\/") + 1) + data.cFileName;
        ::SetFileAttributesA(source.c_str(), attributes);
    }
    return ::MoveFileExA(source.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

}  // namespace kiv::upgrade::platform
