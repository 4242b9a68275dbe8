// KivBeginChanges, KivUndoChanges and KivCommitChanges: a setup cancelled or failed at any point is undone.
#include "KivForIS55.h"
#include "resource.h"
#include "support/HeldFile.h"
#include "support/Library.h"
#include "support/PageDriver.h"
#include "support/Scratch.h"
#include "support/Tree.h"
#include "support/Upgrade.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace kivtest;

namespace {

class UndoTest : public ::testing::Test {
public:
    void SetUp() override {
        WriteTree(UpgradeFiles());
        RegisterUpgradeMachine(Dir("Acad"));
        files = Snapshot(root);
        registry = RegistryState();
    }
    // A machine as new, and a library as freshly loaded.
    void Reset() {
        RemoveTree(root);
        ScratchRegistry::Clear();
        lib.Reload();
        SetUp();
    }
    void WriteTree(const Tree& tree) {
        for (const auto& [path, bytes] : tree) {
            MakeFolder(Dir(path.substr(0, path.rfind('\\'))));
            WriteFile(Dir(path), bytes);
        }
    }
    // Undone: registry and files as before, the journal and the folders made for it gone.
    void ExpectUndone(const Tree& kept = Tree()) {
        EXPECT_EQ(1, lib.KivUndoChanges());
        EXPECT_EQ(0, lib.KivGetLastError(nullptr));
        EXPECT_EQ(registry, RegistryState());
        ExpectFilesAsBefore(files, Snapshot(root), kept);
        EXPECT_FALSE(FolderExists(scratch / "Journal"));
    }
    std::string Dir(const std::string& relative) const { return root + "\\" + relative; }

    ScratchFolder scratch;
    ScratchRegistry scratchRegistry;
    Library lib;
    const std::string root = scratch / "Maschine";
    const std::string journal = scratch / "Journal\\Lauf";
    Tree files, registry;
};

using Step = std::function<void(UndoTest&, Library&, bool cancel)>;

// Runs call with its page answered: first (a pick or a tick), then Next, or Escape (and the confirmation).
int ShowPage(const wchar_t* title, bool cancel, bool confirmed, PageDriver::Action first,
             const std::function<int()>& call) {
    PageDriver driver;
    if (first) driver.OnPage(title, first);
    driver.OnPage(title, [cancel](Window& page) { cancel ? page.PressEscape() : page.Click(IDOK); });
    if (cancel && confirmed) driver.AnswerCancelConfirmation(CancelAnswer::Abort);
    return driver.Run(call);
}

struct UpgradeStep {
    const char* name;
    Step run;
};

// The whole upgrade through the exports, in a script's order, with the setup's own copy in the middle.
const UpgradeStep kUpgrade[] = {
    {"product page",
     [](UndoTest&, Library& lib, bool cancel) {
         char folder[KIV_BUFFER_SIZE] = "", key[KIV_BUFFER_SIZE] = "";
         ShowPage(
             L"AutoCAD Produkt festlegen", cancel, true,
             [](Window& page) { page.SelectListEntry(IDC_PRODUCT_LIST, 1); },
             [&] { return lib.KivGetMainAcadData(nullptr, folder, key, 0, 0); });
         EXPECT_STREQ(cancel ? "" : "ACAD-4001:407", key);
     }},
    {"target page",
     [](UndoTest& t, Library& lib, bool cancel) {
         EXPECT_EQ(cancel ? 2 : 1, ShowPage(L"Zielpfad best\u00e4tigen", cancel, true, nullptr,
                                            [&] { return lib.KivShowTargeDir(nullptr, t.Dir("Neu").c_str(), "T"); }));
     }},
    {"user name page",
     [](UndoTest&, Library& lib, bool cancel) {
         EXPECT_EQ(cancel ? 0 : 1, ShowPage(L"User Information", cancel, true, nullptr,
                                            [&] { return lib.ShowTerviloUserName(nullptr, "Anna", 0); }));
     }},
    {"tablet page",
     [](UndoTest& t, Library& lib, bool cancel) {
         char result[KIV_BUFFER_SIZE] = "";
         EXPECT_EQ(cancel ? 2 : 1, ShowPage(
                                       L"Tablettmen\u00fc einrichten", cancel, false,
                                       [](Window& page) { page.Click(IDC_TABLET_CHOICE); },
                                       [&] { return lib.KivIsWithinTablet(nullptr, t.Dir("Acad").c_str(), result); }));
     }},
    {"save before the copy",
     [](UndoTest& t, Library& lib, bool) {
         EXPECT_EQ(1, lib.SaveBeforeFilesCopy(t.Dir("Neu").c_str(), t.Dir("NeuManager").c_str()));
         t.WriteTree(SetupCopy());
     }},
    {"save after the copy",
     [](UndoTest& t, Library& lib, bool) { EXPECT_EQ(1, lib.SaveAfterFilesCopy(t.Dir("Neu\\").c_str())); }},
    {"update manager",
     [](UndoTest& t, Library& lib, bool) {
         lib.SetOldProgramDir(t.Dir("Alt").c_str());
         lib.SetOldManagerDir(t.Dir("AltManager").c_str());
         lib.SetNewProgramDir(t.Dir("Neu").c_str());
         lib.SetNewManagerDir(t.Dir("NeuManager").c_str());
         EXPECT_EQ(1, lib.CreateUpdateManager(t.Dir("Neu").c_str(), 1));
     }},
    {"removal of older releases",
     [](UndoTest& t, Library& lib, bool) {
         lib.DeleteOldAppsReg("ja");
         lib.DeleteOldFiles(t.Dir("Neu").c_str());
     }},
};
constexpr int kPages = 4;
constexpr int kSteps = sizeof kUpgrade / sizeof kUpgrade[0];

}  // namespace

