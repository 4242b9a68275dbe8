// kivhost.exe: loads KivForIS55.dll and runs a call script as a setup script would.
#include "AutoAnswer.h"
#include "Calls.h"
#include "DialogTemplate.h"
#include "FinishJournal.h"
#include "Options.h"
#include "Output.h"
#include "Pages.h"
#include "Runner.h"
#include "Script.h"

#include "KivForIS55.h"
#include "core/Path.h"
#include "win32/Handles.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace kivhost;

namespace {

// The whole file; false with the system's reason when it cannot be read.
bool ReadScript(const std::string& path, std::string& text, std::string& reason) {
    kiv::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    char chunk[65536];
    DWORD read = 0;
    bool ok = static_cast<bool>(file);
    while (ok && (ok = ::ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) != FALSE) && read > 0)
        text.append(chunk, read);
    if (!ok) reason = SystemMessage(::GetLastError());
    return ok;
}

std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, kiv::path::LastSeparator(folder, "\\"));
}

BOOL CALLBACK CollectTemplate(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR templates) {
    if (!IS_INTRESOURCE(name)) return TRUE;
    HRSRC resource = ::FindResourceA(module, name, type);
    HGLOBAL loaded = resource != nullptr ? ::LoadResource(module, resource) : nullptr;
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    DialogTemplate dialog;
    if (data != nullptr &&
        ParseDialogTemplate(static_cast<const unsigned char*>(data), ::SizeofResource(module, resource), dialog))
        (*reinterpret_cast<std::map<int, DialogTemplate>*>(
            templates))[static_cast<int>(reinterpret_cast<ULONG_PTR>(name))] = dialog;
    return TRUE;
}

// The DLL's dialog templates, by which a page shown is told from the others.
std::map<int, DialogTemplate> DialogTemplates(HMODULE dll) {
    std::map<int, DialogTemplate> templates;
    ::EnumResourceNamesA(dll, RT_DIALOG, &CollectTemplate, reinterpret_cast<LONG_PTR>(&templates));
    return templates;
}

// The setup script's own window, which owns the pages.
HWND CreateMainWindow(const std::string& scriptName) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &::DefWindowProcA;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    windowClass.lpszClassName = "KivHostMainWindow";
    ::RegisterClassA(&windowClass);
    RECT work = {0, 0, 800, 600};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    int width = 640, height = 480;
    HWND window = ::CreateWindowExA(0, windowClass.lpszClassName, ("kivhost - " + scriptName).c_str(),
                                    WS_OVERLAPPEDWINDOW, work.left + (work.right - work.left - width) / 2,
                                    work.top + (work.bottom - work.top - height) / 2, width, height, nullptr, nullptr,
                                    windowClass.hInstance, nullptr);
    if (window != nullptr) {
        ::ShowWindow(window, SW_SHOWNORMAL);
        ::UpdateWindow(window);
    }
    return window;
}

