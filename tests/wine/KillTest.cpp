// Kills a process at random moments while SaveBeforeFilesCopy or CreateUpdateManager runs in it, then checks
// that no user file is lost and that no configuration file is left half written.
#include "support/Library.h"
#include "support/Scratch.h"
#include "support/Tree.h"
#include "support/Upgrade.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace kivtest;

namespace {

using Tree = std::map<std::string, std::string>;

constexpr int kKills = 25;       // spread over each call
constexpr int kAimedKills = 10;  // while a configuration file is written
constexpr int kUndoKills = 30;   // over a whole upgrade in a journal
constexpr DWORD kRunTimeoutMs = 20000;
constexpr UINT kKilledExitCode = 0xDEAD;

// Snapshot paths: a folder's ends in a backslash.
bool IsFolder(const std::string& path) { return !path.empty() && path.back() == '\\'; }

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Where a kill landed: before the export call, inside it, or after it had returned.
enum Moment { kBefore, kDuring, kAfter, kMomentCount };
const char* const kMomentNames[kMomentCount] = {"before", "during", "after"};

class Event {
public:
    explicit Event(const std::string& name) : handle_(::CreateEventA(nullptr, TRUE, FALSE, name.c_str())) {}
    ~Event() { ::CloseHandle(handle_); }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    void Reset() const { ::ResetEvent(handle_); }
    bool IsSet() const { return ::WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

double NowMs() {
    LARGE_INTEGER count, frequency;
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The child program beside the test, started with its arguments and the names of its two events.
class Child {
public:
    explicit Child(std::string arguments)
        : events_("KivKillTest-" + std::to_string(::GetCurrentProcessId())),
          ready_(events_ + "-ready"),
          done_(events_ + "-done"),
          commandLine_("\"" + ProgramFolder() + "\\kiv_kill_child.exe\" " + events_ + " " + arguments) {}

    // A run to its end: when the export was called and when it returned, in ms after the start.
    struct Timing {
        double readyMs = 0;
        double doneMs = 0;
    };
    Timing RunToEnd() {
        PROCESS_INFORMATION process = Start();
        const double start = NowMs();
        auto msUntil = [&](const Event& event) {
            HANDLE eventOrEnd[] = {event.get(), process.hProcess};
            ::WaitForMultipleObjects(2, eventOrEnd, FALSE, kRunTimeoutMs);
            return NowMs() - start;
        };
        Timing timing;
        timing.readyMs = msUntil(ready_);
        timing.doneMs = msUntil(done_);
        EXPECT_EQ(1u, Finish(process)) << "the uninterrupted call did not succeed";
        EXPECT_TRUE(done_.IsSet());
        return timing;
    }

    // Starts the child, kills it once waitForKill(process, ready event) returns, and says when the kill landed.
    template <typename Wait>
    Moment RunAndKill(Wait waitForKill) {
        PROCESS_INFORMATION process = Start();
        waitForKill(process.hProcess, ready_.get());
        ::TerminateProcess(process.hProcess, kKilledExitCode);
        const Moment moment = done_.IsSet() ? kAfter : ready_.IsSet() ? kDuring : kBefore;
        const DWORD exitCode = Finish(process);
        EXPECT_TRUE(exitCode == kKilledExitCode || (moment == kAfter && exitCode == 1)) << exitCode;
        return moment;
    }

private:
    PROCESS_INFORMATION Start() {
        ready_.Reset();
        done_.Reset();
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        std::vector<char> line(commandLine_.begin(), commandLine_.end());
        line.push_back('\0');
        if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            ADD_FAILURE() << "cannot start " << commandLine_ << ", error " << ::GetLastError();
        return process;
    }

    // Waits for the end of the process, killing it when it overstays; its exit code.
    static DWORD Finish(PROCESS_INFORMATION& process) {
        if (process.hProcess == nullptr) return 0;
        if (::WaitForSingleObject(process.hProcess, kRunTimeoutMs) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "the child did not end within " << kRunTimeoutMs << " ms";
            ::TerminateProcess(process.hProcess, kKilledExitCode);
            ::WaitForSingleObject(process.hProcess, kRunTimeoutMs);
        }
        DWORD exitCode = 0;
        ::GetExitCodeProcess(process.hProcess, &exitCode);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        return exitCode;
    }

    std::string events_;
    Event ready_;
    Event done_;
    std::string commandLine_;
};

// KIV_KILL_SEED repeats the delays of an earlier run.
unsigned Seed() {
    const char* given = std::getenv("KIV_KILL_SEED");
    const unsigned seed = given != nullptr ? static_cast<unsigned>(std::strtoul(given, nullptr, 10))
                                           : static_cast<unsigned>(NowMs() * 1000.0);
    std::cout << "kill delays: seed " << seed << " (KIV_KILL_SEED=" << seed << " repeats them)" << std::endl;
    return seed;
}

// One value in each of count equal strata of [from, to], in random order: kills
// spread over the whole span whatever the draw.
std::vector<double> Spread(int count, double from, double to, std::mt19937& random) {
    std::uniform_real_distribution<double> within(0.0, 1.0);
    std::vector<double> values;
    for (int i = 0; i < count; ++i) values.push_back(from + (i + within(random)) * (to - from) / count);
    std::shuffle(values.begin(), values.end(), random);
    return values;
}

// Waits until offsetMs after the export call began. A negative offset counts back from startupMs,
// when the call came in the uninterrupted runs, so that the kill lands in the start-up.
auto AfterTheCallBegan(double offsetMs, double startupMs) {
    return [=](HANDLE process, HANDLE ready) {
        if (offsetMs < 0) {
            ::WaitForSingleObject(process, static_cast<DWORD>(startupMs + offsetMs));
            return;
        }
        HANDLE readyOrEnd[] = {ready, process};
        ::WaitForMultipleObjects(2, readyOrEnd, FALSE, kRunTimeoutMs);
        ::WaitForSingleObject(process, static_cast<DWORD>(offsetMs));
    };
}

// Where aimed kills watch for a configuration file being written: its folder (with the backslash), its
// name and size before the call, and the names that the folder holds after an uninterrupted call.
struct ConfigWatch {
    std::string folder;
    std::string config;
    DWORD sizeBefore = 0;
    std::set<std::string> finishedNames;
};

// Watches a configuration file of the installation, given by its path below root.
ConfigWatch Watch(const std::string& root, const std::string& config, const Tree& before, const Tree& after) {
    const std::size_t slash = config.find_last_of('\\');
    const std::string folder = config.substr(0, slash + 1);
    ConfigWatch watch{root + "\\" + folder, config.substr(slash + 1), static_cast<DWORD>(before.at(config).size())};
    for (const auto& [path, bytes] : after)
        if (path.compare(0, folder.size(), folder) == 0 && path.find('\\', folder.size()) == std::string::npos)
            watch.finishedNames.insert(path.substr(folder.size()));
    return watch;
}

// True once the folder shows the file at another size, or holds a name that no finished call leaves.
bool BeingWritten(const ConfigWatch& watch) {
    WIN32_FIND_DATAA data;
    HANDLE search = ::FindFirstFileA((watch.folder + "*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool writing = false;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        writing = ::lstrcmpiA(data.cFileName, watch.config.c_str()) == 0
                      ? data.nFileSizeLow != watch.sizeBefore
                      : watch.finishedNames.count(data.cFileName) == 0;
    } while (!writing && ::FindNextFileA(search, &data));
    ::FindClose(search);
    return writing;
}

// Watches the folder until the file is being written, then waits extraMs more. The writing is
// a few ms of the call under Wine: kills spread over the whole call would seldom land in it.
auto WhileWriting(const ConfigWatch& watch, double extraMs) {
    return [&watch, extraMs](HANDLE process, HANDLE) {
        const double deadline = NowMs() + kRunTimeoutMs;
        while (::WaitForSingleObject(process, 0) == WAIT_TIMEOUT && NowMs() < deadline) {
            if (!BeingWritten(watch)) continue;
            ::WaitForSingleObject(process, static_cast<DWORD>(extraMs));
            return;
        }
    };
}

// Lays out a list of files, their folders following from their paths.
void WriteTree(const std::string& root, const Tree& files) {
    RemoveTree(root);
    std::set<std::string> made;
    for (const auto& [path, bytes] : files) {
        const std::string folder = root + "\\" + path.substr(0, path.find_last_of('\\'));
        if (made.insert(folder).second) MakeFolder(folder);
        WriteFile(root + "\\" + path, bytes);
    }
}

// Puts a snapshot back, touching only what differs from the snapshot now: rewriting
// everything costs Wine far more than the call under test.
void Restore(const std::string& root, const Tree& tree, const Tree& now) {
    // Backwards, a folder's files come before the folder.
    for (auto it = now.rbegin(); it != now.rend(); ++it) {
        if (tree.count(it->first) != 0) continue;
        const std::string path = root + "\\" + it->first;
        if (IsFolder(it->first))
            ::RemoveDirectoryA(path.c_str());
        else
            ::DeleteFileA(path.c_str());
    }
    for (const auto& [path, bytes] : tree) {
        auto at = now.find(path);
        if (at != now.end() && at->second == bytes) continue;
        if (IsFolder(path))
            MakeFolder(root + "\\" + path);
        else
            WriteFile(root + "\\" + path, bytes);
    }
}

// What the kills left that the checks allow: files that no uninterrupted call leaves, and copies cut short.
struct Findings {
    std::set<std::string> leftovers;
    std::set<std::string> partialCopies;
};

void Print(const char* what, const std::set<std::string>& names) {
    std::cout << what << " (" << names.size() << "):";
    for (const std::string& name : names) std::cout << " " << name;
    std::cout << std::endl;
}

// Bytes that differ from file to file and carry a zero and a byte 26.
std::string Filler(const std::string& name, std::size_t size) {
    std::string bytes = name + std::string("\0\x1a", 2);
    while (bytes.size() < size) bytes += static_cast<char>('A' + bytes.size() * 7 % 53) + name;
    bytes.resize(size);
    return bytes;
}

// Three uninterrupted calls, on a machine whose load may change: what they leave, and their middle
// start-up and call times.
struct Uninterrupted {
    Tree after;
    double startupMs = 0;
    double callMs = 0;
};
Uninterrupted RunUninterrupted(Child& child, const std::string& root, const Tree& before) {
    Uninterrupted result{before};
    std::vector<double> startups, calls;
    for (int run = 0; run < 3; ++run) {
        Restore(root, before, result.after);
        const Child::Timing timing = child.RunToEnd();
        const Tree made = Snapshot(root);
        EXPECT_TRUE(run == 0 || made == result.after) << "uninterrupted calls differ";
        result.after = made;
        startups.push_back(timing.readyMs);
        calls.push_back(timing.doneMs - timing.readyMs);
    }
    std::sort(startups.begin(), startups.end());
    std::sort(calls.begin(), calls.end());
    result.startupMs = startups[1];
    result.callMs = calls[1];
    std::cout << "uninterrupted: start-up " << result.startupMs << " ms, call " << result.callMs << " ms" << std::endl;
    return result;
}

// Lays out the installation, then kills a child at moments spread from its start-up to after its call (and,
// when a configuration file is named, while the call writes it), checking what each kill left and putting the
// installation back.
template <typename Check>
void KillRepeatedly(const std::string& root, const Tree& installation, const std::string& arguments, Check check,
                    const std::string& watchedConfig = std::string()) {
    WriteTree(root, installation);
    const Tree before = Snapshot(root);
    Child child(arguments);
    const Uninterrupted reference = RunUninterrupted(child, root, before);
    const Tree& after = reference.after;

    std::vector<int> moments(kMomentCount);
    Findings findings;
    Tree left = after;
    auto killOnce = [&](auto waitForKill, const std::string& when) {
        Restore(root, before, left);
        const Moment moment = child.RunAndKill(waitForKill);
        ++moments[moment];
        left = Snapshot(root);
        SCOPED_TRACE(std::string("killed ") + kMomentNames[moment] + " the call, " + when);
        check(before, after, left, findings);
        if (moment == kAfter) EXPECT_TRUE(left == after) << "a finished call left another result";
    };
    std::mt19937 random(Seed());
    // From late in the start-up to a little after the call has returned.
    const double startup = reference.startupMs, call = reference.callMs;
    for (double offset : Spread(kKills, -std::min(startup / 2, call / 5), call * 1.15 + 2, random))
        killOnce(AfterTheCallBegan(offset, startup), offset < 0
                                                         ? std::to_string(-offset) + " ms before it usually begins"
                                                         : std::to_string(offset) + " ms after it began");
    if (!watchedConfig.empty()) {
        const ConfigWatch watch = Watch(root, watchedConfig, before, after);
        for (double extra : Spread(kAimedKills, 0, 5, random))
            killOnce(WhileWriting(watch, extra), std::to_string(extra) + " ms after it began writing " + watch.config);
    }
    std::cout << "kills before / during / after the call: " << moments[kBefore] << " / " << moments[kDuring] << " / "
              << moments[kAfter] << std::endl;
    EXPECT_GT(moments[kDuring], 0) << "no kill landed inside the call";
    Print("left-over files", findings.leftovers);
    Print("copies cut short", findings.partialCopies);
    RemoveTree(root);
}

// A customised installation: a program folder with the opening definition files, a manager folder
// of a few hundred files of every kind, some empty, a sub-folder and an earlier save folder.
Tree SaveInstallation() {
    Tree tree;
    for (const char* name : {"FENSTER.INI", "TUER.INI", "DURCHG.INI"})
        tree["Programm\\" + std::string(name)] = Filler(name, 900);
    tree["Programm\\Tervilo.exe"] = Filler("exe", 40000);
    const char* const kinds[] = {".bmp", ".mnu", ".MNS", ".lsp", ".rx", ".dwg", ".txt", ".dat"};
    for (int i = 0; i < 240; ++i) {
        std::string name = "Datei" + std::to_string(i) + kinds[i % 8];
        tree["Manager\\" + name] = i % 40 == 7 ? std::string() : Filler(name, 1000 + i * 97 % 30000);
    }
    tree["Manager\\Unter\\Tervilo.mnu"] = Filler("sub", 5000);
    tree["Manager\\Save1\\Datei1.mnu"] = Filler("earlier save", 3000);
    return tree;
}

// The user file that a file the save made is a copy of: a file in a new save folder comes from the manager
// folder, an opening definition file there from the program folder; empty for anything else.
std::string OriginOf(const std::string& made, const Tree& before) {
    const std::string manager = "Manager\\", program = "Programm\\";
    if (!StartsWith(made, manager)) return std::string();
    std::string name = made.substr(manager.size());
    const std::size_t slash = name.find('\\');
    if (slash != std::string::npos) {
        if (!StartsWith(name, "Save")) return std::string();
        name = name.substr(slash + 1);
        if (before.count(manager + name) != 0) return manager + name;
    }
    return before.count(program + name) != 0 ? program + name : std::string();
}

// Every user file is in its place with its bytes, or its place is empty and a byte-identical copy exists;
// a copy cut short is allowed only beside its intact original.
void CheckSave(const Tree& before, const Tree&, const Tree& left, Findings& findings) {
    std::set<std::string> copied;
    for (const auto& [path, bytes] : left) {
        if (before.count(path) != 0 || IsFolder(path)) continue;
        const std::string origin = OriginOf(path, before);
        auto original = before.find(origin);
        if (original == before.end()) {
            findings.leftovers.insert(path);
        } else if (bytes == original->second) {
            copied.insert(origin);
        } else {
            findings.partialCopies.insert(path);
            // An opening definition file's original may already have moved into the manager folder.
            auto intact = [&](const std::string& at) {
                auto still = left.find(at);
                return still != left.end() && still->second == original->second;
            };
            EXPECT_TRUE(intact(origin) || intact("Manager\\" + path.substr(path.rfind('\\') + 1)))
                << "a copy cut short without its original: " << path;
        }
    }
    for (const auto& [path, bytes] : before) {
        auto now = left.find(path);
        if (now != left.end())
            EXPECT_EQ(bytes, now->second) << "changed: " << path;
        else
            EXPECT_TRUE(!IsFolder(path) && copied.count(path) != 0) << "lost: " << path;
    }
}

// Arch.Cfg of 300,000 lines (13 MB), now and then an entry that the rewrite replaces.
std::string ArchCfg(const std::string& folder) {
    const char* const replaced[] = {"FEN125_1", "TUE125_3", "DUR125_4", "BIBHPT", "BIBTAB", "BODENDIR", "FENBL2"};
    std::string bytes;
    for (int i = 0; i < 300000; ++i) {
        if (i % 15000 == 7500)
            bytes += std::string(replaced[i / 15000 % 7]) + " 5005 11 C:\\Alt\\Pfad\r\n";
        else
            bytes += "EINSTELLUNG" + std::to_string(i) + " 5005 17 C:\\" + folder + "\\Wert" + std::to_string(i % 10) +
                     "\r\n";
    }
    return bytes;
}

// An old installation with its opening data and its own Arch.Cfg, and a freshly copied new one with
// another: the migration copies over every table, the definition files and Arch.Cfg, then rewrites it.
Tree UpdateInstallation() {
    Tree tree;
    for (const char* name : {"FENSTER.INI", "TUER.INI", "DURCHG.INI"}) {
        tree["AltManager\\" + std::string(name)] = Filler(std::string("alt ") + name, 2000);
        tree["NeuManager\\" + std::string(name)] = Filler(std::string("neu ") + name, 1500);
    }
    tree["AltManager\\Layer.Def"] = Filler("Layer", 3000);
    tree["AltManager\\Arch.Cfg"] = ArchCfg("Dorva AT");
    const char* const kinds[][2] = {{"Fen-Std", "F-"}, {"Tue-Std", "T-"}, {"Dur-Std", "D-"}};
    for (const auto& kind : kinds)
        for (const char* table : {"TYP.DAT", "EINBAU.DAT", "WAENDE.DAT", "BLOCK.DAT"}) {
            const std::string name = std::string("OeffDat\\") + kind[0] + "\\" + kind[1] + table;
            tree["Alt\\" + name] = Filler("alt " + name, 6000);
            tree["Neu\\" + name] = Filler("neu " + name, 2000);
        }
    tree["NeuManager\\Arch.Cfg"] = ArchCfg("Dorva AT neu");
    tree["NeuManager\\Projekt.cfg"] = Filler("Projekt", 4000);
    return tree;
}

// Every file holds what it held before, what an uninterrupted call leaves there, or, in the new
// installation, the whole old file that the migration copies over it: no file that was there is cut
// off, and the old installation never changes. Only a copy to a name the new installation lacked
// (Layer.Def) may stand cut short, since such a copy replaces nothing.
void CheckUpdate(const Tree& before, const Tree& after, const Tree& left, Findings& findings) {
    for (const auto& [path, bytes] : before) EXPECT_EQ(1u, left.count(path)) << "lost: " << path;
    for (const auto& [path, bytes] : left) {
        auto old = before.find(path), made = after.find(path);
        if (old == before.end() && made == after.end()) {
            findings.leftovers.insert(path);
            continue;
        }
        auto source = StartsWith(path, "Neu") ? before.find("Alt" + path.substr(3)) : before.end();
        if ((old != before.end() && old->second == bytes) || (made != after.end() && made->second == bytes) ||
            (source != before.end() && source->second == bytes))
            continue;
        EXPECT_TRUE(old == before.end() && StartsWith(made->second, bytes)) << "neither old nor new: " << path;
        findings.partialCopies.insert(path);
    }
}

}  // namespace

TEST(KillTest, SaveBeforeFilesCopyLosesNoUserFile) {
    ScratchFolder dir;
    KillRepeatedly(dir / "run", SaveInstallation(), "save " + dir / "run\\Programm" + " " + dir / "run\\Manager",
                   CheckSave);
}

TEST(KillTest, CreateUpdateManagerLeavesEachConfigurationFileOldOrNew) {
    ScratchFolder dir;
    const std::string run = dir / "run";
    KillRepeatedly(run, UpdateInstallation(),
                   "update " + run + "\\Alt " + run + "\\AltManager " + run + "\\Neu " + run + "\\NeuManager",
                   CheckUpdate, "NeuManager\\Arch.Cfg");
}

// The whole upgrade in a journal, killed at moments from its start to its end: adopted by the next
// run and undone (every third time after an undo killed part-way), the registry and every file
// are as before, save folders aside.
TEST(KillTest, AKilledUpgradeIsUndoneByTheNextRun) {
    ScratchFolder dir;
    ScratchRegistry registry;
    const std::string root = dir / "run", journal = dir / "journal";
    // The setup's copy in place already: the child makes no copy of its own.
    Tree installation = UpgradeFiles();
    for (const auto& [path, bytes] : SetupCopy()) installation[path] = bytes;
    WriteTree(root, installation);
    RegisterUpgradeMachine(root + "\\Acad");
    const Tree before = Snapshot(root), registryBefore = RegistryState();
    Child child("upgrade " + journal + " " + root), undoer("undo " + journal);
    const Child::Timing timing = child.RunToEnd();
    auto undo = [&](const std::string& when) {
        SCOPED_TRACE(when);
        Library lib;
        const int begun = lib.KivBeginChanges(journal.c_str());
        EXPECT_TRUE(begun == 1 || begun == 2) << begun;
        EXPECT_EQ(1, lib.KivUndoChanges());
        EXPECT_EQ(registryBefore, RegistryState());
        const Tree left = Snapshot(root);
        ExpectFilesAsBefore(before, left);
        Restore(root, before, left);
    };
    undo("after a whole run");
    std::mt19937 random(Seed());
    std::vector<int> moments(kMomentCount);
    const double call = timing.doneMs - timing.readyMs;
    std::cout << "uninterrupted: start-up " << timing.readyMs << " ms, upgrade " << call << " ms" << std::endl;
    const std::vector<double> offsets = Spread(kUndoKills, -timing.readyMs / 4, call * 1.1, random);
    for (std::size_t kill = 0; kill < offsets.size(); ++kill) {
        const double offset = offsets[kill];
        ++moments[child.RunAndKill(AfterTheCallBegan(offset, timing.readyMs))];
        if (kill % 3 == 2) undoer.RunAndKill(AfterTheCallBegan(offset / 2, timing.readyMs));
        undo("killed " + std::to_string(offset) + " ms after the upgrade began");
    }
    std::cout << "kills before / during / after the upgrade: " << moments[kBefore] << " / " << moments[kDuring] << " / "
              << moments[kAfter] << std::endl;
    EXPECT_GE(moments[kDuring], kUndoKills / 2);
}
