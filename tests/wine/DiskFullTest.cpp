// The save pass, the migration, the configuration rewrite and the tablet menu backup on a small drive filled
// up to a few bytes, through the loaded DLL: every file stays whole, old or new, and the failure is told.
#include "resource.h"
#include "support/Library.h"
#include "support/PageDriver.h"
#include "support/Scratch.h"
#include "support/Tree.h"

#include "../native/Tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

using namespace kivtest;

namespace {

using Tree = std::map<std::string, std::string>;
constexpr std::uint64_t KB = 1024, MB = 1024 * KB;

// Lines that name their file, so that a cut or a copy of the wrong file shows.
std::string Text(const std::string& tag, std::uint64_t size) {
    std::string text;
    for (int n = 0; text.size() < size; ++n) text += tag + " " + std::to_string(n) + "\r\n";
    return text;
}

// An opening table; a block table when it has records.
std::string Table(const std::string& tag, int records) {
    std::string table = kivnative::Header(tag, 7);
    for (int n = 0; n < records; ++n) table += kivnative::Record(tag + std::to_string(n), "A000000BCDEFGHIJKLMNO", 1.5);
    return records > 0 ? table : table + "rest of " + tag;
}

std::string Entry(const std::string& key, const std::string& value) {
    return key + " 5005 " + std::to_string(value.size()) + " " + value + "\r\n";
}

// What an operation starts from, by path below its folder, and what each file may become besides itself.
struct Layout {
    Tree files;
    std::map<std::string, std::string> copiedFrom;  // a file the migration overwrites: its source
    std::map<std::string, std::string> rewriteEnd;  // a configuration file: the entry a whole rewrite ends with
};

// Created, and so listed on a tmpfs, in name order: a small menu, a big AutoLISP file, notes that stay.
Layout SaveLayout(const std::string&) {
    return Layout{{{"Program\\Tervilo.exe", Text("program", 4 * KB)},
                   {"Manager\\Tervilo.mnu", Text("menu", 64 * KB)},
                   {"Manager\\Vorlagen.lsp", Text("lisp", 2 * MB)},
                   {"Manager\\Zeichnungen.txt", Text("notes", 300 * KB)}}};
}

int Save(Library& lib, const std::string& root) {
    return lib.SaveBeforeFilesCopy((root + "\\Program").c_str(), (root + "\\Manager").c_str());
}

// Copied in this order: the definition files, the tables (a big old window block table), Layer.Def, Arch.Cfg.
Layout MigrationLayout(const std::string& root) {
    Layout layout;
    auto both = [&layout](const std::string& path, const std::string& oldBytes, const std::string& newBytes) {
        layout.files["Old\\" + path] = oldBytes;
        layout.files["New\\" + path] = newBytes;
        layout.copiedFrom["New\\" + path] = "Old\\" + path;
    };
    for (const char* name : {"FENSTER.INI", "TUER.INI", "DURCHG.INI"})
        both(std::string("Manager\\") + name, Text(std::string("old ") + name, 100), Text(name, 100));
    for (const char* kind : {"Fen-Std\\F-", "Tue-Std\\T-", "Dur-Std\\D-"})
        for (const char* table : {"TYP.DAT", "EINBAU.DAT", "WAENDE.DAT", "BLOCK.DAT"}) {
            const int records = std::strcmp(table, "BLOCK.DAT") != 0 ? 0 : kind[0] == 'F' ? 2000 : 1;
            both(std::string("OeffDat\\") + kind + table, Table("old", records), Table("new", records > 0 ? 1 : 0));
        }
    both("Manager\\Layer.Def", Text("old layers", MB), Text("layers", 4 * KB));
    both("Manager\\Arch.Cfg", Text("old settings", 1536 * KB), Text("settings", 4 * KB));
    layout.rewriteEnd["New\\Manager\\Arch.Cfg"] = Entry("BODENDIR", root + "\\New\\Blocks");
    return layout;
}

int Migrate(Library& lib, const std::string& root) {
    lib.SetOldProgramDir((root + "\\Old").c_str());
    lib.SetOldManagerDir((root + "\\Old\\Manager").c_str());
    lib.SetNewProgramDir((root + "\\New").c_str());
    lib.SetNewManagerDir((root + "\\New\\Manager").c_str());
    return lib.CreateUpdateManager((root + "\\New").c_str(), 1);
}

// Rewritten in this order: Arch.Cfg, then the bigger other one.
Layout RewriteLayout(const std::string& root) {
    Layout layout{
        {{"New\\Manager\\Arch.Cfg", Text("settings", MB)}, {"New\\Manager\\Other.cfg", Text("other", 2 * MB)}}};
    for (const auto& [path, bytes] : layout.files) layout.rewriteEnd[path] = Entry("DUR125_4", root + "\\New\\Oeffdat");
    return layout;
}

int Rewrite(Library& lib, const std::string& root) {
    lib.SetNewManagerDir((root + "\\New\\Manager").c_str());
    return lib.CreateUpdateManagerATP((root + "\\New").c_str(), 0);
}

// Copied in this order, all before any is removed.
Layout TabletLayout(const std::string&) {
    return Layout{{{"Acad\\Support\\Acad.Mnu", Text("mnu", MB)},
                   {"Acad\\Support\\Acad.Mns", Text("mns", 2 * MB)},
                   {"Acad\\Support\\Acad.Mnr", Text("mnr", 64 * KB)},
                   {"Acad\\Support\\Acad.Mnc", Text("mnc", 64 * KB)}}};
}

// Ticks the box and goes on. A backup that is not whole leaves "Tablet" out of the buffer.
int BackUpMenus(Library& lib, const std::string& root) {
    const std::wstring title = L"Tablettmenü einrichten";
    PageDriver driver;
    driver.OnPage(title, [](Window& page) { page.Click(IDC_TABLET_CHOICE); });
    driver.OnPage(title, [](Window& page) { page.Click(IDOK); });
    char buffer[260];
    std::memset(buffer, 'X', sizeof buffer);
    const int result = driver.Run([&] { return lib.KivIsWithinTablet(nullptr, (root + "\\Acad").c_str(), buffer); });
    EXPECT_EQ(std::string(sizeof buffer, 'X'), std::string(buffer, sizeof buffer));
    return result;
}

struct Operation {
    Layout (*layout)(const std::string& root);
    int (*run)(Library& lib, const std::string& root);
    int failure;  // the result that tells the script
};
const Operation kSave{SaveLayout, Save, -1}, kMigration{MigrationLayout, Migrate, 0},
    kRewrite{RewriteLayout, Rewrite, 0}, kTabletBackup{TabletLayout, BackUpMenus, 1};

// How many bytes stay free decides where the operation runs out of room (a tmpfs counts in 4 KB pages).
struct Row {
    const char* name;
    const Operation* operation;
    std::uint64_t freeBytes;
};
const Row kRows[] = {
    {"SaveFirstFile", &kSave, 0},
    {"SaveAfterTheFirstFile", &kSave, 100 * KB},
    {"SaveInTheMiddleOfABigFile", &kSave, 1536 * KB},
    {"MigrationFirstCopy", &kMigration, 0},
    {"MigrationInABlockTable", &kMigration, 128 * KB},
    {"MigrationInArchCfg", &kMigration, 2 * MB},
    {"MigrationInTheRewrite", &kMigration, 3584 * KB},
    {"RewriteFirstFile", &kRewrite, 0},
    {"RewriteSecondFile", &kRewrite, 1536 * KB},
    {"TabletBackupFirstFile", &kTabletBackup, 0},
    {"TabletBackupSecondFile", &kTabletBackup, 1536 * KB},
};

// Names the row in the test list instead of its bytes.
void PrintTo(const Row& row, std::ostream* out) { *out << row.freeBytes << " bytes free"; }

std::uint64_t FreeBytes(const std::string& drive) {
    ULARGE_INTEGER available = {};
    EXPECT_TRUE(::GetDiskFreeSpaceExA((drive + "\\").c_str(), &available, nullptr, nullptr)) << ::GetLastError();
    return available.QuadPart;
}

// A whole rewrite of base: its lines (none of them an entry the rewrite enters) with the entries after them.
bool IsRewriteOf(const std::string& text, const std::string& base, const std::string& lastEntry) {
    return text.size() >= base.size() + lastEntry.size() && text.compare(0, base.size(), base) == 0 &&
           text.compare(text.size() - lastEntry.size(), lastEntry.size(), lastEntry) == 0;
}

// The file a backup copy stands for: the same name in the backup folder's parent.
std::string OriginalOf(const std::string& path) {
    const std::size_t name = path.rfind('\\');
    const std::size_t folder = name == 0 || name == std::string::npos ? name : path.rfind('\\', name - 1);
    return folder == std::string::npos ? std::string() : path.substr(0, folder) + path.substr(name);
}

class DiskFull : public ::testing::TestWithParam<Row> {
protected:
    void SetUp() override {
        const char* drive = std::getenv("KIV_SMALL_DRIVE");
        const char* why = std::getenv("KIV_NO_SMALL_DRIVE");
        if (drive == nullptr || *drive == '\0')
            GTEST_SKIP() << "no small drive to fill: "
                         << (why != nullptr ? why : "KIV_SMALL_DRIVE is unset; scripts/test.sh mounts one as root");
        drive_ = drive;
        RemoveTree(drive_ + "\\kivtest");  // a crashed row's filler would leave less room than a row asks for
        scratch_ = std::make_unique<ScratchFolder>(drive_);
    }

