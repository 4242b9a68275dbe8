// The library's Win32 byte files on Wine's file system, and a large configuration file with bare
// line feeds rewritten through the DLL.
#include "core/ByteFile.h"

#include "support/HeldFile.h"
#include "support/Library.h"
#include "support/Scratch.h"

#include "../native/ByteFileCases.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace kivtest;
using namespace kiv::core;
using kivnative::EditCase;

namespace {

const std::string kBytes(
    "a\r\n\x1a"
    "b\0c",
    7);

std::string Large(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 % 251);
    return bytes;
}

}  // namespace

TEST(ByteFile, ReadWholeFileTellsAMissingFileFromAnUnreadableOne) {
    ScratchFolder dir;
    const std::string large = Large(300000);
    WriteFile(dir / "file.cfg", kBytes);
    WriteFile(dir / "large.cfg", large);
    WriteFile(dir / "empty.cfg", "");
    WriteFile(dir / "held.cfg", kBytes);
    WriteFile(dir / "shared.cfg", kBytes);
    HeldFile held(dir / "held.cfg", kLockKinds[0].share), shared(dir / "shared.cfg", kLockKinds[1].share);
    ASSERT_TRUE(held.ok() && shared.ok());
    struct Case {
        const char* what;
        std::string path;
        ReadOutcome outcome;
        std::string bytes;
    };
    const Case cases[] = {
        {"a file", dir / "file.cfg", ReadOutcome::Read, kBytes},
        {"300,000 bytes", dir / "large.cfg", ReadOutcome::Read, large},
        {"an empty file", dir / "empty.cfg", ReadOutcome::Read, ""},
        {"a file others may read", dir / "shared.cfg", ReadOutcome::Read, kBytes},
        {"no such file", dir / "none.cfg", ReadOutcome::Missing, ""},
        {"no such folder", dir / "none\\file.cfg", ReadOutcome::Missing, ""},
        {"a folder", dir.path(), ReadOutcome::Failed, ""},
        {"a file held with no sharing", dir / "held.cfg", ReadOutcome::Failed, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes = "stale";
        EXPECT_EQ(c.outcome, ReadWholeFile(c.path, bytes));
        EXPECT_EQ(c.bytes, bytes);
    }
}

TEST(ByteFile, EditInPlaceWritesBackWhatTheEditKeeps) {
    for (const EditCase& c : kivnative::kEditCases) {
        SCOPED_TRACE(c.what);
        ScratchFolder dir;
        WriteFile(dir / "t.dat", c.file);
        std::string handed = "not called";
        auto edit = [&](std::string& bytes) {
            handed = bytes;
            return kivnative::UpperCaseAndKeep(bytes, c.keep);
        };
        std::function<void(std::string&)> head;
        if (c.head) head = [](std::string& bytes) { kivnative::UpperCaseAndKeep(bytes, 0); };
        EXPECT_EQ(c.done, EditInPlace(dir / "t.dat", c.offset, c.pieceSize, edit, head));
        EXPECT_EQ(c.handed, handed);
        EXPECT_EQ(c.after, ReadFile(dir / "t.dat"));
    }
}

// A table that cannot be updated keeps its bytes; its header can still be read where others may read.
// (Under Wine as root a read-only file opens for writing, so only Windows refuses that one.)
TEST(ByteFile, FilesThatCannotBeUpdatedKeepTheirBytes) {
    enum Fault { Missing, HeldWithNoSharing, HeldSharingReads };
    for (Fault fault : {Missing, HeldWithNoSharing, HeldSharingReads}) {
        SCOPED_TRACE(fault);
        ScratchFolder dir;
        const std::string path = dir / "t.dat";
        std::optional<HeldFile> held;
        if (fault != Missing) {
            WriteFile(path, "headerbody");
            ASSERT_TRUE(held.emplace(path, fault == HeldSharingReads ? FILE_SHARE_READ : 0).ok());
        }
        bool edited = false;
        EXPECT_FALSE(EditInPlace(path, 6, 64, [&](std::string& bytes) {
            edited = true;
            return bytes.size();
        }));
        EXPECT_FALSE(edited);
        std::string header;
        EXPECT_EQ(fault == HeldSharingReads, ReadPrefix(path, 6, header));
        EXPECT_FALSE(ReadPrefix(path, 11, header));  // longer than the file
        held.reset();
        if (fault != Missing) EXPECT_EQ("headerbody", ReadFile(path));
    }
}

TEST(ByteFile, ReplaceFileContentWritesEveryPieceInOrder) {
    for (const std::vector<std::size_t>& sizes : kivnative::kPieceSizes) {
        SCOPED_TRACE(sizes.size());
        ScratchFolder dir;
        WriteFile(dir / "Arch.Cfg", "old");
        const std::vector<std::string> pieces = kivnative::MakePieces(sizes);
        ASSERT_TRUE(ReplaceFileContent(dir / "Arch.Cfg", kivnative::Views(pieces)));
        EXPECT_EQ(kivnative::Joined(pieces), ReadFile(dir / "Arch.Cfg"));
        EXPECT_EQ((std::vector<std::string>{"Arch.Cfg"}), ListNames(dir.path()));
    }
}

TEST(ByteFile, AFailedReplacementLeavesTheOldFileAndNoTemporaryFile) {
    const std::vector<std::string> pieces = kivnative::MakePieces({70000, 3});
    enum Fault { ReadOnly, HeldWithNoSharing, NoFolder };
    for (Fault fault : {ReadOnly, HeldWithNoSharing, NoFolder}) {
        SCOPED_TRACE(fault);
        ScratchFolder dir;
        const std::string path = fault == NoFolder ? dir / "none\\Arch.Cfg" : dir / "Arch.Cfg";
        if (fault != NoFolder) WriteFile(path, "old");
        if (fault == ReadOnly) ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        std::optional<HeldFile> held;
        if (fault == HeldWithNoSharing) ASSERT_TRUE(held.emplace(path, 0).ok());
        EXPECT_FALSE(ReplaceFileContent(path, kivnative::Views(pieces)));
        held.reset();
        EXPECT_EQ(fault == NoFolder ? "" : "old", ReadFile(path));
        EXPECT_EQ(fault == NoFolder ? std::vector<std::string>() : std::vector<std::string>{"Arch.Cfg"},
                  ListNames(dir.path()));
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// 150,000 lines ending in bare line feeds, the last without one: every line comes out with CR LF,
// the two lines the entries replace leave, and the entries follow in order.
TEST(Rewrite, LargeFileWithBareLineFeedsComesOutInCrLf) {
    ScratchFolder dir;
    Library lib;
    const std::string program = dir / "New", manager = program + "\\Manager";
    MakeFolder(manager);
    std::string file, expected;
    for (int i = 0; i < 150000; ++i) {
        std::string line = i == 99999    ? "fen125_2 5005 3 old"
                           : i == 149999 ? "TUE125_4 5005 3 end"
                                         : "S" + std::to_string(i) + " 5005 1 x";
        file += line + (i == 149999 ? "" : "\n");
        if (i != 99999 && i != 149999) expected += line + "\r\n";
    }
    const std::string folder = program + "\\Oeffdat";
    for (const char* prefix : {"FEN125_", "TUE125_", "DUR125_"})
        for (int n = 1; n <= 4; ++n)
            expected += prefix + std::to_string(n) + " 5005 " + std::to_string(folder.size()) + " " + folder + "\r\n";
    WriteFile(manager + "\\Arch.Cfg", file);

    lib.SetNewManagerDir(manager.c_str());
    ASSERT_EQ(1, lib.CreateUpdateManagerATP(program.c_str(), 0));
    EXPECT_EQ(expected, ReadFile(manager + "\\Arch.Cfg"));
    EXPECT_EQ((std::vector<std::string>{"Arch.Cfg"}), ListNames(manager));
}
