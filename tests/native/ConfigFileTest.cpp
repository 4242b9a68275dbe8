// Configuration lines: reading every byte, whole-key entry, the order of entered lines, CR LF output.
#include "upgrade/ConfigFile.h"

#include <gtest/gtest.h>

#include <string>

using kiv::upgrade::ConfigLines;
using kiv::upgrade::FormatConfigEntry;

TEST(FormatConfigEntry, KeyTypeCodeByteLengthAndValue) {
    EXPECT_EQ("BODENDIR 5005 13 C:\\A B\\Blocks", FormatConfigEntry("BODENDIR", "C:\\A B\\Blocks"));
    EXPECT_EQ("K 5005 0 ", FormatConfigEntry("K", ""));
    EXPECT_EQ("N 5005 2 \xC4\xD6", FormatConfigEntry("N", "\xC4\xD6"));
}

TEST(ConfigLines, TakesEveryLineWholeAndWritesCrLf) {
    // LF and CR LF ends, a CR inside a line, an empty line, a last line without end.
    ConfigLines lines(std::string("a\nb\r\nc\rd\r\n\r\nlast"));
    EXPECT_EQ(5u, lines.Count());
    EXPECT_EQ("a\r\nb\r\nc\rd\r\n\r\nlast\r\n", lines.Serialize());
    // A CR that no LF follows is content.
    EXPECT_EQ("x\r\r\n", ConfigLines(std::string("x\r")).Serialize());
    EXPECT_EQ(0u, ConfigLines(std::string()).Count());
    EXPECT_EQ("", ConfigLines(std::string()).Serialize());
    EXPECT_EQ("\r\n", ConfigLines(std::string("\n")).Serialize());
}

TEST(ConfigLines, KeepsByte26AndZeroBytesAsContent) {
    const char file[] = "A 5005 1 x\r\n\x1a" "after 26\r\nzero\0byte\r\ntail";
    ConfigLines lines(std::string(file, sizeof file - 1));
    EXPECT_EQ(4u, lines.Count());
    ASSERT_TRUE(lines.Upsert("A", "A 5005 1 y"));
    const char expected[] = "\x1a" "after 26\r\nzero\0byte\r\ntail\r\nA 5005 1 y\r\n";
    EXPECT_EQ(std::string(expected, sizeof expected - 1), lines.Serialize());
}

TEST(ConfigLines, UpsertMatchesWholeKeysIgnoringCase) {
    ConfigLines lines(std::string(
        "FENBL10 5005 1 a\r\n"
        "FENBL1 5005 1 b\r\n"
        "BODENDIRX 5005 1 c\r\n"
        "bodendir 5005 1 d\r\n"
        "BODENDIR\r\n"
        "TUE125_1\tx\r\n"));
    ASSERT_TRUE(lines.Upsert("FENBL1", "FENBL1 5005 1 B"));
    ASSERT_TRUE(lines.Upsert("BODENDIR", "BODENDIR 5005 1 D"));
    ASSERT_TRUE(lines.Upsert("TUE125_1", "TUE125_1 5005 1 E"));
    // FENBL10, BODENDIRX, a key alone and a key before a tab are other lines.
    EXPECT_EQ(
        "FENBL10 5005 1 a\r\n"
        "BODENDIRX 5005 1 c\r\n"
        "BODENDIR\r\n"
        "TUE125_1\tx\r\n"
        "FENBL1 5005 1 B\r\n"
        "BODENDIR 5005 1 D\r\n"
        "TUE125_1 5005 1 E\r\n",
        lines.Serialize());
}

TEST(ConfigLines, ReplacesTheFirstMatchAndAppendsInEnteringOrder) {
    ConfigLines lines(std::string("K 5005 1 a\r\nX 1\r\nK 5005 1 b\r\n"));
    lines.Upsert("K", "K new1");
    lines.Upsert("Z", "Z new");
    EXPECT_EQ("X 1\r\nK 5005 1 b\r\nK new1\r\nZ new\r\n", lines.Serialize());
    // The next match is the second old line, then the entered one.
    lines.Upsert("K", "K new2");
    EXPECT_EQ("X 1\r\nK new1\r\nZ new\r\nK new2\r\n", lines.Serialize());
    lines.Upsert("k", "K new3");
    EXPECT_EQ("X 1\r\nZ new\r\nK new2\r\nK new3\r\n", lines.Serialize());
    EXPECT_EQ(4u, lines.Count());
}

TEST(ConfigLines, RefusesEmptyKeysAndKeysWithBlanks) {
    const std::string file = "A B 5005 1 x\r\n";
    ConfigLines lines(file);
    EXPECT_FALSE(lines.Upsert("", "new"));
    EXPECT_FALSE(lines.Upsert("A B", "new"));
    EXPECT_EQ(file, lines.Serialize());
}

TEST(ConfigLines, FindsEntriesAmongManyLinesThatShareBuckets) {
    // Far more lines than a small table has buckets: chains are long and mixed.
    std::string file;
    for (int i = 0; i < 5000; ++i) file += "KEY" + std::to_string(i % 700) + " 5005 1 " + std::to_string(i) + "\n";
    ConfigLines lines(file);
    lines.Upsert("key699", "KEY699 new");
    lines.Upsert("KEY0", "KEY0 new");
    std::string out = lines.Serialize();
    EXPECT_EQ(std::string::npos, out.find("KEY699 5005 1 699\r\n"));
    EXPECT_NE(std::string::npos, out.find("KEY699 5005 1 1399\r\n"));
    EXPECT_EQ(0u, out.find("KEY1 5005 1 1\r\n"));
    EXPECT_EQ(out.size() - 22, out.find("KEY699 new\r\nKEY0 new\r\n"));
    EXPECT_EQ(5000u, lines.Count());
}
