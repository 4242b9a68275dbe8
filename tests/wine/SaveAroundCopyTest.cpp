// SaveBeforeFilesCopy and SaveAfterFilesCopy through the loaded DLL, on Wine's file system, with
// the existence test they and the script rely on.
#include "core/SaveLists.h"
#include "support/HeldFile.h"
#include "support/Library.h"
#include "support/Scratch.h"
#include "support/Tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <optional>
#include <string>
#include <vector>

using namespace kivtest;
using kiv::core::AfterCopySaveList;
using kiv::core::ObsoleteFileList;
using kiv::core::SupportDrawingList;

namespace {

// Distinct bytes per name, with a zero and an end-of-file byte inside.
std::string Content(const std::string& name) { return name + std::string("\0\x1a", 2) + name + name; }

void WriteFiles(const std::string& folder, const std::vector<std::string>& names) {
    for (const std::string& name : names) WriteFile(folder + "\\" + name, Content(name));
}

// Non-empty files of folder in the order the directory search yields them.
std::vector<std::string> SearchOrder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = ::FindFirstFileA((folder + "\\*.*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && data.nFileSizeLow != 0)
            names.push_back(data.cFileName);
    } while (::FindNextFileA(search, &data));
    ::FindClose(search);
    return names;
}

// A file that a pass saves and removes, after a pass during which it may have been held open:
// a held one cannot be removed and stays whole, and is saved when others may read it.
void ExpectMovedToSave1UnlessHeld(const std::string& folder, const std::string& name, bool held, const LockKind& lock) {
    const std::string original = folder + "\\" + name, saved = folder + "\\Save1\\" + name;
    if (held)
        EXPECT_EQ(Content(name), ReadFile(original)) << name;
    else
        EXPECT_FALSE(FileExists(original)) << name;
    if (!held || lock.othersMayRead)
        EXPECT_EQ(Content(name), ReadFile(saved)) << name;
    else
        EXPECT_FALSE(FileExists(saved)) << name;
}

// Files in UTF-16 names, which the ANSI code page may not be able to spell.
std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                                               &wide[0], static_cast<int>(wide.size()))));
    return wide;
}

bool SpelledInAnsi(const std::wstring& name) {
    BOOL usedDefault = FALSE;
    char ansi[MAX_PATH];
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), -1, ansi, sizeof ansi, nullptr, &usedDefault);
    return !usedDefault;
}

bool WriteFileW(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

std::string ReadFileW(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    char bytes[256];
    DWORD read = 0;
    ::ReadFile(file, bytes, sizeof bytes, &read, nullptr);
    ::CloseHandle(file);
    return std::string(bytes, read);
}

// Files of folder in the order the directory search yields them.
std::vector<std::wstring> SearchOrderW(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (::FindNextFileW(search, &data));
    ::FindClose(search);
    return names;
}

const char* const kOpeningFiles[] = {"FENSTER.INI", "TUER.INI", "DURCHG.INI"};

// KivGetLastError's code after the last call, and the start of its line.
void ExpectTold(Library& lib, int code, const std::string& start) {
    char text[260] = "";
    EXPECT_EQ(code, lib.KivGetLastError(text));
    EXPECT_EQ(start, std::string(text).substr(0, start.size())) << text;
}

}  // namespace

// --- SaveBeforeFilesCopy -------------------------------------------------------

TEST(SaveBeforeFilesCopy, SavesNonEmptyFilesAndReplacesTheReplaceableKinds) {
    ScratchFolder dir;
    Library lib;
    const std::string prog = dir / "Prog", mgr = dir / "Mgr";
    MakeFolder(prog);
    MakeFolder(mgr + "\\Sub");
    WriteFiles(mgr, {"TERVILO.MNU", "Tervilo.mnl", "Start.lsp", "Logo.bmp", "Acad.rx", "Liesmich.txt", "Arch.Cfg"});
    WriteFile(mgr + "\\Leer.lsp", "");
    WriteFile(mgr + "\\Sub\\Tief.lsp", "tief");

    EXPECT_EQ(1, lib.SaveBeforeFilesCopy(prog.c_str(), mgr.c_str()));

    EXPECT_EQ((std::vector<std::string>{"Acad.rx", "Arch.Cfg", "Liesmich.txt", "Logo.bmp", "Start.lsp", "TERVILO.MNU",
                                        "Tervilo.mnl"}),
              ListNames(mgr + "\\Save1"));
    for (const std::string& name : ListNames(mgr + "\\Save1"))
        EXPECT_EQ(Content(name), ReadFile(mgr + "\\Save1\\" + name));
    // Only the kept kinds, the empty file and the sub-folder stay in the target.
    EXPECT_EQ((std::vector<std::string>{"Arch.Cfg", "Leer.lsp", "Liesmich.txt", "Save1", "Sub"}), ListNames(mgr));
    EXPECT_EQ("tief", ReadFile(mgr + "\\Sub\\Tief.lsp"));
}

