// Times RewriteConfigFile on 1,000,000 lines and StampOpeningTables on 100,000 block records,
// each against a plain read and write of the same bytes in the same run.
#include "Compare.h"
#include "upgrade/ConfigRewrite.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

using namespace kiv::upgrade;
using kivbench::Compare;

namespace {

constexpr int kRounds = 7;

void WriteBytes(const char* path, const std::string& bytes, const char* mode) {
    std::FILE* file = std::fopen(path, mode);
    if (file == nullptr) std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

std::string ReadBytes(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) std::abort();
    std::fseek(file, 0, SEEK_END);
    std::string bytes(static_cast<std::size_t>(std::ftell(file)), '\0');
    std::fseek(file, 0, SEEK_SET);
    if (std::fread(&bytes[0], 1, bytes.size(), file) != bytes.size()) std::abort();
    std::fclose(file);
    return bytes;
}

std::string ConfigFile(int lines) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(lines) * 44);
    const char* const keys[] = {"FEN125_1", "TUE125_3", "BODENDIR", "BIBHPT", "FENBL10"};
    for (int i = 0; i < lines; ++i) {
        // Now and then a line that an entry replaces; the rest are other settings.
        if (i % 200000 == 99999)
            bytes += std::string(keys[(i / 200000) % 5]) + " 5005 11 C:\\Old\\Path\r\n";
        else
            bytes += "SETTING" + std::to_string(i) + " 5005 18 C:\\Dorva AT\\Value " + std::to_string(i % 10) + "\r\n";
    }
    return bytes;
}

std::string BlockTable(int records) {
    std::string bytes("BLK\0\0\0\0\0\0\0", 10);
    std::string record(147, '\x33');
    std::memcpy(&record[4], "Fenster\0", 8);
    std::memcpy(&record[19], "A000000BCDEFGHIJKLMNO\0", 22);
    double value = 1.5;
    std::memcpy(&record[89], &value, sizeof value);
    for (int i = 0; i < records; ++i) bytes += record;
    return bytes;
}

}  // namespace

int main() {
    char pattern[] = "/tmp/kivbench.XXXXXX";
    if (::mkdtemp(pattern) == nullptr || ::chdir(pattern) != 0) return 1;

    const std::string config = ConfigFile(1000000);
    WriteBytes("Arch.Cfg", config, "wb");
    RewriteInputs inputs;
    inputs.libraryDir = "N\\Bib";
    inputs.openingDataDir = "N\\Oeffdat";
    inputs.blocksDir = "N\\Blocks";
    inputs.openingTablesTakenOver = true;
    Compare("rewrite, 1,000,000 lines", kRounds, [] { WriteBytes("Copy.Cfg", ReadBytes("Arch.Cfg"), "wb"); },
            [&] { RewriteConfigFile("Arch.Cfg", 0, inputs); });

    const std::string folder = "N\\Oeffdat\\FEN-STD";
    for (const char* name : {"F-TYP.DAT", "F-EINBAU.DAT", "F-WAENDE.DAT"})
        WriteBytes((folder + "\\" + name).c_str(), std::string("TAB\0\0\0\0\0\0\0", 10), "wb");
    const std::string blockPath = folder + "\\F-BLOCK.DAT";
    WriteBytes(blockPath.c_str(), BlockTable(100000), "wb");
    BlockSlots slots;
    Compare(
        "stamp, 100,000 block records", kRounds,
        [&] { WriteBytes(blockPath.c_str(), ReadBytes(blockPath.c_str()), "r+b"); },
        [&] { StampOpeningTables(0, folder, slots, SystemClock); });

    std::error_code ignored;
    std::filesystem::remove_all(pattern, ignored);
    return 0;
}
