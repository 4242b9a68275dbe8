// Opening-table bytes for tests: headers and block records (no platform API).
#pragma once

#include "core/OpeningTables.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace kivnative {

// A table header: the tag, zero-filled to six bytes, and a little-endian time.
inline std::string Header(const std::string& tag, std::uint32_t time) {
    std::string header(tag);
    header.resize(6, '\0');
    for (int i = 0; i < 4; ++i) header += static_cast<char>((time >> (8 * i)) & 0xFF);
    return header;
}

inline std::uint32_t HeaderTime(const std::string& table) {
    std::uint32_t time = 0;
    for (int i = 0; i < 4; ++i) time |= std::uint32_t{static_cast<unsigned char>(table[6 + i])} << (8 * i);
    return time;
}

// A block record whose uninterpreted fields hold a byte pattern, so that a
// change anywhere shows.
inline std::string Record(const std::string& name, const std::string& code, double listedValue) {
    std::string record(kiv::upgrade::table::kRecordSize, '\0');
    for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<char>(0xA0 + i % 31);
    std::string nameField(name);
    nameField.resize(kiv::upgrade::table::kNameField, '\0');
    record.replace(kiv::upgrade::table::kNameOffset, nameField.size(), nameField);
    std::string codeField(code);
    codeField.resize(kiv::upgrade::table::kCodeField, '\0');
    record.replace(kiv::upgrade::table::kCodeOffset, codeField.size(), codeField);
    std::memcpy(&record[kiv::upgrade::table::kListedValueOffset], &listedValue, sizeof listedValue);
    return record;
}

}  // namespace kivnative
