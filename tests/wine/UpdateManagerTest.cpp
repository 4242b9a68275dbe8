// CreateUpdateManager and CreateUpdateManagerATP through the loaded DLL, on constructed old and new installations.
#include "core/SetupState.h"
#include "support/HeldFile.h"
#include "support/Library.h"
#include "support/Scratch.h"
#include "upgrade/Entries.h"

#include "../native/Tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <ctime>
#include <map>
#include <string>
#include <utility>
#include <vector>

using namespace kivtest;
using kiv::core::UpdateVariant;
using kivnative::Header;
using kivnative::HeaderTime;
using kivnative::Record;

namespace {

const std::string kCode = "A000000BCDEFGHIJKLMNO";
const char* const kTableNames[] = {"TYP.DAT", "EINBAU.DAT", "WAENDE.DAT", "BLOCK.DAT"};
const char* const kKindFolders[] = {"Fen-Std", "Tue-Std", "Dur-Std"};
const char* const kKindPrefixes[] = {"F-", "T-", "D-"};

// Seconds from a time code of six base-38 digits.
std::uint32_t DecodeBase38(const std::string& digits) {
    const std::string alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-_";
    std::uint32_t value = 0;
    for (char c : digits) value = value * 38 + static_cast<std::uint32_t>(alphabet.find(c));
    return value;
}

std::string BlockTable(const std::vector<std::string>& records, const std::string& tail = std::string()) {
    std::string table = Header("BLK", 7);
    for (const std::string& record : records) table += record;
    return table + tail;
}

// An old and a new installation, each with a program and a manager folder,
// announced to the library as a setup script does.
class Upgrade {
public:
    Upgrade() {
        for (const std::string* folder : {&oldProgram, &oldManager, &newProgram, &newManager}) MakeFolder(*folder);
        lib.SetOldProgramDir(oldProgram.c_str());
        lib.SetOldManagerDir(oldManager.c_str());
        lib.SetNewProgramDir(newProgram.c_str());
        lib.SetNewManagerDir(newManager.c_str());
    }

    // The four tables of a kind below folder; the block table from records.
    void WriteTables(const std::string& folder, int kind, const std::string& blockTable,
                     const std::string& tag = "TAB") {
        MakeFolder(folder);
        for (int t = 0; t < 3; ++t)
            WriteFile(folder + "\\" + kKindPrefixes[kind] + kTableNames[t], Header(tag, 7) + "rest of " + tag);
        WriteFile(folder + "\\" + kKindPrefixes[kind] + kTableNames[3], blockTable);
    }
    std::string TablePath(const std::string& folder, int kind, int t) const {
        return folder + "\\" + kKindPrefixes[kind] + kTableNames[t];
    }
    // The new installation's tables as the setup copies them, one block record per kind.
    void WriteNewTables() {
        for (int kind = 0; kind < 3; ++kind)
            WriteTables(NewKindFolder(kind), kind, BlockTable({Record("Block" + std::to_string(kind), kCode, 1.5)}));
    }
    std::string NewKindFolder(int kind) const { return newProgram + "\\OeffDat\\" + kKindFolders[kind]; }
    std::string OldKindFolder(int kind) const { return oldProgram + "\\OeffDat\\" + kKindFolders[kind]; }
    void WriteDefinitionFiles(const std::string& folder, const std::string& origin) {
        for (const char* name : {"FENSTER.INI", "TUER.INI", "DURCHG.INI"})
            WriteFile(folder + "\\" + name, origin + name);
    }
    std::string Config() const { return ReadFile(newManager + "\\Arch.Cfg"); }

