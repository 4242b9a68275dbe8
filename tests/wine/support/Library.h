// Loads KivForIS55.dll the way a setup script does and resolves its exports.
#pragma once

#include <windows.h>

#include <string>

namespace kivtest {

class Library {
public:
    // Loads the DLL that sits beside the test program; fails the test if it cannot.
    Library();
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    HMODULE module() const { return module_; }
    // Unloads and loads again: a fresh setup state.
    void Reload();
    // Unloads as a script does when it ends.
    void Unload();

    int(__stdcall* CreateUpdateManager)(const char*, int) = nullptr;
    int(__stdcall* CreateUpdateManagerATP)(const char*, int) = nullptr;
    int(__stdcall* DeleteOldAppsReg)(const char*) = nullptr;
    int(__stdcall* DeleteOldFiles)(const char*) = nullptr;
    int(__stdcall* KivExistFile)(const char*) = nullptr;
    int(__stdcall* KivGetLastError)(char*) = nullptr;
    int(__stdcall* KivGetMainAcadData)(HWND, char*, char*, int, int) = nullptr;
    int(__stdcall* KivGetUserName)(char*) = nullptr;
    int(__stdcall* KivIsWithinTablet)(HWND, const char*, char*) = nullptr;
    int(__stdcall* KivRegProgDestroy)() = nullptr;
    int(__stdcall* KivRegProgSetCurrName)(const char*) = nullptr;
    int(__stdcall* KivRegProgSetCurrPos)(int) = nullptr;
    int(__stdcall* KivShowTargeDir)(HWND, const char*, const char*) = nullptr;
    int(__stdcall* KivStartRegProgress)(HWND, const char*, int) = nullptr;
    int(__stdcall* SaveAfterFilesCopy)(const char*) = nullptr;
    int(__stdcall* SaveBeforeFilesCopy)(const char*, const char*) = nullptr;
    int(__stdcall* SetBlocksSubDir)(const char*) = nullptr;
    int(__stdcall* SetNewManagerDir)(const char*) = nullptr;
    int(__stdcall* SetNewProgramDir)(const char*) = nullptr;
    int(__stdcall* SetOldManagerDir)(const char*) = nullptr;
    int(__stdcall* SetOldProgramDir)(const char*) = nullptr;
    int(__stdcall* SetToDeleteAfterSave)(int) = nullptr;
    int(__stdcall* ShowTerviloUserName)(HWND, const char*, int) = nullptr;

private:
    void Load();
    HMODULE module_ = nullptr;
};

// Folder of the running test program, without a trailing backslash.
std::string ProgramFolder();

}  // namespace kivtest
