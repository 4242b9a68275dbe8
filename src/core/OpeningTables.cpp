// Opening tables: base-38 time code, block entries, stamping headers and block records.
#include "core/OpeningTables.h"

#include "core/ByteFile.h"
#include "core/ConfigFile.h"
#include "core/Platform.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <utility>

namespace kiv::core {

const OpeningKind kOpeningKinds[kOpeningKindCount] = {
    {"\\FEN-STD", "F-", "FENBL", "FEN125_"},
    {"\\TUE-STD", "T-", "TUEBL", "TUE125_"},
    {"\\DUR-STD", "D-", "DURBL", "DUR125_"},
};

const char* const kTableNames[kTableCount] = {"TYP.DAT", "EINBAU.DAT", "WAENDE.DAT", "BLOCK.DAT"};

namespace {

constexpr char kBase38Digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-_";
constexpr std::size_t kMaxBase38Digits = 9;
// Block records read, stamped and written back at a time: about 250 KB, below the
// size from which the Windows heap takes fresh pages from the system for each block.
constexpr std::size_t kRecordsPerPiece = 1700;

// Length of a zero-terminated text field that may lack its terminator.
std::size_t FieldLength(const char* field, std::size_t size) {
    std::size_t length = 0;
    while (length < size && field[length] != '\0') ++length;
    return length;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

double ReadLittleEndianDouble(const char* bytes) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= std::uint64_t{static_cast<unsigned char>(bytes[i])} << (8 * i);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void PutHeaderTime(std::string& header, std::uint32_t time) {
    for (std::size_t i = 0; i < 4; ++i) header[table::kTimeOffset + i] = static_cast<char>((time >> (8 * i)) & 0xFF);
}

// Puts time into the header of the table at path, in one open for update. False when the
// header cannot be read; one that cannot be written back keeps its old time.
bool StampHeader(const std::string& path, std::uint32_t time) {
    bool stamped = false;
    (void)EditInPlace(path, 0, table::kHeaderSize, [&](std::string& piece) {
        if (stamped || piece.size() < table::kHeaderSize) return std::size_t{0};  // the header only
        PutHeaderTime(piece, time);
        stamped = true;
        return piece.size();
    });
    std::string header;
    return stamped || ReadPrefix(path, table::kHeaderSize, header);
}

// Whether a block code field holds exactly 21 characters: none of the first 21 bytes
// is zero and the 22nd is. A zero byte test on three overlapping eight-byte words,
// since stamping asks this of every record.
bool IsWholeBlockCode(const char* code) {
    static_assert(table::kCodeLength >= 16 && table::kCodeLength <= 24 && table::kCodeField > table::kCodeLength);
    constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHighBits = 0x8080808080808080ull;
    if (code[table::kCodeLength] != '\0') return false;
    for (std::size_t at : {std::size_t{0}, std::size_t{8}, table::kCodeLength - 8}) {
        std::uint64_t word;
        std::memcpy(&word, code + at, sizeof word);
        if ((word - kOnes) & ~word & kHighBits) return false;
    }
    return true;
}

// "%.3lf" without the C runtime's locale: a setup host may have set one
// whose decimal separator is a comma.
std::string FormatListedValue(double value) {
    char text[400];  // room for the widest double in fixed notation
    std::to_chars_result result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
    return std::string(text, result.ptr);
}

// Stamps count records in memory, numbered from first (counted from 0 in the
// table), up to the first block code that is not 21 characters long; answers
// how many were stamped.
std::size_t StampRecords(int kind, char* records, std::size_t count, std::size_t first, std::string_view timeCode,
                         BlockSlots& slots) {
    for (std::size_t n = 0; n < count; ++n) {
        char* record = records + n * table::kRecordSize;
        char* code = record + table::kCodeOffset;
        if (!IsWholeBlockCode(code)) return n;
        std::memcpy(code + table::kTimeCodeOffset, timeCode.data(), table::kTimeCodeWidth);
        // A refused record keeps its slot empty; the others keep their numbers.
        if (first + n < static_cast<std::size_t>(kBlockSlotCount))
            FormatBlockEntry(kind, static_cast<int>(first + n) + 1, record, slots[first + n]);
    }
    return count;
}

// Stamps a block table in one open for update: time goes into its header, the
// six-character time code into characters 2 to 7 of each whole record's block
// code, and the first ten records fill the slots. False when the table cannot
// be opened for update, is shorter than its header, holds no whole record, or
// a block code is not 21 characters long (the records before it stay stamped).
bool StampBlockTable(int kind, const std::string& path, std::uint32_t time, std::string_view timeCode,
                     BlockSlots& slots) {
    std::size_t whole = 0;  // records handed so far
    bool complete = true;
    // Bytes after the last whole record are left as they are.
    bool written = EditInPlace(
        path, table::kHeaderSize, kRecordsPerPiece * table::kRecordSize,
        [&](std::string& piece) {
            const std::size_t count = piece.size() / table::kRecordSize, first = whole;
            const std::size_t stamped = StampRecords(kind, &piece[0], count, first, timeCode, slots);
            whole += count;
            complete = stamped == count;
            return stamped * table::kRecordSize;
        },
        [&](std::string& header) { PutHeaderTime(header, time); });
    return written && whole > 0 && complete;
}

}  // namespace

std::int64_t SystemClock() { return platform::NowSeconds(); }

std::optional<std::string> EncodeBase38(std::uint64_t value, std::size_t width) {
    char digits[kMaxBase38Digits];
    std::size_t count = 0;
    do {
        if (count == kMaxBase38Digits) return std::nullopt;
        digits[count++] = kBase38Digits[value % 38];
        value /= 38;
    } while (value != 0);
    if (count > width) return std::nullopt;
    std::string text(width - count, '0');
    while (count > 0) text += digits[--count];
    return text;
}

bool FormatBlockEntry(int kind, int number, const char* record, std::string& slot) {
    if (kind < 0 || kind >= kOpeningKindCount || number < 1 || number > kBlockSlotCount || record == nullptr)
        return false;
    std::string_view code(record + table::kCodeOffset, FieldLength(record + table::kCodeOffset, table::kCodeField));
    std::string_view name(record + table::kNameOffset, FieldLength(record + table::kNameOffset, table::kNameField));
    // A line break would split the entry into two configuration lines.
    if (code.size() != table::kCodeLength || name.size() > table::kMaxNameLength || HasLineBreak(code) ||
        HasLineBreak(name))
        return false;
    std::string value;
    value.append(code).append("|").append(name).append("|");
    value.append(FormatListedValue(ReadLittleEndianDouble(record + table::kListedValueOffset)));
    std::string line = FormatConfigEntry(kOpeningKinds[kind].blockKeyPrefix + std::to_string(number), value);
    if (line.size() > kMaxBlockEntryLength) return false;
    slot = std::move(line);
    return true;
}

std::string OpeningTablePath(int kind, const std::string& folder, int table) {
    return folder + "\\" + kOpeningKinds[kind].tablePrefix + kTableNames[table];
}

bool StampOpeningTables(int kind, const std::string& folder, BlockSlots& slots, const Clock& clock) {
    if (kind < 0 || kind >= kOpeningKindCount) return false;
    std::int64_t now = clock();
    if (now < 0 || now > std::numeric_limits<std::uint32_t>::max()) return false;
    const std::optional<std::string> timeCode = EncodeBase38(static_cast<std::uint64_t>(now), table::kTimeCodeWidth);
    if (!timeCode) return false;
    auto time = static_cast<std::uint32_t>(now);
    for (int t = 0; t < kTableCount - 1; ++t)
        if (!StampHeader(OpeningTablePath(kind, folder, t), time)) return false;
    return StampBlockTable(kind, OpeningTablePath(kind, folder, kTableCount - 1), time, *timeCode, slots);
}

}  // namespace kiv::core