    ScratchFolder dir;
    Library lib;
    std::string oldProgram = dir / "Old";
    std::string oldManager = dir / "Old\\Manager";
    std::string newProgram = dir / "New";
    std::string newManager = dir / "New\\Manager";
};

std::string FolderEntries(const std::string& keyPrefix, const std::string& folder) {
    std::string lines;
    for (int n = 1; n <= 4; ++n)
        lines += keyPrefix + std::to_string(n) + " 5005 " + std::to_string(folder.size()) + " " + folder + "\r\n";
    return lines;
}

std::string LibraryEntries(const std::string& program, const std::string& blocks) {
    std::string bib = program + "\\Bib\\Bib.Ini", tab = program + "\\Bib\\Std\\Std.Bib";
    return "BIBHPT 5005 " + std::to_string(bib.size()) + " " + bib + "\r\nBIBTAB 5005 " + std::to_string(tab.size()) +
           " " + tab + "\r\nBODENDIR 5005 " + std::to_string(blocks.size()) + " " + blocks + "\r\n";
}

// What a standard rewrite appends when the opening tables were taken over: the
// three kinds' folder entries, then the library files and the blocks folder.
std::string StandardEntriesWithoutBlocks(const std::string& program) {
    const std::string oeffdat = program + "\\Oeffdat";
    return FolderEntries("FEN125_", oeffdat + "\\FEN-STD") + FolderEntries("TUE125_", oeffdat + "\\TUE-STD") +
           FolderEntries("DUR125_", oeffdat + "\\DUR-STD") + LibraryEntries(program, program + "\\Blocks");
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The code KivGetLastError gives, and its text.
DWORD LastError(const Library& lib, std::string* text = nullptr) {
    char buffer[260] = "";
    const DWORD code = static_cast<DWORD>(lib.KivGetLastError(buffer));
    if (text != nullptr) *text = buffer;
    return code;
}

// A table without the fields that stamping sets: the header time and each whole record's time code.
std::string Unstamped(std::string table) {
    if (table.size() >= 10) table.replace(6, 4, 4, '\0');
    for (std::size_t record = 10; record + 147 <= table.size(); record += 147) table.replace(record + 20, 6, 6, '0');
    return table;
}

// A line that begins with key and the type code.
bool HasEntry(const std::string& config, const std::string& key) {
    return config.compare(0, key.size() + 6, key + " 5005 ") == 0 || Contains(config, "\r\n" + key + " 5005 ");
}

}  // namespace

TEST(UpdateManager, MigrationPrefersTheOldManagerFolderAndKeepsTheOldTables) {
    Upgrade up;
    up.WriteDefinitionFiles(up.oldManager, "manager ");
    up.WriteDefinitionFiles(up.oldProgram, "program ");
    for (int kind = 0; kind < 3; ++kind)
        up.WriteTables(up.OldKindFolder(kind), kind, BlockTable({Record("Old", kCode, 2)}), "OLD");
    up.WriteNewTables();
    WriteFile(up.oldManager + "\\Layer.Def", "layers");
    WriteFile(up.oldManager + "\\Arch.Cfg", "USER 5005 3 old\r\nFEN125_1 5005 3 old\r\n");

    ASSERT_EQ(1, up.lib.CreateUpdateManager(up.newProgram.c_str(), 1));
    for (const char* name : {"FENSTER.INI", "TUER.INI", "DURCHG.INI"})
        EXPECT_EQ(std::string("manager ") + name, ReadFile(up.newManager + "\\" + name));
    for (int kind = 0; kind < 3; ++kind)
        for (int t = 0; t < 4; ++t)
            EXPECT_EQ(ReadFile(up.TablePath(up.OldKindFolder(kind), kind, t)),
                      ReadFile(up.TablePath(up.NewKindFolder(kind), kind, t)));  // copied, not stamped
    EXPECT_EQ("layers", ReadFile(up.newManager + "\\Layer.Def"));
    // The old Arch.Cfg was copied across, then rewritten without block entries.
    EXPECT_EQ("USER 5005 3 old\r\n" + StandardEntriesWithoutBlocks(up.newProgram), up.Config());
}

TEST(UpdateManager, MigrationStopsWhereTheChosenFolderLacksAFile) {
    Upgrade up;
    WriteFile(up.oldManager + "\\FENSTER.INI", "manager FENSTER.INI");
    up.WriteDefinitionFiles(up.oldProgram, "program ");
    for (int kind = 0; kind < 3; ++kind)
        up.WriteTables(up.OldKindFolder(kind), kind, BlockTable({Record("Old", kCode, 2)}), "OLD");
    up.WriteNewTables();
    WriteFile(up.oldManager + "\\Layer.Def", "layers");

    ASSERT_EQ(1, up.lib.CreateUpdateManager(up.newProgram.c_str(), 1));
    EXPECT_EQ(0u, LastError(up.lib)) << "a missing source is no failure";
    EXPECT_EQ("manager FENSTER.INI", ReadFile(up.newManager + "\\FENSTER.INI"));
    EXPECT_FALSE(FileExists(up.newManager + "\\TUER.INI"));
    EXPECT_FALSE(FileExists(up.newManager + "\\Layer.Def"));
    // No tables were taken over, so the fresh ones were stamped and entered.
    EXPECT_EQ("rest of TAB", ReadFile(up.TablePath(up.NewKindFolder(0), 0, 0)).substr(10));
    EXPECT_TRUE(HasEntry(up.Config(), "FENBL1"));
}

TEST(UpdateManager, MigrationFallsBackToTheOldProgramFolderAndStopsAtAMissingTable) {
    Upgrade up;
    up.WriteDefinitionFiles(up.oldProgram, "program ");
    up.WriteTables(up.OldKindFolder(0), 0, BlockTable({Record("Old", kCode, 2)}), "OLD");
    std::remove(up.TablePath(up.OldKindFolder(0), 0, 2).c_str());  // F-WAENDE.DAT
    up.WriteNewTables();
    const std::string newEinbau = ReadFile(up.TablePath(up.NewKindFolder(0), 0, 1));

    ASSERT_EQ(1, up.lib.CreateUpdateManager(up.newProgram.c_str(), 1));
    EXPECT_EQ("program DURCHG.INI", ReadFile(up.newManager + "\\DURCHG.INI"));
    // F-TYP.DAT and F-EINBAU.DAT came across before the gap; the rewrite then stamped them.
    EXPECT_EQ(ReadFile(up.TablePath(up.OldKindFolder(0), 0, 1)).substr(10),
              ReadFile(up.TablePath(up.NewKindFolder(0), 0, 1)).substr(10));
    EXPECT_NE(newEinbau, ReadFile(up.TablePath(up.NewKindFolder(0), 0, 1)));
}

TEST(UpdateManager, AtpVariantTakesUnderscoreFoldersAndCopiesFlat) {
    Upgrade up;
    up.WriteDefinitionFiles(up.oldManager, "manager ");
    // Windows and passages in their underscore folders, doors flat in OeffDat.
    up.WriteTables(up.oldProgram + "\\OeffDat\\Fen_Std", 0, BlockTable({Record("Fen", kCode, 1)}), "FEN");
    up.WriteTables(up.oldProgram + "\\OeffDat", 1, BlockTable({Record("Tuer", kCode, 1)}), "TUE");
    up.WriteTables(up.oldProgram + "\\OeffDat", 2, BlockTable({Record("Flat", kCode, 1)}), "FLAT");
    up.WriteTables(up.oldProgram + "\\OeffDat\\Dur_Std", 2, BlockTable({Record("Dur", kCode, 1)}), "DUR");
    MakeFolder(up.newProgram + "\\OeffDat");
    WriteFile(up.oldManager + "\\Arch.Cfg", "OLD 5005 1 x\r\n");

    ASSERT_EQ(1, up.lib.CreateUpdateManagerATP(up.newProgram.c_str(), 1));
    const std::string flat = up.newProgram + "\\OeffDat";
    EXPECT_EQ(ReadFile(up.oldProgram + "\\OeffDat\\Fen_Std\\F-BLOCK.DAT"), ReadFile(flat + "\\F-BLOCK.DAT"));
    EXPECT_EQ(ReadFile(up.oldProgram + "\\OeffDat\\T-TYP.DAT"), ReadFile(flat + "\\T-TYP.DAT"));
    EXPECT_EQ(ReadFile(up.oldProgram + "\\OeffDat\\Dur_Std\\D-WAENDE.DAT"), ReadFile(flat + "\\D-WAENDE.DAT"));
    EXPECT_EQ(12u, ListNames(flat).size());
    // Variant 1 leaves the old Arch.Cfg behind and enters the flat folder for every kind.
    std::string oeffdat = up.newProgram + "\\Oeffdat";
    EXPECT_EQ(FolderEntries("FEN125_", oeffdat) + FolderEntries("TUE125_", oeffdat) + FolderEntries("DUR125_", oeffdat),
              up.Config());
}

TEST(UpdateManager, AtpVariantRewritesArchCfgOnceAndOnlyNonEmptyCfgFiles) {
    Upgrade up;
    // Two lines of one key: a second rewrite would replace the second as well.
    WriteFile(up.newManager + "\\ARCH.CFG", "FEN125_1 5005 1 a\r\nFEN125_1 5005 1 b\r\n");
    WriteFile(up.newManager + "\\Other.cfg", "O 5005 1 x\r\n");
    WriteFile(up.newManager + "\\Empty.cfg", "");
    WriteFile(up.newManager + "\\Arch.cfgx", "not a configuration file\r\n");
    MakeFolder(up.newManager + "\\Folder.cfg");
    // The wildcard matches the 8.3 name of "Arch.cfgx" too.
    WIN32_FIND_DATAA data;
    HANDLE search = ::FindFirstFileA((up.newManager + "\\*.cfgx").c_str(), &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    ::FindClose(search);

    ASSERT_EQ(1, up.lib.CreateUpdateManagerATP(up.newProgram.c_str(), 0));
    std::string oeffdat = up.newProgram + "\\Oeffdat";
    std::string entries =
        FolderEntries("FEN125_", oeffdat) + FolderEntries("TUE125_", oeffdat) + FolderEntries("DUR125_", oeffdat);
    EXPECT_EQ("FEN125_1 5005 1 b\r\n" + entries, ReadFile(up.newManager + "\\ARCH.CFG"));
    EXPECT_EQ("O 5005 1 x\r\n" + entries, ReadFile(up.newManager + "\\Other.cfg"));
    EXPECT_EQ("", ReadFile(up.newManager + "\\Empty.cfg"));
    EXPECT_EQ("not a configuration file\r\n", ReadFile(up.newManager + "\\Arch.cfgx"));
    EXPECT_TRUE(FolderExists(up.newManager + "\\Folder.cfg"));
    EXPECT_EQ((std::vector<std::string>{"ARCH.CFG", "Arch.cfgx", "Empty.cfg", "Folder.cfg", "Other.cfg"}),
              ListNames(up.newManager));
}

TEST(UpdateManager, StandardVariantKeepsTheInstalledArchCfgWhenTheOldManagerHasNone) {
    Upgrade up;
    up.WriteDefinitionFiles(up.oldManager, "manager ");
    for (int kind = 0; kind < 3; ++kind)
        up.WriteTables(up.OldKindFolder(kind), kind, BlockTable({Record("Old", kCode, 2)}), "OLD");
    up.WriteNewTables();
    WriteFile(up.oldProgram + "\\Arch.Cfg", "OLD 5005 1 p\r\n");  // only the manager folder counts
    WriteFile(up.newManager + "\\Arch.Cfg", "NEW 5005 1 n\r\n");

    ASSERT_EQ(1, up.lib.CreateUpdateManager(up.newProgram.c_str(), 1));
    EXPECT_EQ("NEW 5005 1 n\r\n" + StandardEntriesWithoutBlocks(up.newProgram), up.Config());
}

// In this program's own setup state: only the standard variant needs a user name and looks it up.
TEST(UpdateManager, StandardVariantLooksTheUserNameUpWhenItIsMissing) {
    ScratchFolder dir;
    kiv::SetupState& state = kiv::State();
    state = kiv::SetupState();
    state.newManagerDir = dir.path();
    state.newProgramDir = dir.path();

    EXPECT_TRUE(kiv::upgrade::RunUpdateManager(dir.path().c_str(), false, UpdateVariant::Atp));
    EXPECT_EQ("", state.userName);
    EXPECT_TRUE(kiv::upgrade::RunUpdateManager(dir.path().c_str(), false, UpdateVariant::Standard));
    char logon[260];
    DWORD size = sizeof logon;
    ASSERT_TRUE(::GetUserNameA(logon, &size));
    EXPECT_EQ(std::string(logon), state.userName);
    EXPECT_TRUE(HasEntry(ReadFile(dir / "Arch.Cfg"), "BIBHPT"));

    state.userName = "Anna";  // a name already known is kept
    EXPECT_TRUE(kiv::upgrade::RunUpdateManager(dir.path().c_str(), false, UpdateVariant::Standard));
    EXPECT_EQ("Anna", state.userName);
    state = kiv::SetupState();
}

TEST(UpdateManager, OpeningDataFlagStaysSetForALaterStandardVariantCall) {
    Upgrade up;
    up.WriteNewTables();
    const std::string block = ReadFile(up.TablePath(up.NewKindFolder(0), 0, 3));
    ASSERT_EQ(1, up.lib.CreateUpdateManagerATP(up.newProgram.c_str(), 0));
    ASSERT_EQ(1, up.lib.CreateUpdateManager(up.newProgram.c_str(), 0));
    EXPECT_EQ(block, ReadFile(up.TablePath(up.NewKindFolder(0), 0, 3)));
    EXPECT_FALSE(Contains(up.Config(), "BL1 "));
    EXPECT_TRUE(Contains(up.Config(), FolderEntries("FEN125_", up.newProgram + "\\Oeffdat\\FEN-STD")));
}

TEST(UpdateManager, MigrateZeroCopiesNothing) {
    Upgrade up;
    up.WriteDefinitionFiles(up.oldManager, "manager ");
    for (int kind = 0; kind < 3; ++kind)
        up.WriteTables(up.OldKindFolder(kind), kind, BlockTable({Record("Old", kCode, 2)}), "OLD");
    WriteFile(up.oldManager + "\\Layer.Def", "layers");
    WriteFile(up.oldManager + "\\Arch.Cfg", "OLD 5005 1 x\r\n");
    MakeFolder(up.NewKindFolder(0));

    // Trailing backslashes on dir would double in every entry.
    ASSERT_EQ(1, up.lib.CreateUpdateManager((up.newProgram + "\\\\").c_str(), 0));
    EXPECT_EQ((std::vector<std::string>{"Arch.Cfg"}), ListNames(up.newManager));
    EXPECT_TRUE(ListNames(up.NewKindFolder(0)).empty());
    // Without tables the windows stop the kinds; the library entries still come.
    EXPECT_EQ(LibraryEntries(up.newProgram, up.newProgram + "\\Blocks"), up.Config());
}

TEST(UpdateManager, EmptyDirReturnsZeroAndChangesNothing) {
    Upgrade up;
    up.WriteDefinitionFiles(up.oldManager, "manager ");
    up.WriteNewTables();
    WriteFile(up.newManager + "\\Arch.Cfg", "USER 5005 1 x\r\n");
    EXPECT_EQ(0, up.lib.CreateUpdateManager(nullptr, 1));
    EXPECT_EQ(0, up.lib.CreateUpdateManager("", 1));
    EXPECT_EQ(0, up.lib.CreateUpdateManagerATP("", 1));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), LastError(up.lib));
    EXPECT_EQ("USER 5005 1 x\r\n", up.Config());
    EXPECT_EQ((std::vector<std::string>{"Arch.Cfg"}), ListNames(up.newManager));
    // The refused ATP call did not set the opening-data flag: the tables are still stamped.
    ASSERT_EQ(1, up.lib.CreateUpdateManager(up.newProgram.c_str(), 0));
    EXPECT_TRUE(HasEntry(up.Config(), "FENBL1"));
}

