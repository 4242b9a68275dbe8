// The library on other Windows setups: Japanese and Turkish locales, and a folder the ANSI code page cannot spell.
// The locale cases need a process started under that locale (tests/wine/CMakeLists.txt
// starts one per locale); in the German test session they skip.
#include "core/Path.h"
#include "core/SaveLists.h"
#include "support/Library.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace kivtest;

namespace {

// In code page 932 both characters end in 0x5C, the byte of a backslash.
const std::string kHyo = "\x95\x5C";  // 表
const std::string kSo = "\x83\x5C";   // ソ

bool RunsUnderCodePage(UINT codePage) { return ::GetACP() == codePage; }

bool RunsUnderTurkishLocale() {
    return RunsUnderCodePage(1254) && PRIMARYLANGID(LANGIDFROMLCID(::GetUserDefaultLCID())) == LANG_TURKISH;
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

std::string Entry(const std::string& key, const std::string& value) {
    return key + " 5005 " + std::to_string(value.size()) + " " + value + "\r\n";
}

// The twelve folder entries that an ATP rewrite appends.
std::string AtpEntries(const std::string& program) {
    std::string lines;
    for (const char* prefix : {"FEN125_", "TUE125_", "DUR125_"})
        for (int n = 1; n <= 4; ++n) lines += Entry(prefix + std::to_string(n), program + "\\Oeffdat");
    return lines;
}

// Writes one line into each named file of manager and has the ATP variant rewrite
// them: each must then hold that line and the twelve folder entries.
void ExpectAtpRewritesEach(const std::string& program, const std::string& manager,
                           const std::vector<std::string>& names) {
    Library lib;
    for (const std::string& name : names) WriteFile(manager + "\\" + name, "USER 5005 1 x\r\n");
    lib.SetNewProgramDir(program.c_str());
    lib.SetNewManagerDir(manager.c_str());
    ASSERT_EQ(1, lib.CreateUpdateManagerATP(program.c_str(), 0));
    for (const std::string& name : names)
        EXPECT_EQ("USER 5005 1 x\r\n" + AtpEntries(program), ReadFile(manager + "\\" + name)) << name;
}

}  // namespace

TEST(CodePage932, RewritesConfigurationFilesWhoseNamesEndInABackslashByte) {
    if (!RunsUnderCodePage(932)) GTEST_SKIP() << "needs LANG=ja_JP.UTF-8";
    ScratchFolder dir;
    const std::string program = dir / kHyo, manager = program + "\\" + kSo;
    // One level at a time: a forward search for backslashes would stop inside the names.
    ASSERT_TRUE(::CreateDirectoryA(program.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA(manager.c_str(), nullptr));
    const std::vector<std::string> names = {"Arch.Cfg", kHyo + ".cfg", kSo + kHyo + ".CFG"};
    ExpectAtpRewritesEach(program, manager, names);
    // No temporary file left, no file renamed, nothing made beside the folder.
    EXPECT_EQ(Sorted(names), ListNames(manager));
    EXPECT_EQ((std::vector<std::string>{kSo}), ListNames(program));
}

TEST(CodePage932, SaveAfterFilesCopyTidiesTheFolderOfANameEndingInABackslashByte) {
    if (!RunsUnderCodePage(932)) GTEST_SKIP() << "needs LANG=ja_JP.UTF-8";
    ScratchFolder dir;
    Library lib;
    const std::string folder = dir / kSo, drawing = kHyo + ".dwg";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    for (const char* name : kiv::core::AfterCopySaveList) WriteFile(folder + "\\" + name, name);
    WriteFile(folder + "\\" + drawing, "drawing");

    EXPECT_NE(0, lib.SaveAfterFilesCopy((folder + "\\" + drawing).c_str()));
    for (const char* name : kiv::core::AfterCopySaveList) {
        EXPECT_FALSE(FileExists(folder + "\\" + name)) << name;
        EXPECT_EQ(name, ReadFile(folder + "\\Save1\\" + name)) << name;
    }
    EXPECT_EQ(Sorted({drawing, "Save1"}), ListNames(folder));
    EXPECT_EQ((std::vector<std::string>{kSo}), ListNames(dir.path()));
}

TEST(TurkishLocale, ReplacesKeysWithIWhateverTheirCase) {
    if (!RunsUnderTurkishLocale()) GTEST_SKIP() << "needs LANG=tr_TR.UTF-8";
    ScratchFolder dir;
    Library lib;
    const std::string program = dir / "Neu", manager = dir / "Neu\\Manager";
    MakeFolder(manager);
    lib.SetNewProgramDir(program.c_str());
    lib.SetNewManagerDir(manager.c_str());
    WriteFile(manager + "\\Arch.Cfg",
              "bibhpt 5005 1 a\r\nFEN125_1 5005 1 b\r\nBibTab 5005 1 c\r\nbodendir 5005 1 d\r\nBIBHPTI 5005 1 e\r\n");

    // Without opening tables only the library files and the blocks folder are entered.
    ASSERT_EQ(1, lib.CreateUpdateManager(program.c_str(), 0));
    EXPECT_EQ("FEN125_1 5005 1 b\r\nBIBHPTI 5005 1 e\r\n" + Entry("BIBHPT", program + "\\Bib\\Bib.Ini") +
                  Entry("BIBTAB", program + "\\Bib\\Std\\Std.Bib") + Entry("BODENDIR", program + "\\Blocks"),
              ReadFile(manager + "\\Arch.Cfg"));
}

// The file system is the measure: a name matches another when opening the one
// finds the other. Runs in the German session and again under the Turkish locale.
TEST(NameComparison, FollowsTheFileSystem) {
    struct Case {
        const char* what;
        std::string a, b;
        bool equal;
    };
    // Bytes 0xFD, 0xDD, 0xFE, 0xDE are y and Y acute, thorn in code page 1252,
    // and dotless i, capital I with dot, s and S cedilla in 1254.
    const Case cases[] = {
        {"i and I", "bibhpt", "BIBHPT", true},
        {"configuration file", "arch.cfg", "ARCH.CFG", true},
        {"0xFD and I", "\xFD", "I", false},
        {"0xFD and i", "\xFD", "i", false},
        {"0xDD and i", "\xDD", "i", false},
        {"0xDD and I", "\xDD", "I", false},
        {"0xFE and 0xDE", "\xFE", "\xDE", true},
        {"a with diaeresis", "\xE4", "\xC4", true},
        {"sharp s and SS", "\xDF", "SS", false},
        {"a soft hyphen counts",
         "Ar\xAD"
         "ch.Cfg",
         "Arch.Cfg", false},
        {"different letters", "FENBL1", "FENBL2", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder dir;
        WriteFile(dir / c.a, "x");
        ASSERT_TRUE(FileExists(dir / c.a));
        EXPECT_EQ(c.equal, FileExists(dir / c.b));
        EXPECT_EQ(c.equal, kiv::path::EqualsIgnoringCase(c.a, c.b));
        EXPECT_EQ(c.equal, kiv::path::EqualsIgnoringCase(c.b, c.a));
    }
}

// Language rules would take a name with a soft hyphen for the main file and pass it over.
TEST(NameComparison, AtpRewritesEveryFileTheFileSystemTellsFromArchCfg) {
    ScratchFolder dir;
    const std::string manager = dir / "Neu\\Manager";
    MakeFolder(manager);
    ExpectAtpRewritesEach(dir / "Neu", manager,
                          {"Arch.Cfg",
                           "Ar\xAD"
                           "ch.Cfg"});
}

// A script may load the library from a folder whose name the ANSI code page
// cannot spell; its progress window still holds the library while it is open.
TEST(ProgressWindowReference, HoldsALibraryLoadedFromAFolderTheCodePageCannotSpell) {
    ScratchFolder dir;
    const std::wstring folder =
        std::wstring(dir.path().begin(), dir.path().end()) + L"\\\u03A9\u03BC\u03AD\u03B3\u03B1";
    const std::string shipped = ProgramFolder() + "\\KivForIS55.dll";
    const std::wstring path = folder + L"\\KivForIS55.dll";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(::CopyFileW(std::wstring(shipped.begin(), shipped.end()).c_str(), path.c_str(), TRUE));

    HMODULE module = ::LoadLibraryW(path.c_str());
    ASSERT_NE(nullptr, module);
    auto start = reinterpret_cast<int(__stdcall*)(HWND, const char*, int)>(
        reinterpret_cast<void*>(::GetProcAddress(module, "KivStartRegProgress")));
    auto destroy =
        reinterpret_cast<int(__stdcall*)()>(reinterpret_cast<void*>(::GetProcAddress(module, "KivRegProgDestroy")));
    ASSERT_TRUE(start != nullptr && destroy != nullptr);
    start(nullptr, "Kopf", 10);
    ::FreeLibrary(module);
    ASSERT_EQ(module, ::GetModuleHandleW(path.c_str()));

    // The script loads it again to close the window; then one unload is the last.
    ASSERT_EQ(module, ::LoadLibraryW(path.c_str()));
    EXPECT_NE(0, destroy());
    ::FreeLibrary(module);
    EXPECT_EQ(nullptr, ::GetModuleHandleW(path.c_str()));
}
