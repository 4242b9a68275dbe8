// The opt-in diagnostic log: off without KIVFORIS55_LOG, one line per export call and per
// changing or failing operation with it, and never a different result either way.
#include "KivForIS55.h"
#include "support/Library.h"
#include "support/Scratch.h"
#include "win32/Log.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using namespace kivtest;

namespace {

// Sets KIVFORIS55_LOG for the test's duration.
class LogVariable {
public:
    explicit LogVariable(const std::string& path) { ::SetEnvironmentVariableA("KIVFORIS55_LOG", path.c_str()); }
    ~LogVariable() { ::SetEnvironmentVariableA("KIVFORIS55_LOG", nullptr); }
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t from = 0, at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
        lines.push_back(text.substr(from, at - from));
    return lines;
}

bool HasLineWith(const std::vector<std::string>& lines, const std::string& part) {
    for (const std::string& line : lines)
        if (line.find(part) != std::string::npos) return true;
    return false;
}

// The same calls with and without the log, so their results can be compared.
std::vector<int> RunCalls(Library& lib, const std::string& folder) {
    char buffer[KIV_BUFFER_SIZE] = "preset";
    WriteFile(folder + "\\Tervilo.mnu", "menu");  // saved, then deleted as a menu file
    WriteFile(folder + "\\answers.iss", "[KivIsWithinTablet-0]\r\nResult=1\r\nTablet=0\r\n");
    std::string longPath = "C:\\" + std::string(400, 'x');
    return {lib.SetOldProgramDir("C:\\Alt\\TERVILO"),
            lib.KivExistFile(nullptr),
            lib.KivExistFile(folder.c_str()),
            lib.KivExistFile(longPath.c_str()),
            lib.SaveAfterFilesCopy((folder + "\\Fehlt").c_str()),
            lib.SaveBeforeFilesCopy(folder.c_str(), folder.c_str()),
            lib.SaveAfterFilesCopy((folder + "\\Save1").c_str()),
            lib.KivGetMainAcadData(nullptr, buffer, buffer, 0, 0),
            lib.KivGetUserName(buffer),
            lib.DeleteOldAppsReg("x"),
            lib.KivRegProgDestroy(),
            lib.SetNewManagerDir(folder.c_str()),
            lib.SetNewProgramDir(folder.c_str()),
            lib.CreateUpdateManagerATP(folder.c_str(), 1),
            lib.KivSetResponseFile((folder + "\\answers.iss").c_str(), KIV_MODE_SILENT),
            lib.KivIsWithinTablet(nullptr, folder.c_str(), buffer)};
}

}  // namespace

