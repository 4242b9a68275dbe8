// RewriteConfigFile on real files with a fixed clock: exact bytes, entering order, failures that lose nothing.
#include "core/ConfigRewrite.h"

#include "Scratch.h"

#include <gtest/gtest.h>

#include <string>

using namespace kiv::core;
using namespace kivnative;

namespace {

const std::string kCode = "A000000BCDEFGHIJKLMNO";

// Folders as the update manager derives them from dir "N", sub-folder "Sub".
RewriteInputs Inputs(bool tablesTakenOver, std::int64_t time = 1000000000) {
    RewriteInputs inputs;
    inputs.libraryDir = "N\\Bib";
    inputs.openingDataDir = "N\\Oeffdat";
    inputs.blocksDir = "N\\Blocks\\Sub";
    inputs.openingDataTakenOver = tablesTakenOver;
    inputs.clock = [time] { return time; };
    return inputs;
}

const char kUserFile[] =
    "; Dorva AT\r\n"
    "FEN125_1 5005 3 old\n"
    "FENBL10 5005 3 ten\r\n"
    "USER 5005 2 x\x1a\r\n"
    "bodendir 5005 3 old\r\n"
    "FENBL1\r\n"
    "last line without end";

const char kUserLinesKept[] =
    "; Dorva AT\r\n"
    "FENBL10 5005 3 ten\r\n"
    "USER 5005 2 x\x1a\r\n"
    "FENBL1\r\n"
    "last line without end\r\n";

const char kFolderEntriesV0[] =
    "FEN125_1 5005 17 N\\Oeffdat\\FEN-STD\r\nFEN125_2 5005 17 N\\Oeffdat\\FEN-STD\r\n"
    "FEN125_3 5005 17 N\\Oeffdat\\FEN-STD\r\nFEN125_4 5005 17 N\\Oeffdat\\FEN-STD\r\n";

const char kLibraryEntries[] =
    "BIBHPT 5005 13 N\\Bib\\Bib.Ini\r\n"
    "BIBTAB 5005 17 N\\Bib\\Std\\Std.Bib\r\n"
    "BODENDIR 5005 12 N\\Blocks\\Sub\r\n";

std::string FolderEntries(const char* prefix, const std::string& folder) {
    std::string lines;
    for (int n = 1; n <= 4; ++n)
        lines += prefix + std::to_string(n) + " 5005 " + std::to_string(folder.size()) + " " + folder + "\r\n";
    return lines;
}

void WriteAllKindTables() {
    WriteKindTables("N\\Oeffdat\\FEN-STD", 0, {Record("Fenster", kCode, 1.5), Record("Fenster2", kCode, 2)});
    WriteKindTables("N\\Oeffdat\\TUE-STD", 1, {Record("Tuer", kCode, 90)});
    WriteKindTables("N\\Oeffdat\\DUR-STD", 2, {Record("Durchgang", kCode, 0.25)});
}

}  // namespace

TEST(RewriteConfigFile, StandardStampsTablesAndEntersInOrder) {
    ScratchFolder scratch;
    WriteAllKindTables();
    WriteBytes("Arch.Cfg", std::string(kUserFile, sizeof kUserFile - 1));
    ASSERT_TRUE(RewriteConfigFile("Arch.Cfg", UpdateVariant::Standard, Inputs(false)));
    const std::string expected = std::string(kUserLinesKept, sizeof kUserLinesKept - 1) +
                                 "FENBL1 5005 35 ACNM8TIBCDEFGHIJKLMNO|Fenster|1.500\r\n"
                                 "FENBL2 5005 36 ACNM8TIBCDEFGHIJKLMNO|Fenster2|2.000\r\n" +
                                 kFolderEntriesV0 + "TUEBL1 5005 33 ACNM8TIBCDEFGHIJKLMNO|Tuer|90.000\r\n" +
                                 FolderEntries("TUE125_", "N\\Oeffdat\\TUE-STD") +
                                 "DURBL1 5005 37 ACNM8TIBCDEFGHIJKLMNO|Durchgang|0.250\r\n" +
                                 FolderEntries("DUR125_", "N\\Oeffdat\\DUR-STD") + kLibraryEntries;
    EXPECT_EQ(expected, ReadBytes("Arch.Cfg"));

    // A second run replaces the same entries: only the time code moves on.
    ASSERT_TRUE(RewriteConfigFile("Arch.Cfg", UpdateVariant::Standard, Inputs(false, 1000000000 + 38)));
    std::string again = expected;
    for (std::size_t at = again.find("ACNM8TI"); at != std::string::npos; at = again.find("ACNM8TI", at))
        again.replace(at, 7, "ACNM8UI");
    EXPECT_EQ(again, ReadBytes("Arch.Cfg"));
}

