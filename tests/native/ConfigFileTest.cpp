// Configuration lines: reading every byte, whole-key entry, the order of entered lines, CR LF output.
#include "core/ConfigFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using kiv::core::ConfigEntry;
using kiv::core::ConfigLines;
using kiv::core::FormatConfigEntry;

namespace {

std::string Written(const ConfigLines& lines) {
    std::string bytes;
    for (std::string_view piece : lines.Pieces()) bytes.append(piece);
    return bytes;
}

std::string Entered(const std::string& file, const std::vector<ConfigEntry>& entries) {
    ConfigLines lines(file);
    lines.Enter(entries);
    return Written(lines);
}

}  // namespace

TEST(FormatConfigEntry, KeyTypeCodeByteLengthAndValue) {
    EXPECT_EQ("BODENDIR 5005 13 C:\\A B\\Blocks", FormatConfigEntry("BODENDIR", "C:\\A B\\Blocks"));
    EXPECT_EQ("K 5005 0 ", FormatConfigEntry("K", ""));
    EXPECT_EQ("N 5005 2 \xC4\xD6", FormatConfigEntry("N", "\xC4\xD6"));
}

TEST(ConfigLines, TakesEveryLineWholeAndWritesCrLf) {
    // LF, CR LF and lone CR ends, empty lines, a last line without end.
    EXPECT_EQ("a\r\nb\r\nc\r\nd\r\n\r\nlast\r\n", Written(ConfigLines(std::string("a\nb\r\nc\rd\r\n\r\nlast"))));
    EXPECT_EQ("x\r\n", Written(ConfigLines(std::string("x\r"))));
    EXPECT_EQ("x\r\n\r\n\r\n", Written(ConfigLines(std::string("x\r\r\n\n"))));
    EXPECT_EQ("", Written(ConfigLines(std::string())));
    EXPECT_EQ("\r\n", Written(ConfigLines(std::string("\n"))));
    // A file already in CR LF goes out as one piece of the bytes read.
    ConfigLines crlf(std::string("a\r\nb\r\n"));
    EXPECT_EQ(1u, crlf.Pieces().size());
}

TEST(ConfigLines, KeepsByte26AndZeroBytesAsContent) {
    const char file[] =
        "A 5005 1 x\r\n\x1a"
        "after 26\r\nzero\0byte\r\ntail";
    const char expected[] =
        "\x1a"
        "after 26\r\nzero\0byte\r\ntail\r\nA 5005 1 y\r\n";
    EXPECT_EQ(std::string(expected, sizeof expected - 1),
              Entered(std::string(file, sizeof file - 1), {{"A", "A 5005 1 y"}}));
}

// An entry replaces only its own line, whichever line ends the file uses.
TEST(ConfigLines, LoneCarriageReturnsEndLinesAsLineFeedsDo) {
    for (const char* end : {"\r", "\n", "\r\n"}) {
        SCOPED_TRACE(testing::Message() << "line end " << int(end[0]) << " " << int(end[1]));
        const std::string e = end;
        EXPECT_EQ("B 5005 1 b\r\nC 5005 1 c\r\nA 5005 1 n\r\n",
                  Entered("A 5005 1 a" + e + "B 5005 1 b" + e + "C 5005 1 c" + e, {{"A", "A 5005 1 n"}}));
    }
    EXPECT_EQ("x\r\ny\r\n\r\nz\r\nK new\r\n", Entered("K 1\rx\ny\r\n\rz\r", {{"K", "K new"}}));
}

TEST(ConfigLines, EntriesMatchWholeKeysIgnoringCase) {
    const std::string file =
        "FENBL10 5005 1 a\r\n"
        "FENBL1 5005 1 b\r\n"
        "BODENDIRX 5005 1 c\r\n"
        "bodendir 5005 1 d\r\n"
        "BODENDIR\r\n"
        "TUE125_1\tx\r\n";
    // FENBL10, BODENDIRX, a key alone and a key before a tab are other lines.
    EXPECT_EQ(
        "FENBL10 5005 1 a\r\n"
        "BODENDIRX 5005 1 c\r\n"
        "BODENDIR\r\n"
        "TUE125_1\tx\r\n"
        "FENBL1 5005 1 B\r\n"
        "BODENDIR 5005 1 D\r\n"
        "TUE125_1 5005 1 E\r\n",
        Entered(file,
                {{"FENBL1", "FENBL1 5005 1 B"}, {"BODENDIR", "BODENDIR 5005 1 D"}, {"TUE125_1", "TUE125_1 5005 1 E"}}));
}

TEST(ConfigLines, EachEntryReplacesTheFirstMatchAndAppendsInOrder) {
    ConfigLines lines(std::string("K 5005 1 a\r\nX 1\r\nK 5005 1 b\r\n"));
    lines.Enter({{"K", "K new1"}, {"Z", "Z new"}});
    EXPECT_EQ("X 1\r\nK 5005 1 b\r\nK new1\r\nZ new\r\n", Written(lines));
    // The next match is the second old line, then the entered one.
    lines.Enter({{"K", "K new2"}});
    EXPECT_EQ("X 1\r\nK new1\r\nZ new\r\nK new2\r\n", Written(lines));
    lines.Enter({{"k", "K new3"}});
    EXPECT_EQ("X 1\r\nZ new\r\nK new2\r\nK new3\r\n", Written(lines));
}