TEST(SaveBeforeFilesCopy, KeepOriginalsFlagStopsTheDeletion) {
    ScratchFolder dir;
    Library lib;
    const std::string mgr = dir / "Mgr";
    MakeFolder(mgr);
    WriteFiles(mgr, {"TERVILO.MNU", "Start.lsp"});

    EXPECT_EQ(1, lib.SetToDeleteAfterSave(0));
    EXPECT_NE(0, lib.SaveBeforeFilesCopy(mgr.c_str(), mgr.c_str()));
    EXPECT_EQ((std::vector<std::string>{"Save1", "Start.lsp", "TERVILO.MNU"}), ListNames(mgr));
    EXPECT_EQ(Content("Start.lsp"), ReadFile(mgr + "\\Save1\\Start.lsp"));

    EXPECT_EQ(0, lib.SetToDeleteAfterSave(1));
    EXPECT_NE(0, lib.SaveBeforeFilesCopy(mgr.c_str(), mgr.c_str()));
    EXPECT_EQ((std::vector<std::string>{"Save1", "Save2"}), ListNames(mgr));
    EXPECT_EQ(Content("TERVILO.MNU"), ReadFile(mgr + "\\Save2\\TERVILO.MNU"));
}

TEST(SaveBeforeFilesCopy, OnlyFoldersAndEmptyFilesMakeNoSaveFolder) {
    ScratchFolder dir;
    Library lib;
    MakeFolder(dir / "Sub");
    WriteFile(dir / "Leer.mnu", "");
    auto before = Snapshot(dir.path());
    EXPECT_NE(0, lib.SaveBeforeFilesCopy(dir.path().c_str(), dir.path().c_str()));
    EXPECT_EQ(before, Snapshot(dir.path()));
}

TEST(SaveBeforeFilesCopy, NumberingSkipsFoldersAndFilesAndFillsGaps) {
    ScratchFolder dir;
    Library lib;
    WriteFile(dir / "Liesmich.txt", "x");

    MakeFolder(dir / "Save2");
    EXPECT_NE(0, lib.SaveBeforeFilesCopy(dir.path().c_str(), dir.path().c_str()));
    EXPECT_TRUE(FileExists(dir / "Save1\\Liesmich.txt"));  // the gap is filled

    WriteFile(dir / "Save3", "a plain file");
    EXPECT_NE(0, lib.SaveBeforeFilesCopy(dir.path().c_str(), dir.path().c_str()));
    EXPECT_TRUE(FileExists(dir / "Save4\\Liesmich.txt"));
    EXPECT_EQ("a plain file", ReadFile(dir / "Save3"));
    EXPECT_EQ((std::vector<std::string>{}), ListNames(dir / "Save2"));
}

TEST(SaveBeforeFilesCopy, NothingIsLostOverManyFiles) {
    ScratchFolder dir;
    Library lib;
    const char* kinds[] = {".mnu", ".MNS", ".lsp", ".bmp", ".rx", ".txt", ".dwg", ".ini", ".Cfg", ".shx"};
    std::vector<std::string> names;
    for (int i = 0; i < 120; ++i) names.push_back("Datei" + std::to_string(i) + kinds[i % 10]);
    WriteFiles(dir.path(), names);
    ::SetFileAttributesA((dir / "Datei0.mnu").c_str(), FILE_ATTRIBUTE_READONLY);

    EXPECT_EQ(1, lib.SaveBeforeFilesCopy(dir.path().c_str(), dir.path().c_str()));

    int deleted = 0;
    for (const std::string& name : names) {
        EXPECT_EQ(Content(name), ReadFile(dir / ("Save1\\" + name))) << name;
        if (FileExists(dir / name))
            EXPECT_EQ(Content(name), ReadFile(dir / name)) << name;
        else
            ++deleted;
    }
    EXPECT_EQ(59, deleted);  // five kinds of ten, but for the read-only menu
    EXPECT_TRUE(FileExists(dir / "Datei0.mnu"));
}

