// KivIsWithinTablet: the tablet-menu page and the backup of AutoCAD's menu files, through the loaded DLL.
#include "KivForIS55.h"
#include "resource.h"
#include "support/HeldFile.h"
#include "support/Library.h"
#include "support/PageDriver.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

using namespace kivtest;

namespace {

const wchar_t* const kTitle = L"Tablettmenü einrichten";
const wchar_t* const kChoiceText =
    L"Falls Sie mit dem TERVILO-Tablett arbeiten wollen,\naktivieren Sie dieses Kontollkästchen.\n\n"
    L"Die AutoCAD Menüdateien werden in diesem Fall überschrieben.\n"
    L"Zuvor wird eine Sicherungskopie der Originaldateien in\neinem Unterordner angelegt.";

const char* const kMenuFiles[] = {"Acad.Mnu", "Acad.Mns", "Acad.Mnr", "Acad.Mnc"};

bool IsChecked(const Window& page) {
    return ::SendMessageW(page.Control(IDC_TABLET_CHOICE), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The script's buffer: preset so that any write, and any byte past it, shows.
struct ResultBuffer {
    ResultBuffer() { std::memset(bytes, 'X', sizeof bytes); }
    bool Untouched() const {
        for (char c : bytes)
            if (c != 'X') return false;
        return true;
    }
    bool HoldsTablet() const { return std::memcmp(bytes, "Tablet", 7) == 0 && bytes[7] == 'X'; }
    char bytes[260];
};

// A driver that ticks the box, sees it ticked, then leaves the page with finish.
PageDriver TickThen(std::function<void(Window&)> finish) {
    PageDriver driver;
    driver.OnPage(kTitle, [](Window& page) {
        EXPECT_FALSE(IsChecked(page));
        page.Click(IDC_TABLET_CHOICE);
    });
    driver.OnPage(kTitle, [finish](Window& page) {
        EXPECT_TRUE(IsChecked(page));
        finish(page);
    });
    return driver;
}

void PressNext(Window& page) { page.Click(IDOK); }

class TabletMenuTest : public ::testing::Test {
protected:
    // Menu files with distinct contents in acad\Support.
    void WriteMenuFiles(std::initializer_list<const char*> names) {
        MakeFolder(support);
        for (const char* name : names) WriteFile(support + "\\" + name, Content(name));
    }
    // A byte 26 and a zero inside: copies must be byte for byte.
    static std::string Content(const char* name) {
        return std::string("***MENUGROUP=ACAD ") + name + std::string("\r\n\x1a\0end", 7);
    }

    int RunTicked(const char* acadFolder, char* buffer) {
        PageDriver driver = TickThen(PressNext);
        return driver.Run([&] { return lib.KivIsWithinTablet(nullptr, acadFolder, buffer); });
    }

    ScratchFolder scratch;
    const std::string acad = scratch.path();
    const std::string support = scratch / "Support";
    Library lib;
};

}  // namespace

TEST_F(TabletMenuTest, PageShowsTheUntickedChoiceWithoutBack) {
    PageDriver driver;
    driver.OnPage(kTitle, [](Window& page) {
        EXPECT_EQ(kChoiceText, page.Text(IDC_TABLET_CHOICE));
        EXPECT_FALSE(IsChecked(page));
        EXPECT_FALSE(page.IsVisible(IDC_BACK));
        EXPECT_TRUE(page.IsVisible(IDOK));
        EXPECT_TRUE(page.IsVisible(IDCANCEL));
        EXPECT_TRUE(page.HasFocus(IDOK));
        page.Click(IDC_TABLET_CHOICE);
    });
    driver.OnPage(kTitle, [](Window& page) {
        page.SaveScreenshot("tablet-menu-page.png");
        page.Command(IDCANCEL);
    });
    ResultBuffer buffer;
    EXPECT_EQ(2, driver.Run([&] { return lib.KivIsWithinTablet(nullptr, acad.c_str(), buffer.bytes); }));
}

TEST_F(TabletMenuTest, TickedNextBacksUpIntoTheFirstFreeSaveMenuFolder) {
    WriteMenuFiles({"Acad.Mnu", "Acad.Mnc"});
    MakeFolder(support + "\\SaveMenu1");
    MakeFolder(support + "\\SaveMenu2");
    WriteFile(support + "\\SaveMenu2\\Acad.Mnu", "older backup");

    ResultBuffer buffer;
    EXPECT_EQ(1, RunTicked(acad.c_str(), buffer.bytes));
    EXPECT_TRUE(buffer.HoldsTablet());

    // Only the files that were present moved, byte for byte; older backups stay as they were.
    const std::string backup = support + "\\SaveMenu3";
    EXPECT_EQ((std::vector<std::string>{"Acad.Mnc", "Acad.Mnu"}), ListNames(backup));
    EXPECT_EQ(Content("Acad.Mnu"), ReadFile(backup + "\\Acad.Mnu"));
    EXPECT_EQ(Content("Acad.Mnc"), ReadFile(backup + "\\Acad.Mnc"));
    EXPECT_EQ((std::vector<std::string>{"SaveMenu1", "SaveMenu2", "SaveMenu3"}), ListNames(support));
    EXPECT_EQ("older backup", ReadFile(support + "\\SaveMenu2\\Acad.Mnu"));
}

TEST_F(TabletMenuTest, APlainFileNamedSaveMenu1CountsAsTaken) {
    WriteMenuFiles({"Acad.Mnu", "Acad.Mns", "Acad.Mnr", "Acad.Mnc"});
    WriteFile(support + "\\SaveMenu1", "not a folder");

    ResultBuffer buffer;
    EXPECT_EQ(1, RunTicked(acad.c_str(), buffer.bytes));
    EXPECT_TRUE(buffer.HoldsTablet());
    EXPECT_EQ("not a folder", ReadFile(support + "\\SaveMenu1"));
    for (const char* name : kMenuFiles) {
        EXPECT_EQ(Content(name), ReadFile(support + "\\SaveMenu2\\" + name)) << name;
        EXPECT_FALSE(FileExists(support + "\\" + name)) << name;
    }
}

TEST_F(TabletMenuTest, NoMenuFilesStillCreatesAnEmptyBackupFolder) {
    MakeFolder(support);
    ResultBuffer buffer;
    EXPECT_EQ(1, RunTicked(acad.c_str(), buffer.bytes));
    EXPECT_TRUE(buffer.HoldsTablet());
    EXPECT_TRUE(FolderExists(support + "\\SaveMenu1"));
    EXPECT_TRUE(ListNames(support + "\\SaveMenu1").empty());
}

// A menu file that cannot be copied leaves every original in Support and no "Tablet" for the
// script; one that is copied but cannot be deleted stays in both places. Either is told with
// the file's path, however many backslashes end the AutoCAD folder.
TEST_F(TabletMenuTest, HeldOrReadOnlyMenuFilesAreNeverLost) {
    struct Case {
        const char* what;
        const char* held;  // held open with share, or none
        DWORD share;
        const char* readOnly;
        bool backupComplete;
        DWORD error;
        const char* folderTail;
    };
    const Case cases[] = {
        {"held with no sharing", "Acad.Mns", 0, nullptr, false, ERROR_SHARING_VIOLATION, "\\"},
        {"held sharing reads only", "Acad.Mns", FILE_SHARE_READ, nullptr, true, ERROR_SHARING_VIOLATION, ""},
        {"read-only", nullptr, 0, "Acad.Mnr", true, ERROR_ACCESS_DENIED, "\\\\\\"},
        {"the last one held, another read-only", "Acad.Mnc", 0, "Acad.Mnu", false, ERROR_SHARING_VIOLATION, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveTree(support);
        WriteMenuFiles({"Acad.Mnu", "Acad.Mns", "Acad.Mnr", "Acad.Mnc"});
        if (c.readOnly != nullptr)
            ASSERT_TRUE(::SetFileAttributesA((support + "\\" + c.readOnly).c_str(), FILE_ATTRIBUTE_READONLY));
        ResultBuffer buffer;
        {
            std::unique_ptr<HeldFile> hold;
            if (c.held != nullptr) {
                hold = std::make_unique<HeldFile>(support + "\\" + c.held, c.share);
                ASSERT_TRUE(hold->ok());
            }
            EXPECT_EQ(1, RunTicked((acad + c.folderTail).c_str(), buffer.bytes));
        }
        char text[KIV_BUFFER_SIZE];
        EXPECT_EQ(c.error, static_cast<DWORD>(lib.KivGetLastError(text)));
        const std::string failed = " " + support + "\\" + (c.held != nullptr ? c.held : c.readOnly) + " ";
        EXPECT_NE(nullptr, std::strstr(text, failed.c_str())) << text;
        EXPECT_EQ(c.backupComplete, buffer.HoldsTablet());
        EXPECT_EQ(!c.backupComplete, buffer.Untouched());

        const std::string backup = support + "\\SaveMenu1";
        EXPECT_TRUE(FolderExists(backup));
        for (const char* name : kMenuFiles) {
            auto is = [name](const char* other) { return other != nullptr && std::strcmp(name, other) == 0; };
            if (!c.backupComplete || is(c.held) || is(c.readOnly))
                EXPECT_EQ(Content(name), ReadFile(support + "\\" + name)) << name;
            else
                EXPECT_FALSE(FileExists(support + "\\" + name)) << name;
            // The backup holds whole copies only, and all of them when it is complete.
            if (c.backupComplete || FileExists(backup + "\\" + name))
                EXPECT_EQ(Content(name), ReadFile(backup + "\\" + name)) << name;
        }
        if (!c.backupComplete) EXPECT_FALSE(FileExists(backup + "\\" + c.held)) << "a copy of the held file";
    }
}

TEST_F(TabletMenuTest, NoBackupFolderGivesTwoAndTouchesNothing) {
    ResultBuffer buffer;
    // No Support folder at all.
    EXPECT_EQ(2, RunTicked(acad.c_str(), buffer.bytes));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, lib.KivGetLastError(nullptr));
    EXPECT_TRUE(ListNames(acad).empty());

    // "Support" is a file, so nothing can be created inside it.
    WriteFile(support, "a file");
    EXPECT_EQ(2, RunTicked(acad.c_str(), buffer.bytes));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, lib.KivGetLastError(nullptr));
    EXPECT_EQ("a file", ReadFile(support));

    // A folder name past the path limit.
    const std::string tooLong = acad + "\\" + std::string(300, 'a');
    EXPECT_EQ(2, RunTicked(tooLong.c_str(), buffer.bytes));
    EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE, lib.KivGetLastError(nullptr));

