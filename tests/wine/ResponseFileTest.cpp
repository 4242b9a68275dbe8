// KivSetResponseFile: its modes, every page played back without a window, and the answers to a faulty file.
#include "KivForIS55.h"
#include "support/Library.h"
#include "support/PageDriver.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace kivtest;

namespace {

enum class Page { UserName, TargetDir, Tablet, Product };

// One page export called as a setup calls it; out[0] and out[1] are its buffers, preset to "-".
int Show(Library& lib, Page page, const std::string& acadFolder, char (&out)[2][KIV_BUFFER_SIZE]) {
    std::strcpy(out[0], "-");
    std::strcpy(out[1], "-");
    switch (page) {
        case Page::UserName:
            return lib.ShowTerviloUserName(nullptr, "Anna", 0);
        case Page::TargetDir:
            return lib.KivShowTargeDir(nullptr, "C:\\T", "TERVILO");
        case Page::Tablet:
            return lib.KivIsWithinTablet(nullptr, acadFolder.c_str(), out[0]);
        case Page::Product:
            return lib.KivGetMainAcadData(nullptr, out[0], out[1], 0, 0);
    }
    return 0;
}

const char* const kCurVer = "ACAD-2:407";

}  // namespace

TEST(KivSetResponseFile, SetsAKnownModeWithAUsableFileAndOtherwiseKeepsTheMode) {
    Library lib;
    ScratchFolder dir;
    const std::string file = dir / "a.iss", missing = dir / "none.iss";
    WriteFile(file, "");
    const std::string longest = dir.path() + "\\" + std::string(258 - dir.path().size(), 'x'), tooLong = longest + "y";
    const struct {
        const char* path;
        int mode;
        int result;
        DWORD code;
    } cases[] = {
        {nullptr, KIV_MODE_NORMAL, 1, 0},
        {longest.c_str(), KIV_MODE_RECORD, 1, 0},
        {missing.c_str(), KIV_MODE_RECORD, 1, 0},
        {file.c_str(), KIV_MODE_SILENT, 1, 0},
        {tooLong.c_str(), KIV_MODE_RECORD, 0, ERROR_INVALID_PARAMETER},
        {"", KIV_MODE_RECORD, 0, ERROR_INVALID_PARAMETER},
        {nullptr, KIV_MODE_SILENT, 0, ERROR_INVALID_PARAMETER},
        {dir.path().c_str(), KIV_MODE_RECORD, 0, ERROR_INVALID_PARAMETER},
        {file.c_str(), 3, 0, ERROR_INVALID_PARAMETER},
        {nullptr, -1, 0, ERROR_INVALID_PARAMETER},
        {missing.c_str(), KIV_MODE_SILENT, 0, ERROR_FILE_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path != nullptr ? c.path : "null") + " " + std::to_string(c.mode));
        EXPECT_EQ(c.result, lib.KivSetResponseFile(c.path, c.mode));
        EXPECT_EQ(static_cast<int>(c.code), lib.KivGetLastError(nullptr));
    }
    // Still silent: the progress exports succeed without a window, so none is destroyed.
    EXPECT_EQ(0, lib.KivStartRegProgress(nullptr, "Einrichten", 3));
    EXPECT_EQ(0, lib.KivRegProgDestroy());
    EXPECT_EQ(0, lib.KivGetLastError(nullptr));
}