// A file that another program holds open stays where it is, whole; the pass goes on past it.
TEST(SaveBeforeFilesCopy, HeldFilesStayWholeAndThePassGoesOn) {
    for (const LockKind& lock : kLockKinds) {
        SCOPED_TRACE(lock.what);
        ScratchFolder dir;
        Library lib;
        std::vector<std::string> names;
        for (int i = 0; i < 30; ++i) names.push_back("Menue" + std::to_string(i) + (i % 2 ? ".mnu" : ".lsp"));
        WriteFiles(dir.path(), names);
        const std::vector<std::string> order = SearchOrder(dir.path());
        ASSERT_EQ(names.size(), order.size());
        // The first, a middle and the last name of the pass.
        const std::vector<std::string> held = {order.front(), order[order.size() / 2], order.back()};

        {
            std::deque<HeldFile> holds;
            for (const std::string& name : held) {
                holds.emplace_back(dir / name, lock.share);
                ASSERT_TRUE(holds.back().ok()) << name;
            }
            EXPECT_EQ(lock.othersMayRead ? 1 : -1, lib.SaveBeforeFilesCopy(dir.path().c_str(), dir.path().c_str()));
            ExpectTold(lib, lock.othersMayRead ? 0 : ERROR_SHARING_VIOLATION,
                       lock.othersMayRead
                           ? ""
                           : "Sichern von " + (dir / held[0]) + " nach " + (dir / "Save1") + " fehlgeschlagen");
        }
        for (const std::string& name : order) {
            const bool isHeld = std::find(held.begin(), held.end(), name) != held.end();
            ExpectMovedToSave1UnlessHeld(dir.path(), name, isHeld, lock);
        }
    }
}

// The directory search spells such a name with "?" in the ANSI code page, which no copy can open.
TEST(SaveBeforeFilesCopy, NamesOutsideTheAnsiCodePageStayAndTheOthersAreSaved) {
    ScratchFolder dir;
    Library lib;
    const std::wstring foreign[] = {L"Настройки.lsp", L"Меню.mnu", L"Заметки.txt"};
    const std::wstring folder = Wide(dir.path());
    // The scratch folder's clean-up goes through ANSI names, which cannot reach these files.
    struct RemoveAtEnd {
        std::vector<std::wstring> paths;
        ~RemoveAtEnd() {
            for (const std::wstring& path : paths) ::DeleteFileW(path.c_str());
        }
    } cleanup;
    for (const std::wstring& name : foreign) {
        ASSERT_FALSE(SpelledInAnsi(name)) << "the ANSI code page can spell the test's names";
        cleanup.paths.push_back(folder + L"\\" + name);
        ASSERT_TRUE(WriteFileW(cleanup.paths.back(), "user bytes \x1a\r\n")) << ::GetLastError();
    }
    // Names that the code page spells with letters past Cyrillic in UTF-16 ("\x80" is the euro
    // sign, "\x99" the trade mark sign), for a search that sorts them after the foreign ones.
    std::vector<std::string> names = {"\x80 Preis.lsp", "\x99 Marke.mnu"};
    for (int i = 0; i < 20; ++i) names.push_back("Datei" + std::to_string(i) + ".lsp");
    WriteFiles(dir.path(), names);
    // Some of the other files come after a foreign name, so the pass has to go on past it.
    const std::vector<std::wstring> order = SearchOrderW(folder);
    ASSERT_EQ(names.size() + 3, order.size());
    const auto isForeign = [](const std::wstring& name) { return !SpelledInAnsi(name); };
    const auto firstForeign = std::find_if(order.begin(), order.end(), isForeign);
    ASSERT_NE(order.end(), std::find_if_not(firstForeign, order.end(), isForeign));

    EXPECT_EQ(-1, lib.SaveBeforeFilesCopy(dir.path().c_str(), dir.path().c_str()));

    for (const std::string& name : names) {
        EXPECT_EQ(Content(name), ReadFile(dir / ("Save1\\" + name))) << name;
        EXPECT_FALSE(FileExists(dir / name)) << name;
    }
    for (const std::wstring& name : foreign) EXPECT_EQ("user bytes \x1a\r\n", ReadFileW(folder + L"\\" + name));
    EXPECT_EQ(names.size(), SearchOrderW(folder + L"\\Save1").size());
}

