// Times SaveBeforeFilesCopy on 2,000 files (200 MB) against plain CopyFileA loops over the
// same files in the same run, and the load plus unload of KivForIS55.dll, under Wine.
#include "Compare.h"
#include "frame/FileSystem.h"
#include "frame/Handles.h"
#include "upgrade/SaveLists.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kFiles = 2000;
constexpr std::size_t kFileSize = 100000;  // 2,000 files: 200 MB in all
constexpr int kRounds = 5;
constexpr int kLoads = 200;

using SaveFunction = int(__stdcall*)(const char*, const char*);

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "kiv_wine_bench: %s (error %lu)\n", what.c_str(), ::GetLastError());
    std::exit(1);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    kiv::UniqueFile file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        Fail("cannot write " + path);
}

int CountFiles(const std::string& folder) {
    int count = 0;
    for (const kiv::file::Entry& entry : kiv::file::List(folder + "\\*.*"))
        if (!entry.isDirectory) ++count;
    return count;
}

// A folder with the files directly in it.
void RemoveFolder(const std::string& folder) {
    for (const kiv::file::Entry& entry : kiv::file::List(folder + "\\*.*"))
        if (!entry.isDirectory) kiv::file::Delete(folder + "\\" + entry.name);
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
        if (kiv::upgrade::IsReplaceableKind(path)) Fail(path + " is of a replaceable kind");
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

void SaveAgainstCopyLoop(const char* dll) {
    // Loaded after the load timing, so that every timed load there was a real one.
    kiv::UniqueModule module(::LoadLibraryA(dll));
    // Through void*: a direct cast between function pointer types draws -Wcast-function-type.
    auto save = reinterpret_cast<SaveFunction>(
        module ? reinterpret_cast<void*>(::GetProcAddress(module.get(), "SaveBeforeFilesCopy")) : nullptr);
    if (save == nullptr) Fail(std::string("no SaveBeforeFilesCopy in ") + dll);

    char temp[MAX_PATH];
    if (::GetTempPathA(MAX_PATH, temp) == 0) Fail("no temporary folder");
    const std::string folder = std::string(temp) + "kivbench" + std::to_string(::GetCurrentProcessId());
    if (!kiv::file::CreateFolder(folder)) Fail("cannot create " + folder);
    const std::vector<std::string> names = MakeFiles(folder);
    const std::string copyFolder = folder + "\\Copy", saveFolder = folder + "\\Save1";

    auto copyLoop = [&](BOOL failIfExists) {
        return [&, failIfExists] {
            if (!kiv::file::CreateFolder(copyFolder)) Fail("cannot create " + copyFolder);
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
    kivbench::Compare("SaveBeforeFilesCopy vs CopyFileA loop, 2,000 files", kRounds, copyLoop(FALSE), saveAll,
                      tidy);
    kivbench::Compare("SaveBeforeFilesCopy vs CopyFileA loop, no overwrite", kRounds, copyLoop(TRUE), saveAll,
                      tidy);
    RemoveFolder(folder);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kiv_wine_bench PATH\\KivForIS55.dll\n");
        return 2;
    }
    LoadAndUnload(argv[1], "load + unload, with its system DLLs each time");
    const std::vector<kiv::UniqueModule> imports = LoadSystemImports();
    LoadAndUnload(argv[1], "load + unload, system DLLs loaded (as in a setup)");
    SaveAgainstCopyLoop(argv[1]);
    return 0;
}