    // Leaves only freeBytes free on the drive, with a file beside the operation's folder.
    void Fill(std::uint64_t freeBytes) {
        const std::uint64_t available = FreeBytes(drive_);
        std::ofstream filler(*scratch_ / "filler", std::ios::binary);
        const std::string chunk(MB, '\0');
        for (std::uint64_t left = available > freeBytes ? available - freeBytes : 0; left > 0;) {
            const std::uint64_t size = std::min<std::uint64_t>(left, chunk.size());
            filler.write(chunk.data(), static_cast<std::streamsize>(size));
            left -= size;
        }
        filler.close();
        ASSERT_TRUE(filler.good());
        ASSERT_LE(FreeBytes(drive_), freeBytes + 4 * KB);
    }

    // Every file is a whole version of itself (as it was, the copy the migration brings, a whole rewrite of
    // either) or, new in a backup folder, of its original; and every file is still in place or backed up.
    static void ExpectWholeFiles(const Layout& layout, const Tree& before, const Tree& after) {
        for (const auto& [path, bytes] : after) {
            if (path.back() == '\\') continue;
            std::vector<std::string> versions;
            auto add = [&](const std::string& from) {
                if (before.count(from) != 0) versions.push_back(before.at(from));
            };
            add(before.count(path) != 0 ? path : OriginalOf(path));
            if (layout.copiedFrom.count(path) != 0) add(layout.copiedFrom.at(path));
            bool whole = false;
            for (const std::string& version : versions)
                whole = whole || WithoutStamp(path, bytes) == WithoutStamp(path, version) ||
                        (layout.rewriteEnd.count(path) != 0 && IsRewriteOf(bytes, version, layout.rewriteEnd.at(path)));
            EXPECT_TRUE(whole) << path << " (" << bytes.size() << " bytes) is neither old nor new";
        }
        for (const auto& [path, bytes] : before) {
            bool kept = path.back() == '\\' || after.count(path) != 0;
            for (const auto& [other, copy] : after)
                kept = kept || (before.count(other) == 0 && OriginalOf(other) == path);
            EXPECT_TRUE(kept) << path << " is lost";
        }
    }

