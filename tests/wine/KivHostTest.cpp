// kivhost.exe as a setup author runs it: call scripts in, printed calls, results, buffers and effects out.
#include "support/Image.h"
#include "support/Library.h"
#include "support/Scratch.h"
#include "support/Tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

using namespace kivtest;

namespace {

struct HostRun {
    DWORD processId = 0;
    DWORD exitCode = 0;
    std::string out;
    std::string err;
};

void Drain(HANDLE pipe, std::string& text) {
    DWORD available = 0;
    while (::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        char chunk[4096];
        DWORD read = 0;
        if (!::ReadFile(pipe, chunk, sizeof chunk, &read, nullptr) || read == 0) return;
        text.append(chunk, read);
    }
}

// Runs a program with its output captured; it is ended (and the test failed) after 90 s.
HostRun RunProgram(std::string commandLine) {
    HostRun run;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    EXPECT_TRUE(::CreatePipe(&outRead, &outWrite, &inherit, 0) && ::CreatePipe(&errRead, &errWrite, &inherit, 0));
    ::SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process = {};
    BOOL started =
        ::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    ::CloseHandle(outWrite);
    ::CloseHandle(errWrite);
    EXPECT_TRUE(started) << commandLine;
    run.processId = process.dwProcessId;
    if (started) {
        DWORD deadline = ::GetTickCount() + 90000;
        for (;;) {
            Drain(outRead, run.out);
            Drain(errRead, run.err);
            if (::WaitForSingleObject(process.hProcess, 20) == WAIT_OBJECT_0) break;
            if (static_cast<LONG>(::GetTickCount() - deadline) > 0) {
                ADD_FAILURE() << "still running after 90 s: " << commandLine;
                ::TerminateProcess(process.hProcess, 99);
                ::WaitForSingleObject(process.hProcess, 5000);
                break;
            }
        }
        Drain(outRead, run.out);
        Drain(errRead, run.err);
        ::GetExitCodeProcess(process.hProcess, &run.exitCode);
        ::CloseHandle(process.hProcess);
        ::CloseHandle(process.hThread);
    }
    ::CloseHandle(outRead);
    ::CloseHandle(errRead);
    return run;
}

// FormatMessage's text for an error, without its line break.
std::string SystemText(DWORD error) {
    char text[512] = "";
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                    sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message;
}

// kivhost.exe beside the tests, which run it against the DLL under test.
HostRun RunHost(const std::string& arguments) {
    return RunProgram("\"" + ProgramFolder() + "\\kivhost.exe\" " + arguments);
}

// Writes a call script and runs it.
HostRun RunScript(const ScratchFolder& dir, const std::string& script, const std::string& options = "") {
    std::string path = dir / "script.kiv";
    WriteFile(path, script);
    return RunHost(options + " \"" + path + "\"");
}

std::string Define(const std::string& name, const std::string& value) {
    return " --define \"" + name + "=" + value + "\"";
}

// The script's spelling of a path: every backslash doubled.
std::string Escaped(const std::string& path) {
    std::string text;
    for (char c : path) text += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return text;
}

void OneProduct(const std::string& key, const std::string& name, const std::string& folder) {
    std::string path = std::string(kAcadReleaseKey) + "\\" + key;
    SetRegString(path, "ProductId", "ACAD");
    SetRegString(path, "ProductName", name);
    SetRegString(path, "AcadLocation", folder);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

const std::string kExamples = std::string(KIV_TEST_SOURCE_DIR) + "/examples";

// The sample installation and its registry, moved from C: into root, on a clean registry.
void LayOutSample(const ScratchFolder& dir, const std::string& root) {
    ScratchRegistry::Clear();
    std::string reg = Replaced(ReadFile(kExamples + "/AutoCAD2000.reg"), "\"C:\\\\", "\"" + Escaped(root) + "\\\\");
    WriteFile(dir / "sample.reg", reg);
    HostRun imported = RunProgram("regedit.exe /S \"" + dir / "sample.reg" + "\"");
    ASSERT_EQ(0u, imported.exitCode);
    HostRun laidOut =
        RunScript(dir, "CopyTree(SAMPLE, ROOT)\n", Define("SAMPLE", kExamples + "/sample") + Define("ROOT", root));
    ASSERT_EQ(0u, laidOut.exitCode) << laidOut.err;
    ASSERT_TRUE(FileExists(root + "\\Dorvasys\\TERVILO\\Tervilo.Arx"));
}

// Everything the upgrade may change, but the installation time it stamps: the files below root and two keys.
std::map<std::string, std::string> Effects(const std::string& root) {
    std::map<std::string, std::string> effects = Snapshot(root);
    for (auto& [path, bytes] : effects) bytes = WithoutStamp(path, bytes);
    for (const char* key : {"Software\\Autodesk", "Software\\Dorvasys"})
        for (const auto& [name, bytes] : RegSnapshot(key)) effects[std::string("HKLM\\") + key + "\\" + name] = bytes;
    return effects;
}

// Every process that had a top-level window while run ran: a watcher thread enumerates them the whole time.
std::set<DWORD> WindowOwnersDuring(const std::function<void()>& run) {
    std::atomic<bool> running{true};
    std::set<DWORD> owners;
    std::thread watcher([&] {
        while (running)
            ::EnumWindows(
                [](HWND window, LPARAM found) {
                    DWORD process = 0;
                    ::GetWindowThreadProcessId(window, &process);
                    reinterpret_cast<std::set<DWORD>*>(found)->insert(process);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&owners));
    });
    run();
    running = false;
    watcher.join();
    return owners;
}

}  // namespace

TEST(KivHost, TheTimeoutBoundsTheWholeCallWhateverThePagesDo) {
    ScratchFolder dir;
    const std::string call = "KivShowTargeDir(hwnd, \"C:\\\\Programme\\\\Dorvasys\\\\TERVILO\", \"TERVILO\")\n";
    // The answer for every page does not answer the confirmation of a cancel: the cancel is confirmed.
    HostRun run = RunScript(dir, call, "--timeout 10 --answer 1006=cancel --answer next");
    EXPECT_EQ(0u, run.exitCode) << run.err;
    EXPECT_NE(std::string::npos, Replaced(run.out, "\r\n", "\n")
                                     .find(") = 2\n        page 1006 \"Zielpfad best\xC3\xA4tigen\": cancel\n"
                                           "        page 1020 \"Setup Abbrechen \": cancel\n"))
        << run.out;

    // Answers that send the page round in a circle: each showing restarts nothing, the call is stopped.
    run = RunScript(dir, call, "--timeout 3 --answer 1006=cancel --answer 1020=next");
    EXPECT_EQ(3u, run.exitCode) << run.out;
    std::string err = Replaced(run.err, "\r\n", "\n");
    EXPECT_NE(std::string::npos, err.find("line 1: the call did not return within 3 s; page 10")) << err;
    EXPECT_NE(std::string::npos, err.find("answers given: page 1006 \"Zielpfad best\xC3\xA4tigen\": cancel (")) << err;
    EXPECT_NE(std::string::npos, err.find("; page 1020 \"Setup Abbrechen \": next (")) << err;
    EXPECT_NE(std::string::npos, err.find("stopped at line 1; nothing after it ran")) << err;
}

TEST(KivHost, ScriptErrorsNameTheLineAndRunNothing) {
    ScratchFolder dir;
    WriteFile(dir / "Tervilo.Arx", "old module");
    MakeFolder(dir / "from");
    WriteFile(dir / "from\\a.txt", "a");
    const struct {
        const char* line;
        const char* message;
    } cases[] = {
        {"KivFoo(1)", "unknown export \"KivFoo\""},
        {"KivShowTargetDir(hwnd, \"x\", \"y\")",
         "unknown export \"KivShowTargetDir\"; did you mean KivShowTargeDir? (that spelling, without the t of "
         "Target, is the export's real name)"},
        {"kivexistfile(\"x\")", "unknown export \"kivexistfile\" (export names are case-sensitive: KivExistFile)"},
        {"KivShowTargeDir(hwnd, \"x\")", "KivShowTargeDir(window, text, text) takes 3 arguments, not 2"},
        {"KivExistFile(5)", "argument 1 of KivExistFile(text) must be a quoted text, a buffer name or null"},
        {"KivRegProgSetCurrPos(\"5\")", "argument 1 of KivRegProgSetCurrPos(number) must be a number"},
        {"KivGetUserName(\"x\")", "argument 1 of KivGetUserName(buffer) must be a buffer name or null"},
        {"KivStartRegProgress(\"x\", \"y\", 1)",
         "argument 1 of KivStartRegProgress(window, text, number) must be hwnd or null"},
        {"DeleteOldFiles(\"C:\\Programme\")", "unknown escape \\P"},
        {"DeleteOldFiles(\"C:\\\\x)", "the quoted text is not closed"},
        {"SetNewProgramDir(svNeverSet)", "buffer svNeverSet is read before anything defines it"},
        {"SetNewProgramDir(DIR + svNeverSet)", "buffer svNeverSet is read before anything defines it"},
        {"KivRegProgSetCurrPos(2147483648)", "argument 1: 2147483648 is not a 32-bit number"},
        {"KivRegProgSetCurrPos(-0x10)", "argument 1: write a negative number in decimal"},
        {"KivRegProgSetCurrPos(12abc)", "argument 1: not a number"},
        {"KivRegProgDestroy() KivRegProgDestroy()", "unexpected text after the end of the statement"},
        {"KivRegProgDestroy", "expected \"(\" after KivRegProgDestroy"},
        {"KivGetMainAcadData(hwnd + \"x\", a, b, 0, 0)", "expected \",\" or \")\" after argument 1"},
        {"hwnd = \"x\"", "hwnd cannot be a buffer name"},
        {"\"x\"", "a line must start with an export name or a buffer name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        auto before = Snapshot(dir.path());
        // The good lines before the bad one would copy a folder and delete a module.
        std::string script =
            "# lines 2 and 3 are fine\n"
            "CopyTree(DIR + \"\\\\from\", DIR + \"\\\\to\")\n"
            "DeleteOldFiles(DIR)\n" +
            std::string(c.line) + "\nCopyTree(DIR + \"\\\\from\", DIR + \"\\\\later\")\n";
        HostRun run = RunScript(dir, script, Define("DIR", dir.path()));
        EXPECT_EQ(1u, run.exitCode);
        EXPECT_NE(std::string::npos, run.err.find("script.kiv:4: " + std::string(c.message))) << run.err;
        EXPECT_NE(std::string::npos, run.err.find("    " + std::string(c.line))) << run.err;
        EXPECT_NE(std::string::npos, run.err.find("1 error; nothing was run")) << run.err;
        EXPECT_EQ("", run.out);
        ::DeleteFileA((dir / "script.kiv").c_str());
        EXPECT_EQ(before, Snapshot(dir.path()));
    }

    // Every error at once, in line order, whatever stage finds it; an empty script is one too.
    HostRun run = RunScript(dir, "KivExistFile(svLater)\nKivExistFile(\"a\"\nKivExistFile(\"\xCE\xA9\")\nKivFoo()\n");
    EXPECT_EQ(1u, run.exitCode);
    std::vector<std::string> reported;
    for (const std::string& line : Lines(run.err))
        if (line.find("script.kiv") != std::string::npos) reported.push_back(line.substr(line.find("script.kiv")));
    EXPECT_EQ((std::vector<std::string>{
                  "script.kiv:1: buffer svLater is read before anything defines it",
                  "script.kiv:2: expected \",\" or \")\" after argument 1",
                  "script.kiv:3: a character of this line is missing from the ANSI code page",
                  "script.kiv:4: unknown export \"KivFoo\"",
              }),
              reported)
        << run.err;
    EXPECT_NE(std::string::npos, run.err.find("4 errors; nothing was run")) << run.err;
    run = RunScript(dir, "# only a comment\n\n");
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("script.kiv: the script makes no call")) << run.err;
}

TEST(KivHost, PrintsEachCallItsResultAndTheBuffersItWrote) {
    ScratchFolder dir;
    ScratchRegistry registry;
    MakeFolder(dir / "Acad\\Support");
    OneProduct("ACAD-1:407", "AutoCAD 2000", dir / "Acad");
    std::string script =
        "svFolder = \"set before\"   # a comment\n"
        "\n"
        "KivGetMainAcadData(hwnd, svFolder, svKey, 0, 0);\n"
        "KivExistFile(svFolder + \"\\\\Support\")\n"
        "KivExistFile(DIR + \"\\\\Support\")\n"
        "SetToDeleteAfterSave(0)\n"
        "SetToDeleteAfterSave(-7)\n"
        "KivGetMainAcadData(hwnd, svFolder, svKey, 0, 1)  // no product with -4\n"
        "KivExistFile(null)\n"
        "KivGetMainAcadData(hwnd, null, svOther, 0, 0)\n";
    HostRun run = RunScript(dir, script, Define("DIR", dir.path()));
    EXPECT_EQ(0u, run.exitCode) << run.err;
    std::string folder = Escaped(dir / "Acad");
    EXPECT_EQ(
        "line 1: svFolder = \"set before\"\n"
        "line 3: KivGetMainAcadData(hwnd, svFolder, svKey, 0, 0) = 0\n"
        "        svFolder = \"" +
            folder +
            "\"\n"
            "        svKey = \"ACAD-1:407\"\n"
            "line 4: KivExistFile(svFolder + \"\\\\Support\") = 1\n"
            "line 5: KivExistFile(DIR + \"\\\\Support\") = 0\n"
            "line 6: SetToDeleteAfterSave(0) = 1\n"
            "line 7: SetToDeleteAfterSave(-7) = 0\n"
            "line 8: KivGetMainAcadData(hwnd, svFolder, svKey, 0, 1) = 0\n"
            "        svFolder unchanged\n"
            "        svKey unchanged\n"
            "line 9: KivExistFile(null) = 0\n"
            "line 10: KivGetMainAcadData(hwnd, null, svOther, 0, 0) = 0\n"
            "        svOther = \"ACAD-1:407\"\n",
        Replaced(run.out, "\r\n", "\n"));
}

TEST(KivHost, ScriptsInUtf8AreTakenToTheAnsiCodePage) {
    ScratchFolder dir;
    WriteFile(dir /
                  "Gr\xF6\xDF"
                  "e.txt",
              "x");  // CP1252, as the DLL's ANSI calls see it
    std::string utf8 =
        "KivExistFile(DIR + \"\\\\Gr\xC3\xB6\xC3\x9F"
        "e.txt\")\n";
    HostRun run = RunScript(dir, "\xEF\xBB\xBF" + utf8, Define("DIR", dir.path()));
    EXPECT_EQ(0u, run.exitCode) << run.err;
    EXPECT_EQ("line 1: " + utf8.substr(0, utf8.size() - 1) + " = 1", Lines(run.out).at(0));

    // A script that is not UTF-8 is taken to be ANSI already.
    run = RunScript(dir,
                    "KivExistFile(DIR + \"\\\\Gr\xF6\xDF"
                    "e.txt\")\n",
                    Define("DIR", dir.path()));
    EXPECT_EQ(0u, run.exitCode) << run.err;
    EXPECT_NE(std::string::npos, run.out.find(") = 1")) << run.out;

    // Omega is missing from code page 1252.
    run = RunScript(dir, "KivExistFile(\"a\")\nKivExistFile(\"\xCE\xA9\")\n");
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_NE(std::string::npos,
              run.err.find("script.kiv:2: a character of this line is missing from the ANSI code page"))
        << run.err;
    EXPECT_EQ("", run.out);
}

TEST(KivHost, TextsLongerThanABufferAreRefusedAtTheAssignment) {
    ScratchFolder dir;
    std::string script = "svLong = TEXT + TEXT\nKivExistFile(svLong)\n";
    HostRun run = RunScript(dir, script, Define("TEXT", std::string(200, 'x')));
    EXPECT_EQ(3u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("line 1: a text of 400 bytes does not fit the 260-byte buffer svLong"))
        << run.err;
    EXPECT_NE(std::string::npos, run.err.find("stopped at line 1; nothing after it ran")) << run.err;
    EXPECT_EQ(std::string::npos, run.out.find("KivExistFile")) << run.out;

    // An over-long text goes to an export unbounded, as the setup script's strings do.
    run = RunScript(dir, "KivExistFile(TEXT + TEXT)\n", Define("TEXT", std::string(200, 'x')));
    EXPECT_EQ(0u, run.exitCode) << run.err;
    EXPECT_NE(std::string::npos, run.out.find(") = 0")) << run.out;
}

TEST(KivHost, AnswersPagesByExactTemplateByTitleOrForEveryPageShowingByShowing) {
    ScratchFolder dir;
    ScratchRegistry registry;
    OneProduct("ACAD-1:407", "Erstes Produkt", dir / "Eins");
    OneProduct("ACAD-4001:407", "Zweites Produkt", dir / "Zwei");
    const std::string target = "KivShowTargeDir(hwnd, \"C:\\\\Ordner\", \"TERVILO\")";
    const struct {
        std::string options;
        std::string script;
        std::string printed;  // the start of the output
    } cases[] = {
        {"--answer next", "ShowTerviloUserName(hwnd, \"Hans\", 0)",
         "line 1: ShowTerviloUserName(hwnd, \"Hans\", 0) = 1\n        page 1003 \"User Information\": next\n"},
        {"--answer \"User Information=cancel\"", "ShowTerviloUserName(hwnd, \"Hans\", 0)",
         "line 1: ShowTerviloUserName(hwnd, \"Hans\", 0) = 0\n        page 1003 \"User Information\": cancel\n"
         "        page 1020 \"Setup Abbrechen \": cancel\n"},
        {"--answer 1010=escape", "ShowTerviloUserName(hwnd, \"Hans\", 1)",
         "line 1: ShowTerviloUserName(hwnd, \"Hans\", 1) = 0\n        page 1010 \"User Information\": escape\n"
         "        page 1020 \"Setup Abbrechen \": cancel\n"},
        // The title as the ANSI command line carries it; kivhost prints UTF-8.
        {"--answer \"Zielpfad best\xE4tigen=back\"", target,
         "line 1: " + target + " = 4\n        page 1006 \"Zielpfad best\xC3\xA4tigen\": back\n"},
        // A user who changes their mind: Back on the first showing, Next on every later one.
        {"--answer 1006=back,next", target + "\n" + target + "\n" + target,
         "line 1: " + target +
             " = 4\n        page 1006 \"Zielpfad best\xC3\xA4tigen\": back\n"
             "line 2: " +
             target +
             " = 1\n        page 1006 \"Zielpfad best\xC3\xA4tigen\": next\n"
             "line 3: " +
             target + " = 1\n        page 1006 \"Zielpfad best\xC3\xA4tigen\": next\n"},
        // Within one call: Cancel, then "&Fortsetzen", then Next on the page shown again.
        {"--answer 1006=cancel,next --answer 1020=next", target,
         "line 1: " + target +
             " = 1\n        page 1006 \"Zielpfad best\xC3\xA4tigen\": cancel\n"
             "        page 1020 \"Setup Abbrechen \": next\n        page 1006 \"Zielpfad best\xC3\xA4tigen\": next\n"},
        // 1008 is not the Dorva AT page 1009, though both have the same title.
        {"--answer \"1008=select:Zweites Produkt,next\" --answer next",
         "KivGetMainAcadData(hwnd, svFolder, svKey, 1, 0)",
         "line 1: KivGetMainAcadData(hwnd, svFolder, svKey, 1, 0) = 0\n"
         "        page 1009 \"AutoCAD Produkt festlegen\": next\n        svFolder = \"" +
             Escaped(dir / "Eins") + "\"\n"},
        {"--answer \"1008=select:Zweites Produkt,next\" --answer next",
         "KivGetMainAcadData(hwnd, svFolder, svKey, 0, 0)",
         "line 1: KivGetMainAcadData(hwnd, svFolder, svKey, 0, 0) = 0\n"
         "        page 1008 \"AutoCAD Produkt festlegen\": select \"Zweites Produkt\", next\n"
         "        svFolder = \"" +
             Escaped(dir / "Zwei") + "\"\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        HostRun run = RunScript(dir, c.script + "\n", c.options);
        EXPECT_EQ(0u, run.exitCode) << run.err;
        EXPECT_EQ(0u, Replaced(run.out, "\r\n", "\n").find(c.printed)) << run.out;
    }
    std::string chosen;
    EXPECT_TRUE(GetRegString(kAcadReleaseKey, "CurVer", chosen));
    EXPECT_EQ("ACAD-4001:407", chosen);
}

TEST(KivHost, ScreenshotsEveryPageShownAsCompressedPngFiles) {
    ScratchFolder dir;
    HostRun run = RunScript(dir,
                            "ShowTerviloUserName(hwnd, \"Hans\", 0)\n"
                            "KivStartRegProgress(hwnd, \"Registrierung\", 3)\n"
                            "KivRegProgDestroy()\n",
                            "--answer next --screenshots \"" + dir / "shots" + "\"");
    EXPECT_EQ(0u, run.exitCode) << run.err;
    std::vector<std::string> expected = {"01-line1-User_Information.png", "02-line2-window.png"};
    ASSERT_EQ(expected, ListNames(dir / "shots"));
    for (const std::string& name : expected) {
        SCOPED_TRACE(name);
        EXPECT_NE(std::string::npos, run.out.find("screenshot " + dir / "shots\\" + name)) << run.out;
        // Read back by the system's own decoder: a picture, not a blank capture, and compressed.
        pagekit::Image image = DecodeImageFile(dir / "shots\\" + name);
        EXPECT_GT(image.width, 100);
        EXPECT_GT(image.height, 40);
        EXPECT_NE(image.pixels.end(), std::find_if(image.pixels.begin(), image.pixels.end(),
                                                   [&](COLORREF pixel) { return pixel != image.pixels[0]; }));
        EXPECT_LT(ReadFile(dir / "shots\\" + name).size(), image.pixels.size());
    }
}

TEST(KivHost, APageNobodyAnswersIsEndedAndTheRunStops) {
    ScratchFolder dir;
    MakeFolder(dir / "from");
    HostRun run = RunScript(dir,
                            "ShowTerviloUserName(hwnd, \"Hans\", 0)\n"
                            "CopyTree(DIR + \"\\\\from\", DIR + \"\\\\to\")\n",
                            "--answer 1006=next --timeout 2" + Define("DIR", dir.path()));
    EXPECT_EQ(3u, run.exitCode);
    EXPECT_NE(std::string::npos, run.out.find("page 1003 \"User Information\": no answer given, left open")) << run.out;
    EXPECT_NE(std::string::npos, run.err.find("line 1: the call did not return within 2 s; page 1003 \"User "
                                              "Information\" was open; no answer was given"))
        << run.err;
    EXPECT_NE(std::string::npos, run.err.find("stopped at line 1; nothing after it ran")) << run.err;
    EXPECT_FALSE(FolderExists(dir / "to"));

    // An answer that turns out impossible at run time ends the page the same way.
    ScratchRegistry registry;
    OneProduct("ACAD-1:407", "Erstes Produkt", dir / "Eins");
    OneProduct("ACAD-4001:407", "Zweites Produkt", dir / "Zwei");
    run = RunScript(dir, "KivGetMainAcadData(hwnd, a, b, 0, 0)\n", "--answer \"1008=select:Drittes Produkt,next\"");
    EXPECT_EQ(3u, run.exitCode);
    EXPECT_NE(std::string::npos,
              run.err.find("page 1008 \"AutoCAD Produkt festlegen\" lists no entry \"Drittes Produkt\""))
        << run.err;
}

TEST(KivHost, AnswersNoUserCouldGiveAreRefusedBeforeTheRun) {
    ScratchFolder dir;
    const struct {
        const char* options;
        const char* refused;
    } cases[] = {
        {"--answer 1003=back",
         "--answer 1003=back: page 1003 \"User Information\" cannot take back (it shows "
         "\"&Weiter >\" for next and \"Abbrechen\" for cancel; its answers: next, cancel, "
         "escape)"},
        {"--answer back",
         "--answer back: page 1007 \"Tablettmen\xC3\xBC einrichten\", which line 3 shows, cannot "
         "take back"},
        {"--answer 1008=cancel", "--answer 1008=cancel: page 1008 \"AutoCAD Produkt festlegen\" cannot take cancel"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        HostRun run = RunScript(dir,
                                "KivShowTargeDir(hwnd, \"C:\\\\x\", \"TERVILO\")\n"
                                "CopyTree(\"C:\\\\none\", \"C:\\\\none2\")\n"
                                "KivIsWithinTablet(hwnd, \"C:\\\\x\", svTablet)\n",
                                c.options);
        EXPECT_EQ(2u, run.exitCode);
        EXPECT_NE(std::string::npos, run.err.find(c.refused)) << run.err;
        EXPECT_NE(std::string::npos, run.err.find("nothing was run")) << run.err;
        EXPECT_EQ("", run.out);
    }
}

TEST(KivHost, UsageAndDllErrorsRunNothingAndAnUnwritableLogIsWarnedOf) {
    ScratchFolder dir;
    HostRun run = RunScript(dir, "KivExistFile(\"C:\\\\\")\n", "--dll C:\\windows\\system32\\kernel32.dll");
    EXPECT_EQ(2u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("kernel32.dll has no export KivExistFile; nothing was run")) << run.err;
    EXPECT_EQ("", run.out);

    // The system's own words for what went wrong.
    run = RunScript(dir, "KivExistFile(\"C:\\\\\")\n", "--dll \"" + dir / "missing.dll" + "\"");
    EXPECT_EQ(2u, run.exitCode);
    EXPECT_NE(std::string::npos,
              run.err.find("cannot load " + dir / "missing.dll: " + SystemText(ERROR_MOD_NOT_FOUND) + " (error 126)"))
        << run.err;
    run = RunHost("\"" + dir / "absent.kiv" + "\"");
    EXPECT_EQ(2u, run.exitCode);
    EXPECT_NE(std::string::npos,
              run.err.find("cannot read " + dir / "absent.kiv: " + SystemText(ERROR_FILE_NOT_FOUND) + " (error 2)"))
        << run.err;

    run = RunHost("--answer \"1006=jump\" \"" + dir / "script.kiv" + "\"");
    EXPECT_EQ(2u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("unknown step \"jump\"")) << run.err;

    run = RunHost(Define("svLong", std::string(260, 'x')) + " \"" + dir / "script.kiv" + "\"");
    EXPECT_EQ(2u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("--define svLong: the text does not fit a 260-byte buffer")) << run.err;

    // A log that cannot be written is warned of, and the run goes on without it.
    run = RunScript(dir, "KivExistFile(\"C:\\\\\")\n", "--log \"" + dir / "nope\\x.log\"");
    EXPECT_NE(std::string::npos, run.out.find("KivExistFile")) << run.out;
    EXPECT_NE(std::string::npos, run.err.find("warning: the log " + dir / "nope\\x.log cannot be written: "))
        << run.err;
}

TEST(KivHost, RunsTheSampleUpgradeUnattended) {
    ScratchFolder dir;
    ScratchRegistry registry;
    LayOutSample(dir, dir.path());

    HostRun run = RunHost("--define \"ROOT=" + dir.path() +
                          "\" --answer \"1008=select:AutoCAD Map 2000,next\" --answer 1007=tick,next --answer next "
                          "\"" +
                          kExamples + "/upgrade.kiv\"");
    EXPECT_EQ(0u, run.exitCode) << run.out << run.err;

    // Every call of the script is printed with its result, and nothing else is.
    std::vector<std::string> script = Lines(ReadFile(kExamples + "/upgrade.kiv"));
    int calls = 0, printed = 0;
    for (std::size_t i = 0; i < script.size(); ++i) {
        const std::string& text = script[i];
        if (text.empty() || text[0] == '#' || text.find(" = ") != std::string::npos) continue;
        ++calls;
        EXPECT_NE(std::string::npos, run.out.find("line " + std::to_string(i + 1) + ": " + text + " = ")) << text;
    }
    for (const std::string& text : Lines(run.out))
        if (text.compare(0, 5, "line ") == 0 && text.find(") = ") != std::string::npos) ++printed;
    EXPECT_EQ(calls, printed);

    // The upgrade took place.
    std::string current;
    EXPECT_TRUE(GetRegString(kAcadReleaseKey, "CurVer", current));
    EXPECT_EQ("ACAD-4001:407", current);
    EXPECT_NE(std::string::npos, run.out.find("svTablet = \"Tablet\"")) << run.out;
    EXPECT_TRUE(FileExists(dir / "Programme\\ACADMAP\\Support\\SaveMenu2\\Acad.Mnu"));
    EXPECT_TRUE(FileExists(dir / "Dorvasys\\TERVILO\\Manager\\Save2\\MeinePunkte.lsp"));
    EXPECT_TRUE(FileExists(dir / "Dorvasys\\TERVILO\\Save1\\TvKonfig.exe"));
    EXPECT_FALSE(FileExists(dir / "Dorvasys\\TERVILO\\Tervilo.Arx"));
    EXPECT_FALSE(RegKeyExists(std::string(kAcadReleaseKey) + "\\ACAD-4001:407\\Applications\\Tervilo"));
    std::string library = dir / "Dorvasys\\TERVILO\\Bib\\Bib.Ini";
    EXPECT_NE(std::string::npos, ReadFile(dir / "Dorvasys\\TERVILO\\Manager\\Arch.Cfg")
                                     .find("BIBHPT 5005 " + std::to_string(library.size()) + " " + library + "\r\n"));
}

TEST(KivHost, AnUpgradeRecordedWithBackPlaysBackSilentlyWithNoWindowAndTheSameEffects) {
    ScratchFolder dir;
    ScratchRegistry registry;
    const std::string root = dir / "root", responses = dir / "KivForIS55.iss", script = dir / "upgrade.kiv";
    // The script shows the target page again after a Back, as a setup's wizard does, and expects both results.
    const std::string target = "KivShowTargeDir(hwnd, ROOT + \"\\\\Dorvasys\\\\TERVILO\", \"TERVILO\")";
    WriteFile(script,
              Replaced(ReadFile(kExamples + "/upgrade.kiv"), target + "\n", target + " == 4\n" + target + " == 1\n"));
    const std::string run = Define("ROOT", root) + " \"" + script + "\"";

    LayOutSample(dir, root);
    // Recording replaces the sections it writes and keeps the others.
    WriteFile(responses, "[KivShowTargeDir-0]\nResult=2\nOld=1\n[Other]\nKey=7\n");
    HostRun recorded, silent;
    // On the target page: Cancel, "&Fortsetzen" (which records nothing: the page goes on), Back; then Next.
    const std::set<DWORD> recordingOwners = WindowOwnersDuring([&] {
        recorded = RunHost("--record \"" + responses +
                           "\" --answer \"1008=select:AutoCAD Map 2000,next\" --answer 1007=tick,next "
                           "--answer 1006=cancel,back,next --answer 1020=next --answer next" +
                           run);
    });
    ASSERT_EQ(0u, recorded.exitCode) << recorded.out << recorded.err;
    EXPECT_EQ(1u, recordingOwners.count(recorded.processId)) << "the watcher sees the pages";
    EXPECT_EQ(4u, ::GetPrivateProfileIntA("KivShowTargeDir-0", "Result", 0, responses.c_str()));
    EXPECT_EQ(0u, ::GetPrivateProfileIntA("KivShowTargeDir-0", "Old", 0, responses.c_str()));
    EXPECT_EQ(7u, ::GetPrivateProfileIntA("Other", "Key", 0, responses.c_str()));
    const auto afterRecording = Effects(root);

    RemoveTree(root);
    LayOutSample(dir, root);
    const std::set<DWORD> playbackOwners =
        WindowOwnersDuring([&] { silent = RunHost("--silent \"" + responses + "\"" + run); });
    ASSERT_EQ(0u, silent.exitCode) << silent.out << silent.err;
    EXPECT_EQ(0u, playbackOwners.count(silent.processId));
    const auto afterPlayback = Effects(root);
    EXPECT_EQ(afterRecording.size(), afterPlayback.size());
    for (const auto& [name, bytes] : afterRecording)
        EXPECT_TRUE(afterPlayback.count(name) != 0 && afterPlayback.at(name) == bytes) << name;

    // A result other than the one expected stops the run there, with its own status.
    HostRun unexpected = RunScript(dir, "KivExistFile(\"C:\\\\\") == 0\nKivRegProgDestroy()\n");
    EXPECT_EQ(5u, unexpected.exitCode);
    EXPECT_NE(std::string::npos, unexpected.err.find("line 1: expected 0, the result was 1")) << unexpected.err;
    EXPECT_EQ(std::string::npos, unexpected.out.find("line 2")) << unexpected.out;
}

// --undo and --commit finish the journal that a setup left when it ended without either.
TEST(KivHost, UndoesOrCommitsTheJournalASetupLeft) {
    ScratchFolder dir;
    const std::string menu = dir / "Manager\\Tervilo.mnu", journal = dir / "Journal";
    for (const bool undo : {true, false}) {
        MakeFolder(dir / "Manager");
        WriteFile(menu, "Menue");
        {
            Library lib;
            ASSERT_EQ(1, lib.KivBeginChanges(journal.c_str()));
            ASSERT_EQ(1, lib.SaveBeforeFilesCopy((dir / "Manager").c_str(), (dir / "Manager").c_str()));
        }
        ASSERT_FALSE(FileExists(menu));
        HostRun run = RunHost((undo ? "--undo \"" : "--commit \"") + journal + "\"");
        EXPECT_EQ(0u, run.exitCode) << run.out << run.err;
        EXPECT_NE(std::string::npos, run.out.find(undo ? "KivUndoChanges() = 1" : "KivCommitChanges() = 1")) << run.out;
        EXPECT_EQ(undo, FileExists(menu));
        EXPECT_FALSE(FolderExists(journal));
    }
    HostRun run = RunHost("--undo \"" + journal + "\" \"" + dir / "script.kiv" + "\"");
    EXPECT_EQ(2u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("--undo and --commit take no script")) << run.err;
}
