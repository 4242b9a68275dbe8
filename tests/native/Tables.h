// Opening-table bytes for tests: headers and block records (no platform API).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace kivnative {

// The block record layout as the tables hold it, written out here rather than taken from the
// library, so that a wrong offset there fails the tests instead of moving both sides alike.
namespace layout {
constexpr std::size_t kHeaderSize = 10, kTimeAt = 6;
constexpr std::size_t kRecordSize = 147, kNameAt = 4, kNameField = 15, kCodeAt = 19, kCodeField = 22;
constexpr std::size_t kTimeCodeAt = kCodeAt + 1, kListedValueAt = 89;
}  // namespace layout

// A table header: the tag, zero-filled to six bytes, and a little-endian time.
inline std::string Header(const std::string& tag, std::uint32_t time) {
    std::string header(tag);
    header.resize(6, '\0');
    for (int i = 0; i < 4; ++i) header += static_cast<char>((time >> (8 * i)) & 0xFF);
    return header;
}

inline std::uint32_t HeaderTime(const std::string& table) {
    std::uint32_t time = 0;
    for (std::size_t i = 0; i < 4; ++i)
        time |= std::uint32_t{static_cast<unsigned char>(table[layout::kTimeAt + i])} << (8 * i);
    return time;
}

// A block record whose uninterpreted fields hold a byte pattern, so that a
// change anywhere shows.
inline std::string Record(const std::string& name, const std::string& code, double listedValue) {
    std::string record(layout::kRecordSize, '\0');
    for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<char>(0xA0 + i % 31);
    std::string nameField(name);
    nameField.resize(layout::kNameField, '\0');
    record.replace(layout::kNameAt, nameField.size(), nameField);
    std::string codeField(code);
    codeField.resize(layout::kCodeField, '\0');
    record.replace(layout::kCodeAt, codeField.size(), codeField);
    std::memcpy(&record[layout::kListedValueAt], &listedValue, sizeof listedValue);
    return record;
}

}  // namespace kivnative
