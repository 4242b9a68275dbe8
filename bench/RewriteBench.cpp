// Times RewriteConfigFile on 1,000,000 lines against the least an atomic rewrite of the same bytes
// needs, and StampOpeningTables on 100,000 block records against a plain read and in-place write.
#include "Compare.h"
#include "Workloads.h"
#include "core/ConfigRewrite.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

using namespace kiv::core;
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

// A fresh buffer, the file read into it, a new file beside it written, then renamed into its place.
void AtomicRewrite(const char* path, const char* beside) {
    std::FILE* in = std::fopen(path, "rb");
    if (in == nullptr || std::fseek(in, 0, SEEK_END) != 0) std::abort();
    const auto size = static_cast<std::size_t>(std::ftell(in));
    std::unique_ptr<char[]> buffer(new char[size]);
    std::fseek(in, 0, SEEK_SET);
    if (std::fread(buffer.get(), 1, size, in) != size) std::abort();
    std::fclose(in);
    std::FILE* out = std::fopen(beside, "wb");
    if (out == nullptr || std::fwrite(buffer.get(), 1, size, out) != size || std::fclose(out) != 0 ||
        std::rename(beside, path) != 0)
        std::abort();
}

// Read whole into a buffer allocated before, and written back in place.
void ReadAndWriteInPlace(const char* path, std::string& buffer) {
    std::FILE* file = std::fopen(path, "r+b");
    if (file == nullptr || std::fread(&buffer[0], 1, buffer.size(), file) != buffer.size() ||
        std::fseek(file, 0, SEEK_SET) != 0 || std::fwrite(buffer.data(), 1, buffer.size(), file) != buffer.size())
        std::abort();
    std::fclose(file);
}

}  // namespace

int main() {
    char pattern[] = "/tmp/kivbench.XXXXXX";
    if (::mkdtemp(pattern) == nullptr || ::chdir(pattern) != 0) return 1;

    const std::string config = ConfigFile(1000000);
    WriteBytes("Arch.Cfg", config, "wb");
    WriteBytes("Copy.Cfg", config, "wb");
    RewriteInputs inputs;
    inputs.libraryDir = "N\\Bib";
    inputs.openingDataDir = "N\\Oeffdat";
    inputs.blocksDir = "N\\Blocks";
    inputs.openingDataTakenOver = true;
    Compare(
        "rewrite vs atomic rewrite, 1,000,000 lines", kRounds, [] { AtomicRewrite("Copy.Cfg", "Copy.new"); },
        [&] { RewriteConfigFile("Arch.Cfg", UpdateVariant::Standard, inputs); });

    const std::string folder = "N\\Oeffdat\\FEN-STD";
    for (const char* name : {"F-TYP.DAT", "F-EINBAU.DAT", "F-WAENDE.DAT"})
        WriteBytes((folder + "\\" + name).c_str(), std::string("TAB\0\0\0\0\0\0\0", 10), "wb");
    const std::string blockPath = folder + "\\F-BLOCK.DAT";
    WriteBytes(blockPath.c_str(), BlockTable(100000), "wb");
    BlockSlots slots;
    std::string buffer(ReadBytes(blockPath.c_str()).size(), '\0');
    Compare(
        "stamp vs in-place read+write, 100,000 records", kRounds,
        [&] { ReadAndWriteInPlace(blockPath.c_str(), buffer); },
        [&] { StampOpeningTables(0, folder, slots, SystemClock); });

    std::error_code ignored;
    std::filesystem::remove_all(pattern, ignored);
    return 0;
}