// A Cancel on each page, a failure after each later step, and the whole upgrade, adopted by the next
// run: each undone.
TEST_F(UndoTest, AnyCancelOrFailureIsUndone) {
    for (int cut = 0; cut <= kSteps; ++cut) {
        const bool cancel = cut < kPages;
        SCOPED_TRACE(cancel         ? std::string("cancel on the ") + kUpgrade[cut].name
                     : cut < kSteps ? std::string("failure after the ") + kUpgrade[cut - 1].name
                                    : std::string("whole upgrade"));
        if (cut > 0) Reset();
        ASSERT_EQ(1, lib.KivBeginChanges(journal.c_str()));
        for (int step = 0; step < (cancel ? cut + 1 : cut); ++step)
            kUpgrade[step].run(*this, lib, cancel && step == cut);
        if (cut == kSteps) {
            EXPECT_NE(registry, RegistryState());
            EXPECT_FALSE(FileExists(Dir("Neu\\Tervilo.Arx")));
            // The setup ends without undo or commit: the next run adopts the journal, and an undo
            // that cannot put a file back keeps the journal for another call.
            lib.Reload();
            EXPECT_EQ(2, lib.KivBeginChanges(journal.c_str()));
            EXPECT_EQ(0, lib.KivBeginChanges(journal.c_str()));
            HeldFile held(Dir("NeuManager\\Arch.Cfg"), FILE_SHARE_READ);
            EXPECT_EQ(0, lib.KivUndoChanges());
            char text[KIV_BUFFER_SIZE];
            EXPECT_NE(0, lib.KivGetLastError(text));
            EXPECT_NE(nullptr, std::strstr(text, "Arch.Cfg")) << text;
        }
        ExpectUndone(cut > kPages ? SetupCopy() : Tree());
        // Save folders stay, with their copies.
        if (cut >= kPages)
            EXPECT_EQ(files.at("Acad\\Support\\Acad.Mnu"), ReadFile(Dir("Acad\\Support\\SaveMenu1\\Acad.Mnu")));
        if (cut > kPages)
            EXPECT_EQ(files.at("NeuManager\\Tervilo.mnu"), ReadFile(Dir("NeuManager\\Save1\\Tervilo.mnu")));
    }
}

// The exports' results in a script's order, with KivGetLastError's code after each.
TEST_F(UndoTest, ResultsAndErrors) {
    MakeFolder(scratch / "KeinJournal");
    WriteFile(scratch / "KeinJournal\\KivJournal.txt", "Notizen\r\n");
    const std::string underFile = Dir("NeuManager\\Eigene.dat\\Journal");
    const struct {
        const char* what;
        std::function<int()> call;
        int result;
        DWORD error;
    } cases[] = {
        {"undo without a journal", [&] { return lib.KivUndoChanges(); }, 0, ERROR_NOT_FOUND},
        {"no folder", [&] { return lib.KivBeginChanges(nullptr); }, 0, ERROR_INVALID_PARAMETER},
        {"empty folder", [&] { return lib.KivBeginChanges(""); }, 0, ERROR_INVALID_PARAMETER},
        {"a folder below a file", [&] { return lib.KivBeginChanges(underFile.c_str()); }, 0, ERROR_PATH_NOT_FOUND},
        {"a file of that name that is no journal",
         [&] { return lib.KivBeginChanges((scratch / "KeinJournal").c_str()); }, 0, ERROR_INVALID_DATA},
        {"a change before any journal",
         [&] { return lib.SaveBeforeFilesCopy(Dir("Neu").c_str(), Dir("NeuManager").c_str()); }, 1, 0},
        {"begin", [&] { return lib.KivBeginChanges((journal + "\\").c_str()); }, 1, 0},
        {"begin again", [&] { return lib.KivBeginChanges(journal.c_str()); }, 0, ERROR_ALREADY_EXISTS},
        {"begin elsewhere", [&] { return lib.KivBeginChanges((scratch / "Anders").c_str()); }, 0, ERROR_ALREADY_EXISTS},
        {"undo of nothing", [&] { return lib.KivUndoChanges(); }, 1, 0},
        {"begin after the undo", [&] { return lib.KivBeginChanges(journal.c_str()); }, 1, 0},
        {"commit", [&] { return lib.KivCommitChanges(); }, 1, 0},
        {"commit again", [&] { return lib.KivCommitChanges(); }, 0, ERROR_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.result, c.call());
        EXPECT_EQ(c.error, static_cast<DWORD>(lib.KivGetLastError(nullptr)));
    }
    // Nothing of the journal stays, and what was changed before it began stays changed.
    EXPECT_FALSE(FolderExists(scratch / "Journal"));
    EXPECT_FALSE(FolderExists(scratch / "Anders"));
    EXPECT_FALSE(FileExists(Dir("NeuManager\\Tervilo.mnu")));
    EXPECT_EQ(std::vector<std::string>{"KivJournal.txt"}, ListNames(scratch / "KeinJournal"));
}