    // No AutoCAD folder named.
    EXPECT_EQ(2, RunTicked(nullptr, buffer.bytes));
    EXPECT_EQ(2, RunTicked("", buffer.bytes));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, lib.KivGetLastError(nullptr));

    EXPECT_TRUE(buffer.Untouched());
    EXPECT_EQ(std::vector<std::string>{"Support"}, ListNames(acad));
}

TEST_F(TabletMenuTest, TickedThenCancelOrEscapeGivesTwoWithoutConfirmation) {
    WriteMenuFiles({"Acad.Mnu", "Acad.Mnc"});
    const std::vector<std::string> before = ListNames(support);
    ResultBuffer buffer;

    // A confirmation would never be answered: the watchdog would fail the test.
    PageDriver cancel = TickThen([](Window& page) { page.Click(IDCANCEL); });
    EXPECT_EQ(2, cancel.Run([&] { return lib.KivIsWithinTablet(nullptr, acad.c_str(), buffer.bytes); }));
    PageDriver escape = TickThen([](Window& page) { page.PressEscape(); });
    EXPECT_EQ(2, escape.Run([&] { return lib.KivIsWithinTablet(nullptr, acad.c_str(), buffer.bytes); }));
    char text[KIV_BUFFER_SIZE];
    EXPECT_EQ(ERROR_CANCELLED, lib.KivGetLastError(text));
    EXPECT_NE(nullptr, std::strstr(text, "\"Tablettmen\xfc einrichten\"")) << text;

    EXPECT_TRUE(buffer.Untouched());
    EXPECT_EQ(before, ListNames(support));
    EXPECT_EQ(Content("Acad.Mnu"), ReadFile(support + "\\Acad.Mnu"));
}