TEST(UpdateManager, UnsetNewFoldersTouchNothing) {
    ScratchFolder dir;
    Library lib;
    // The folders were never announced (or SaveBeforeFilesCopy emptied them).
    lib.SetOldManagerDir(dir.path().c_str());
    WriteFile(dir / "FENSTER.INI", "f");
    EXPECT_EQ(0, lib.CreateUpdateManagerATP((dir / "New").c_str(), 1));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), LastError(lib));
    EXPECT_FALSE(FileExists("C:\\FENSTER.INI"));
    EXPECT_FALSE(FileExists("C:\\Arch.Cfg"));
}

TEST(UpdateManager, StandardVariantWritesExactEntriesAndStampsTablesAtTheCallTime) {
    Upgrade up;
    up.lib.SetBlocksSubDir("Std Boden");
    std::vector<std::string> windows;
    for (int i = 1; i <= 12; ++i) windows.push_back(Record("Fenster" + std::to_string(i), kCode, i * 0.5));
    up.WriteTables(up.NewKindFolder(0), 0, BlockTable(windows, "tail"));
    up.WriteTables(up.NewKindFolder(1), 1, BlockTable({Record("Tuer", kCode, 90)}));
    up.WriteTables(up.NewKindFolder(2), 2, BlockTable({Record("Durchgang", kCode, 1000)}));
    std::vector<std::string> before;
    for (int kind = 0; kind < 3; ++kind)
        for (int t = 0; t < 4; ++t) before.push_back(ReadFile(up.TablePath(up.NewKindFolder(kind), kind, t)));
    WriteFile(up.newManager + "\\Arch.Cfg",
              "; Einstellungen\r\nFENBL11 5005 1 u\r\nBODENDIRX 5005 1 v\r\nbodendir 5005 1 w\r\nFENBL1\r\n"
              "\x1a after Ctrl-Z\nTUEBL1 5005 1 z");
    // A host whose locale writes decimal commas must not change the entries.
    ASSERT_NE(nullptr, std::setlocale(LC_ALL, "German"));

    const auto start = static_cast<std::uint32_t>(std::time(nullptr));
    ASSERT_EQ(1, up.lib.CreateUpdateManager(up.newProgram.c_str(), 0));
    const auto end = static_cast<std::uint32_t>(std::time(nullptr));
    std::setlocale(LC_ALL, "C");

    std::string timeCodes[3];
    for (int kind = 0; kind < 3; ++kind) {
        std::uint32_t time = HeaderTime(ReadFile(up.TablePath(up.NewKindFolder(kind), kind, 0)));
        EXPECT_GE(time, start);
        EXPECT_LE(time, end);
        for (int t = 0; t < 4; ++t) {
            std::string after = ReadFile(up.TablePath(up.NewKindFolder(kind), kind, t));
            EXPECT_EQ(time, HeaderTime(after));
            std::string expected = before[kind * 4 + t].replace(0, 10, Header(t == 3 ? "BLK" : "TAB", time));
            if (t == 3) {
                timeCodes[kind] = after.substr(10 + 19 + 1, 6);
                EXPECT_EQ(time, DecodeBase38(timeCodes[kind]));
                for (std::size_t r = 0; 10 + (r + 1) * 147 <= after.size(); ++r)
                    expected.replace(10 + r * 147 + 20, 6, timeCodes[kind]);
            }
            EXPECT_EQ(expected, after) << kind << " " << t;
        }
    }

    std::string expected =
        "; Einstellungen\r\nFENBL11 5005 1 u\r\nBODENDIRX 5005 1 v\r\nFENBL1\r\n"
        "\x1a after Ctrl-Z\r\n";
    const std::string code0 = "A" + timeCodes[0] + "BCDEFGHIJKLMNO";
    for (int i = 1; i <= 10; ++i) {
        std::string value =
            code0 + "|Fenster" + std::to_string(i) + "|" + std::to_string(i / 2) + (i % 2 ? ".500" : ".000");
        expected += "FENBL" + std::to_string(i) + " 5005 " + std::to_string(value.size()) + " " + value + "\r\n";
    }
    const std::string oeffdat = up.newProgram + "\\Oeffdat";
    expected += FolderEntries("FEN125_", oeffdat + "\\FEN-STD");
    expected += "TUEBL1 5005 33 A" + timeCodes[1] + "BCDEFGHIJKLMNO|Tuer|90.000\r\n";
    expected += FolderEntries("TUE125_", oeffdat + "\\TUE-STD");
    expected += "DURBL1 5005 40 A" + timeCodes[2] + "BCDEFGHIJKLMNO|Durchgang|1000.000\r\n";
    expected += FolderEntries("DUR125_", oeffdat + "\\DUR-STD");
    expected += LibraryEntries(up.newProgram, up.newProgram + "\\Blocks\\Std Boden");
    EXPECT_EQ(expected, up.Config());
}

