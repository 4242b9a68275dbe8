// Opening tables: the 10-byte table header, the 147-byte block records, the
// base-38 time code, and stamping the tables of one kind of opening.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kiv::core {

struct OpeningKind {
    const char* subFolder;        // below the opening-data folder, standard variant
    const char* tablePrefix;      // "F-": F-TYP.DAT ...
    const char* blockKeyPrefix;   // "FENBL": FENBL1 ... FENBL10
    const char* folderKeyPrefix;  // "FEN125_": FEN125_1 ... FEN125_4
};
constexpr int kOpeningKindCount = 3;
extern const OpeningKind kOpeningKinds[kOpeningKindCount];  // windows, doors, passages

// In handling order; the last one is the kind's block table.
constexpr int kTableCount = 4;
extern const char* const kTableNames[kTableCount];

namespace table {
constexpr std::size_t kHeaderSize = 10;
constexpr std::size_t kTimeOffset = 6;
constexpr std::size_t kRecordSize = 147;
constexpr std::size_t kNameOffset = 4;
constexpr std::size_t kNameField = 15;
constexpr std::size_t kMaxNameLength = 14;
constexpr std::size_t kCodeOffset = 19;
constexpr std::size_t kCodeField = 22;
constexpr std::size_t kCodeLength = 21;
constexpr std::size_t kTimeCodeOffset = 1;  // within the block code
constexpr std::size_t kTimeCodeWidth = 6;
constexpr std::size_t kListedValueOffset = 89;
}  // namespace table

// Block entries of a kind, one per record 1 to 10; an empty slot enters nothing.
constexpr int kBlockSlotCount = 10;
// The longest block entry line that the add-on's 60-byte slots hold.
constexpr std::size_t kMaxBlockEntryLength = 59;
using BlockSlots = std::array<std::string, kBlockSlotCount>;

// Seconds since 1970 (UTC); replaceable so that tests get fixed times.
using Clock = std::function<std::int64_t()>;
std::int64_t SystemClock();

// value in base 38 (digits 0-9, A-Z, '-', '_'), most significant first,
// left-filled with '0' to width; none for more than 9 digits or more than width.
std::optional<std::string> EncodeBase38(std::uint64_t value, std::size_t width);

// "%s 5005 %d %s" with key prefix + number and value "%s|%s|%.3lf" (block
// code, block name, listed value, always with a decimal point) into slot.
// False, slot unchanged, for a bad kind or number, a block code that is not
// 21 characters, a name over 14, a line break in either, or a line over 59.
bool FormatBlockEntry(int kind, int number, const char* record, std::string& slot);

// The path of one of the kind's tables (numbered as kTableNames) in folder.
std::string OpeningTablePath(int kind, const std::string& folder, int table);

// Puts one installation time from clock into the headers of the kind's four
// tables in folder, and stamps and reads the block table's records into slots.
// False when a table is missing or shorter than its header (the tables before
// it keep their new time) or the block records fail; a time that does not fit
// 32 bits or six base-38 digits fails before any table is touched.
bool StampOpeningTables(int kind, const std::string& folder, BlockSlots& slots, const Clock& clock);

}  // namespace kiv::core
