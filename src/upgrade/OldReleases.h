// Removal of the registry entries and module files that earlier releases left behind.
#pragma once

#include <array>
#include <string>

namespace kiv::upgrade {

// The surveying add-on's module first, then the architecture line's nine.
extern const std::array<const char*, 10> OldModuleNames;
// Loader modules of the architecture modules, all but the library module.
extern const std::array<const char*, 8> OldLoaderNames;
// German resource libraries: the architecture modules but the toolbox, and the message module.
extern const std::array<const char*, 9> OldGermanResourceNames;

// Deletes the module's sub-key of AutoCAD's "Applications" key.
void RemoveAcadApplication(const std::string& name);
// Deletes the module's key and its four known sub-keys below the add-on release key.
void RemoveAddOnKeys(const std::string& name);

}  // namespace kiv::upgrade
