// libFuzzer target: arbitrary configuration files and window block tables through RewriteConfigFile,
// checked against a plain line-by-line model of the entries and against the tables' untouched bytes.
#include "core/ConfigRewrite.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace kiv::core;

namespace {

constexpr std::uint32_t kFirstTime = 1000000000;
std::string g_folder;

void Check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The model: lines split the slow, obvious way, and entries entered by a walk from the first line.
std::vector<std::string> SplitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n' && bytes[i] != '\r') {
            line += bytes[i];
            continue;
        }
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        lines.push_back(line);
        line.clear();
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

bool HoldsKey(const std::string& line, const std::string& key) {
    if (line.size() <= key.size() || line[key.size()] != ' ') return false;
    for (std::size_t i = 0; i < key.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(line[i])) != std::toupper(static_cast<unsigned char>(key[i])))
            return false;
    return true;
}

std::string ModelRewrite(std::vector<std::string> lines, const std::vector<ConfigEntry>& entries) {
    for (const ConfigEntry& entry : entries) {
        for (auto it = lines.begin(); it != lines.end(); ++it)
            if (HoldsKey(*it, entry.key)) {
                lines.erase(it);
                break;
            }
        lines.push_back(entry.line);
    }
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    return bytes;
}

bool EveryKeyAtMostOnce(const std::vector<std::string>& lines, const std::vector<ConfigEntry>& entries) {
    for (const ConfigEntry& entry : entries) {
        int matches = 0;
        for (const std::string& line : lines) matches += HoldsKey(line, entry.key) ? 1 : 0;
        if (matches > 1) return false;
    }
    return true;
}

// Stamping may change only the header time and characters 2 to 7 of whole records' block codes.
void CheckTableChange(const std::string& before, const std::string& after, bool blockTable) {
    Check(before.size() == after.size(), "a table changed its size");
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] == after[i] || (i >= table::kTimeOffset && i < table::kHeaderSize)) continue;
        std::size_t records =
            before.size() < table::kHeaderSize ? 0 : (before.size() - table::kHeaderSize) / table::kRecordSize;
        std::size_t at = i - table::kHeaderSize;
        bool inCode = blockTable && i >= table::kHeaderSize && at / table::kRecordSize < records &&
                      at % table::kRecordSize >= table::kCodeOffset + table::kTimeCodeOffset &&
                      at % table::kRecordSize < table::kCodeOffset + table::kTimeCodeOffset + table::kTimeCodeWidth;
        Check(inCode, "a table byte outside the time fields changed");
    }
}

struct Tables {
    std::vector<std::string> paths;
    std::vector<std::string> bytes;
    void Snapshot() {
        bytes.clear();
        for (const std::string& path : paths) bytes.push_back(Read(path));
    }
};

RewriteInputs Inputs(bool tablesTakenOver, std::uint32_t time) {
    RewriteInputs inputs;
    inputs.libraryDir = g_folder + "/N\\Bib";
    inputs.openingDataDir = g_folder + "/N\\Oeffdat";
    inputs.blocksDir = g_folder + "/N\\Blocks";
    inputs.openingDataTakenOver = tablesTakenOver;
    inputs.clock = [time] { return static_cast<std::int64_t>(time); };
    return inputs;
}

std::string ValidDoorTable() {
    std::string record(table::kRecordSize, '\x55');
    record.replace(table::kNameOffset, 5, std::string("Tuer\0", 5));
    record.replace(table::kCodeOffset, 22, std::string("T000000ABCDEFGHIJKLMN\0", 22));
    return std::string("BLK\0\0\0\0\0\0\0", 10) + record;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Every run writes a dozen files: memory-backed when the machine has it.
    std::string pattern = std::filesystem::is_directory("/dev/shm") ? "/dev/shm/kivfuzz.XXXXXX" : "/tmp/kivfuzz.XXXXXX";
    if (::mkdtemp(&pattern[0]) == nullptr) std::abort();
    g_folder = pattern;
    std::atexit([] { std::filesystem::remove_all(g_folder); });
    return 0;
}

