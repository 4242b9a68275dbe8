// The library's own module: its handle, its path, and the version in its version resource.
#pragma once

#include <windows.h>

#include <string>

namespace kiv::module {

// The module this code is linked into: the DLL, or a program that links its layers.
HMODULE Library() noexcept;

// The module's full path; empty when the system does not tell it.
std::string Path();

// "5.5.0.1" from the module's version resource; empty when it has none.
std::string Version();

}  // namespace kiv::module
