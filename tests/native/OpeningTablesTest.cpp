// Base-38 time code, block entries and stamping of the opening tables, with a fixed clock.
#include "core/OpeningTables.h"

#include "Scratch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kiv::core;
using namespace kivnative;

namespace {

const std::string kCode = "A000000BCDEFGHIJKLMNO";  // 21 characters
const std::uint32_t kTime = 1000000000;             // "CNM8TI"
const std::string kFolder = "N\\Oeffdat\\FEN-STD";

Clock FixedClock(std::int64_t time) {
    return [time] { return time; };
}

std::string BlockEntry(int kind, int number, const std::string& record) {
    std::string slot;
    EXPECT_TRUE(FormatBlockEntry(kind, number, record.data(), slot));
    return slot;
}

// The block table after stamping with timeCode: the header time and
// characters 2 to 7 of the first `stamped` block codes replaced, nothing else.
std::string Stamped(std::string table, std::uint32_t time, const std::string& timeCode, std::size_t stamped) {
    using namespace kivnative::layout;
    table.replace(0, kHeaderSize, Header(table.substr(0, kTimeAt).c_str(), time));
    for (std::size_t n = 0; n < stamped; ++n) table.replace(kHeaderSize + n * kRecordSize + kTimeCodeAt, 6, timeCode);
    return table;
}

}  // namespace

TEST(EncodeBase38, DigitsAndWidth) {
    EXPECT_EQ("000000", EncodeBase38(0, 6));
    EXPECT_EQ("00000_", EncodeBase38(37, 6));
    EXPECT_EQ("000010", EncodeBase38(38, 6));
    EXPECT_EQ("00000-", EncodeBase38(36, 6));
    EXPECT_EQ("00000Z", EncodeBase38(35, 6));
    EXPECT_EQ("CNM8TI", EncodeBase38(1000000000, 6));
    EXPECT_EQ("7", EncodeBase38(7, 1));
    // Six digits last until 38^6 - 1 seconds (the year 2065).
    EXPECT_EQ("______", EncodeBase38(3010936383u, 6));
    EXPECT_FALSE(EncodeBase38(3010936384u, 6));
    EXPECT_EQ("1000000", EncodeBase38(3010936384u, 7));
    EXPECT_FALSE(EncodeBase38(0, 0));
    // Nine digits at most, whatever the width.
    EXPECT_EQ("_________", EncodeBase38(165216101262847ull, 9));  // 38^9 - 1
    EXPECT_FALSE(EncodeBase38(165216101262848ull, 12));
    EXPECT_FALSE(EncodeBase38(~0ull, 20));
}

TEST(FormatBlockEntry, KeyLengthCodeNameAndListedValue) {
    std::string record = Record("Fenster", kCode, 1.5);
    EXPECT_EQ("FENBL1 5005 35 A000000BCDEFGHIJKLMNO|Fenster|1.500", BlockEntry(0, 1, record));
    EXPECT_EQ("TUEBL10 5005 33 A000000BCDEFGHIJKLMNO|Tuer|90.000", BlockEntry(1, 10, Record("Tuer", kCode, 90)));
    EXPECT_EQ("DURBL3 5005 29 A000000BCDEFGHIJKLMNO||-0.125", BlockEntry(2, 3, Record("", kCode, -0.125)));
    EXPECT_EQ("FENBL2 5005 29 A000000BCDEFGHIJKLMNO|F|2.346", BlockEntry(0, 2, Record("F", kCode, 2.3456)));
}

TEST(FormatBlockEntry, RefusesBadRecordsAndArgumentsLeavingTheSlot) {
    std::string slot = "before";
    std::string good = Record("Fenster", kCode, 1.5);
    EXPECT_FALSE(FormatBlockEntry(-1, 1, good.data(), slot));
    EXPECT_FALSE(FormatBlockEntry(3, 1, good.data(), slot));
    EXPECT_FALSE(FormatBlockEntry(0, 0, good.data(), slot));
    EXPECT_FALSE(FormatBlockEntry(0, 11, good.data(), slot));
    EXPECT_FALSE(FormatBlockEntry(0, 1, nullptr, slot));
    // Block code of 20 characters, and of 22 without a terminator.
    EXPECT_FALSE(FormatBlockEntry(0, 1, Record("Fenster", kCode.substr(0, 20), 1).data(), slot));
    EXPECT_FALSE(FormatBlockEntry(0, 1, Record("Fenster", kCode + "P", 1).data(), slot));
    // A name of 15 characters fills its field without a terminator.
    EXPECT_FALSE(FormatBlockEntry(0, 1, Record("ABCDEFGHIJKLMNO", kCode, 1).data(), slot));
    // A line break would split the configuration line.
    EXPECT_FALSE(FormatBlockEntry(0, 1, Record("Fen\nster", kCode, 1).data(), slot));
    EXPECT_FALSE(FormatBlockEntry(0, 1, Record("Fenster", "A000000BCDEFG\rIJKLMNO", 1).data(), slot));
    EXPECT_EQ("before", slot);
}

