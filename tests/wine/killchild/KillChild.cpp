// Child process of the kill test: runs one export of KivForIS55.dll on the folders named on its command line.
#include <windows.h>

#include <cstring>
#include <string>

namespace {

template <typename F>
F Export(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// The test waits on these to tell a kill before the call from one during or after it.
void Signal(const std::string& name) {
    HANDLE event = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, name.c_str());
    if (event == nullptr) return;
    ::SetEvent(event);
    ::CloseHandle(event);
}

using FolderSetter = int(__stdcall*)(const char*);

}  // namespace

// kiv_kill_child <events> save <programDir> <managerDir>
// kiv_kill_child <events> update <oldProgram> <oldManager> <newProgram> <newManager>
// Signals "<events>-ready" just before the export call and "<events>-done" after it;
// the exit code is the export's result, 90 for a bad command line, 91 without the DLL.
int main(int argc, char** argv) {
    const bool save = argc == 5 && std::strcmp(argv[2], "save") == 0;
    const bool update = argc == 7 && std::strcmp(argv[2], "update") == 0;
    if (!save && !update) return 90;

    char self[MAX_PATH];
    std::string folder(self, ::GetModuleFileNameA(nullptr, self, MAX_PATH));
    HMODULE dll = ::LoadLibraryA((folder.substr(0, folder.find_last_of('\\')) + "\\KivForIS55.dll").c_str());
    if (dll == nullptr) return 91;

    const std::string events = argv[1];
    int result = 0;
    if (save) {
        auto saveBefore = Export<int(__stdcall*)(const char*, const char*)>(dll, "SaveBeforeFilesCopy");
        if (saveBefore == nullptr) return 91;
        Signal(events + "-ready");
        result = saveBefore(argv[3], argv[4]);
    } else {
        const char* const setters[] = {"SetOldProgramDir", "SetOldManagerDir", "SetNewProgramDir", "SetNewManagerDir"};
        for (int i = 0; i < 4; ++i) {
            auto set = Export<FolderSetter>(dll, setters[i]);
            if (set == nullptr) return 91;
            set(argv[3 + i]);
        }
        auto updateManager = Export<int(__stdcall*)(const char*, int)>(dll, "CreateUpdateManager");
        if (updateManager == nullptr) return 91;
        Signal(events + "-ready");
        result = updateManager(argv[5], 1);
    }
    Signal(events + "-done");
    return result;
}