std::string LineOf(const std::string& text, int number) {
    std::size_t start = 0;
    for (int line = 1; line < number && start != std::string::npos; ++line) {
        start = text.find('\n', start);
        if (start != std::string::npos) ++start;
    }
    if (start == std::string::npos) return std::string();
    std::string line = text.substr(start, text.find('\n', start) - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// Every error of the script, in line order, each with its line as written.
int ScriptFailure(const std::string& script, std::vector<ScriptError> errors, const std::string& raw) {
    std::stable_sort(errors.begin(), errors.end(),
                     [](const ScriptError& a, const ScriptError& b) { return a.line < b.line; });
    for (const ScriptError& error : errors) {
        PrintError("kivhost: " + AsUtf8(script) + (error.line > 0 ? ":" + std::to_string(error.line) : "") + ": " +
                   ToUtf8(error.message));
        std::string source = error.line > 0 ? LineOf(raw, error.line) : std::string();
        if (!source.empty()) PrintError("    " + AsUtf8(source));
    }
    PrintError("kivhost: " + std::to_string(errors.size()) + (errors.size() == 1 ? " error" : " errors") +
               "; nothing was run");
    return kExitScriptError;
}

static_assert(kNormalMode == KIV_MODE_NORMAL && kRecordMode == KIV_MODE_RECORD && kSilentMode == KIV_MODE_SILENT,
              "kivhost passes the modes the DLL takes");

// --record or --silent: the DLL's response mode, set before the first call of the script.
bool SetResponseMode(HMODULE dll, const Options& options) {
    if (options.responseMode == kNormalMode) return true;
    auto set = reinterpret_cast<decltype(&::KivSetResponseFile)>(
        reinterpret_cast<void*>(::GetProcAddress(dll, "KivSetResponseFile")));
    auto lastError = reinterpret_cast<decltype(&::KivGetLastError)>(
        reinterpret_cast<void*>(::GetProcAddress(dll, "KivGetLastError")));
    if (set == nullptr || lastError == nullptr) {
        PrintError("kivhost: the DLL has no KivSetResponseFile; nothing was run");
        return false;
    }
    if (set(options.responseFile.c_str(), options.responseMode) != 0) return true;
    char text[KIV_BUFFER_SIZE] = "";
    lastError(text);
    PrintError("kivhost: " + std::string(options.responseMode == kSilentMode ? "--silent " : "--record ") +
               ToUtf8(options.responseFile) + ": " + ToUtf8(text) + "; nothing was run");
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    ::SetConsoleOutputCP(CP_UTF8);
    Options options;
    std::string error;
    if (!ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        PrintError("kivhost: " + ToUtf8(error));
        PrintError("kivhost: nothing was run; kivhost --help lists the options");
        return kExitSetupError;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return kExitDone;
    }
    if (!options.journal.empty())
        return FinishJournal(options, options.dll.empty() ? ProgramFolder() + "\\KivForIS55.dll" : options.dll);

    std::string raw, reason;
    if (!ReadScript(options.script, raw, reason)) {
        PrintError("kivhost: cannot read " + AsUtf8(options.script) + ": " + reason);
        return kExitSetupError;
    }
    std::vector<ScriptError> errors;
    std::string text = ScriptToAnsi(raw, errors);
    std::vector<Statement> statements;
    std::set<std::string> defined;
    for (const auto& define : options.defines) defined.insert(define.first);
    ParseScript(text, statements, errors);
    CheckScript(statements, defined, errors);
    if (statements.empty() && errors.empty()) errors.push_back(ScriptError{0, "the script makes no call"});
    if (!errors.empty())
        return ScriptFailure(options.script, errors, raw.compare(0, 3, "\xEF\xBB\xBF") == 0 ? raw.substr(3) : raw);
    std::vector<std::string> refused;
    CheckAnswersForScript(options.answers, statements, refused);
    for (const std::string& answer : refused) PrintError("kivhost: " + ToUtf8(answer));
    if (!refused.empty()) {
        PrintError("kivhost: nothing was run");
        return kExitSetupError;
    }

    if (!options.log.empty()) {
        // Both: the DLL may read it through the system or through its C runtime.
        ::SetEnvironmentVariableA("KIVFORIS55_LOG", options.log.c_str());
        ::_putenv(("KIVFORIS55_LOG=" + options.log).c_str());
        // The DLL ignores a log it cannot write, so say it here, once.
        kiv::UniqueFile probe(::CreateFileA(options.log.c_str(), FILE_APPEND_DATA,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe)
            PrintError("kivhost: warning: the log " + ToUtf8(options.log) +
                       " cannot be written: " + SystemMessage(::GetLastError()) + "; the run goes on without it");
    }
    std::string dllPath = options.dll.empty() ? ProgramFolder() + "\\KivForIS55.dll" : options.dll;
    kiv::UniqueModule dll(::LoadLibraryA(dllPath.c_str()));
    if (!dll) {
        PrintError("kivhost: cannot load " + ToUtf8(dllPath) + ": " + SystemMessage(::GetLastError()));
        return kExitSetupError;
    }
    std::map<std::string, FARPROC> procs;
    std::string missing;
    if (!ResolveExports(dll.get(), statements, procs, missing)) {
        PrintError("kivhost: " + ToUtf8(dllPath) + " has no export " + missing + "; nothing was run");
        return kExitSetupError;
    }

    if (!SetResponseMode(dll.get(), options)) return kExitSetupError;

    std::string scriptName = options.script.substr(kiv::path::LastSeparator(options.script, "\\/") + 1);
    // A silent setup shows no window of its own either.
    const bool silent = options.responseMode == kSilentMode;
    HWND mainWindow = silent ? nullptr : CreateMainWindow(scriptName);
    if (mainWindow == nullptr && !silent)
        PrintError("kivhost: no main window could be created; hwnd is passed as null");
    kiv::ScopeExit closeWindow([&] {
        if (mainWindow != nullptr) ::DestroyWindow(mainWindow);
    });

    AutoAnswer::Settings settings;
    settings.mainWindow = mainWindow;
    settings.rules = options.answers;
    settings.templates = DialogTemplates(dll.get());
    settings.screenshotFolder = options.screenshots;
    settings.timeoutMs = static_cast<DWORD>(options.timeoutSeconds) * 1000;
    AutoAnswer answers(std::move(settings));
    Runner runner(std::move(procs), mainWindow, answers, options.defines);
    return runner.Run(statements);
}