TEST(FormatBlockEntry, LinesOverFiftyNineCharactersAreNotEntered) {
    std::string slot;
    const std::string name14 = "ABCDEFGHIJKLMN";
    ASSERT_TRUE(FormatBlockEntry(0, 1, Record(name14, kCode, 999.999).data(), slot));
    EXPECT_EQ(59u, slot.size());
    EXPECT_FALSE(FormatBlockEntry(0, 2, Record(name14, kCode, 1000).data(), slot));
    // The tenth key is one character longer.
    ASSERT_TRUE(FormatBlockEntry(0, 10, Record(name14, kCode, 99.999).data(), slot));
    EXPECT_EQ(59u, slot.size());
    EXPECT_FALSE(FormatBlockEntry(0, 10, Record(name14, kCode, 100).data(), slot));
    EXPECT_FALSE(FormatBlockEntry(0, 1, Record("F", kCode, 1e300).data(), slot));
}

TEST(StampOpeningTables, StampsEveryRecordAndEntersTheFirstTen) {
    ScratchFolder scratch;
    std::vector<std::string> records;
    for (int i = 0; i < 12; ++i) records.push_back(Record("Fen" + std::to_string(i + 1), kCode, i + 0.5));
    const std::string tail(100, '\x7f');  // an incomplete 13th record
    WriteKindTables(kFolder, 0, records, tail);
    const std::string before = ReadBytes(TablePath(kFolder, 0, 3));

    BlockSlots slots;
    ASSERT_TRUE(StampOpeningTables(0, kFolder, slots, FixedClock(kTime)));

    for (int t = 0; t < 3; ++t) EXPECT_EQ(Header("TAB", kTime) + "payload", ReadBytes(TablePath(kFolder, 0, t)));
    EXPECT_EQ(Stamped(before, kTime, "CNM8TI", 12), ReadBytes(TablePath(kFolder, 0, 3)));
    EXPECT_EQ("FENBL1 5005 32 ACNM8TIBCDEFGHIJKLMNO|Fen1|0.500", slots[0]);
    EXPECT_EQ("FENBL10 5005 33 ACNM8TIBCDEFGHIJKLMNO|Fen10|9.500", slots[9]);
}

TEST(StampOpeningTables, RecordsWithoutEntryKeepTheOtherNumbers) {
    ScratchFolder scratch;
    std::vector<std::string> records;
    for (int i = 0; i < 6; ++i) records.push_back(Record(i == 4 ? "ABCDEFGHIJKLMNO" : "B", kCode, 1));
    WriteKindTables(kFolder, 1, records);
    const std::string before = ReadBytes(TablePath(kFolder, 1, 3));

    BlockSlots slots;
    ASSERT_TRUE(StampOpeningTables(1, kFolder, slots, FixedClock(kTime)));
    EXPECT_EQ(Stamped(before, kTime, "CNM8TI", 6), ReadBytes(TablePath(kFolder, 1, 3)));
    EXPECT_TRUE(slots[4].empty());
    EXPECT_EQ(0u, slots[5].find("TUEBL6 "));
    EXPECT_TRUE(slots[6].empty());
}

