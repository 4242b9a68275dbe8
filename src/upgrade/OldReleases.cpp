// Registry entries and module files of earlier add-on releases.
#include "upgrade/OldReleases.h"

#include "core/Path.h"
#include "core/Text.h"
#include "host/Discovery.h"
#include "upgrade/Entries.h"
#include "win32/CallOutcome.h"
#include "win32/FileSystem.h"
#include "win32/Journal.h"
#include "win32/RegKey.h"

#include <initializer_list>
#include <string>

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

// Deletes the named direct sub-keys of an existing key, one delete call each. A key
// or sub-key that is not there is nothing to remove; a refused deletion is told,
// left as it is, and the next name is taken.
template <typename Names>
void DeleteSubKeys(const std::string& keyPath, const Names& names) {
    RegKey key;
    const Outcome opened = key.OpenForDelete(HKEY_LOCAL_MACHINE, keyPath);
    if (opened.failed()) outcome::Fail(opened.error(), "Zugriff auf HKLM\\" + keyPath + " fehlgeschlagen");
    if (!opened) return;
    for (const char* name : names) {
        // Told by the journal when it could not record the key: it then stays.
        if (!journal::BeforeKeyDelete(HKEY_LOCAL_MACHINE, keyPath + "\\" + name)) continue;
        const Outcome deleted = key.DeleteSubKey(name);
        if (deleted.failed())
            outcome::Fail(deleted.error(), "Entfernen von HKLM\\" + keyPath + "\\" + name + " fehlgeschlagen");
    }
}

template <typename Names>
void DeleteExisting(const std::string& prefix, const Names& names, const char* suffix) {
    for (const char* name : names) {
        const std::string path = prefix + name + suffix;
        if (!file::Exists(path)) continue;
        const Outcome deleted = journal::Delete(path);
        if (deleted.failed()) outcome::Fail(deleted.error(), "Entfernen von " + path + " fehlgeschlagen");
    }
}

// Deletes the module's sub-key of AutoCAD's "Applications" key.
void RemoveAcadApplication(const std::string& name) {
    if (name.empty()) return;
    std::string product;
    std::string path = host::kHostReleaseKey;
    // A current product that cannot be read has been told; its own key is then unknown.
    if (host::ReadCurrentProduct(product)) path += "\\" + product;
    DeleteSubKeys(path + "\\Applications", std::initializer_list<const char*>{name.c_str()});
}

// Deletes the module's key and its four known sub-keys below the add-on release key.
void RemoveAddOnKeys(const std::string& name) {
    if (name.empty()) return;
    DeleteSubKeys(AddOnReleaseKey() + "\\" + name, kModuleSubKeys);
    DeleteSubKeys(AddOnReleaseKey(), std::initializer_list<const char*>{name.c_str()});
}

}  // namespace

void DeleteOldAppsReg(const char* text) {
    if (text::IsEmpty(text)) return;
    for (const char* name : OldModuleNames) {
        RemoveAcadApplication(name);
        RemoveAddOnKeys(name);
    }
}

void DeleteOldFiles(const char* dir) {
    if (text::IsEmpty(dir)) return;
    const std::string folder = path::WithoutTrailingSeparators(dir);
    DeleteExisting(folder + "\\", OldModuleNames, ".Arx");
    DeleteExisting(folder + "\\", OldLoaderNames, ".Arx");
    DeleteExisting(folder + "\\Support\\", OldGermanResourceNames, ".Dll");
}

}  // namespace kiv::upgrade
