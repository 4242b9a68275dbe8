// The export table, the existence test and the folder setters, through the loaded DLL.
#include "support/Library.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <string>

using namespace kivtest;

TEST(Exports, AllTwentyTwoResolveByUndecoratedName) {
    Library lib;
    const char* names[] = {"CreateUpdateManager", "CreateUpdateManagerATP", "DeleteOldAppsReg", "DeleteOldFiles",
                           "KivExistFile", "KivGetMainAcadData", "KivGetUserName", "KivIsWithinTablet",
                           "KivRegProgDestroy", "KivRegProgSetCurrName", "KivRegProgSetCurrPos", "KivShowTargeDir",
                           "KivStartRegProgress", "SaveAfterFilesCopy", "SaveBeforeFilesCopy", "SetBlocksSubDir",
                           "SetNewManagerDir", "SetNewProgramDir", "SetOldManagerDir", "SetOldProgramDir",
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

TEST(SetToDeleteAfterSave, ReturnsTheStoredFlag) {
    Library lib;
    EXPECT_EQ(0, lib.SetToDeleteAfterSave(5));
    EXPECT_EQ(1, lib.SetToDeleteAfterSave(0));
    EXPECT_EQ(0, lib.SetToDeleteAfterSave(-1));
}
