// The 22 exports: thin shims that keep every C++ exception inside the library
// and hand the work to the subsystems.
#include "KivForIS55.h"

#include "dialogs/Exports.h"
#include "frame/FileSystem.h"
#include "frame/Log.h"
#include "frame/OutputBuffer.h"
#include "frame/SetupState.h"
#include "host/ProductSelection.h"
#include "upgrade/Exports.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// A caller's output buffer, shown in the log as it stands after the call.
struct Out {
    char* buffer;
};

std::string Describe(const char* text) { return kiv::log::Quote(text); }
std::string Describe(int value) { return std::to_string(value); }
std::string Describe(HWND window) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
}
std::string Describe(Out out) {
    if (out.buffer == nullptr) return "NULL";
    // The caller promised kOutputBufferSize bytes; an unwritten one need not hold a zero.
    const void* end = std::memchr(out.buffer, '\0', kiv::kOutputBufferSize);
    std::size_t length = end != nullptr ? static_cast<const char*>(end) - out.buffer : kiv::kOutputBufferSize;
    return "out " + kiv::log::Quote(std::string(out.buffer, length).c_str());
}

template <typename... Args>
void LogCall(const char* name, int result, LARGE_INTEGER start, const Args&... args) noexcept {
    try {
        LARGE_INTEGER end, frequency;
        ::QueryPerformanceCounter(&end);
        ::QueryPerformanceFrequency(&frequency);
        std::string line = name;
        line += '(';
        [[maybe_unused]] const char* separator = "";
        ((line += separator, line += Describe(args), separator = ", "), ...);
        char tail[64];
        std::snprintf(tail, sizeof tail, ") = %d [%.3f ms]", result,
                      frequency.QuadPart > 0 ? (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart : 0.0);
        kiv::log::Write(line + tail);
    } catch (...) {
    }
}

// Runs work and maps any exception to onError: nothing crosses into the script.
// With the log on, the call is recorded with its arguments, result and duration.
template <typename Work, typename... Args>
int Guarded(const char* name, int onError, Work&& work, const Args&... args) noexcept {
    const bool logging = kiv::log::Enabled();
    LARGE_INTEGER start = {};
    if (logging) ::QueryPerformanceCounter(&start);
    int result = onError;
    try {
        result = work();
    } catch (...) {
        result = onError;
    }
    if (logging) LogCall(name, result, start, args...);
    return result;
}

// The same for the exports without a status, which answer 0.
template <typename Work, typename... Args>
int GuardedVoid(const char* name, Work&& work, const Args&... args) noexcept {
    return Guarded(
        name, 0,
        [&] {
            work();
            return 0;
        },
        args...);
}

}  // namespace

using kiv::SetupState;

extern "C" {

int __stdcall SetOldProgramDir(const char* folder) {
    return GuardedVoid(__func__, [&] { kiv::SetFolder(&SetupState::oldProgramDir, folder); }, folder);
}
int __stdcall SetNewProgramDir(const char* folder) {
    return GuardedVoid(__func__, [&] { kiv::SetFolder(&SetupState::newProgramDir, folder); }, folder);
}
int __stdcall SetOldManagerDir(const char* folder) {
    return GuardedVoid(__func__, [&] { kiv::SetFolder(&SetupState::oldManagerDir, folder); }, folder);
}
int __stdcall SetNewManagerDir(const char* folder) {
    return GuardedVoid(__func__, [&] { kiv::SetFolder(&SetupState::newManagerDir, folder); }, folder);
}
int __stdcall SetBlocksSubDir(const char* folder) {
    return GuardedVoid(__func__, [&] { kiv::SetFolder(&SetupState::blocksSubDir, folder); }, folder);
}
int __stdcall SetToDeleteAfterSave(int flag) {
    return Guarded(__func__, 0, [&] { return kiv::SetKeepOriginals(flag); }, flag);
}
int __stdcall KivExistFile(const char* path) {
    return Guarded(__func__, 0, [&] { return kiv::file::Exists(path) ? 1 : 0; }, path);
}

int __stdcall KivGetMainAcadData(HWND parentWindow, char* folderBuffer, char* productKeyBuffer, int altPage,
                                 int dash4Only) {
    return GuardedVoid(__func__, 
        [&] { kiv::host::GetMainAcadData(parentWindow, folderBuffer, productKeyBuffer, altPage, dash4Only); }, parentWindow, Out{folderBuffer}, Out{productKeyBuffer}, altPage, dash4Only);
}

int __stdcall KivGetUserName(char* nameBuffer) {
    return GuardedVoid(__func__, [&] { kiv::dialogs::GetUserName(nameBuffer); }, Out{nameBuffer});
}
int __stdcall ShowTerviloUserName(HWND parentWindow, const char* userNameText, int greyed) {
    return Guarded(__func__, 0, [&] { return kiv::dialogs::ShowUserName(parentWindow, userNameText, greyed); }, parentWindow, userNameText, greyed);
}
int __stdcall KivShowTargeDir(HWND parentWindow, const char* targetFolder, const char* productName) {
    return Guarded(__func__, 2, [&] { return kiv::dialogs::ShowTargetFolder(parentWindow, targetFolder, productName); }, parentWindow, targetFolder, productName);
}
int __stdcall KivIsWithinTablet(HWND parentWindow, const char* acadFolder, char* resultBuffer) {
    return Guarded(__func__, 2, [&] { return kiv::dialogs::IsWithinTablet(parentWindow, acadFolder, resultBuffer); }, parentWindow, acadFolder, Out{resultBuffer});
}

int __stdcall KivStartRegProgress(HWND parentWindow, const char* headerText, int rangeMax) {
    return GuardedVoid(__func__, [&] { kiv::dialogs::StartProgress(parentWindow, headerText, rangeMax); }, parentWindow, headerText, rangeMax);
}
int __stdcall KivRegProgSetCurrName(const char* itemName) {
    return GuardedVoid(__func__, [&] { kiv::dialogs::SetProgressName(itemName); }, itemName);
}
int __stdcall KivRegProgSetCurrPos(int position) {
    return GuardedVoid(__func__, [&] { kiv::dialogs::SetProgressPosition(position); }, position);
}
int __stdcall KivRegProgDestroy(void) {
    return Guarded(__func__, 0, [] { return kiv::dialogs::DestroyProgress(); });
}

int __stdcall SaveBeforeFilesCopy(const char* programDir, const char* managerDir) {
    return Guarded(__func__, 0, [&] { return kiv::upgrade::SaveBeforeFilesCopy(programDir, managerDir); }, programDir, managerDir);
}
int __stdcall SaveAfterFilesCopy(const char* path) {
    return Guarded(__func__, 0, [&] { return kiv::upgrade::SaveAfterFilesCopy(path); }, path);
}

int __stdcall CreateUpdateManager(const char* dir, int migrate) {
    return Guarded(__func__, 0, [&] { return kiv::upgrade::RunUpdateManager(dir, migrate, 0); }, dir, migrate);
}
int __stdcall CreateUpdateManagerATP(const char* dir, int migrate) {
    return Guarded(__func__, 0, [&] { return kiv::upgrade::RunUpdateManager(dir, migrate, 1); }, dir, migrate);
}

int __stdcall DeleteOldAppsReg(const char* text) {
    return GuardedVoid(__func__, [&] { kiv::upgrade::DeleteOldAppsReg(text); }, text);
}
int __stdcall DeleteOldFiles(const char* dir) {
    return GuardedVoid(__func__, [&] { kiv::upgrade::DeleteOldFiles(dir); }, dir);
}

}  // extern "C"