TEST(StampOpeningTables, MissingOrShortTablesStopTheKind) {
    ScratchFolder scratch;
    WriteKindTables(kFolder, 0, {Record("F", kCode, 1)});
    std::remove(TablePath(kFolder, 0, 1).c_str());  // EINBAU
    const std::string waende = ReadBytes(TablePath(kFolder, 0, 2));
    const std::string block = ReadBytes(TablePath(kFolder, 0, 3));
    BlockSlots slots;
    EXPECT_FALSE(StampOpeningTables(0, kFolder, slots, FixedClock(kTime)));
    EXPECT_EQ(kTime, HeaderTime(ReadBytes(TablePath(kFolder, 0, 0))));  // before the gap: stamped
    EXPECT_EQ(waende, ReadBytes(TablePath(kFolder, 0, 2)));
    EXPECT_EQ(block, ReadBytes(TablePath(kFolder, 0, 3)));
    EXPECT_TRUE(slots[0].empty());

    WriteBytes(TablePath(kFolder, 0, 0), std::string("TYP\0\0\0\1\2\3", 9));  // one byte short
    EXPECT_FALSE(StampOpeningTables(0, kFolder, slots, FixedClock(kTime)));
    EXPECT_EQ(std::string("TYP\0\0\0\1\2\3", 9), ReadBytes(TablePath(kFolder, 0, 0)));
    EXPECT_FALSE(StampOpeningTables(0, "N\\Missing", slots, FixedClock(kTime)));
}

TEST(StampOpeningTables, BlockTableWithoutWholeRecordsFailsAfterTheHeaders) {
    ScratchFolder scratch;
    WriteKindTables(kFolder, 2, {}, std::string(146, 'r'));
    BlockSlots slots;
    EXPECT_FALSE(StampOpeningTables(2, kFolder, slots, FixedClock(kTime)));
    for (int t = 0; t < 4; ++t) EXPECT_EQ(kTime, HeaderTime(ReadBytes(TablePath(kFolder, 2, t))));
    EXPECT_EQ(Header("BLK", kTime) + std::string(146, 'r'), ReadBytes(TablePath(kFolder, 2, 3)));
}

// Large tables are stamped a piece at a time: a bad code in a later piece stops there too.
TEST(StampOpeningTables, BadBlockCodeStopsWithEarlierRecordsStamped) {
    struct Case {
        std::size_t records, bad;  // bad == records: none
    };
    for (const Case& c : {Case{4, 2}, Case{1100, 700}, Case{1100, 1100}}) {
        SCOPED_TRACE(c.bad);
        ScratchFolder scratch;
        std::vector<std::string> records;
        for (std::size_t n = 0; n < c.records; ++n)
            records.push_back(Record("R" + std::to_string(n), n == c.bad ? kCode.substr(0, 20) : kCode, 1));
        WriteKindTables(kFolder, 0, records, "tail");
        const std::string before = ReadBytes(TablePath(kFolder, 0, 3));
        BlockSlots slots;
        EXPECT_EQ(c.bad == c.records, StampOpeningTables(0, kFolder, slots, FixedClock(kTime)));
        EXPECT_EQ(Stamped(before, kTime, "CNM8TI", c.bad), ReadBytes(TablePath(kFolder, 0, 3)));
        EXPECT_EQ("FENBL2 5005 30 ACNM8TIBCDEFGHIJKLMNO|R1|1.000", slots[1]);
    }
}

TEST(StampOpeningTables, TimesPast2038StampAndPast2065FailBeforeAnyTable) {
    ScratchFolder scratch;
    WriteKindTables(kFolder, 0, {Record("A", kCode, 1)});
    const std::string before = ReadBytes(TablePath(kFolder, 0, 3));
    const std::uint32_t after2038 = 2147483648u + 5;
    BlockSlots slots;
    ASSERT_TRUE(StampOpeningTables(0, kFolder, slots, FixedClock(after2038)));
    EXPECT_EQ(Stamped(before, after2038, *EncodeBase38(after2038, 6), 1), ReadBytes(TablePath(kFolder, 0, 3)));

    const std::string stamped = ReadBytes(TablePath(kFolder, 0, 3));
    for (std::int64_t bad : {std::int64_t{3010936384}, std::int64_t{-1}, std::int64_t{1} << 32}) {
        EXPECT_FALSE(StampOpeningTables(0, kFolder, slots, FixedClock(bad)));
        EXPECT_EQ(after2038, HeaderTime(ReadBytes(TablePath(kFolder, 0, 0))));
        EXPECT_EQ(stamped, ReadBytes(TablePath(kFolder, 0, 3)));
    }
}
