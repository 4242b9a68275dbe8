// Times, under Wine and through KivForIS55.dll: SaveBeforeFilesCopy on 2,000 files (200 MB)
// against plain CopyFileA loops; CreateUpdateManagerATP rewriting a 36 MB Arch.Cfg against the
// least an atomic rewrite of the same bytes needs; CreateUpdateManager stamping three block tables
// of 100,000 records against a plain read and in-place write of the same files; all in the same
// run. And the DLL's load plus unload.
#include "Compare.h"
#include "Workloads.h"
#include "core/OpeningTables.h"
#include "core/SaveLists.h"
#include "win32/FileSystem.h"
#include "win32/Handles.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kFiles = 2000;
constexpr std::size_t kFileSize = 100000;  // 2,000 files: 200 MB in all
constexpr int kRounds = 5;
constexpr int kFileRounds = 9;  // the rewrite and the stamping take a fraction of a second
constexpr int kLoads = 200;
constexpr int kConfigLines = 820000;  // 36 MB
constexpr int kBlockRecords = 100000;

using SaveFunction = int(__stdcall*)(const char*, const char*);
using FolderFunction = int(__stdcall*)(const char*);
using UpdateFunction = int(__stdcall*)(const char*, int);

const char* const kKindFolders[] = {"FEN-STD", "TUE-STD", "DUR-STD"};
const char* const kKindPrefixes[] = {"F-", "T-", "D-"};
const char* const kBlockKeyPrefixes[] = {"FENBL", "TUEBL", "DURBL"};
const char* const kFolderKeyPrefixes[] = {"FEN125_", "TUE125_", "DUR125_"};
const char* const kHeaderTables[] = {"TYP.DAT", "EINBAU.DAT", "WAENDE.DAT"};

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "kiv_wine_bench: %s (error %lu)\n", what.c_str(), ::GetLastError());
    std::exit(1);
}

void WriteBytes(const std::string& path, const std::string& bytes, DWORD disposition = CREATE_ALWAYS) {
    kiv::UniqueFile file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        Fail("cannot write " + path);
}

// Written over the file in place and flushed: a flush that the library times then waits for no
// write of the benchmark's own, as it would for a file written anew.
void RestoreInPlace(const std::string& path, const std::string& bytes) {
    kiv::UniqueFile file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size() || !::SetEndOfFile(file.get()) || !::FlushFileBuffers(file.get()))
        Fail("cannot restore " + path);
}

std::string ReadBytes(const std::string& path) {
    kiv::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD high = 0;
    DWORD size = file ? ::GetFileSize(file.get(), &high) : 0;
    std::string bytes(size, '\0');
    DWORD got = 0;
    if (!file || high != 0 || !::ReadFile(file.get(), &bytes[0], size, &got, nullptr) || got != size)
        Fail("cannot read " + path);
    return bytes;
}