TEST(KivSetResponseFile, PlaysEveryPageBackWithoutAWindowAndAnswersAFaultyFileAsAPageNotCreated) {
    Library lib;
    ScratchFolder dir;
    ScratchRegistry registry;
    // Three products, two by the same name.
    for (const char* key : {"ACAD-1:407", "ACAD-2:407", "ACAD-3:407"}) {
        const std::string path = std::string(kAcadReleaseKey) + "\\" + key;
        SetRegString(path, "ProductId", "ACAD");
        SetRegString(path, "ProductName", key[5] == '3' ? "AutoCAD Map 2000" : "AutoCAD 2000");
        SetRegString(path, "AcadLocation", std::string("C:\\") + key);
    }
    MakeFolder(dir / "Support");
    WriteFile(dir / "Support\\Acad.Mnu", "menu");
    const std::string file = dir / "a.iss";
    const struct {
        Page page;
        const char* answer;
        int result;
        DWORD code;
        const char* told;     // in KivGetLastError's text
        const char* written;  // into the first buffer; for a product, its folder "C:\<key>"
    } rows[] = {
        {Page::UserName, "", 0, ERROR_NOT_FOUND, "[ShowTerviloUserName-0]: \"Result\"", "-"},
        {Page::UserName, "[ShowTerviloUserName-0]\nResult=4", 0, ERROR_NOT_FOUND, "\"Result\"", "-"},
        {Page::UserName, "[ShowTerviloUserName-0]\nResult=1", 1, 0, "", "-"},
        {Page::UserName, "[ShowTerviloUserName-0]\nResult=2", 0, ERROR_CANCELLED, "\"User Information\"", "-"},
        {Page::TargetDir, "[KivShowTargeDir-0]\nResult=3", -1, ERROR_NOT_FOUND, "[KivShowTargeDir-0]: \"Result", "-"},
        {Page::TargetDir, "[KivShowTargeDir-1]\nResult=1", -1, ERROR_NOT_FOUND, "[KivShowTargeDir-0]", "-"},
        {Page::TargetDir, "[KivShowTargeDir-0]\nResult=2", 2, ERROR_CANCELLED, "\"Zielpfad best\xe4tigen\"", "-"},
        {Page::Tablet, "[KivIsWithinTablet-0]\nResult=1\nTablet=yes", -1, ERROR_NOT_FOUND, "\"Tablet\"", "-"},
        {Page::Tablet, "[KivIsWithinTablet-0]\nResult=4", 4, 0, "", "-"},
        {Page::TargetDir, "[KivShowTargeDir-0]\nResult=4", 4, 0, "", "-"},
        {Page::Tablet, "[KivIsWithinTablet-0]\nResult=1\nTablet=0", 1, 0, "", "-"},
        {Page::Tablet, "[KivIsWithinTablet-0]\nResult=1\nTablet=1", 1, 0, "", "Tablet"},
        {Page::Product, "[KivGetMainAcadData-0]\nResult=1\nProduct=ACAD-9\nProductName=AutoCAD 2000", 0,
         ERROR_NOT_FOUND, "\"Product\" / \"ProductName\"", "-"},
        {Page::Product, "[KivGetMainAcadData-0]\nResult=1\nProductName=Nirgends", 0, ERROR_NOT_FOUND, "Name", "-"},
        {Page::Product, "[KivGetMainAcadData-0]\nResult=2\nProduct=ACAD-1:407", 0, ERROR_CANCELLED,
         "\"AutoCAD Produkt festlegen\"", "-"},
        {Page::Product, "[KivGetMainAcadData-0]\nResult=1\nProduct=acad-1:407\nProductName=AutoCAD Map 2000", 0, 0, "",
         "C:\\ACAD-1:407"},
        {Page::Product, "[KivGetMainAcadData-0]\nResult=1\nProduct=ACAD-9\nProductName=AutoCAD Map 2000", 0, 0, "",
         "C:\\ACAD-3:407"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.answer);
        SetRegString(kAcadReleaseKey, "CurVer", kCurVer);
        WriteFile(file, row.answer);
        ASSERT_EQ(1, lib.KivSetResponseFile(file.c_str(), KIV_MODE_SILENT));
        char out[2][KIV_BUFFER_SIZE];
        PageDriver noPage;  // fails the test when any window shows
        EXPECT_EQ(row.result, noPage.Run([&] { return Show(lib, row.page, dir.path(), out); }));
        char text[KIV_BUFFER_SIZE];
        EXPECT_EQ(static_cast<int>(row.code), lib.KivGetLastError(text));
        EXPECT_NE(std::string::npos, std::string(text).find(row.told)) << text;
        if (row.code == ERROR_NOT_FOUND) EXPECT_NE(std::string::npos, std::string(text).find(file)) << text;
        EXPECT_STREQ(row.written, out[0]);
        // A product chosen becomes current and its key is handed back; otherwise neither changes.
        const std::string chosen = row.page == Page::Product && row.code == 0 ? row.written + 3 : "";
        EXPECT_EQ(chosen.empty() ? "-" : chosen, out[1]);
        std::string current;
        EXPECT_TRUE(GetRegString(kAcadReleaseKey, "CurVer", current));
        EXPECT_EQ(chosen.empty() ? kCurVer : chosen, current);
    }
    EXPECT_TRUE(FileExists(dir / "Support\\SaveMenu1\\Acad.Mnu"));  // moved as after a ticked Next
}