// Faults in the fresh tables: each kind stops at its first fault, the user's lines stay.
TEST(UpdateManager, TableFaultsStopTheirKind) {
    struct Case {
        const char* what;
        int kind;
        std::string blockTable;
        bool removeTyp;
        bool windowsEntered, doorsEntered;
    };
    const std::string good = BlockTable({Record("B", kCode, 1)});
    const Case cases[] = {
        {"window tables missing", 0, good, true, false, false},
        {"window block table header only", 0, BlockTable({}), false, false, false},
        {"window block table one byte short", 0, BlockTable({}, std::string(146, 'x')), false, false, false},
        {"door record with a 20-character code", 1,
         BlockTable({Record("A", kCode, 1), Record("B", kCode.substr(0, 20), 1)}), false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Upgrade up;
        up.WriteNewTables();
        up.WriteTables(up.NewKindFolder(c.kind), c.kind, c.blockTable);
        if (c.removeTyp) std::remove(up.TablePath(up.NewKindFolder(c.kind), c.kind, 0).c_str());
        WriteFile(up.newManager + "\\Arch.Cfg", "USER 5005 1 x\r\n");
        ASSERT_EQ(1, up.lib.CreateUpdateManager(up.newProgram.c_str(), 0));
        const std::string config = up.Config();
        EXPECT_EQ(0u, config.find("USER 5005 1 x\r\n"));
        EXPECT_EQ(c.windowsEntered, HasEntry(config, "FEN125_4"));
        EXPECT_EQ(c.doorsEntered, HasEntry(config, "TUE125_1"));
        EXPECT_FALSE(Contains(config, "DUR125_1"));
        EXPECT_EQ(config.size() - LibraryEntries(up.newProgram, up.newProgram + "\\Blocks").size(),
                  config.find("BIBHPT 5005 "));
    }
}

TEST(UpdateManager, BlockNameOf15CharactersGetsNoEntryButKeepsTheNumbers) {
    Upgrade up;
    up.WriteNewTables();
    up.WriteTables(up.NewKindFolder(0), 0,
                   BlockTable({Record("A", kCode, 1), Record("ABCDEFGHIJKLMNO", kCode, 1), Record("C", kCode, 1)}));
    ASSERT_EQ(1, up.lib.CreateUpdateManager(up.newProgram.c_str(), 0));
    const std::string block = ReadFile(up.TablePath(up.NewKindFolder(0), 0, 3));
    const std::string config = up.Config();
    EXPECT_TRUE(HasEntry(config, "FENBL1"));
    EXPECT_FALSE(Contains(config, "FENBL2"));
    EXPECT_TRUE(HasEntry(config, "FENBL3"));
    EXPECT_EQ(block.substr(10 + 19, 7), block.substr(10 + 147 + 19, 7));  // the long-named record is stamped too
}

// A configuration file that cannot be rewritten, or no manager folder to rewrite in:
// both exports answer 0 and tell the code and the path, and the user's file stays whole.
TEST(UpdateManager, ConfigurationThatCannotBeRewrittenIsToldAndLeftWhole) {
    const std::string user = "USER 5005 1 x\r\nFEN125_1 5005 1 y\r\n";
    enum Fault { ReadOnly, LockedExclusive, LockedAgainstReplace, NoManagerFolder };
    struct Case {
        Fault fault;
        DWORD code;
    };
    const Case cases[] = {{ReadOnly, ERROR_ACCESS_DENIED},
                          {LockedExclusive, ERROR_SHARING_VIOLATION},
                          {LockedAgainstReplace, ERROR_ACCESS_DENIED},
                          {NoManagerFolder, ERROR_PATH_NOT_FOUND}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        Upgrade up;
        const std::string path = up.newManager + "\\Arch.Cfg";
        WriteFile(path, user);
        HANDLE lock = INVALID_HANDLE_VALUE;
        if (c.fault == ReadOnly) ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        if (c.fault == LockedExclusive || c.fault == LockedAgainstReplace)
            lock = ::CreateFileA(path.c_str(), GENERIC_READ, c.fault == LockedExclusive ? 0 : FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
        if (c.fault == NoManagerFolder) RemoveTree(up.newManager);
        const std::string told = c.fault == NoManagerFolder ? up.newManager : path;
        for (auto update : {up.lib.CreateUpdateManager, up.lib.CreateUpdateManagerATP}) {
            EXPECT_EQ(0, update(up.newProgram.c_str(), 0));
            std::string text;
            EXPECT_EQ(c.code, LastError(up.lib, &text));
            EXPECT_TRUE(Contains(text, told)) << text;
        }
        if (lock != INVALID_HANDLE_VALUE) ::CloseHandle(lock);
        if (c.fault == NoManagerFolder) {
            EXPECT_FALSE(FolderExists(up.newManager));
            continue;
        }
        EXPECT_EQ(user, ReadFile(path));
        EXPECT_EQ((std::vector<std::string>{"Arch.Cfg"}), ListNames(up.newManager));  // no temporary file left
    }
}

// A file held open in either installation while the migration copies: the copy that fails is told
// and the result is 0, every other copy is made, and no file is changed but by a whole copy. A table
// that did not come across leaves the opening data not taken over, so the new tables are stamped.
TEST(UpdateManager, HeldFilesAreLeftWholeAndTheFailedCopyIsTold) {
    enum Side { OldFile, NewFile };
    struct Place {
        const char* fileName;
        Side side;
    };
    const Place places[] = {{"FENSTER.INI", OldFile}, {"T-EINBAU.DAT", OldFile}, {"Arch.Cfg", OldFile},
                            {"TUER.INI", NewFile},    {"F-BLOCK.DAT", NewFile},  {"Layer.Def", NewFile},
                            {"Arch.Cfg", NewFile}};
    for (const LockKind& lock : kLockKinds) {
        for (const Place& place : places) {
            SCOPED_TRACE(std::string(lock.what) + ": " + (place.side == OldFile ? "old " : "new ") + place.fileName);
            Upgrade up;
            // Old and new path of each file the migration copies, each with bytes of its own.
            std::vector<std::pair<std::string, std::string>> copies;
            for (const char* name : {"FENSTER.INI", "TUER.INI", "DURCHG.INI", "Layer.Def", "Arch.Cfg"}) {
                copies.emplace_back(up.oldManager + "\\" + name, up.newManager + "\\" + name);
                WriteFile(copies.back().first, std::string("OLD 5005 1 ") + name + "\r\n");
                WriteFile(copies.back().second, std::string("NEW 5005 1 ") + name + "\r\n");
            }
            for (int kind = 0; kind < 3; ++kind) {
                up.WriteTables(up.OldKindFolder(kind), kind, BlockTable({Record("Old", kCode, 2)}), "OLD");
                for (int t = 0; t < 4; ++t)
                    copies.emplace_back(up.TablePath(up.OldKindFolder(kind), kind, t),
                                        up.TablePath(up.NewKindFolder(kind), kind, t));
            }
            up.WriteNewTables();
            std::map<std::string, std::string> before;
            for (const auto& [oldPath, newPath] : copies) {
                before[oldPath] = ReadFile(oldPath);
                before[newPath] = ReadFile(newPath);
            }
            const auto heldCopy = std::find_if(copies.begin(), copies.end(), [&place](const auto& copy) {
                return copy.second.substr(copy.second.find_last_of('\\') + 1) == place.fileName;
            });
            ASSERT_NE(copies.end(), heldCopy);
            const std::string held = place.side == OldFile ? heldCopy->first : heldCopy->second;

            const bool copyFails = place.side == NewFile || !lock.othersMayRead;
            const bool tableFails = copyFails && Contains(place.fileName, ".DAT");
            std::string text;
            {
                HeldFile hold(held, lock.share);
                ASSERT_TRUE(hold.ok());
                EXPECT_EQ(copyFails ? 0 : 1, up.lib.CreateUpdateManager(up.newProgram.c_str(), 1));
                EXPECT_EQ(copyFails, LastError(up.lib, &text) != 0) << text;
            }
            if (copyFails) EXPECT_TRUE(Contains(text, held)) << text;
            for (const auto& [oldPath, newPath] : copies) {
                EXPECT_EQ(before[oldPath], ReadFile(oldPath)) << oldPath;
                const bool copied = newPath != held && (oldPath != held || lock.othersMayRead);
                const std::string expected = copied ? before[oldPath] : before[newPath];
                const std::string after = ReadFile(newPath);
                // The configuration file is rewritten after its copy: its first line tells which one it was.
                if (newPath == up.newManager + "\\Arch.Cfg" && newPath != held)
                    EXPECT_EQ(0u, after.find(expected)) << newPath;
                else if (Contains(newPath, ".DAT"))
                    EXPECT_EQ(Unstamped(expected), Unstamped(after)) << newPath;
                else
                    EXPECT_EQ(expected, after) << newPath;
            }
            EXPECT_EQ(tableFails, HeaderTime(ReadFile(up.TablePath(up.NewKindFolder(0), 0, 0))) != 7);
            EXPECT_EQ((std::vector<std::string>{"Arch.Cfg", "DURCHG.INI", "FENSTER.INI", "Layer.Def", "TUER.INI"}),
                      ListNames(up.newManager));
        }
    }
}
