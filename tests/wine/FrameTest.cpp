// The export table, the existence test, the folder setters and loading the library.

// The export shims are linked into this program too: with the DLL's own
// declarations they can be called here, next to the setup state they write.
#define KIV_BUILDING_DLL
#include "KivForIS55.h"
#include "core/SetupState.h"
#include "support/Library.h"
#include "support/Scratch.h"
#include "win32/FileSystem.h"

#include <gtest/gtest.h>

#include <string>

using namespace kivtest;

TEST(Exports, AllTwentyTwoResolveByUndecoratedName) {
    Library lib;
    const char* names[] = {
        "CreateUpdateManager",  "CreateUpdateManagerATP", "DeleteOldAppsReg",     "DeleteOldFiles",
        "KivExistFile",         "KivGetMainAcadData",     "KivGetUserName",       "KivIsWithinTablet",
        "KivRegProgDestroy",    "KivRegProgSetCurrName",  "KivRegProgSetCurrPos", "KivShowTargeDir",
        "KivStartRegProgress",  "SaveAfterFilesCopy",     "SaveBeforeFilesCopy",  "SetBlocksSubDir",
        "SetNewManagerDir",     "SetNewProgramDir",       "SetOldManagerDir",     "SetOldProgramDir",
        "SetToDeleteAfterSave", "ShowTerviloUserName"};
    for (const char* name : names) EXPECT_NE(nullptr, ::GetProcAddress(lib.module(), name)) << name;
    // Decorated names are not exported.
    EXPECT_EQ(nullptr, ::GetProcAddress(lib.module(), "KivExistFile@4"));
    EXPECT_EQ(nullptr, ::GetProcAddress(lib.module(), "_KivExistFile@4"));
}

TEST(KivExistFile, FilesFoldersAndWildcards) {
    ScratchFolder dir;
    Library lib;
    WriteFile(dir / "Acad.Mnu", "menu");
    MakeFolder(dir / "Support");

    EXPECT_EQ(1, lib.KivExistFile((dir / "Acad.Mnu").c_str()));
    EXPECT_EQ(1, lib.KivExistFile((dir / "ACAD.MNU").c_str()));  // names compare without case
    EXPECT_EQ(1, lib.KivExistFile((dir / "Support").c_str()));
    EXPECT_EQ(1, lib.KivExistFile((dir / "*.mnu").c_str()));
    EXPECT_EQ(1, lib.KivExistFile((dir / "Acad.Mn?").c_str()));
    EXPECT_EQ(0, lib.KivExistFile((dir / "*.lsp").c_str()));
    EXPECT_EQ(0, lib.KivExistFile((dir / "Missing.Mnu").c_str()));
    EXPECT_EQ(0, lib.KivExistFile((dir / "Missing\\Acad.Mnu").c_str()));
}

TEST(KivExistFile, BadArgumentsAnswerZero) {
    Library lib;
    EXPECT_EQ(0, lib.KivExistFile(nullptr));
    EXPECT_EQ(0, lib.KivExistFile(""));
    std::string longPath = "C:\\" + std::string(300, 'a');
    EXPECT_EQ(0, lib.KivExistFile(longPath.c_str()));
    // A drive letter that Wine does not map has no volume.
    EXPECT_EQ(0, lib.KivExistFile("Q:\\Acad.Exe"));
}

// The caller's error mode, read without changing it (GetErrorMode is not on Windows 2000).
UINT CurrentErrorMode() {
    const UINT mode = ::SetErrorMode(0);
    ::SetErrorMode(mode);
    return mode;
}

TEST(KivExistFile, LeavesTheCallersErrorModeAsItWas) {
    ScratchFolder dir;
    Library lib;
    WriteFile(dir / "Acad.Mnu", "menu");
    const std::string longPath = "C:\\" + std::string(300, 'a');
    const char* paths[] = {nullptr,
                           "",
                           longPath.c_str(),
                           "Q:\\Acad.Exe",
                           "\\\\nirgends\\teil\\x",
                           (dir / "Acad.Mnu").c_str(),
                           (dir / "Missing.Mnu").c_str(),
                           (dir / "*.mnu").c_str()};
    const UINT modes[] = {0, SEM_NOGPFAULTERRORBOX, SEM_FAILCRITICALERRORS | SEM_NOALIGNMENTFAULTEXCEPT,
                          SEM_NOOPENFILEERRORBOX};
    const UINT testMode = CurrentErrorMode();
    for (UINT mode : modes) {
        for (const char* path : paths) {
            ::SetErrorMode(mode);
            lib.KivExistFile(path);
            EXPECT_EQ(mode, CurrentErrorMode()) << (path ? path : "(null)");
        }
    }
    ::SetErrorMode(testMode);
}