TEST(DiagnosticLog, RecordsCallsAndOperationsWithoutChangingResults) {
    ScratchFolder dir;
    ScratchRegistry registry;
    MakeFolder(dir / "Log");
    const std::string logPath = dir / "Log\\kiv.log";
    Library lib;
    const std::vector<int> unlogged = RunCalls(lib, dir.path());
    EXPECT_FALSE(FileExists(logPath));

    lib.Reload();
    registry.Clear();
    std::vector<int> logged;
    {
        LogVariable on(logPath);
        logged = RunCalls(lib, dir.path());
    }
    EXPECT_EQ(unlogged, logged);
    const std::vector<std::string> lines = Lines(ReadFile(logPath));

    struct Expected {
        const char* part;
        const char* why;
    } const expected[] = {
        {"SetOldProgramDir(\"C:\\\\Alt\\\\TERVILO\") = 0 [", "strings quoted with their escapes"},
        {"KivExistFile(NULL) = 0 [", "a null string"},
        {"KivExistFile(\"C:\\\\kivtest", "a path"},
        {"xxxxxxxx\"...) = 0 [", "a long text cut short"},
        {"SaveAfterFilesCopy(", "a failing export"},
        {"  CreateDirectory \"C:\\\\kivtest\\\\", "a folder made"},
        {"\\\\Tervilo.mnu\" -> \"C:\\\\kivtest\\\\", "a file copied"},
        {"\\\\TvKonfig.exe\" -> \"", "a copy that failed"},
        {"(", "a failure with the system's text"},
        {"RegOpenKey HKLM\\Software\\Autodesk\\AutoCAD\\R15.0: not there (2)", "a key that is not there"},
        {"KivGetMainAcadData(0x0, unchanged \"preset\", unchanged \"preset\", 0, 0) = 0 [", "buffers left alone"},
        {"] warning KivGetMainAcadData(", "no product found is a warning"},
        {"] info    SetOldProgramDir(", "a call that did its work"},
        {"KivGetUserName(out \"", "the name written"},
        {"RegOpenKey HKLM\\Software\\Dorvasys", "a key looked for, not created"},
        {"KivRegProgDestroy() = 0 [", "an export without arguments"},
        {"  WriteFile \"C:\\\\kivtest\\\\", "the rewrite's new content"},
        {"\\\\Arch.Cfg\": ok", "the rewrite's replace"},
        {"] warning   Migration: nothing to take over: no FENSTER.INI", "a step left out on purpose"},
        {"  Page 1007 \"Tablettmen\xFC"
         " einrichten\" played back: Next, Tablet=\"0\"",
         "how a page ended"},
    };
    for (const Expected& e : expected) EXPECT_TRUE(HasLineWith(lines, e.part)) << e.why << ": " << e.part;
    // The process's first line says which library, Windows, user and code page.
    ASSERT_FALSE(lines.empty());
    for (const char* part : {"] info    KivForIS55 5.5.0.1 \"", "KivForIS55.dll\"; Windows ", "; user \"",
                             "administrator; ANSI code page 1252"})
        EXPECT_NE(std::string::npos, lines[0].find(part)) << lines[0];
    EXPECT_FALSE(HasLineWith(std::vector<std::string>(lines.begin() + 1, lines.end()), "; ANSI code page "));
    // An operation's error comes with the system's text for it, at level error.
    for (const std::string& line : lines)
        if (line.find(": error ") != std::string::npos && line.find(") = ") == std::string::npos) {
            EXPECT_NE(std::string::npos, line.find(" (")) << line;
            EXPECT_NE(std::string::npos, line.find("] error   ")) << line;
        }
}

TEST(DiagnosticLog, AnUnwritableLogChangesNothing) {
    ScratchFolder dir;
    Library lib;
    const std::vector<int> unlogged = RunCalls(lib, dir.path());
    lib.Reload();
    std::vector<int> logged;
    {
        LogVariable on(dir / "Fehlt\\kiv.log");  // its folder does not exist
        logged = RunCalls(lib, dir.path());
    }
    EXPECT_EQ(unlogged, logged);
    EXPECT_FALSE(FolderExists(dir / "Fehlt"));
}

TEST(DiagnosticLog, SeveralWritersKeepEveryLineWhole) {
    ScratchFolder dir;
    LogVariable on(dir / "kiv.log");
    constexpr int kWriters = 4, kLinesEach = 200;
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([w] {
            for (int i = 0; i < kLinesEach; ++i)
                kiv::log::Write("writer " + std::to_string(w) + " line " + std::to_string(i) + " " +
                                std::string(100, static_cast<char>('a' + w)));
        });
    for (std::thread& writer : writers) writer.join();

    std::vector<std::string> lines = Lines(ReadFile(dir / "kiv.log"));
    ASSERT_EQ(static_cast<std::size_t>(kWriters * kLinesEach) + 1, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find("; ANSI code page ")) << "the header comes first, once";
    lines.erase(lines.begin());
    for (const std::string& line : lines) {
        std::size_t at = line.find("writer ");
        ASSERT_NE(std::string::npos, at) << line;
        char mark = static_cast<char>('a' + (line[at + 7] - '0'));
        EXPECT_EQ(std::string(100, mark), line.substr(line.size() - 100)) << line;
    }
}
