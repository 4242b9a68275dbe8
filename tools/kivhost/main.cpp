// kivhost.exe: loads KivForIS55.dll and runs a call script as a setup script would.
#include "AutoAnswer.h"
#include "Calls.h"
#include "DialogTemplate.h"
#include "Options.h"
#include "Output.h"
#include "Runner.h"
#include "Script.h"

#include "frame/Handles.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>

using namespace kivhost;

namespace {

bool ReadScript(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

BOOL CALLBACK CollectCaption(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR captions) {
    if (!IS_INTRESOURCE(name)) return TRUE;
    HRSRC resource = ::FindResourceA(module, name, type);
    HGLOBAL loaded = resource != nullptr ? ::LoadResource(module, resource) : nullptr;
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    std::u16string caption;
    if (data == nullptr ||
        !DialogCaption(static_cast<const unsigned char*>(data), ::SizeofResource(module, resource), caption))
        return TRUE;
    std::wstring wide(caption.begin(), caption.end());
    char ansi[512] = "";
    ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
    (*reinterpret_cast<std::map<int, std::string>*>(captions))[static_cast<int>(reinterpret_cast<ULONG_PTR>(name))] =
        ansi;
    return TRUE;
}

// The captions of the DLL's dialog templates, so that --answer can name a page by its template.
std::map<int, std::string> DialogCaptions(HMODULE dll) {
    std::map<int, std::string> captions;
    ::EnumResourceNamesA(dll, RT_DIALOG, &CollectCaption, reinterpret_cast<LONG_PTR>(&captions));
    return captions;
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

int ScriptFailure(const std::string& script, const ScriptError& error, const std::string& text, bool ansi) {
    PrintError("kivhost: " + script + ":" + std::to_string(error.line) + ": " + ToUtf8(error.message));
    std::string source = LineOf(text, error.line);
    if (!source.empty()) PrintError("    " + (ansi ? ToUtf8(source) : source));
    PrintError("kivhost: nothing was run");
    return kExitScriptError;
}

}  // namespace

int main(int argc, char** argv) {
    ::SetConsoleOutputCP(CP_UTF8);
    Options options;
    std::string error;
    if (!ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        PrintError("kivhost: " + ToUtf8(error));
        PrintError(kUsage);
        return kExitSetupError;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return kExitDone;
    }

    std::string raw, text;
    if (!ReadScript(options.script, raw)) {
        PrintError("kivhost: cannot read " + ToUtf8(options.script));
        return kExitSetupError;
    }
    std::vector<Statement> statements;
    ScriptError scriptError;
    if (!ScriptToAnsi(raw, text, scriptError)) return ScriptFailure(options.script, scriptError, raw, false);
    std::set<std::string> defined;
    for (const auto& define : options.defines) defined.insert(define.first);
    if (!ParseScript(text, statements, scriptError) || !CheckScript(statements, defined, scriptError))
        return ScriptFailure(options.script, scriptError, text, true);

    std::string dllPath = options.dll.empty() ? ProgramFolder() + "\\KivForIS55.dll" : options.dll;
    HMODULE dll = ::LoadLibraryA(dllPath.c_str());
    if (dll == nullptr) {
        PrintError("kivhost: cannot load " + ToUtf8(dllPath) + " (error " + std::to_string(::GetLastError()) + ")");
        return kExitSetupError;
    }
    kiv::ScopeExit unload([&] { ::FreeLibrary(dll); });
    std::map<std::string, FARPROC> procs;
    std::string missing;
    if (!ResolveExports(dll, statements, procs, missing)) {
        PrintError("kivhost: " + ToUtf8(dllPath) + " has no export " + missing + "; nothing was run");
        return kExitSetupError;
    }

    std::string scriptName = options.script.substr(options.script.find_last_of("\\/") + 1);
    HWND mainWindow = CreateMainWindow(scriptName);
    if (mainWindow == nullptr) PrintError("kivhost: no main window could be created; hwnd is passed as null");
    kiv::ScopeExit closeWindow([&] {
        if (mainWindow != nullptr) ::DestroyWindow(mainWindow);
    });

    AutoAnswer::Settings settings;
    settings.mainWindow = mainWindow;
    settings.rules = options.answers;
    settings.captions = DialogCaptions(dll);
    settings.screenshotFolder = options.screenshots;
    settings.timeoutMs = static_cast<DWORD>(options.timeoutSeconds) * 1000;
    AutoAnswer answers(std::move(settings));
    Runner runner(std::move(procs), mainWindow, answers, options.defines);
    return runner.Run(statements);
}
