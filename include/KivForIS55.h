/* KivForIS55.h: the 22 exports of KivForIS55.dll for C and C++ callers.
 *
 * All functions use __stdcall and ANSI strings. A null string argument counts
 * as empty. Output buffers must hold 260 bytes; a text that would not fit
 * (with its terminating zero) is not written, and the buffer stays as passed.
 * Page results: 1 Next, 2 Cancel, 4 Back, -1 page could not be created.
 */
#ifndef KIVFORIS55_H
#define KIVFORIS55_H

#include <windows.h>

#ifdef KIV_BUILDING_DLL
/* Exported through the .def file under undecorated names only. */
#define KIV_API
#else
#define KIV_API __declspec(dllimport)
#endif

#define KIV_BUFFER_SIZE 260

#ifdef __cplusplus
extern "C" {
#endif

/* Folders of the old and new installation; null or empty leaves the value. */
KIV_API int __stdcall SetOldProgramDir(const char* folder);
KIV_API int __stdcall SetNewProgramDir(const char* folder);
KIV_API int __stdcall SetOldManagerDir(const char* folder);
KIV_API int __stdcall SetNewManagerDir(const char* folder);
KIV_API int __stdcall SetBlocksSubDir(const char* folder);
/* 0 keeps saved originals in place (returns 1); anything else deletes them (returns 0). */
KIV_API int __stdcall SetToDeleteAfterSave(int flag);
/* 1 when a file or folder (or a wildcard match) exists, otherwise 0. */
KIV_API int __stdcall KivExistFile(const char* path);

/* AutoCAD product choice: fills both buffers on success, leaves them otherwise. */
KIV_API int __stdcall KivGetMainAcadData(HWND parentWindow, char* folderBuffer,
                                         char* productKeyBuffer, int altPage, int dash4Only);

/* Logon name (or "Dorva AT User") into nameBuffer and the setup state. */
KIV_API int __stdcall KivGetUserName(char* nameBuffer);
/* User-name page: 1 Next, 0 otherwise. */
KIV_API int __stdcall ShowTerviloUserName(HWND parentWindow, const char* userNameText, int greyed);
/* Target-folder page: page result, or 2 when an argument is empty. */
KIV_API int __stdcall KivShowTargeDir(HWND parentWindow, const char* targetFolder,
                                      const char* productName);
/* Tablet-menu page; on a ticked Next the menu files are backed up and "Tablet" is written. */
KIV_API int __stdcall KivIsWithinTablet(HWND parentWindow, const char* acadFolder,
                                        char* resultBuffer);

/* Modeless progress window. */
KIV_API int __stdcall KivStartRegProgress(HWND parentWindow, const char* headerText, int rangeMax);
KIV_API int __stdcall KivRegProgSetCurrName(const char* itemName);
KIV_API int __stdcall KivRegProgSetCurrPos(int position);
KIV_API int __stdcall KivRegProgDestroy(void);

/* Saving customised files around the setup's own file copy. */
KIV_API int __stdcall SaveBeforeFilesCopy(const char* programDir, const char* managerDir);
KIV_API int __stdcall SaveAfterFilesCopy(const char* path);

/* Update manager: variant 0 and the ATP variant 1. 1 done, 0 failed. */
KIV_API int __stdcall CreateUpdateManager(const char* dir, int migrate);
KIV_API int __stdcall CreateUpdateManagerATP(const char* dir, int migrate);

/* Removal of older releases' registry entries and module files. */
KIV_API int __stdcall DeleteOldAppsReg(const char* text);
KIV_API int __stdcall DeleteOldFiles(const char* dir);

#ifdef __cplusplus
}
#endif

#endif /* KIVFORIS55_H */
