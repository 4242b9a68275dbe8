// The exports: thin shims that keep every C++ exception inside the library
// and hand the work to the subsystems.
#include "KivForIS55.h"

#include "core/SetupState.h"
#include "dialogs/Entries.h"
#include "dialogs/ResponseFile.h"
#include "exports/Guard.h"
#include "host/ProductSelection.h"
#include "upgrade/Entries.h"
#include "upgrade/Journal.h"
#include "upgrade/MenuBackup.h"
#include "win32/CallOutcome.h"
#include "win32/FileSystem.h"
#include "win32/LogonName.h"

using kiv::SetupState;
using kiv::dialogs::PageResult;
using kiv::exports::Guarded;
using kiv::exports::GuardedVoid;
using kiv::exports::Logged;
using kiv::exports::Out;

extern "C" {

int __stdcall SetOldProgramDir(const char* folder) {
    return GuardedVoid(__func__, Logged(folder), [&] { kiv::SetFolder(&SetupState::oldProgramDir, folder); });
}
int __stdcall SetNewProgramDir(const char* folder) {
    return GuardedVoid(__func__, Logged(folder), [&] { kiv::SetFolder(&SetupState::newProgramDir, folder); });
}
int __stdcall SetOldManagerDir(const char* folder) {
    return GuardedVoid(__func__, Logged(folder), [&] { kiv::SetFolder(&SetupState::oldManagerDir, folder); });
}
int __stdcall SetNewManagerDir(const char* folder) {
    return GuardedVoid(__func__, Logged(folder), [&] { kiv::SetFolder(&SetupState::newManagerDir, folder); });
}
int __stdcall SetBlocksSubDir(const char* folder) {
    return GuardedVoid(__func__, Logged(folder), [&] { kiv::SetFolder(&SetupState::blocksSubDir, folder); });
}
int __stdcall SetToDeleteAfterSave(int flag) {
    return Guarded(__func__, Logged(flag), false, [&] { return kiv::SetKeepOriginals(flag == 0); });
}
int __stdcall KivExistFile(const char* path) {
    return Guarded(__func__, Logged(path), false, [&] { return kiv::file::Exists(path); });
}

int __stdcall KivGetMainAcadData(HWND parentWindow, char* folderBuffer, char* productKeyBuffer, int altPage,
                                 int dash4Only) {
    return GuardedVoid(
        __func__, Logged(parentWindow, Out{folderBuffer}, Out{productKeyBuffer}, altPage, dash4Only), [&] {
            kiv::host::GetMainAcadData(parentWindow, folderBuffer, productKeyBuffer, altPage != 0, dash4Only != 0);
        });
}

int __stdcall KivGetUserName(char* nameBuffer) {
    return GuardedVoid(__func__, Logged(Out{nameBuffer}), [&] { kiv::TakeLogonName(nameBuffer); });
}
int __stdcall ShowTerviloUserName(HWND parentWindow, const char* userNameText, int greyed) {
    return Guarded(__func__, Logged(parentWindow, userNameText, greyed), false,
                   [&] { return kiv::dialogs::ShowUserName(parentWindow, userNameText, greyed != 0); });
}
int __stdcall KivShowTargeDir(HWND parentWindow, const char* targetFolder, const char* productName) {
    return Guarded(__func__, Logged(parentWindow, targetFolder, productName), PageResult::Cancel,
                   [&] { return kiv::dialogs::ShowTargetFolder(parentWindow, targetFolder, productName); });
}
int __stdcall KivIsWithinTablet(HWND parentWindow, const char* acadFolder, char* resultBuffer) {
    return Guarded(__func__, Logged(parentWindow, acadFolder, Out{resultBuffer}), PageResult::Cancel,
                   [&](PageResult& settled) {
                       return kiv::upgrade::IsWithinTablet(parentWindow, acadFolder, resultBuffer, settled);
                   });
}

int __stdcall KivStartRegProgress(HWND parentWindow, const char* headerText, int rangeMax) {
    return GuardedVoid(__func__, Logged(parentWindow, headerText, rangeMax),
                       [&] { kiv::dialogs::StartProgress(parentWindow, headerText, rangeMax); });
}
int __stdcall KivRegProgSetCurrName(const char* itemName) {
    return GuardedVoid(__func__, Logged(itemName), [&] { kiv::dialogs::SetProgressName(itemName); });
}
int __stdcall KivRegProgSetCurrPos(int position) {
    return GuardedVoid(__func__, Logged(position), [&] { kiv::dialogs::SetProgressPosition(position); });
}
int __stdcall KivRegProgDestroy(void) {
    return Guarded(__func__, Logged(), false, [] { return kiv::dialogs::DestroyProgress(); });
}

int __stdcall SaveBeforeFilesCopy(const char* programDir, const char* managerDir) {
    return Guarded(__func__, Logged(programDir, managerDir), kiv::upgrade::SaveResult::NotAllSaved,
                   [&] { return kiv::upgrade::SaveBeforeFilesCopy(programDir, managerDir); });
}
int __stdcall SaveAfterFilesCopy(const char* path) {
    return Guarded(__func__, Logged(path), kiv::upgrade::SaveResult::NotAllSaved,
                   [&] { return kiv::upgrade::SaveAfterFilesCopy(path); });
}

int __stdcall CreateUpdateManager(const char* dir, int migrate) {
    return Guarded(__func__, Logged(dir, migrate), false, [&] {
        return kiv::upgrade::RunUpdateManager(dir, migrate != 0, kiv::core::UpdateVariant::Standard);
    });
}
int __stdcall CreateUpdateManagerATP(const char* dir, int migrate) {
    return Guarded(__func__, Logged(dir, migrate), false,
                   [&] { return kiv::upgrade::RunUpdateManager(dir, migrate != 0, kiv::core::UpdateVariant::Atp); });
}

int __stdcall DeleteOldAppsReg(const char* text) {
    return GuardedVoid(__func__, Logged(text), [&] { kiv::upgrade::DeleteOldAppsReg(text); });
}
int __stdcall DeleteOldFiles(const char* dir) {
    return GuardedVoid(__func__, Logged(dir), [&] { kiv::upgrade::DeleteOldFiles(dir); });
}

int __stdcall KivSetResponseFile(const char* responseFile, int mode) {
    return Guarded(__func__, Logged(responseFile, mode), false,
                   [&] { return kiv::dialogs::response::SetResponseFile(responseFile, mode); });
}

int __stdcall KivBeginChanges(const char* journalFolder) {
    return Guarded(__func__, Logged(journalFolder), kiv::upgrade::JournalStart::Failed,
                   [&] { return kiv::upgrade::BeginChanges(journalFolder); });
}
int __stdcall KivUndoChanges(void) {
    return Guarded(__func__, Logged(), false, [] { return kiv::upgrade::UndoChanges(); });
}
int __stdcall KivCommitChanges(void) {
    return Guarded(__func__, Logged(), false, [] { return kiv::upgrade::CommitChanges(); });
}

// Tells the previous call's outcome, so it starts none of its own and is not logged.
int __stdcall KivGetLastError(char* textBuffer) {
    kiv::outcome::CopyLastText(textBuffer);
    return static_cast<int>(kiv::outcome::LastCode());
}

}  // extern "C"