TEST(RewriteConfigFile, TakenOverTablesAreNotOpenedAndOldBlockEntriesStay) {
    ScratchFolder scratch;
    WriteBytes("Arch.Cfg", std::string(kUserFile, sizeof kUserFile - 1));
    ASSERT_TRUE(RewriteConfigFile("Arch.Cfg", UpdateVariant::Standard, Inputs(true)));
    EXPECT_EQ(std::string(kUserLinesKept, sizeof kUserLinesKept - 1) + kFolderEntriesV0 +
                  FolderEntries("TUE125_", "N\\Oeffdat\\TUE-STD") + FolderEntries("DUR125_", "N\\Oeffdat\\DUR-STD") +
                  kLibraryEntries,
              ReadBytes("Arch.Cfg"));
}

TEST(RewriteConfigFile, AtpEntersTheOpeningDataFolderForAllKinds) {
    ScratchFolder scratch;
    WriteBytes("Other.cfg", "BODENDIR 5005 1 x\r\n");
    ASSERT_TRUE(RewriteConfigFile("Other.cfg", UpdateVariant::Atp, Inputs(true)));
    EXPECT_EQ("BODENDIR 5005 1 x\r\n" + FolderEntries("FEN125_", "N\\Oeffdat") +
                  FolderEntries("TUE125_", "N\\Oeffdat") + FolderEntries("DUR125_", "N\\Oeffdat"),
              ReadBytes("Other.cfg"));
}

TEST(RewriteConfigFile, FailingWindowTablesLeaveOnlyTheLibraryEntries) {
    ScratchFolder scratch;
    WriteAllKindTables();
    std::remove("N\\Oeffdat\\FEN-STD\\F-TYP.DAT");
    const std::string doorBlocks = ReadBytes("N\\Oeffdat\\TUE-STD\\T-BLOCK.DAT");
    // A missing configuration file is created with the entries only.
    ASSERT_TRUE(RewriteConfigFile("New.Cfg", UpdateVariant::Standard, Inputs(false)));
    EXPECT_EQ(kLibraryEntries, ReadBytes("New.Cfg"));
    EXPECT_EQ(doorBlocks, ReadBytes("N\\Oeffdat\\TUE-STD\\T-BLOCK.DAT"));

    // A header-only block table fails its kind the same way.
    WriteAllKindTables();
    WriteKindTables("N\\Oeffdat\\FEN-STD", 0, {});
    ASSERT_TRUE(RewriteConfigFile("Header.Cfg", UpdateVariant::Standard, Inputs(false)));
    EXPECT_EQ(kLibraryEntries, ReadBytes("Header.Cfg"));
}

TEST(RewriteConfigFile, DoorsFailingKeepTheWindowEntries) {
    ScratchFolder scratch;
    WriteAllKindTables();
    WriteKindTables("N\\Oeffdat\\TUE-STD", 1, {Record("Tuer", kCode.substr(0, 20), 90)});
    ASSERT_TRUE(RewriteConfigFile("Arch.Cfg", UpdateVariant::Standard, Inputs(false)));
    EXPECT_EQ(std::string("FENBL1 5005 35 ACNM8TIBCDEFGHIJKLMNO|Fenster|1.500\r\n"
                          "FENBL2 5005 36 ACNM8TIBCDEFGHIJKLMNO|Fenster2|2.000\r\n") +
                  kFolderEntriesV0 + kLibraryEntries,
              ReadBytes("Arch.Cfg"));
}

TEST(RewriteConfigFile, UnreadableOrUnwritableFilesAreLeftWhole) {
    ScratchFolder scratch;
    EXPECT_FALSE(RewriteConfigFile(nullptr, UpdateVariant::Standard, Inputs(true)));
    EXPECT_FALSE(RewriteConfigFile("", UpdateVariant::Standard, Inputs(true)));
    // A folder in the file's place opens but cannot be read.
    std::filesystem::create_directory("Dir.cfg");
    EXPECT_FALSE(RewriteConfigFile("Dir.cfg", UpdateVariant::Standard, Inputs(true)));
    EXPECT_TRUE(std::filesystem::is_directory("Dir.cfg"));
    // No folder to write into: nothing is created.
    EXPECT_FALSE(RewriteConfigFile("Missing/Arch.Cfg", UpdateVariant::Standard, Inputs(true)));
    EXPECT_FALSE(Exists("Missing"));
    // Nothing but the files the tests made is left behind.
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(".")) files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(0u, files);
}