TEST_F(TabletMenuTest, UntickedNextBackAndNoPageLeaveTheBufferAlone) {
    WriteMenuFiles({"Acad.Mnu"});
    ResultBuffer buffer;

    PageDriver next;
    next.OnPage(kTitle, [](Window& page) { page.Click(IDOK); });
    EXPECT_EQ(1, next.Run([&] { return lib.KivIsWithinTablet(nullptr, acad.c_str(), buffer.bytes); }));

    PageDriver enter;
    enter.OnPage(kTitle, [](Window& page) { page.PressEnter(); });
    EXPECT_EQ(1, enter.Run([&] { return lib.KivIsWithinTablet(nullptr, acad.c_str(), buffer.bytes); }));
    EXPECT_EQ(0, lib.KivGetLastError(nullptr));

    // The Back button is hidden, but its command still ends the page with 4, ticked or not.
    PageDriver back = TickThen([](Window& page) { page.Command(IDC_BACK); });
    EXPECT_EQ(4, back.Run([&] { return lib.KivIsWithinTablet(nullptr, acad.c_str(), buffer.bytes); }));
    EXPECT_EQ(0, lib.KivGetLastError(nullptr));

    // An owner that is no window: the page cannot be created.
    PageDriver noPage;
    EXPECT_EQ(-1, noPage.Run([&] {
        return lib.KivIsWithinTablet(reinterpret_cast<HWND>(0x7ff0), acad.c_str(), buffer.bytes);
    }));
    EXPECT_EQ(ERROR_INVALID_WINDOW_HANDLE, lib.KivGetLastError(nullptr));

    EXPECT_TRUE(buffer.Untouched());
    EXPECT_EQ(std::vector<std::string>{"Acad.Mnu"}, ListNames(support));
}

TEST_F(TabletMenuTest, NullBufferStillBacksUp) {
    WriteMenuFiles({"Acad.Mnu"});
    EXPECT_EQ(1, RunTicked(acad.c_str(), nullptr));
    EXPECT_EQ(Content("Acad.Mnu"), ReadFile(support + "\\SaveMenu1\\Acad.Mnu"));
    EXPECT_FALSE(FileExists(support + "\\Acad.Mnu"));
}
