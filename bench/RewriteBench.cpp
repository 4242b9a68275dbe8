// Times RewriteConfigFile on 1,000,000 lines and StampOpeningTables on 100,000 block records,
// each against a plain read and write of the same bytes in the same run.
#include "Compare.h"
#include "Workloads.h"
#include "core/ConfigRewrite.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

using namespace kiv::upgrade;
using kivbench::BlockTable;
using kivbench::Compare;
using kivbench::ConfigFile;

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
    inputs.openingDataTakenOver = true;
    Compare(
        "rewrite, 1,000,000 lines", kRounds, [] { WriteBytes("Copy.Cfg", ReadBytes("Arch.Cfg"), "wb"); },
        [&] { RewriteConfigFile("Arch.Cfg", UpdateVariant::Standard, inputs); });

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
