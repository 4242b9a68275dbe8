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
using TwoTexts = int(__stdcall*)(const char*, const char*);
using TextAndNumber = int(__stdcall*)(const char*, int);

// The upgrade without its pages, in a journal: 1 when every step did all its work.
int UpgradeInJournal(HMODULE dll, const std::string& journal, const std::string& root, const std::string& events) {
    auto text = [dll](const char* name) { return Export<FolderSetter>(dll, name); };
    const std::string neu = root + "\\Neu", manager = root + "\\NeuManager";
    Signal(events + "-ready");
    if (text("KivBeginChanges")(journal.c_str()) != 1) return 0;
    char folder[MAX_PATH], key[MAX_PATH];
    Export<int(__stdcall*)(HWND, char*, char*, int, int)>(dll, "KivGetMainAcadData")(nullptr, folder, key, 0, 1);
    int done = Export<TwoTexts>(dll, "SaveBeforeFilesCopy")(neu.c_str(), manager.c_str()) == 1;
    done &= text("SaveAfterFilesCopy")((neu + "\\").c_str()) == 1;
    const std::string folders[] = {root + "\\Alt", root + "\\AltManager", neu, manager};
    const char* const setters[] = {"SetOldProgramDir", "SetOldManagerDir", "SetNewProgramDir", "SetNewManagerDir"};
    for (int i = 0; i < 4; ++i) text(setters[i])(folders[i].c_str());
    done &= Export<TextAndNumber>(dll, "CreateUpdateManager")(neu.c_str(), 1);
    text("DeleteOldAppsReg")("ja");
    text("DeleteOldFiles")(neu.c_str());
    return done;
}

}  // namespace

// kiv_kill_child <events> save <programDir> <managerDir>
// kiv_kill_child <events> update <oldProgram> <oldManager> <newProgram> <newManager>
// kiv_kill_child <events> upgrade <journal> <root>: the whole upgrade below root in a journal
// kiv_kill_child <events> undo <journal>: adopts that journal and undoes it
// Signals "<events>-ready" just before the export call and "<events>-done" after it;
// the exit code is the export's result, 90 for a bad command line, 91 without the DLL.
int main(int argc, char** argv) {
    const bool save = argc == 5 && std::strcmp(argv[2], "save") == 0;
    const bool update = argc == 7 && std::strcmp(argv[2], "update") == 0;
    const bool upgrade = argc == 5 && std::strcmp(argv[2], "upgrade") == 0;
    const bool undo = argc == 4 && std::strcmp(argv[2], "undo") == 0;
    if (!save && !update && !upgrade && !undo) return 90;

    char self[MAX_PATH];
    std::string folder(self, ::GetModuleFileNameA(nullptr, self, MAX_PATH));
    HMODULE dll = ::LoadLibraryA((folder.substr(0, folder.find_last_of('\\')) + "\\KivForIS55.dll").c_str());
    if (dll == nullptr) return 91;

    const std::string events = argv[1];
    int result = 0;
    if (upgrade) {
        result = UpgradeInJournal(dll, argv[3], argv[4], events);
    } else if (undo) {
        Signal(events + "-ready");
        result = Export<FolderSetter>(dll, "KivBeginChanges")(argv[3]) != 0 &&
                 Export<int(__stdcall*)()>(dll, "KivUndoChanges")() == 1;
    } else if (save) {
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
