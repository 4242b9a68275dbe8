// The 22 exports: thin shims that keep every C++ exception inside the library
// and hand the work to the subsystems.
#include "KivForIS55.h"

#include "dialogs/Exports.h"
#include "frame/FileSystem.h"
#include "frame/SetupState.h"
#include "host/ProductSelection.h"
#include "upgrade/Exports.h"

namespace {

// Runs work and maps any exception to onError: nothing crosses into the script.
template <typename Work>
int Guarded(int onError, Work&& work) noexcept {
    try {
        return work();
    } catch (...) {
        return onError;
    }
}

template <typename Work>
int GuardedVoid(Work&& work) noexcept {
    return Guarded(0, [&] {
        work();
        return 0;
    });
}

}  // namespace

using kiv::SetupState;

extern "C" {

int __stdcall SetOldProgramDir(const char* folder) {
    return GuardedVoid([&] { kiv::SetFolder(&SetupState::oldProgramDir, folder); });
}
int __stdcall SetNewProgramDir(const char* folder) {
    return GuardedVoid([&] { kiv::SetFolder(&SetupState::newProgramDir, folder); });
}
int __stdcall SetOldManagerDir(const char* folder) {
    return GuardedVoid([&] { kiv::SetFolder(&SetupState::oldManagerDir, folder); });
}
int __stdcall SetNewManagerDir(const char* folder) {
    return GuardedVoid([&] { kiv::SetFolder(&SetupState::newManagerDir, folder); });
}
int __stdcall SetBlocksSubDir(const char* folder) {
    return GuardedVoid([&] { kiv::SetFolder(&SetupState::blocksSubDir, folder); });
}
int __stdcall SetToDeleteAfterSave(int flag) {
    return Guarded(0, [&] { return kiv::SetKeepOriginals(flag); });
}
int __stdcall KivExistFile(const char* path) {
    return Guarded(0, [&] { return kiv::file::Exists(path) ? 1 : 0; });
}

int __stdcall KivGetMainAcadData(HWND parentWindow, char* folderBuffer, char* productKeyBuffer, int altPage,
                                 int dash4Only) {
    return GuardedVoid(
        [&] { kiv::host::GetMainAcadData(parentWindow, folderBuffer, productKeyBuffer, altPage, dash4Only); });
}

int __stdcall KivGetUserName(char* nameBuffer) {
    return GuardedVoid([&] { kiv::dialogs::GetUserName(nameBuffer); });
}
int __stdcall ShowTerviloUserName(HWND parentWindow, const char* userNameText, int greyed) {
    return Guarded(0, [&] { return kiv::dialogs::ShowUserName(parentWindow, userNameText, greyed); });
}
int __stdcall KivShowTargeDir(HWND parentWindow, const char* targetFolder, const char* productName) {
    return Guarded(2, [&] { return kiv::dialogs::ShowTargetFolder(parentWindow, targetFolder, productName); });
}
int __stdcall KivIsWithinTablet(HWND parentWindow, const char* acadFolder, char* resultBuffer) {
    return Guarded(2, [&] { return kiv::dialogs::IsWithinTablet(parentWindow, acadFolder, resultBuffer); });
}

int __stdcall KivStartRegProgress(HWND parentWindow, const char* headerText, int rangeMax) {
    return GuardedVoid([&] { kiv::dialogs::StartProgress(parentWindow, headerText, rangeMax); });
}
int __stdcall KivRegProgSetCurrName(const char* itemName) {
    return GuardedVoid([&] { kiv::dialogs::SetProgressName(itemName); });
}
int __stdcall KivRegProgSetCurrPos(int position) {
    return GuardedVoid([&] { kiv::dialogs::SetProgressPosition(position); });
}
int __stdcall KivRegProgDestroy(void) {
    return Guarded(0, [] { return kiv::dialogs::DestroyProgress(); });
}

int __stdcall SaveBeforeFilesCopy(const char* programDir, const char* managerDir) {
    return Guarded(0, [&] { return kiv::upgrade::SaveBeforeFilesCopy(programDir, managerDir); });
}
int __stdcall SaveAfterFilesCopy(const char* path) {
    return Guarded(0, [&] { return kiv::upgrade::SaveAfterFilesCopy(path); });
}

int __stdcall CreateUpdateManager(const char* dir, int migrate) {
    return Guarded(0, [&] { return kiv::upgrade::RunUpdateManager(dir, migrate, 0); });
}
int __stdcall CreateUpdateManagerATP(const char* dir, int migrate) {
    return Guarded(0, [&] { return kiv::upgrade::RunUpdateManager(dir, migrate, 1); });
}

int __stdcall DeleteOldAppsReg(const char* text) {
    return GuardedVoid([&] { kiv::upgrade::DeleteOldAppsReg(text); });
}
int __stdcall DeleteOldFiles(const char* dir) {
    return GuardedVoid([&] { kiv::upgrade::DeleteOldFiles(dir); });
}

}  // extern "C"