// The least an atomic rewrite needs: a fresh buffer, the file read into it, a new file beside it
// written and flushed (as the library flushes, so that a power loss leaves the old file or the
// new one), then put in the file's place.
void AtomicRewrite(const std::string& path, const std::string& beside) {
    kiv::UniqueFile in(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD high = 0;
    const DWORD size = in ? ::GetFileSize(in.get(), &high) : 0;
    std::unique_ptr<char[]> buffer(new char[size]);
    DWORD got = 0;
    if (!in || high != 0 || !::ReadFile(in.get(), buffer.get(), size, &got, nullptr) || got != size)
        Fail("cannot read " + path);
    in.reset();
    kiv::UniqueFile out(
        ::CreateFileA(beside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!out || !::WriteFile(out.get(), buffer.get(), size, &written, nullptr) || written != size ||
        !::FlushFileBuffers(out.get()))
        Fail("cannot write " + beside);
    out.reset();
    if (!::MoveFileExA(beside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) Fail("cannot replace " + path);
}

// The plain baseline of the stamping: each file read whole into its buffer, allocated before, and
// written back in place through the same handle.
void ReadAndWriteInPlace(const std::vector<std::string>& paths, std::vector<std::string>& buffers) {
    for (std::size_t i = 0; i < paths.size(); ++i) {
        kiv::UniqueFile file(::CreateFileA(paths[i].c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        std::string& bytes = buffers[i];
        const DWORD size = static_cast<DWORD>(bytes.size());
        DWORD done = 0;
        if (!file || !::ReadFile(file.get(), &bytes[0], size, &done, nullptr) || done != size ||
            ::SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN) != 0 ||
            !::WriteFile(file.get(), bytes.data(), size, &done, nullptr) || done != size)
            Fail("cannot read and write " + paths[i]);
    }
}

void MakeFolder(const std::string& folder) {
    if (!kiv::file::CreateFolder(folder)) Fail("cannot create " + folder);
}

template <typename Function>
Function Export(const kiv::UniqueModule& module, const char* name) {
    // Through void*: a direct cast between function pointer types draws -Wcast-function-type.
    void* address = module ? reinterpret_cast<void*>(::GetProcAddress(module.get(), name)) : nullptr;
    if (address == nullptr) Fail(std::string("no ") + name);
    return reinterpret_cast<Function>(address);
}

std::int64_t SecondsSince1970() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    std::uint64_t ticks = (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / 10000000 - 11644473600ULL);
}

std::uint32_t DecodeBase38(const std::string& digits) {
    const std::string alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-_";
    std::uint32_t value = 0;
    for (char c : digits) value = value * 38 + static_cast<std::uint32_t>(alphabet.find(c));
    return value;
}

std::string Entry(const std::string& key, const std::string& value) {
    return key + " 5005 " + std::to_string(value.size()) + " " + value + "\r\n";
}

int CountFiles(const std::string& folder) {
    int count = 0;
    std::vector<kiv::file::Entry> entries;
    (void)kiv::file::List(folder + "\\*.*", entries);
    for (const kiv::file::Entry& entry : entries)
        if (!entry.isDirectory) ++count;
    return count;
}

void RemoveFolder(const std::string& folder) {
    std::vector<kiv::file::Entry> entries;
    (void)kiv::file::List(folder + "\\*.*", entries);
    for (const kiv::file::Entry& entry : entries) {
        if (entry.name == "." || entry.name == "..") continue;
        if (entry.isDirectory)
            RemoveFolder(folder + "\\" + entry.name);
        else
            (void)kiv::file::Delete(folder + "\\" + entry.name);
    }
    ::RemoveDirectoryA(folder.c_str());
}

// Names of no replaceable kind, so that saving copies every file and deletes none.
std::vector<std::string> MakeFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::string bytes(kFileSize, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>('A' + i % 23);
    for (int i = 0; i < kFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Plan%04d.dwg", i);
        std::string path = folder + "\\" + name;
        if (kiv::core::IsReplaceableKind(path)) Fail(path + " is of a replaceable kind");
        bytes.replace(0, 4, name + 4, 4);  // the digits: no two files alike
        WriteBytes(path, bytes);
        names.push_back(name);
    }
    return names;
}

void LoadAndUnload(const char* dll, const char* what) {
    auto once = [dll] {
        kiv::UniqueModule module(::LoadLibraryA(dll));
        if (!module) Fail(std::string("cannot load ") + dll);
    };
    once();
    double ms = kivbench::Milliseconds([&] {
        for (int i = 0; i < kLoads; ++i) once();
    });
    std::printf("%-52s %7.3f ms (mean of %d)\n", what, ms / kLoads, kLoads);
}

// A setup program has the DLL's system imports loaded already, so that a load maps only the DLL.
std::vector<kiv::UniqueModule> LoadSystemImports() {
    std::vector<kiv::UniqueModule> modules;
    for (const char* name : {"user32.dll", "gdi32.dll", "comctl32.dll", "advapi32.dll"}) {
        modules.emplace_back(::LoadLibraryA(name));
        if (!modules.back()) Fail(std::string("cannot load ") + name);
    }
    return modules;
}

void SaveAgainstCopyLoop(const char* dll, const std::string& folder) {
    // Loaded after the load timing, so that every timed load there was a real one.
    kiv::UniqueModule module(::LoadLibraryA(dll));
    auto save = Export<SaveFunction>(module, "SaveBeforeFilesCopy");
    MakeFolder(folder);
    const std::vector<std::string> names = MakeFiles(folder);
    const std::string copyFolder = folder + "\\Copy", saveFolder = folder + "\\Save1";

    auto copyLoop = [&](BOOL failIfExists) {
        return [&, failIfExists] {
            MakeFolder(copyFolder);
            for (const std::string& name : names)
                if (!::CopyFileA((folder + "\\" + name).c_str(), (copyFolder + "\\" + name).c_str(), failIfExists))
                    Fail("cannot copy " + name);
        };
    };
    auto saveAll = [&] {
        if (save(folder.c_str(), folder.c_str()) != 1) Fail("SaveBeforeFilesCopy failed");
    };
    auto tidy = [&] {
        // Each timing left exactly one full copy: in Copy or in Save1.
        if (CountFiles(copyFolder) + CountFiles(saveFolder) != kFiles) Fail("a copy is incomplete");
        RemoveFolder(copyFolder);
        RemoveFolder(saveFolder);
    };
    // Wine's overwriting CopyFileA first looks for the destination (a directory scan when it
    // is missing); the library copies into its new save folder without that look-up.
    kivbench::Compare("SaveBeforeFilesCopy vs CopyFileA loop, 2,000 files", kRounds, copyLoop(FALSE), saveAll, tidy);
    kivbench::Compare("SaveBeforeFilesCopy vs CopyFileA loop, no overwrite", kRounds, copyLoop(TRUE), saveAll, tidy);
    RemoveFolder(folder);
}

// Loads the DLL afresh (opening-data flag clear), makes folder and its Manager, announces Manager
// as the new manager folder, and hands back the update manager export named update.
UpdateFunction LoadForUpdate(const char* dll, kiv::UniqueModule& module, const std::string& folder,
                             const char* update) {
    module.reset(::LoadLibraryA(dll));
    MakeFolder(folder);
    MakeFolder(folder + "\\Manager");
    Export<FolderFunction>(module, "SetNewManagerDir")((folder + "\\Manager").c_str());  // no status to check
    return Export<UpdateFunction>(module, update);
}

// Variant 1 enters the three kinds' folder entries, all holding the opening-data folder; each
// replaces the first line of its key, and the generated file holds FEN125_1 and TUE125_3.
void RewriteAgainstReadWrite(const char* dll, const std::string& folder) {
    kiv::UniqueModule module;
    auto rewrite = LoadForUpdate(dll, module, folder, "CreateUpdateManagerATP");
    const std::string config = folder + "\\Manager\\Arch.Cfg";
    const std::string copy = folder + "\\Copy.Cfg";  // outside Manager, whose every .cfg gets rewritten
    const std::string beside = folder + "\\Copy.new";
    const std::string original = kivbench::ConfigFile(kConfigLines);
    WriteBytes(config, original);
    WriteBytes(copy, original);

    std::string expected = original, entries;
    int replaced = 0;
    for (const char* prefix : kFolderKeyPrefixes)
        for (int n = 1; n <= 4; ++n) {
            std::string key = prefix + std::to_string(n);
            std::size_t line = expected.find("\r\n" + key + " ");
            if (line != std::string::npos) {
                expected.erase(line + 2, expected.find('\n', line + 2) - line - 1);
                ++replaced;
            }
            entries += Entry(key, folder + "\\Oeffdat");
        }
    expected += entries;
    if (replaced != 2) Fail("the workload lacks the lines that the rewrite replaces");

    kivbench::Compare(
        "CreateUpdateManagerATP vs atomic rewrite, 36 MB", kFileRounds, [&] { AtomicRewrite(copy, beside); },
        [&] {
            if (rewrite(folder.c_str(), 0) != 1) Fail("CreateUpdateManagerATP failed");
        },
        [] {},
        [&] {
            if (ReadBytes(config) != expected) Fail("the rewritten Arch.Cfg is not as expected");
            RestoreInPlace(config, original);
        });
    RemoveFolder(folder);
}

// Variant 0 with the opening tables not taken over stamps every record of the three kinds'
// block tables and the headers of their twelve tables, and enters ten block entries per kind.
void StampAgainstReadWrite(const char* dll, const std::string& folder) {
    kiv::UniqueModule module;
    auto stamp = LoadForUpdate(dll, module, folder, "CreateUpdateManager");
    const std::string config = folder + "\\Manager\\Arch.Cfg";
    MakeFolder(folder + "\\Oeffdat");
    const std::string blockTable = kivbench::BlockTable(kBlockRecords);
    std::vector<std::string> tablePrefixes, blockPaths;
    for (int kind = 0; kind < 3; ++kind) {
        std::string kindFolder = folder + "\\Oeffdat\\" + kKindFolders[kind];
        MakeFolder(kindFolder);
        tablePrefixes.push_back(kindFolder + "\\" + kKindPrefixes[kind]);
        for (const char* table : kHeaderTables)
            WriteBytes(tablePrefixes[kind] + table, kivnative::Header("TAB", 0) + "rest");
        blockPaths.push_back(tablePrefixes[kind] + "BLOCK.DAT");
        WriteBytes(blockPaths[kind], blockTable);
    }
    const std::string settings = kivbench::ConfigFile(1000);
    WriteBytes(config, settings);
    std::vector<std::string> buffers(blockPaths.size(), std::string(blockTable.size(), '\0'));

    using namespace kiv::core::table;
    constexpr std::size_t kTimeCodeAt = kHeaderSize + kCodeOffset + kTimeCodeOffset;
    std::int64_t before = 0, after = 0;
    auto check = [&] {
        const std::string entries = ReadBytes(config);
        for (int kind = 0; kind < 3; ++kind) {
            const std::string table = ReadBytes(blockPaths[kind]);
            const std::uint32_t time = kivnative::HeaderTime(table);
            const std::string timeCode = table.substr(kTimeCodeAt, kTimeCodeWidth);
            if (time < before || time > after || DecodeBase38(timeCode) != time)
                Fail("a block table lacks the installation time");
            std::string expected = kivnative::Header("BLK", time) + blockTable.substr(kHeaderSize);
            for (std::size_t at = kTimeCodeAt; at < expected.size(); at += kRecordSize)
                expected.replace(at, kTimeCodeWidth, timeCode);
            if (table != expected) Fail("a block table is not stamped as expected");
            for (const char* name : kHeaderTables)
                if (kivnative::HeaderTime(ReadBytes(tablePrefixes[kind] + name)) != time)
                    Fail(tablePrefixes[kind] + name + " lacks the installation time");
            std::string code = kivbench::kBlockCode;
            code.replace(kTimeCodeOffset, kTimeCodeWidth, timeCode);
            for (int n = 1; n <= 10; ++n)
                if (entries.find(Entry(kBlockKeyPrefixes[kind] + std::to_string(n), code + "|Fenster|1.500")) ==
                    std::string::npos)
                    Fail("Arch.Cfg lacks a block entry");
            // Unstamped again, so that a next run within the same second must stamp to pass.
            RestoreInPlace(blockPaths[kind], blockTable);
        }
        RestoreInPlace(config, settings);
    };
    kivbench::Compare(
        "CreateUpdateManager vs in-place read+write, 3 tables", kFileRounds,
        [&] { ReadAndWriteInPlace(blockPaths, buffers); },
        [&] {
            before = SecondsSince1970();
            if (stamp(folder.c_str(), 0) != 1) Fail("CreateUpdateManager failed");
            after = SecondsSince1970();
        },
        [] {}, check);
    RemoveFolder(folder);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kiv_wine_bench PATH\\KivForIS55.dll [load|rewrite|stamp|save]...\n");
        return 2;
    }
    const char* dll = argv[1];
    // Without names, every benchmark runs.
    auto wanted = [&](const char* name) {
        for (int i = 2; i < argc; ++i)
            if (std::strcmp(argv[i], name) == 0) return true;
        return argc == 2;
    };
    if (wanted("load")) LoadAndUnload(dll, "load + unload, with its system DLLs each time");
    const std::vector<kiv::UniqueModule> imports = LoadSystemImports();
    if (wanted("load")) LoadAndUnload(dll, "load + unload, system DLLs loaded (as in a setup)");
    char temp[MAX_PATH];
    if (::GetTempPathA(MAX_PATH, temp) == 0) Fail("no temporary folder");
    const std::string root = std::string(temp) + "kivbench" + std::to_string(::GetCurrentProcessId());
    MakeFolder(root);
    if (wanted("rewrite")) RewriteAgainstReadWrite(dll, root + "\\Rewrite");
    if (wanted("stamp")) StampAgainstReadWrite(dll, root + "\\Stamp");
    if (wanted("save")) SaveAgainstCopyLoop(dll, root + "\\Save");
    RemoveFolder(root);
    return 0;
}