TEST(SaveBeforeFilesCopy, MovesOpeningFilesToTheManagerFolderFirst) {
    ScratchFolder dir;
    Library lib;
    const std::string prog = dir / "Prog", mgr = dir / "Mgr";
    MakeFolder(prog);
    MakeFolder(mgr);
    WriteFiles(prog, {"FENSTER.INI", "DURCHG.INI"});
    WriteFile(mgr + "\\DURCHG.INI", "old passages");

    // Folders written with trailing backslashes are the same folders.
    EXPECT_EQ(1, lib.SaveBeforeFilesCopy((prog + "\\").c_str(), (mgr + "\\\\").c_str()));
    EXPECT_EQ((std::vector<std::string>{}), ListNames(prog));
    EXPECT_EQ(Content("FENSTER.INI"), ReadFile(mgr + "\\FENSTER.INI"));
    EXPECT_EQ(Content("DURCHG.INI"), ReadFile(mgr + "\\DURCHG.INI"));
    EXPECT_EQ(Content("FENSTER.INI"), ReadFile(mgr + "\\Save1\\FENSTER.INI"));

    // The call leaves the two folders empty: a later tidy-up moves nothing...
    WriteFiles(prog, {"TUER.INI"});
    MakeFolder(dir / "Old");
    WriteFile(dir / "Old\\x", "x");
    EXPECT_NE(0, lib.SaveAfterFilesCopy((dir / "Old\\x").c_str()));
    EXPECT_TRUE(FileExists(prog + "\\TUER.INI"));
    // ...until the script names them again.
    lib.SetNewProgramDir(prog.c_str());
    lib.SetNewManagerDir(mgr.c_str());
    EXPECT_NE(0, lib.SaveAfterFilesCopy((dir / "Old\\x").c_str()));
    EXPECT_FALSE(FileExists(prog + "\\TUER.INI"));
    EXPECT_EQ(Content("TUER.INI"), ReadFile(mgr + "\\TUER.INI"));
}

TEST(SaveBeforeFilesCopy, ArgumentsThatNameNoFolder) {
    ScratchFolder dir;
    Library lib;
    const std::string prog = dir / "Prog", mgr = dir / "Mgr";
    MakeFolder(prog);
    MakeFolder(mgr);
    WriteFiles(prog, {"FENSTER.INI"});
    WriteFiles(mgr, {"Start.lsp"});
    const std::string tooLong = dir / std::string(300, 'x');
    const std::string missing = dir / "Missing";
    auto before = Snapshot(dir.path());

    EXPECT_NE(0, lib.SaveBeforeFilesCopy(nullptr, mgr.c_str()));
    EXPECT_NE(0, lib.SaveBeforeFilesCopy("", mgr.c_str()));
    EXPECT_EQ(0, lib.SaveBeforeFilesCopy(missing.c_str(), mgr.c_str()));
    EXPECT_EQ(0, lib.SaveBeforeFilesCopy(tooLong.c_str(), mgr.c_str()));
    EXPECT_EQ(0, lib.SaveBeforeFilesCopy((dir / "Nix*").c_str(), mgr.c_str()));
    EXPECT_NE(0, lib.SaveBeforeFilesCopy(prog.c_str(), nullptr));
    EXPECT_NE(0, lib.SaveBeforeFilesCopy(prog.c_str(), ""));
    EXPECT_EQ(0, lib.SaveBeforeFilesCopy(prog.c_str(), missing.c_str()));
    EXPECT_EQ(0, lib.SaveBeforeFilesCopy(prog.c_str(), tooLong.c_str()));
    // A file given as the folder: nothing to list, nothing saved.
    EXPECT_NE(0, lib.SaveBeforeFilesCopy((mgr + "\\Start.lsp").c_str(), (mgr + "\\Start.lsp").c_str()));
    EXPECT_EQ(before, Snapshot(dir.path()));
}

