// Removal of the registry entries and module files that earlier releases left behind.
#pragma once

#include <array>

namespace kiv::upgrade {

// The surveying add-on's module first, then the architecture line's nine.
extern const std::array<const char*, 10> OldModuleNames;
// Loader modules of the architecture modules, all but the library module.
extern const std::array<const char*, 8> OldLoaderNames;
// German resource libraries: the architecture modules but the toolbox, and the message module.
extern const std::array<const char*, 9> OldGermanResourceNames;

}  // namespace kiv::upgrade