TEST(ConfigLines, ABatchActsAsItsEntriesOneAfterAnother) {
    // One old line: the first entry replaces it, each later one the entry before.
    EXPECT_EQ("X\r\nK 3\r\n", Entered("K old\r\nX\r\n", {{"K", "K 1"}, {"k", "k 2"}, {"K", "K 3"}}));
    // No old line: the same, the first entry has nothing to replace.
    EXPECT_EQ("X\r\nK 2\r\n", Entered("X\r\n", {{"K", "K 1"}, {"K", "K 2"}}));
    // Two old lines for two entries: both old lines go, both entries stay.
    EXPECT_EQ("X\r\nK 1\r\nK 2\r\n", Entered("K a\r\nX\r\nK b\r\n", {{"K", "K 1"}, {"K", "K 2"}}));
}

TEST(ConfigLines, LeavesOutEntriesWithBadKeys) {
    const std::string file = "A B 5005 1 x\r\n";
    EXPECT_EQ(file, Entered(file, {{"", "new"}, {"A B", "A B new"}, {"A", "B 5005 1 x"}}));
}

TEST(ConfigLines, FindsEntriesAmongManyLines) {
    std::string file;
    for (int i = 0; i < 5000; ++i) file += "KEY" + std::to_string(i % 700) + " 5005 1 " + std::to_string(i) + "\n";
    ConfigLines lines(file);
    lines.Enter({{"key699", "KEY699 new"}, {"KEY0", "KEY0 new"}});
    std::string out = Written(lines);
    EXPECT_EQ(std::string::npos, out.find("KEY699 5005 1 699\r\n"));
    EXPECT_NE(std::string::npos, out.find("KEY699 5005 1 1399\r\n"));
    EXPECT_EQ(0u, out.find("KEY1 5005 1 1\r\n"));
    EXPECT_EQ(out.size() - 22, out.find("KEY699 new\r\nKEY0 new\r\n"));
    EXPECT_EQ(5000, std::count(out.begin(), out.end(), '\n'));
}

// The line walk: line ends at every place in and around its eight-byte steps, next to bytes
// that differ from a line feed in one bit, keys of several lengths, entries in several turns.
TEST(ConfigLineWalk, FindsEveryLineFeedWhateverTheBytesAroundIt) {
    // Line ends are 0x0A and 0x0D: these differ from one in one bit, are the bytes
    // around 14 where the step test turns, or are zero or all ones.
    const char fillers[] = {'x',    '\x0b', '\x0e', '\x08', '\x02', '\x1a', '\x8a',
                            '\x00', '\xff', '\x80', '\x0c', '\x0f', '\x8d', '\t'};
    for (char filler : fillers) {
        for (std::size_t length = 0; length < 20; ++length) {
            SCOPED_TRACE(testing::Message()
                         << "filler " << int(static_cast<unsigned char>(filler)) << ", length " << length);
            const std::string run(length, filler), other(length % 9, filler);
            ConfigLines lines(run + "\n" + run + "x\r\n" + "K " + run + "\n" + other + "\r\n\n" + run + "\r" + run);
            lines.Enter({{"K", "K new"}});
            const std::string last = run.empty() ? "" : run + "\r\n";
            EXPECT_EQ(run + "\r\n" + run + "x\r\n" + other + "\r\n\r\n" + run + "\r\n" + last + "K new\r\n",
                      Written(lines));
        }
    }
}

TEST(ConfigLineWalk, LaterTurnsKeepEarlierRemovalsAndLineEnds) {
    struct Turn {
        const char* key;
        const char* line;
        const char* expected;
    };
    const Turn turns[] = {
        {"K", "K 1", "X\r\nK b\r\nY\r\nK 1\r\n"},
        {"K", "K 2", "X\r\nY\r\nK 1\r\nK 2\r\n"},
        {"", "none", "X\r\nY\r\nK 1\r\nK 2\r\n"},  // a bad key enters nothing and keeps the rest
        {"k", "K 3", "X\r\nY\r\nK 2\r\nK 3\r\n"},
    };
    ConfigLines lines(std::string("K a\nX\nK b\nY"));
    for (const Turn& turn : turns) {
        lines.Enter({{turn.key, turn.line}});
        EXPECT_EQ(turn.expected, Written(lines)) << "after " << turn.line;
    }
}

TEST(ConfigLineWalk, KeysOfDifferentLengthsMatchTheirWholeWords) {
    ConfigLines lines(std::string("ABCDEFGHI 1\r\nABCDEFGHIJ 2\r\nA 3\r\nAB 4\r\nabcdefghi\r\n"));
    lines.Enter({{"A", "A new"}, {"ABCDEFGHI", "ABCDEFGHI new"}});
    EXPECT_EQ("ABCDEFGHIJ 2\r\nAB 4\r\nabcdefghi\r\nA new\r\nABCDEFGHI new\r\n", Written(lines));
}