TEST(SaveBeforeFilesCopy, WildcardFolderPassesTheTestButSavesNothing) {
    ScratchFolder dir;
    Library lib;
    MakeFolder(dir / "Mgr");
    WriteFiles(dir / "Mgr", {"Start.lsp", "FENSTER.INI"});
    WriteFiles(dir.path(), {"Tervilo.mnu"});
    auto before = Snapshot(dir.path());

    EXPECT_NE(0, lib.SaveBeforeFilesCopy((dir / "*").c_str(), (dir / "*").c_str()));
    EXPECT_NE(0, lib.SaveBeforeFilesCopy((dir / "Mgr").c_str(), (dir / "M?r").c_str()));
    EXPECT_EQ(before, Snapshot(dir.path()));

    // A wildcard program folder moves no opening file; the real manager folder is saved as usual.
    EXPECT_NE(0, lib.SaveBeforeFilesCopy((dir / "M*").c_str(), (dir / "Mgr").c_str()));
    EXPECT_EQ((std::vector<std::string>{"FENSTER.INI", "Save1"}), ListNames(dir / "Mgr"));
    EXPECT_EQ(Content("Start.lsp"), ReadFile(dir / "Mgr\\Save1\\Start.lsp"));
}

// A folder written with a trailing backslash exists, and so does a drive root whose volume answers.
TEST(KivExistFile, FoldersWithTrailingBackslashesAndRoots) {
    ScratchFolder dir;
    Library lib;
    MakeFolder(dir / "Ordner");
    WriteFile(dir / "Datei.txt", "x");
    const std::pair<std::string, int> cases[] = {
        {"C:\\", 1},       {"C:\\WINDOWS\\", 1},     {dir / "Ordner\\\\", 1}, {dir / "Ord*\\", 1},
        {"C:\\nope\\", 0}, {dir / "Datei.txt\\", 0}, {dir / "Dat*\\", 0},     {"Q:\\", 0},
    };
    for (const auto& [path, exists] : cases) EXPECT_EQ(exists, lib.KivExistFile(path.c_str())) << path;
}

// --- opening definition files ------------------------------------------------

TEST(MoveOpeningIniFiles, MovesEachExistingFileOverwriting) {
    ScratchFolder dir;
    Library lib;
    const std::string prog = dir / "Prog", mgr = dir / "Mgr";
    MakeFolder(prog);
    MakeFolder(mgr);
    MakeFolder(dir / "Old");
    WriteFiles(prog, {"FENSTER.INI", "TUER.INI", "Liesmich.txt"});
    WriteFile(mgr + "\\TUER.INI", "old doors");
    lib.SetNewProgramDir(prog.c_str());
    lib.SetNewManagerDir(mgr.c_str());

    EXPECT_EQ(1, lib.SaveAfterFilesCopy((dir / "Old").c_str()));
    EXPECT_EQ((std::vector<std::string>{"Liesmich.txt"}), ListNames(prog));
    EXPECT_EQ((std::vector<std::string>{"FENSTER.INI", "TUER.INI"}), ListNames(mgr));
    EXPECT_EQ(Content("TUER.INI"), ReadFile(mgr + "\\TUER.INI"));
}

