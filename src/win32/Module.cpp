// The library's own module handle, path and file version.
#include "win32/Module.h"

#include <cstdio>
#include <cstring>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace kiv::module {

namespace {
constexpr DWORD kLongestPath = 32768;
constexpr DWORD kFixedInfoSignature = 0xFEEF04BD;
}  // namespace

HMODULE Library() noexcept { return reinterpret_cast<HMODULE>(&__ImageBase); }

std::string Path() {
    // A path longer than the buffer comes back cut and zero-terminated: grow until it fits.
    for (DWORD size = MAX_PATH; size <= kLongestPath; size *= 2) {
        std::string path(size, '\0');
        const DWORD length = ::GetModuleFileNameA(Library(), &path[0], size);
        if (length == 0) return std::string();
        if (length < size) return path.substr(0, length);
    }
    return std::string();
}

std::string Version() {
    // The fixed part of version resource 1 follows the root block's name on a 32-bit boundary and
    // starts with its signature: no need for version.dll. (RT_VERSION follows the UNICODE setting.)
    HMODULE module = Library();
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
    HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
    const auto* data = loaded != nullptr ? static_cast<const unsigned char*>(::LockResource(loaded)) : nullptr;
    const DWORD size = data != nullptr ? ::SizeofResource(module, found) : 0;
    for (DWORD at = 0; at + sizeof(VS_FIXEDFILEINFO) <= size; at += 4) {
        VS_FIXEDFILEINFO info;
        std::memcpy(&info, data + at, sizeof info);
        if (info.dwSignature != kFixedInfoSignature) continue;
        char text[48];
        std::snprintf(text, sizeof text, "%u.%u.%u.%u", HIWORD(info.dwFileVersionMS), LOWORD(info.dwFileVersionMS),
                      HIWORD(info.dwFileVersionLS), LOWORD(info.dwFileVersionLS));
        return text;
    }
    return std::string();
}

}  // namespace kiv::module
