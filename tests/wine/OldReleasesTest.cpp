// DeleteOldAppsReg and DeleteOldFiles through the loaded DLL, on Wine's registry and files.
#include "KivForIS55.h"
#include "support/HeldFile.h"
#include "support/Library.h"
#include "support/Scratch.h"
#include "support/Tree.h"
#include "upgrade/OldReleases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using namespace kivtest;
using kiv::upgrade::OldGermanResourceNames;
using kiv::upgrade::OldLoaderNames;
using kiv::upgrade::OldModuleNames;

namespace {

const std::string kAddOnRelease = "Software\\Dorvasys\\Dorva AT\\R15.4";
const std::string kProduct = std::string(kAcadReleaseKey) + "\\ACAD-1:407";
const char* const kModuleSubKeys[] = {"Commands", "Groups", "Loader", "Name"};

void AddApplications(const std::string& applicationsKey) {
    for (const char* name : OldModuleNames) SetRegString(applicationsKey + "\\" + name, "LOADER", "x.arx");
    SetRegString(applicationsKey + "\\Fremd", "LOADER", "fremd.arx");
}

void AddAddOnModules() {
    for (const char* name : OldModuleNames) {
        for (const char* sub : kModuleSubKeys) SetRegString(kAddOnRelease + "\\" + name + "\\" + sub, "", "x");
        SetRegString(kAddOnRelease + "\\" + name, "Version", "15.3");
    }
    SetRegString(kAddOnRelease + "\\Fremd\\Commands", "", "x");
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

// Typed out: the removal tests take their names from these lists, so a misspelt one would pass them.
TEST(OldReleases, NameTheModulesOfTheEarlierReleasesExactly) {
    using Names = std::vector<std::string>;
    const Names modules = {"Tervilo",  "KivWand", "KivFenster", "KivTuer",    "KivDurchgang",
                           "KivDecke", "KivDach", "KivTreppe",  "KivToolbox", "Kiv_Lib"};
    Names loaders, resources;
    for (std::size_t i = 1; i < 9; ++i) loaders.push_back(modules[i] + "Loader");
    for (std::size_t i : {1, 2, 3, 4, 5, 6, 7, 9}) resources.push_back(modules[i] + "German");
    resources.push_back("KivMeldungGerman");
    EXPECT_EQ(modules, Names(OldModuleNames.begin(), OldModuleNames.end()));
    EXPECT_EQ(loaders, Names(OldLoaderNames.begin(), OldLoaderNames.end()));
    EXPECT_EQ(resources, Names(OldGermanResourceNames.begin(), OldGermanResourceNames.end()));
}

TEST(OldReleases, ModuleNamesAreTerviloThenKivModulesWithTheirLoaders) {
    EXPECT_STREQ("Tervilo", OldModuleNames[0]);
    std::vector<std::string> architecture(OldModuleNames.begin() + 1, OldModuleNames.end());
    int underscored = 0;
    for (const std::string& name : architecture) {
        EXPECT_EQ(0u, name.find("Kiv")) << name;
        EXPECT_GT(name.size(), 3u);
        if (name[3] == '_') ++underscored;
    }
    EXPECT_EQ(1, underscored);
    // Loaders: every architecture module but one, each once, in module order.
    std::vector<std::string> loaders;
    for (const std::string& name : architecture)
        if (std::find_if(OldLoaderNames.begin(), OldLoaderNames.end(),
                         [&](const char* loader) { return name + "Loader" == loader; }) != OldLoaderNames.end())
            loaders.push_back(name + "Loader");
    EXPECT_EQ(std::vector<std::string>(OldLoaderNames.begin(), OldLoaderNames.end()), loaders);
    // German resources: eight architecture modules and one module of their own.
    int fromModules = 0;
    for (const std::string& resource : OldGermanResourceNames) {
        ASSERT_GT(resource.size(), 6u);
        EXPECT_EQ("German", resource.substr(resource.size() - 6)) << resource;
        std::string module = resource.substr(0, resource.size() - 6);
        if (std::find(architecture.begin(), architecture.end(), module) != architecture.end()) ++fromModules;
    }
    EXPECT_EQ(8, fromModules);
}

TEST(DeleteOldAppsReg, RemovesEveryModuleEntryOfTheCurrentProduct) {
    ScratchRegistry registry;
    SetRegString(kAcadReleaseKey, "CurVer", "ACAD-1:407");
    AddApplications(kProduct + "\\Applications");
    AddApplications(std::string(kAcadReleaseKey) + "\\Applications");
    AddAddOnModules();
    Library lib;

    lib.DeleteOldAppsReg("ja");

    EXPECT_EQ(std::vector<std::string>{"Fremd"}, RegSubKeys(kProduct + "\\Applications"));
    EXPECT_EQ(11u, RegSubKeys(std::string(kAcadReleaseKey) + "\\Applications").size());  // not the current one
    EXPECT_EQ(std::vector<std::string>{"Fremd"}, RegSubKeys(kAddOnRelease));
    EXPECT_TRUE(RegKeyExists(kAddOnRelease + "\\Fremd\\Commands"));
}

TEST(DeleteOldAppsReg, WithoutCurVerUsesTheApplicationsKeyOfTheRelease) {
    ScratchRegistry registry;
    AddApplications(std::string(kAcadReleaseKey) + "\\Applications");
    AddApplications(kProduct + "\\Applications");
    Library lib;
    lib.DeleteOldAppsReg("x");
    EXPECT_EQ(std::vector<std::string>{"Fremd"}, RegSubKeys(std::string(kAcadReleaseKey) + "\\Applications"));
    EXPECT_EQ(11u, RegSubKeys(kProduct + "\\Applications").size());

    SetRegString(kAcadReleaseKey, "CurVer", "");  // empty counts as none
    AddApplications(std::string(kAcadReleaseKey) + "\\Applications");
    lib.DeleteOldAppsReg("x");
    EXPECT_EQ(std::vector<std::string>{"Fremd"}, RegSubKeys(std::string(kAcadReleaseKey) + "\\Applications"));
}

// Whatever part of the keys a machine without the old modules has, the clean-up adds
// nothing, and nothing to remove is a success.
TEST(DeleteOldAppsReg, WithNothingToRemoveCreatesNothingAndSucceeds) {
    ScratchRegistry registry;
    ScratchFolder dir;
    Library lib;
    for (int keys : {0, 1, 2}) {  // none; "CurVer" alone; its product and the maker's key as well
        ScratchRegistry::Clear();
        if (keys > 0) SetRegString(kAcadReleaseKey, "CurVer", "ACAD-1:407");
        if (keys > 1) CreateRegKey(kProduct);
        if (keys > 1) CreateRegKey("Software\\Dorvasys\\Dorva AT");
        const auto acad = RegSnapshot("Software\\Autodesk"), addOn = RegSnapshot("Software\\Dorvasys");
        lib.DeleteOldAppsReg("x");
        EXPECT_EQ(0, lib.KivGetLastError(nullptr)) << keys;
        lib.DeleteOldFiles(dir.path().c_str());
        EXPECT_EQ(0, lib.KivGetLastError(nullptr)) << keys;
        EXPECT_EQ(acad, RegSnapshot("Software\\Autodesk")) << keys;
        EXPECT_EQ(addOn, RegSnapshot("Software\\Dorvasys")) << keys;
    }
}

TEST(DeleteOldAppsReg, DeletesNothingRecursively) {
    ScratchRegistry registry;
    SetRegString(kAcadReleaseKey, "CurVer", "ACAD-1:407");
    AddApplications(kProduct + "\\Applications");
    AddAddOnModules();
    CreateRegKey(kProduct + "\\Applications\\Tervilo\\Eigenes");
    CreateRegKey(kAddOnRelease + "\\KivWand\\Eigenes");
    CreateRegKey(kAddOnRelease + "\\KivTuer\\Commands\\Eigenes");
    Library lib;

    lib.DeleteOldAppsReg("x");

    char text[KIV_BUFFER_SIZE];  // the first refusal: a sub-key of the user's own
    EXPECT_EQ(ERROR_ACCESS_DENIED, lib.KivGetLastError(text));
    EXPECT_NE(nullptr, std::strstr(text, (kProduct + "\\Applications\\Tervilo ").c_str())) << text;
    EXPECT_EQ(Sorted({"Fremd", "Tervilo"}), Sorted(RegSubKeys(kProduct + "\\Applications")));
    EXPECT_TRUE(RegKeyExists(kProduct + "\\Applications\\Tervilo\\Eigenes"));
    EXPECT_EQ(Sorted({"Fremd", "KivTuer", "KivWand"}), Sorted(RegSubKeys(kAddOnRelease)));
    EXPECT_EQ(std::vector<std::string>{"Eigenes"}, RegSubKeys(kAddOnRelease + "\\KivWand"));
    EXPECT_EQ(std::vector<std::string>{"Commands"}, RegSubKeys(kAddOnRelease + "\\KivTuer"));
    EXPECT_TRUE(RegKeyExists(kAddOnRelease + "\\KivTuer\\Commands\\Eigenes"));
}

TEST(DeleteOldAppsReg, EmptyTextTouchesNothing) {
    ScratchRegistry registry;
    SetRegString(kAcadReleaseKey, "CurVer", "ACAD-1:407");
    AddApplications(kProduct + "\\Applications");
    AddAddOnModules();
    auto acad = RegSnapshot("Software\\Autodesk");
    auto addOn = RegSnapshot("Software\\Dorvasys");
    Library lib;
    lib.DeleteOldAppsReg(nullptr);
    lib.DeleteOldAppsReg("");
    EXPECT_EQ(acad, RegSnapshot("Software\\Autodesk"));
    EXPECT_EQ(addOn, RegSnapshot("Software\\Dorvasys"));

    ScratchRegistry::Clear();
    lib.DeleteOldAppsReg("");
    EXPECT_FALSE(RegKeyExists("Software\\Autodesk"));
    EXPECT_FALSE(RegKeyExists("Software\\Dorvasys"));
}

TEST(DeleteOldAppsReg, OddCurVerValues) {
    ScratchRegistry registry;
    // A product key full of wildcards names no key; one longer than a key name may be
    // cannot even be looked for, which is told.
    for (const std::string& product : {std::string("*"), std::string(300, 'P')}) {
        SetRegString(kAcadReleaseKey, "CurVer", product);
        Library lib;
        lib.DeleteOldAppsReg("x");
        EXPECT_FALSE(RegKeyExists("Software\\Dorvasys"));
        EXPECT_EQ(product.size() > 1, lib.KivGetLastError(nullptr) != 0) << product.size();
    }
    EXPECT_FALSE(RegKeyExists(std::string(kAcadReleaseKey) + "\\Applications"));
}

TEST(DeleteOldFiles, DeletesTheListedModulesOnly) {
    ScratchFolder dir;
    MakeFolder(dir / "Support");
    for (const char* name : OldModuleNames) WriteFile(dir / (std::string(name) + ".Arx"), "arx");
    for (const char* name : OldLoaderNames) WriteFile(dir / (std::string(name) + ".arx"), "arx");
    for (const char* name : OldGermanResourceNames) WriteFile(dir / ("Support\\" + std::string(name) + ".DLL"), "dll");
    WriteFile(dir / "TERVILO.ARX.bak", "keep");
    WriteFile(dir / "Tervilo.Dll", "keep");
    WriteFile(dir / "Kiv_LibLoader.Arx", "keep");
    WriteFile(dir / "Support\\Tervilo.Arx", "keep");
    WriteFile(dir / "Support\\KivToolboxGerman.Dll", "keep");
    WriteFile(dir / "KivWandGerman.Dll", "keep");
    Library lib;

    {  // one held open, told with its path whatever backslashes end the folder; the others still go
        HeldFile held(dir / "KivDach.Arx", FILE_SHARE_READ);
        lib.DeleteOldFiles((dir.path() + "\\\\").c_str());
    }
    char text[KIV_BUFFER_SIZE];
    EXPECT_EQ(ERROR_SHARING_VIOLATION, lib.KivGetLastError(text));
    EXPECT_NE(nullptr, std::strstr(text, (" " + dir / "KivDach.Arx" + " ").c_str())) << text;

    EXPECT_EQ((std::vector<std::string>{"KivDach.Arx", "KivWandGerman.Dll", "Kiv_LibLoader.Arx", "Support",
                                        "TERVILO.ARX.bak", "Tervilo.Dll"}),
              ListNames(dir.path()));
    EXPECT_EQ((std::vector<std::string>{"KivToolboxGerman.Dll", "Tervilo.Arx"}), ListNames(dir / "Support"));
}

TEST(DeleteOldFiles, ArgumentsThatNameNoFolderChangeNothing) {
    ScratchFolder dir;
    MakeFolder(dir / "Old\\Support");
    WriteFile(dir / "Old\\Tervilo.Arx", "arx");
    WriteFile(dir / "Old\\Support\\KivWandGerman.Dll", "dll");
    WriteFile(dir / "Tervilo.Arx", "arx");
    auto before = Snapshot(dir.path());
    Library lib;
    lib.DeleteOldFiles(nullptr);
    lib.DeleteOldFiles("");
    lib.DeleteOldFiles((dir / "Missing").c_str());
    lib.DeleteOldFiles((dir / std::string(300, 'x')).c_str());
    lib.DeleteOldFiles((dir / "*").c_str());
    lib.DeleteOldFiles((dir / "O?d").c_str());
    lib.DeleteOldFiles((dir / "Old\\Tervilo.Arx").c_str());
    EXPECT_EQ(before, Snapshot(dir.path()));

    lib.DeleteOldFiles((dir / "Old\\").c_str());  // a trailing backslash still names the folder
    EXPECT_EQ((std::vector<std::string>{"Support"}), ListNames(dir / "Old"));
    EXPECT_EQ((std::vector<std::string>{}), ListNames(dir / "Old\\Support"));
}
