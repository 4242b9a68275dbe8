// Registry entries and module files of earlier add-on releases.
#include "upgrade/OldReleases.h"

#include "core/Text.h"
#include "host/Discovery.h"
#include "upgrade/Entries.h"
#include "win32/FileSystem.h"
#include "win32/RegKey.h"

#include <initializer_list>

namespace kiv::upgrade {

const std::array<const char*, 10> OldModuleNames = {
    "Tervilo",  "KivWand", "KivFenster", "KivTuer",    "KivDurchgang",
    "KivDecke", "KivDach", "KivTreppe",  "KivToolbox", "Kiv_Lib",
};

const std::array<const char*, 8> OldLoaderNames = {
    "KivWandLoader",  "KivFensterLoader", "KivTuerLoader",   "KivDurchgangLoader",
    "KivDeckeLoader", "KivDachLoader",    "KivTreppeLoader", "KivToolboxLoader",
};

const std::array<const char*, 9> OldGermanResourceNames = {
    "KivWandGerman", "KivFensterGerman", "KivTuerGerman", "KivDurchgangGerman", "KivDeckeGerman",
    "KivDachGerman", "KivTreppeGerman",  "Kiv_LibGerman", "KivMeldungGerman",
};

namespace {

const char* const kModuleSubKeys[] = {"Commands", "Groups", "Loader", "Name"};

std::string AddOnReleaseKey() { return std::string("Software\\Dorvasys\\Dorva AT\\") + host::kAddOnRelease; }

// Opens (creating it when missing) the key and deletes the named direct
// sub-keys one delete call each; refused deletions are left as they are.
template <typename Names>
void DeleteSubKeys(const std::string& keyPath, const Names& names) {
    RegKey key;
    if (!key.OpenForWrite(HKEY_LOCAL_MACHINE, keyPath.c_str())) return;
    for (const char* name : names) key.DeleteSubKey(name);
}

template <typename Names>
void DeleteExisting(const std::string& prefix, const Names& names, const char* suffix) {
    for (const char* name : names) {
        std::string path = prefix + name + suffix;
        if (file::Exists(path)) file::Delete(path);
    }
}

}  // namespace

void RemoveAcadApplication(const std::string& name) {
    if (name.empty()) return;
    std::string product;
    std::string path = host::kHostReleaseKey;
    if (host::ReadCurrentProduct(product)) path += "\\" + product;
    DeleteSubKeys(path + "\\Applications", std::initializer_list<const char*>{name.c_str()});
}

void RemoveAddOnKeys(const std::string& name) {
    if (name.empty()) return;
    DeleteSubKeys(AddOnReleaseKey() + "\\" + name, kModuleSubKeys);
    DeleteSubKeys(AddOnReleaseKey(), std::initializer_list<const char*>{name.c_str()});
}

void DeleteOldAppsReg(const char* text) {
    if (text::IsEmpty(text)) return;
    for (const char* name : OldModuleNames) {
        RemoveAcadApplication(name);
        RemoveAddOnKeys(name);
    }
}

void DeleteOldFiles(const char* dir) {
    if (text::IsEmpty(dir)) return;
    const std::string folder = dir;
    DeleteExisting(folder + "\\", OldModuleNames, ".Arx");
    DeleteExisting(folder + "\\", OldLoaderNames, ".Arx");
    DeleteExisting(folder + "\\Support\\", OldGermanResourceNames, ".Dll");
}

}  // namespace kiv::upgrade
