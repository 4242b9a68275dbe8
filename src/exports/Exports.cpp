// The 22 exports: thin shims that keep every C++ exception inside the library
// and hand the work to the subsystems.
#include "KivForIS55.h"

#include "dialogs/Entries.h"
#include "win32/FileSystem.h"
#include "exports/Guard.h"
#include "win32/LogonName.h"
#include "core/SetupState.h"
#include "host/ProductSelection.h"
#include "upgrade/Entries.h"
#include "upgrade/MenuBackup.h"

using kiv::SetupState;
using kiv::dialogs::PageResult;
using kiv::exports::Guarded;
using kiv::exports::GuardedVoid;
using kiv::exports::Out;

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
    return Guarded(__func__, false, [&] { return kiv::SetKeepOriginals(flag == 0); }, flag);
}
int __stdcall KivExistFile(const char* path) {
    return Guarded(__func__, false, [&] { return kiv::file::Exists(path); }, path);
}

int __stdcall KivGetMainAcadData(HWND parentWindow, char* folderBuffer, char* productKeyBuffer, int altPage,
                                 int dash4Only) {
    return GuardedVoid(__func__, 
        [&] {
            kiv::host::GetMainAcadData(parentWindow, folderBuffer, productKeyBuffer,
                                       altPage != 0, dash4Only != 0);
        }, parentWindow, Out{folderBuffer}, Out{productKeyBuffer}, altPage, dash4Only);
}

int __stdcall KivGetUserName(char* nameBuffer) {
    return GuardedVoid(__func__, [&] { kiv::TakeLogonName(nameBuffer); }, Out{nameBuffer});
}
int __stdcall ShowTerviloUserName(HWND parentWindow, const char* userNameText, int greyed) {
    return Guarded(__func__, false, [&] { return kiv::dialogs::ShowUserName(parentWindow, userNameText, greyed != 0); }, parentWindow, userNameText, greyed);
}
int __stdcall KivShowTargeDir(HWND parentWindow, const char* targetFolder, const char* productName) {
    return Guarded(__func__, PageResult::Cancel, [&] { return kiv::dialogs::ShowTargetFolder(parentWindow, targetFolder, productName); }, parentWindow, targetFolder, productName);
}
int __stdcall KivIsWithinTablet(HWND parentWindow, const char* acadFolder, char* resultBuffer) {
    return Guarded(__func__, PageResult::Cancel, [&](PageResult& settled) { return kiv::upgrade::IsWithinTablet(parentWindow, acadFolder, resultBuffer, settled); }, parentWindow, acadFolder, Out{resultBuffer});
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
    return Guarded(__func__, false, [&] { return kiv::upgrade::RunUpdateManager(dir, migrate != 0, kiv::upgrade::UpdateVariant::Standard); }, dir, migrate);
}
int __stdcall CreateUpdateManagerATP(const char* dir, int migrate) {
    return Guarded(__func__, false, [&] { return kiv::upgrade::RunUpdateManager(dir, migrate != 0, kiv::upgrade::UpdateVariant::Atp); }, dir, migrate);
}

int __stdcall DeleteOldAppsReg(const char* text) {
    return GuardedVoid(__func__, [&] { kiv::upgrade::DeleteOldAppsReg(text); }, text);
}
int __stdcall DeleteOldFiles(const char* dir) {
    return GuardedVoid(__func__, [&] { kiv::upgrade::DeleteOldFiles(dir); }, dir);
}

}  // extern "C"
