// Opening tables: base-38 time code, block entries, stamping headers and block records.
#include "core/OpeningTables.h"

#include "core/ByteFile.h"
#include "core/ConfigFile.h"
#include "core/Platform.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <utility>

namespace kiv::upgrade {

const OpeningKind kOpeningKinds[kOpeningKindCount] = {
    {"\\FEN-STD", "F-", "FENBL", "FEN125_"},
    {"\\TUE-STD", "T-", "TUEBL", "TUE125_"},
    {"\\DUR-STD", "D-", "DURBL", "DUR125_"},
};

const char* const kTableNames[kTableCount] = {"TYP.DAT", "EINBAU.DAT", "WAENDE.DAT", "BLOCK.DAT"};

namespace {

constexpr char kBase38Digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-_";
constexpr std::size_t kMaxBase38Digits = 9;

// Length of a zero-terminated text field that may lack its terminator. A
// plain loop: memchr is an msvcrt.dll import, and stamping calls this per record.
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

// "%.3lf" without the C runtime's locale: a setup host may have set one
// whose decimal separator is a comma.
std::string FormatListedValue(double value) {
    char text[400];  // room for the widest double in fixed notation
    std::to_chars_result result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
    return std::string(text, result.ptr);
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

StampOutcome StampRecords(int kind, char* records, std::size_t count, std::string_view timeCode, BlockSlots& slots) {
    if (timeCode.size() != table::kTimeCodeWidth) return StampOutcome{0, false};
    for (std::size_t n = 0; n < count; ++n) {
        char* record = records + n * table::kRecordSize;
        char* code = record + table::kCodeOffset;
        if (FieldLength(code, table::kCodeField) != table::kCodeLength) return StampOutcome{n, false};
        std::memcpy(code + table::kTimeCodeOffset, timeCode.data(), table::kTimeCodeWidth);
        // A refused record keeps its slot empty; the others keep their numbers.
        if (n < static_cast<std::size_t>(kBlockSlotCount))
            FormatBlockEntry(kind, static_cast<int>(n) + 1, record, slots[n]);
    }
    return StampOutcome{count, true};
}

bool StampBlockRecords(int kind, const std::string& path, std::uint32_t time, BlockSlots& slots) {
    std::optional<std::string> timeCode = EncodeBase38(time, table::kTimeCodeWidth);
    if (!timeCode) return false;
    std::size_t count = 0;
    StampOutcome outcome{0, false};
    // Bytes after the last whole record are left as they are.
    bool written = EditInPlace(path, table::kHeaderSize, [&](std::string& records) {
        count = records.size() / table::kRecordSize;
        if (count > 0) outcome = StampRecords(kind, &records[0], count, *timeCode, slots);
        return outcome.stamped * table::kRecordSize;
    });
    return written && count > 0 && outcome.complete;
}

bool StampOpeningTables(int kind, const std::string& folder, BlockSlots& slots, const Clock& clock) {
    if (kind < 0 || kind >= kOpeningKindCount) return false;
    std::int64_t now = clock();
    if (now < 0 || now > std::numeric_limits<std::uint32_t>::max() ||
        !EncodeBase38(static_cast<std::uint64_t>(now), table::kTimeCodeWidth))
        return false;
    auto time = static_cast<std::uint32_t>(now);
    for (int t = 0; t < kTableCount; ++t) {
        std::string path = folder + "\\" + kOpeningKinds[kind].tablePrefix + kTableNames[t];
        std::string header;
        if (!ReadPrefix(path, table::kHeaderSize, header)) return false;
        PutHeaderTime(header, time);
        // A header that cannot be written back keeps its old time; the kind goes on.
        WriteAt(path, 0, header);
        if (t == kTableCount - 1 && !StampBlockRecords(kind, path, time, slots)) return false;
    }
    return true;
}

}  // namespace kiv::upgrade
