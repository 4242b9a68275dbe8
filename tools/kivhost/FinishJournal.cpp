// Finishing an undo journal through the DLL's three journal exports.
#include "FinishJournal.h"

#include "KivForIS55.h"
#include "Output.h"
#include "win32/Handles.h"

#include <windows.h>

namespace kivhost {

namespace {

template <typename Export>
Export Bind(HMODULE dll, const char* name) {
    return reinterpret_cast<Export>(reinterpret_cast<void*>(::GetProcAddress(dll, name)));
}

}  // namespace

int FinishJournal(const Options& options, const std::string& dllPath) {
    kiv::UniqueModule dll(::LoadLibraryA(dllPath.c_str()));
    if (!dll) {
        PrintError("kivhost: cannot load " + ToUtf8(dllPath) + ": " + SystemMessage(::GetLastError()));
        return kExitSetupError;
    }
    const auto begin = Bind<decltype(&::KivBeginChanges)>(dll.get(), "KivBeginChanges");
    const auto finish = options.undoJournal ? Bind<decltype(&::KivUndoChanges)>(dll.get(), "KivUndoChanges")
                                            : Bind<decltype(&::KivCommitChanges)>(dll.get(), "KivCommitChanges");
    const auto lastError = Bind<decltype(&::KivGetLastError)>(dll.get(), "KivGetLastError");
    if (begin == nullptr || finish == nullptr || lastError == nullptr) {
        PrintError("kivhost: " + ToUtf8(dllPath) + " has no undo journal exports");
        return kExitSetupError;
    }
    auto report = [&](const std::string& call, int result) {
        char text[KIV_BUFFER_SIZE] = "";
        const int code = lastError(text);
        Print(call + " = " + std::to_string(result) +
              (code != 0 ? "  [" + std::to_string(code) + ": " + ToUtf8(text) + "]" : ""));
        return result;
    };
    const int begun = report("KivBeginChanges(\"" + ToUtf8(options.journal) + "\")", begin(options.journal.c_str()));
    if (begun == 0) return kExitSetupError;
    if (begun == 1) Print("kivhost: no unfinished journal there; the one just begun is removed again");
    const int finished = report(options.undoJournal ? "KivUndoChanges()" : "KivCommitChanges()", finish());
    return finished == 1 ? kExitDone : kExitStopped;
}

}  // namespace kivhost
