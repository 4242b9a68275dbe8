// The whole-upgrade machine of the undo and kill tests.
#include "support/Upgrade.h"

#include "../native/Tables.h"
#include "support/Scratch.h"
#include "support/Tree.h"
#include "upgrade/OldReleases.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace kivtest {

namespace {

using kiv::upgrade::OldModuleNames;

// Bytes of their own per file, with a zero and a byte 26 inside.
std::string Bytes(const std::string& name) { return name + std::string("\0\x1a", 2) + name + " Inhalt"; }

const char* const kKinds[][2] = {{"Fen-Std", "F-"}, {"Tue-Std", "T-"}, {"Dur-Std", "D-"}};
const char* const kTables[] = {"TYP.DAT", "EINBAU.DAT", "WAENDE.DAT", "BLOCK.DAT"};

// Below a save folder ("Save1\\", "SaveMenu12\\") that before did not hold.
bool InNewSaveFolder(const std::string& path, const Tree& before) {
    std::smatch folder;
    return std::regex_search(path, folder, std::regex(R"(^(.*\\)?Save(Menu)?[0-9]+\\)")) &&
           before.count(folder.str(0)) == 0;
}

// The user's files, blank-separated, each with bytes of its own: menus, the old release's, old-layout leftovers
// in the new release (moved, saved, deleted), the customised files of the new manager folder.
const char kUserFiles[] =
    "Acad\\Support\\Acad.Mnu Acad\\Support\\Acad.Mns Acad\\Support\\Acad.Mnr Acad\\Support\\Acad.Mnc "
    "AltManager\\FENSTER.INI AltManager\\TUER.INI AltManager\\DURCHG.INI AltManager\\Layer.Def "
    "AltManager\\Arch.Cfg Neu\\FENSTER.INI Neu\\TUER.INI Neu\\DURCHG.INI Neu\\TvKonfig.exe "
    "Neu\\Tervilo.lsp Neu\\Acad.rx Neu\\Nordpfeil.dwg Neu\\Hecke.dwg Neu\\Support\\Hecke.dwg "
    "Neu\\Tervilo.Arx Neu\\KivWandLoader.Arx Neu\\Support\\KivWandGerman.Dll Neu\\TvBasis.arx "
    "Neu\\Projektverwaltung\\Verwaltung.ini NeuManager\\FENSTER.INI NeuManager\\Tervilo.mnu "
    "NeuManager\\Tervilo.lsp NeuManager\\Eigene.dat NeuManager\\Projekt.cfg";

}  // namespace

Tree UpgradeFiles() {
    Tree tree;
    std::istringstream paths(kUserFiles);
    for (std::string path; paths >> path;) tree[path] = Bytes(path);
    for (const auto& kind : kKinds)
        for (const char* table : kTables)
            if (std::string(kind[1]) + table != "D-BLOCK.DAT")  // the migration stops there: the tables get stamped
                tree[std::string("Alt\\OeffDat\\") + kind[0] + "\\" + kind[1] + table] =
                    kivnative::Header("ALT", 5) + Bytes(table);
    tree["NeuManager\\Arch.Cfg"] = "FEN125_1 5005 11 C:\\Alt\r\nEIGENE 5005 1 ja\r\n";
    return tree;
}

Tree SetupCopy() {
    Tree tree;
    for (const char* file : {"NeuManager\\Tervilo.mnu", "NeuManager\\Neu.txt", "Acad\\Support\\Acad.Mnu"})
        tree[file] = "neu " + Bytes(file);
    for (const auto& kind : kKinds)
        for (const char* table : kTables)
            tree[std::string("Neu\\OeffDat\\") + kind[0] + "\\" + kind[1] + table] =
                kivnative::Header("NEU", 3) + Bytes(table);
    return tree;
}

void RegisterUpgradeMachine(const std::string& acadFolder) {
    const std::string release = kAcadReleaseKey;
    SetRegString(release, "CurVer", "ACAD-1:407");
    const char* const products[][2] = {{"ACAD-1:407", "AutoCAD 2000"}, {"ACAD-4001:407", "AutoCAD Map 2000"}};
    for (const auto& product : products) {
        SetRegString(release + "\\" + product[0], "ProductId", product[0]);
        SetRegString(release + "\\" + product[0], "ProductName", product[1]);
        SetRegString(release + "\\" + product[0], "AcadLocation", acadFolder);
    }
    const DWORD flags = 0x1a00;
    for (const char* name : OldModuleNames) {
        const std::string module = release + "\\ACAD-4001:407\\Applications\\" + name;
        SetRegString(module, "LOADER", std::string("C:\\Alt\\%\t") + name + ".arx");
        SetRegValue(module, "LOADCTRLS", REG_DWORD, &flags, sizeof flags);
        const std::string addOn = std::string("Software\\Dorvasys\\Dorva AT\\R15.4\\") + name;
        for (const char* sub : {"Commands", "Groups", "Loader", "Name"}) SetRegString(addOn + "\\" + sub, "", sub);
    }
}

Tree RegistryState() {
    Tree state;
    for (const char* key : {"Software\\Autodesk", "Software\\Dorvasys"})
        for (auto& [path, bytes] : RegSnapshot(key)) state[std::string(key) + "\\" + path] = bytes;
    return state;
}

void ExpectFilesAsBefore(const Tree& before, const Tree& now, const Tree& kept) {
    for (const auto& [path, bytes] : before) {
        auto at = now.find(path);
        EXPECT_TRUE(at != now.end() && at->second == bytes) << "not as before: " << path;
    }
    for (const auto& [path, bytes] : now) {
        if (before.count(path) != 0 || InNewSaveFolder(path, before)) continue;
        auto setup = kept.lower_bound(path);
        const bool folderOfKept = path.back() == '\\' && setup != kept.end() && setup->first.rfind(path, 0) == 0;
        EXPECT_TRUE(folderOfKept || (setup != kept.end() && setup->first == path && setup->second == bytes))
            << "left behind or changed: " << path;
    }
}

}  // namespace kivtest