// Input: a flags byte (bit 0 the ATP variant, bit 1 tables taken over, bit 2 a short
// EINBAU table), two bytes of configuration length, the configuration, then
// the window block table.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const UpdateVariant variant = (data[0] & 1) != 0 ? UpdateVariant::Atp : UpdateVariant::Standard;
    const bool takenOver = (data[0] & 2) != 0;
    const bool shortEinbau = (data[0] & 4) != 0;
    std::size_t configSize = std::min<std::size_t>(data[1] | (data[2] << 8), size - 3);
    const std::string config(reinterpret_cast<const char*>(data) + 3, configSize);
    const std::string blockTable(reinterpret_cast<const char*>(data) + 3 + configSize, size - 3 - configSize);

    std::filesystem::remove_all(g_folder);
    std::filesystem::create_directory(g_folder);
    Tables tables;
    for (int kind = 0; kind < kOpeningKindCount; ++kind) {
        std::string folder =
            g_folder + "/N\\Oeffdat" + (variant == UpdateVariant::Standard ? kOpeningKinds[kind].subFolder : "");
        for (int t = 0; t < kTableCount; ++t) {
            std::string path = folder + "\\" + kOpeningKinds[kind].tablePrefix + kTableNames[t];
            std::string bytes =
                t == 3 ? (kind == 0 ? blockTable : ValidDoorTable()) : std::string("TAB\0\0\0\1\2\3\4 rest", 15);
            if (kind == 0 && t == 1 && shortEinbau) bytes.resize(5);
            Write(path, bytes);
            tables.paths.push_back(path);
        }
    }
    tables.Snapshot();
    const Tables original = tables;
    const std::string path = g_folder + "/Arch.Cfg";
    Write(path, config);

    // First rewrite: the file is the model's result, the tables changed only in their time fields.
    Check(RewriteConfigFile(path.c_str(), variant, Inputs(takenOver, kFirstTime)), "rewrite failed");
    const std::string first = Read(path);
    tables.Snapshot();
    const Tables stamped = tables;
    // Stamping again at the same time changes no byte, and the plan from it holds the entries just made.
    const std::vector<ConfigEntry> firstEntries =
        PlanEntries(variant, Inputs(takenOver, kFirstTime), StampTables(variant, Inputs(takenOver, kFirstTime)));
    tables.Snapshot();
    Check(tables.bytes == stamped.bytes, "stamping twice at one time changed a table");
    Check(first == ModelRewrite(SplitLines(config), firstEntries), "first rewrite differs from the model");
    for (std::size_t i = 0; i < tables.paths.size(); ++i)
        CheckTableChange(original.bytes[i], stamped.bytes[i], i % kTableCount == kTableCount - 1);

    // Second rewrite, one second later.
    Check(RewriteConfigFile(path.c_str(), variant, Inputs(takenOver, kFirstTime + 1)), "rewrite failed");
    const std::string second = Read(path);
    const std::vector<ConfigEntry> secondEntries = PlanEntries(variant, Inputs(takenOver, kFirstTime + 1),
                                                               StampTables(variant, Inputs(takenOver, kFirstTime + 1)));
    Check(second == ModelRewrite(SplitLines(first), secondEntries), "second rewrite differs from the model");
    tables.Snapshot();
    for (std::size_t i = 0; i < tables.paths.size(); ++i)
        CheckTableChange(stamped.bytes[i], tables.bytes[i], i % kTableCount == kTableCount - 1);

    // Unless the file held a key twice, the second rewrite changes nothing but the time code.
    Check(firstEntries.size() == secondEntries.size(), "the second rewrite made other entries");
    if (!EveryKeyAtMostOnce(SplitLines(config), firstEntries)) return 0;
    Check(first.size() == second.size(), "the second rewrite changed the file's size");
    std::size_t firstChange = first.size();
    for (std::size_t i = 0; i < first.size() && firstChange == first.size(); ++i)
        if (first[i] != second[i]) firstChange = i;
    for (std::size_t e = 0; e < firstEntries.size(); ++e) {
        const std::string& a = firstEntries[e].line;
        const std::string& b = secondEntries[e].line;
        Check(a.size() == b.size() && firstEntries[e].key == secondEntries[e].key, "an entry changed its shape");
        std::size_t from = a.size(), to = 0;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i]) {
                from = std::min(from, i);
                to = i;
            }
        Check(from == a.size() || to - from < table::kTimeCodeWidth, "an entry changed beyond its time code");
    }
    // Every change lies in the entered lines at the end of the file.
    std::size_t enteredBytes = 0;
    for (const ConfigEntry& entry : secondEntries) enteredBytes += entry.line.size() + 2;
    Check(firstChange == first.size() || firstChange >= first.size() - enteredBytes, "a kept line changed");
    return 0;
}