// Two opened files are one when the file system gives them the same volume and index; where a
// network redirector reports index 0, when their full paths are equal ignoring case.
TEST(SameIdentity, IndexFirstThenFullPathsIgnoringCase) {
    struct Case {
        const char* what;
        kiv::file::FileIdentity a, b;
        bool same;
    };
    const Case cases[] = {
        {"same index, other spelling", {7, 1, 42, "C:\\Acad\\Acad.Mnu"}, {7, 1, 42, "C:\\ACAD~1\\Acad.Mnu"}, true},
        {"other low index", {7, 1, 42, "C:\\a"}, {7, 1, 43, "C:\\a"}, false},
        {"other high index", {7, 1, 42, "C:\\a"}, {7, 2, 42, "C:\\a"}, false},
        {"other volume", {7, 0, 42, "C:\\a"}, {8, 0, 42, "C:\\a"}, false},
        {"high index alone is known", {7, 5, 0, "C:\\a"}, {7, 6, 0, "C:\\a"}, false},
        {"unknown index, paths differ in case",
         {7, 0, 0, "Z:\\Daten\\Acad.Mnu"},
         {7, 0, 0, "z:\\DATEN\\acad.mnu"},
         true},
        {"unknown index, other file", {7, 0, 0, "Z:\\Daten\\Acad.Mnu"}, {7, 0, 0, "Z:\\Daten\\Acad.Mns"}, false},
        {"unknown on one side only", {7, 0, 0, "Z:\\Daten\\a"}, {7, 3, 9, "Z:\\DATEN\\A"}, true},
        {"unknown index, umlauts in both cases", {0, 0, 0, "Z:\\Men\xfc.mnu"}, {0, 0, 0, "Z:\\MEN\xdc.MNU"}, true},
        // Two names the file system keeps apart, though language rules would call them equal.
        {"unknown index, sharp s",
         {0, 0, 0,
          "Z:\\Stra\xdf"
          "e.dwg"},
         {0, 0, 0, "Z:\\STRASSE.DWG"},
         false},
        {"unknown index, hyphen", {0, 0, 0, "Z:\\Plan-A.dwg"}, {0, 0, 0, "Z:\\PlanA.dwg"}, false},
        {"unknown index, no paths", {0, 0, 0, ""}, {0, 0, 0, ""}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.same, kiv::file::SameIdentity(c.a, c.b)) << c.what;
        EXPECT_EQ(c.same, kiv::file::SameIdentity(c.b, c.a)) << c.what;
    }
}

TEST(SetToDeleteAfterSave, ReturnsTheStoredFlag) {
    Library lib;
    EXPECT_EQ(0, lib.SetToDeleteAfterSave(5));
    EXPECT_EQ(1, lib.SetToDeleteAfterSave(0));
    EXPECT_EQ(0, lib.SetToDeleteAfterSave(-1));
}

TEST(Setters, EachWritesItsMemberWithoutTrailingBackslashesAndIgnoresNullAndEmpty) {
    struct Setter {
        int(__stdcall* set)(const char*);
        std::string kiv::SetupState::*member;
    };
    const Setter setters[] = {
        {SetOldProgramDir, &kiv::SetupState::oldProgramDir}, {SetNewProgramDir, &kiv::SetupState::newProgramDir},
        {SetOldManagerDir, &kiv::SetupState::oldManagerDir}, {SetNewManagerDir, &kiv::SetupState::newManagerDir},
        {SetBlocksSubDir, &kiv::SetupState::blocksSubDir},
    };
    const std::string longFolder = "C:\\" + std::string(400, 'l');
    for (const Setter& setter : setters) {
        kiv::State() = kiv::SetupState();
        setter.set("C:\\Programme\\Tervilo\\");
        EXPECT_EQ("C:\\Programme\\Tervilo", kiv::State().*setter.member);
        setter.set(nullptr);
        setter.set("");
        EXPECT_EQ("C:\\Programme\\Tervilo", kiv::State().*setter.member);
        setter.set("C:\\K\\P\\\\\\");
        EXPECT_EQ("C:\\K\\P", kiv::State().*setter.member);
        setter.set("C:\\");  // a root keeps its own
        EXPECT_EQ("C:\\", kiv::State().*setter.member);
        setter.set("Bloecke");
        EXPECT_EQ("Bloecke", kiv::State().*setter.member);
        setter.set((longFolder + "\\").c_str());
        EXPECT_EQ(longFolder, kiv::State().*setter.member);
        setter.set("C:\\*\\?");  // no existence test
        EXPECT_EQ("C:\\*\\?", kiv::State().*setter.member);

        int others = 0;
        for (const Setter& other : setters)
            if (other.member != setter.member && !(kiv::State().*other.member).empty()) ++others;
        EXPECT_EQ(0, others);
    }
    kiv::State() = kiv::SetupState();
}

TEST(Library, LoadingAndUnloadingTouchesNothing) {
    ScratchFolder dir;
    ScratchRegistry registry;
    char previous[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryA(dir.path().c_str()));
    const auto software = RegSubKeys("Software");
    const auto program = ListNames(ProgramFolder());
    {
        Library lib;
        lib.Reload();
        lib.Reload();
    }
    ::SetCurrentDirectoryA(previous);
    EXPECT_EQ(software, RegSubKeys("Software"));
    EXPECT_FALSE(RegKeyExists("Software\\Autodesk"));
    EXPECT_FALSE(RegKeyExists("Software\\Dorvasys"));
    EXPECT_EQ(program, ListNames(ProgramFolder()));
    EXPECT_TRUE(ListNames(dir.path()).empty());
}
