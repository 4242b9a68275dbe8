// The line walk of ConfigLines: line feeds at every place in and around its eight-byte steps, next
// to bytes that differ from a line feed in one bit, keys of several lengths, entries in several turns.
#include "core/ConfigFile.h"

#include <gtest/gtest.h>

#include <string>

using kiv::upgrade::ConfigLines;

namespace {

std::string Written(const ConfigLines& lines) {
    std::string bytes;
    for (std::string_view piece : lines.Pieces()) bytes.append(piece);
    return bytes;
}

}  // namespace

TEST(ConfigLineWalk, FindsEveryLineFeedWhateverTheBytesAroundIt) {
    // A line feed is 0x0A: these differ from it in one bit or are zero or all ones.
    const char fillers[] = {'x', '\x0b', '\x0e', '\x08', '\x02', '\x1a', '\x8a', '\x00', '\xff', '\x80'};
    for (char filler : fillers) {
        for (std::size_t length = 0; length < 20; ++length) {
            SCOPED_TRACE(testing::Message()
                         << "filler " << int(static_cast<unsigned char>(filler)) << ", length " << length);
            const std::string run(length, filler), other(length % 9, filler);
            ConfigLines lines(run + "\n" + run + "x\r\n" + "K " + run + "\n" + other + "\r\n\n" + run);
            lines.Enter({{"K", "K new"}});
            EXPECT_EQ(
                run + "\r\n" + run + "x\r\n" + other + "\r\n\r\n" + (run.empty() ? "" : run + "\r\n") + "K new\r\n",
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
