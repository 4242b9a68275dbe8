// Scratch folder and files for the native core tests.
#pragma once

#include "Tables.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace kivnative {

// A fresh folder that is the current folder while the test runs, so that the
// core's backslash paths ("N\Oeffdat\FEN-STD\F-TYP.DAT") are plain file names in it.
class ScratchFolder {
public:
    ScratchFolder() {
        char pattern[] = "/tmp/kivnative.XXXXXX";
        if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp");
        path_ = pattern;
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// folder + "\\" + prefix + name: the windows', doors' and passages' tables, the block table last.
inline std::string TablePath(const std::string& folder, int kind, int table) {
    const char* const prefixes[] = {"F-", "T-", "D-"};
    const char* const names[] = {"TYP.DAT", "EINBAU.DAT", "WAENDE.DAT", "BLOCK.DAT"};
    return folder + "\\" + prefixes[kind] + names[table];
}

// The four tables of a kind: three header-only ones with some payload, and a
// block table of the given records followed by tail.
inline void WriteKindTables(const std::string& folder, int kind, const std::vector<std::string>& records,
                            const std::string& tail = std::string()) {
    for (int t = 0; t < 3; ++t) WriteBytes(TablePath(folder, kind, t), Header("TAB", 7) + "payload");
    std::string block = Header("BLK", 7);
    for (const std::string& record : records) block += record;
    WriteBytes(TablePath(folder, kind, 3), block + tail);
}

}  // namespace kivnative