// A move over an older file goes through a temporary file, which first removes those a killed call
// left and nothing that only looks like one; a move that leaves its source is told.
TEST(MoveOpeningIniFiles, OverOlderFilesWholeOrToldWithTheSourceLeft) {
    struct Case {
        const char* what;
        bool readOnly;
        int holdSharing;  // -1: not held
        DWORD code;
    } const cases[] = {
        {"a move", false, -1, ERROR_SUCCESS},
        {"a read-only destination, which Wine as root would replace", true, -1, ERROR_ACCESS_DENIED},
        {"a source held sharing reads, which cannot be removed", false, FILE_SHARE_READ, ERROR_SHARING_VIOLATION},
        {"a source held with no sharing, which cannot be read", false, 0, ERROR_SHARING_VIOLATION},
    };
    const std::vector<std::string> lookAlikes = {"~kiv0000abcd.tmp",    "~KIV00005678.TMP",  "~kiv1234.tmp",
                                                 "~kiv0000123G.tmp",    "~kiv000012345.tmp", "x~kiv00001234.tmp",
                                                 "~kiv00001234.tmp.bak"};
    std::vector<std::string> names = lookAlikes;
    names.insert(names.end(), {"TUER.INI", "~kiv00009999.tmp"});  // the last a folder
    std::sort(names.begin(), names.end());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder dir;
        Library lib;
        const std::string prog = dir / "Prog", mgr = dir / "Mgr", source = prog + "\\TUER.INI";
        MakeFolder(prog);
        MakeFolder(mgr + "\\~kiv00009999.tmp");
        WriteFiles(prog, {"TUER.INI"});
        WriteFiles(mgr, lookAlikes);
        WriteFile(mgr + "\\TUER.INI", "old doors");
        if (c.code == ERROR_SUCCESS) WriteFiles(mgr, {"~kiv00001234.tmp", "~kiv0A1B2C3D.tmp"});
        ::SetFileAttributesA((mgr + (c.readOnly ? "\\TUER.INI" : "\\~kiv0A1B2C3D.tmp")).c_str(),
                             FILE_ATTRIBUTE_READONLY);
        std::optional<HeldFile> held;
        if (c.holdSharing >= 0) ASSERT_TRUE(held.emplace(source, c.holdSharing).ok());
        lib.SetNewProgramDir(prog.c_str());
        lib.SetNewManagerDir(mgr.c_str());

        EXPECT_EQ(c.code == ERROR_SUCCESS ? 1 : -1, lib.SaveAfterFilesCopy(prog.c_str()));  // tidies dir
        ExpectTold(lib, c.code,
                   c.code == ERROR_SUCCESS ? "" : "Verschieben von " + source + " nach " + mgr + " fehlgeschlagen");
        held.reset();
        const bool copied = c.code == ERROR_SUCCESS || c.holdSharing == FILE_SHARE_READ;
        EXPECT_EQ(copied ? Content("TUER.INI") : "old doors", ReadFile(mgr + "\\TUER.INI"));
        EXPECT_EQ(c.code == ERROR_SUCCESS ? "" : Content("TUER.INI"), ReadFile(source));
        EXPECT_EQ(names, ListNames(mgr));
        ::SetFileAttributesA((mgr + "\\TUER.INI").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST(MoveOpeningIniFiles, SameFolderUnderAnotherSpellingLosesNothing) {
    ScratchFolder dir;
    const std::string prog = dir / "Prog";
    MakeFolder(prog);
    MakeFolder(dir / "Old");
    WriteFiles(prog, {"FENSTER.INI", "TUER.INI", "DURCHG.INI"});
    auto before = Snapshot(dir.path());
    const std::string spellings[] = {prog, dir / "PROG", dir.path() + "\\\\Prog", prog + "\\", dir / "Old\\..\\Prog"};
    for (const std::string& from : spellings) {
        for (const std::string& to : spellings) {
            Library lib;
            lib.SetNewProgramDir(from.c_str());
            lib.SetNewManagerDir(to.c_str());
            lib.SaveAfterFilesCopy((dir / "Old").c_str());
            for (const char* name : kOpeningFiles)
                EXPECT_EQ(Content(name), ReadFile(prog + "\\" + name)) << from << " " << to;
        }
    }
    RemoveTree(dir / "Save1");  // the tidy-up of the scratch folder itself
    for (int n = 2; n <= 25; ++n) RemoveTree(dir / ("Save" + std::to_string(n)));
    EXPECT_EQ(before, Snapshot(dir.path()));
}

TEST(MoveOpeningIniFiles, SettersIgnoreNullAndEmptyAndNeedBothFolders) {
    ScratchFolder dir;
    Library lib;
    const std::string prog = dir / "Prog", mgr = dir / "Mgr";
    MakeFolder(prog);
    MakeFolder(mgr);
    MakeFolder(dir / "Old");
    WriteFiles(prog, {"FENSTER.INI"});

    // Only the program folder known: no move towards "\FENSTER.INI" at the drive root.
    lib.SetNewProgramDir(prog.c_str());
    lib.SetNewManagerDir(nullptr);
    lib.SetNewManagerDir("");
    EXPECT_NE(0, lib.SaveAfterFilesCopy((dir / "Old").c_str()));
    EXPECT_TRUE(FileExists(prog + "\\FENSTER.INI"));
    EXPECT_FALSE(FileExists("C:\\FENSTER.INI"));

    lib.SetNewManagerDir(mgr.c_str());
    lib.SetNewProgramDir(nullptr);  // keeps the folder set before
    lib.SetNewProgramDir("");
    EXPECT_NE(0, lib.SaveAfterFilesCopy((dir / "Old").c_str()));
    EXPECT_FALSE(FileExists(prog + "\\FENSTER.INI"));
    EXPECT_EQ(Content("FENSTER.INI"), ReadFile(mgr + "\\FENSTER.INI"));
}

// --- SaveAfterFilesCopy ------------------------------------------------------

TEST(SaveAfterFilesCopy, TidiesTheOldLayoutOfTheFolderAPathNames) {
    ScratchFolder dir;
    Library lib;
    MakeFolder(dir / "Support");
    MakeFolder(dir / "Projektverwaltung");
    std::vector<std::string> all;
    for (const char* name : AfterCopySaveList) all.push_back(name);
    for (const char* name : SupportDrawingList) all.push_back(name);
    for (const char* name : ObsoleteFileList) all.push_back(name);
    WriteFiles(dir.path(), all);
    WriteFiles(dir.path(), {"Eigene.dwg", "Liesmich.txt", "Projektverwaltung\\Eigenes.ini"});
    EXPECT_EQ(1, lib.SetToDeleteAfterSave(0));  // no effect after the copy

    EXPECT_EQ(1, lib.SaveAfterFilesCopy((dir / "Tervilo.mnu").c_str()));

    for (const char* name : AfterCopySaveList) {
        EXPECT_FALSE(FileExists(dir / name)) << name;
        EXPECT_EQ(Content(name), ReadFile(dir / (std::string("Save1\\") + name))) << name;
    }
    for (const char* name : SupportDrawingList) {
        EXPECT_FALSE(FileExists(dir / name)) << name;
        EXPECT_EQ(Content(name), ReadFile(dir / (std::string("Support\\") + name))) << name;
    }
    for (const char* name : ObsoleteFileList) EXPECT_FALSE(FileExists(dir / name)) << name;
    EXPECT_EQ((std::vector<std::string>{"Eigene.dwg", "Liesmich.txt", "Projektverwaltung", "Save1", "Support"}),
              ListNames(dir.path()));
    EXPECT_EQ((std::vector<std::string>{"Eigenes.ini"}), ListNames(dir / "Projektverwaltung"));
}

TEST(SaveAfterFilesCopy, EachRunMakesASaveFolderEvenWhenItStaysEmpty) {
    ScratchFolder dir;
    Library lib;
    MakeFolder(dir / "Tervilo");
    WriteFile(dir / "Tervilo\\Liesmich.txt", "x");
    EXPECT_NE(0, lib.SaveAfterFilesCopy((dir / "Tervilo").c_str()));
    EXPECT_NE(0, lib.SaveAfterFilesCopy((dir / "Tervilo\\Liesmich.txt").c_str()));
    EXPECT_NE(0, lib.SaveAfterFilesCopy((dir / "Tervilo\\Liesmich.txt").c_str()));
    EXPECT_EQ((std::vector<std::string>{"Save1", "Tervilo"}), ListNames(dir.path()));
    EXPECT_EQ((std::vector<std::string>{"Liesmich.txt", "Save1", "Save2"}), ListNames(dir / "Tervilo"));
    // A trailing backslash ends the folder's own name.
    EXPECT_EQ(1, lib.SaveAfterFilesCopy((dir / "Tervilo\\").c_str()));
    EXPECT_EQ((std::vector<std::string>{"Liesmich.txt", "Save1", "Save2", "Save3"}), ListNames(dir / "Tervilo"));
}

TEST(SaveAfterFilesCopy, MissingSupportFolderStopsOnlyTheDrawings) {
    ScratchFolder dir;
    Library lib;
    WriteFiles(dir.path(), {AfterCopySaveList[0], SupportDrawingList[3], SupportDrawingList[7], ObsoleteFileList[0],
                            ObsoleteFileList[21]});
    EXPECT_EQ(-1, lib.SaveAfterFilesCopy((dir / ObsoleteFileList[0]).c_str()));
    ExpectTold(lib, ERROR_PATH_NOT_FOUND,
               "Verschieben von " + (dir / SupportDrawingList[3]) + " nach " + (dir / "Support") + " fehlgeschlagen");
    EXPECT_EQ(Content(AfterCopySaveList[0]), ReadFile(dir / (std::string("Save1\\") + AfterCopySaveList[0])));
    EXPECT_EQ((std::vector<std::string>{"Festpunkt.dwg", "Nadelbaum.dwg", "Save1"}), ListNames(dir.path()));
}

// Held old program files stay whole and the save pass goes on; the drawing pass ends at a held drawing.
TEST(SaveAfterFilesCopy, HeldFilesStayWholeAndOnlyTheDrawingPassEndsAtOne) {
    for (const LockKind& lock : kLockKinds) {
        SCOPED_TRACE(lock.what);
        ScratchFolder dir;
        Library lib;
        MakeFolder(dir / "Support");
        for (const char* name : AfterCopySaveList) WriteFiles(dir.path(), {name});
        WriteFiles(dir.path(),
                   {SupportDrawingList[0], SupportDrawingList[1], SupportDrawingList[2], ObsoleteFileList[5]});
        const std::vector<std::size_t> heldSaves = {0, 8, AfterCopySaveList.size() - 1};
        {
            std::deque<HeldFile> holds;
            for (std::size_t i : heldSaves) holds.emplace_back(dir / AfterCopySaveList[i], lock.share);
            holds.emplace_back(dir / SupportDrawingList[1], lock.share);
            for (const HeldFile& hold : holds) ASSERT_TRUE(hold.ok());
            EXPECT_EQ(lock.othersMayRead ? 1 : -1, lib.SaveAfterFilesCopy((dir / "Support").c_str()));
        }
        for (std::size_t i = 0; i < AfterCopySaveList.size(); ++i)
            ExpectMovedToSave1UnlessHeld(dir.path(), AfterCopySaveList[i],
                                         std::find(heldSaves.begin(), heldSaves.end(), i) != heldSaves.end(), lock);
        const std::string support = dir / "Support";
        EXPECT_EQ(Content(SupportDrawingList[0]), ReadFile(support + "\\" + SupportDrawingList[0]));
        EXPECT_FALSE(FileExists(dir / SupportDrawingList[0]));
        EXPECT_EQ(Content(SupportDrawingList[1]), ReadFile(dir / SupportDrawingList[1]));
        // A drawing that cannot be copied ends its pass; one that can stays in both places.
        EXPECT_EQ(lock.othersMayRead, FileExists(support + "\\" + SupportDrawingList[1]));
        EXPECT_EQ(!lock.othersMayRead, FileExists(dir / SupportDrawingList[2]));
        EXPECT_EQ(lock.othersMayRead, FileExists(support + "\\" + SupportDrawingList[2]));
        EXPECT_FALSE(FileExists(dir / ObsoleteFileList[5]));
    }
}

TEST(SaveAfterFilesCopy, PathWithoutInnerBackslashIsTheFolderItself) {
    ScratchFolder dir;
    Library lib;
    MakeFolder(dir / "Ordner");
    WriteFiles(dir / "Ordner", {AfterCopySaveList[2]});
    char previous[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryA(dir.path().c_str()));
    const int result = lib.SaveAfterFilesCopy("Ordner");
    ::SetCurrentDirectoryA(previous);
    EXPECT_NE(0, result);
    EXPECT_EQ((std::vector<std::string>{"Save1"}), ListNames(dir / "Ordner"));
    EXPECT_EQ(Content(AfterCopySaveList[2]), ReadFile(dir / (std::string("Ordner\\Save1\\") + AfterCopySaveList[2])));
}

TEST(SaveAfterFilesCopy, ArgumentsThatNameNothing) {
    ScratchFolder dir;
    Library lib;
    MakeFolder(dir / "Old");
    WriteFiles(dir / "Old", {AfterCopySaveList[0]});
    auto before = Snapshot(dir.path());
    EXPECT_NE(0, lib.SaveAfterFilesCopy(nullptr));
    EXPECT_NE(0, lib.SaveAfterFilesCopy(""));
    EXPECT_EQ(0, lib.SaveAfterFilesCopy((dir / "Old\\Missing").c_str()));
    EXPECT_EQ(0, lib.SaveAfterFilesCopy((dir / ("Old\\" + std::string(300, 'x'))).c_str()));
    EXPECT_EQ(0, lib.SaveAfterFilesCopy((dir / "Old\\*.nix").c_str()));
    EXPECT_EQ(0, lib.SaveAfterFilesCopy((dir / "O*\\x").c_str()));
    EXPECT_EQ(before, Snapshot(dir.path()));

    // A wildcard that matches names a path inside Old, like any file of it.
    EXPECT_NE(0, lib.SaveAfterFilesCopy((dir / "Old\\*.exe").c_str()));
    EXPECT_EQ((std::vector<std::string>{"Save1"}), ListNames(dir / "Old"));
}