    std::string drive_;
    std::unique_ptr<ScratchFolder> scratch_;
    Library lib_;
};

}  // namespace

TEST_P(DiskFull, Fill) {
    const Operation& operation = *GetParam().operation;
    const std::string root = *scratch_ / "work";
    const Layout layout = operation.layout(root);
    for (const auto& [path, bytes] : layout.files) {
        MakeFolder(root + "\\" + path.substr(0, path.rfind('\\')));
        ASSERT_NO_FATAL_FAILURE(WriteFile(root + "\\" + path, bytes));
    }
    const Tree before = Snapshot(root);
    ASSERT_NO_FATAL_FAILURE(Fill(GetParam().freeBytes));

    EXPECT_EQ(operation.failure, operation.run(lib_, root));
    char text[260] = {};
    const int code = lib_.KivGetLastError(text);
    // A write that finds no room gives ERROR_DISK_FULL; a copy that first reserves the whole size, or a
    // network redirector, gives ERROR_HANDLE_DISK_FULL. Both tell the script the same.
    EXPECT_TRUE(code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL) << code << ": " << text;
    EXPECT_NE(nullptr, std::strstr(text, root.c_str())) << "no path in: " << text;
    ExpectWholeFiles(layout, before, Snapshot(root));
}

INSTANTIATE_TEST_SUITE_P(Drive, DiskFull, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& row) { return std::string(row.param.name); });
