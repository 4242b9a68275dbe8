// The native side of the byte-file seam: in-place edits and whole replacements of real files.
#include "core/ByteFile.h"

#include "ByteFileCases.h"
#include "Scratch.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kiv::core;
using namespace kivnative;

TEST(ByteFile, EditInPlaceWritesBackWhatTheEditKeeps) {
    for (const EditCase& c : kEditCases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        WriteBytes("t.dat", c.file);
        std::string handed = "not called";
        auto edit = [&](std::string& bytes) {
            handed = bytes;
            return UpperCaseAndKeep(bytes, c.keep);
        };
        std::function<void(std::string&)> head;
        if (c.head) head = [](std::string& bytes) { UpperCaseAndKeep(bytes, 0); };
        EXPECT_EQ(c.done, EditInPlace("t.dat", c.offset, c.pieceSize, edit, head));
        EXPECT_EQ(c.handed, handed);
        EXPECT_EQ(c.after, ReadBytes("t.dat"));
    }
}

TEST(ByteFile, EditInPlaceOfAMissingFileFailsWithoutEditing) {
    ScratchFolder folder;
    bool called = false;
    EXPECT_FALSE(EditInPlace("missing.dat", 0, 64, [&](std::string&) {
        called = true;
        return std::size_t{0};
    }));
    EXPECT_FALSE(called);
    EXPECT_FALSE(Exists("missing.dat"));
}

TEST(ByteFile, ReplaceFileContentWritesEveryPieceInOrder) {
    for (const std::vector<std::size_t>& sizes : kPieceSizes) {
        SCOPED_TRACE(sizes.size());
        ScratchFolder folder;
        WriteBytes("c.cfg", "old");
        const std::vector<std::string> pieces = MakePieces(sizes);
        ASSERT_TRUE(ReplaceFileContent("c.cfg", Views(pieces)));
        EXPECT_EQ(Joined(pieces), ReadBytes("c.cfg"));
        EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator()));
    }
}
