// The configuration files and block tables that the native and the Wine benchmarks work on.
#pragma once

#include "../tests/native/Tables.h"

#include <string>

namespace kivbench {

// CR LF lines of 44 bytes or so, each 200,000th from 99,999 on of a key that entries replace.
inline std::string ConfigFile(int lines) {
    const char* const keys[] = {"FEN125_1", "TUE125_3", "BODENDIR", "BIBHPT", "FENBL10"};
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(lines) * 44);
    for (int i = 0; i < lines; ++i) {
        if (i % 200000 == 99999)
            bytes += std::string(keys[(i / 200000) % 5]) + " 5005 11 C:\\Old\\Path\r\n";
        else
            bytes += "SETTING" + std::to_string(i) + " 5005 18 C:\\Dorva AT\\Value " + std::to_string(i % 10) + "\r\n";
    }
    return bytes;
}

constexpr const char* kBlockCode = "A000000BCDEFGHIJKLMNO";

// A header and records of the block "Fenster", all alike.
inline std::string BlockTable(int records) {
    std::string bytes = kivnative::Header("BLK", 0);
    const std::string record = kivnative::Record("Fenster", kBlockCode, 1.5);
    bytes.reserve(bytes.size() + record.size() * static_cast<std::size_t>(records));
    for (int i = 0; i < records; ++i) bytes += record;
    return bytes;
}

}  // namespace kivbench
