/* KivForIS55.h: the exports of KivForIS55.dll for C and C++ callers.
 *
 * All functions use __stdcall, are exported under their plain names and take
 * ANSI strings. A null string argument counts as empty. Output buffers must
 * hold KIV_BUFFER_SIZE (260) bytes; a text that would not fit (with its
 * terminating zero) is not written, and the buffer stays as passed, as it does
 * on every failure: clear a buffer before the call to see whether it was
 * written. Functions marked "no status" return 0. Call them all from one
 * thread, the one that owns parentWindow: the pages run their modal loop on it.
 * installscript/KivForIS55.h declares the same functions for InstallScript.
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

/* Page results. */
#define KIV_PAGE_NEXT 1
#define KIV_PAGE_CANCEL 2
#define KIV_PAGE_BACK 4
#define KIV_PAGE_FAILED (-1)

/* KivGetLastError's codes that are no failure of the machine (Windows' own). */
#define KIV_ERROR_INVALID_PARAMETER 87 /* ERROR_INVALID_PARAMETER */
#define KIV_ERROR_NOT_FOUND 1168       /* ERROR_NOT_FOUND */
#define KIV_ERROR_CANCELLED 1223       /* ERROR_CANCELLED */

/* KivSetResponseFile's modes. */
#define KIV_MODE_NORMAL 0
#define KIV_MODE_RECORD 1
#define KIV_MODE_SILENT 2

#ifdef __cplusplus
extern "C" {
#endif

/* Folders of the old and new installation; null or empty leaves the value.
 * Trailing backslashes are dropped (a root such as C:\ keeps its own).
 * SaveBeforeFilesCopy empties the two new ones: set them again before the
 * update manager. No status. */
KIV_API int __stdcall SetOldProgramDir(const char* folder);
KIV_API int __stdcall SetNewProgramDir(const char* folder);
KIV_API int __stdcall SetOldManagerDir(const char* folder);
KIV_API int __stdcall SetNewManagerDir(const char* folder);
KIV_API int __stdcall SetBlocksSubDir(const char* folder);
/* 0 keeps saved originals in place (returns 1); anything else deletes them (returns 0). */
KIV_API int __stdcall SetToDeleteAfterSave(int flag);
/* 1 when a file or folder (or a wildcard match) exists, otherwise 0. */
KIV_API int __stdcall KivExistFile(const char* path);

/* AutoCAD product choice, with a page when there are several products; the
 * choice becomes AutoCAD's current product. Fills both buffers on success,
 * leaves them otherwise. altPage nonzero: the Dorva AT page. dash4Only nonzero:
 * only product keys containing "-4". No status. */
KIV_API int __stdcall KivGetMainAcadData(HWND parentWindow, char* folderBuffer, char* productKeyBuffer, int altPage,
                                         int dash4Only);

/* Logon name (or "Dorva AT User") into nameBuffer, kept for the update manager. No status. */
KIV_API int __stdcall KivGetUserName(char* nameBuffer);
/* User-name page: 1 Next, 0 otherwise. */
KIV_API int __stdcall ShowTerviloUserName(HWND parentWindow, const char* userNameText, int greyed);
/* Target-folder page: page result, or KIV_PAGE_CANCEL when an argument is empty. */
KIV_API int __stdcall KivShowTargeDir(HWND parentWindow, const char* targetFolder, const char* productName);
/* Tablet-menu page: page result. On a ticked Next the menu files of
 * acadFolder\Support are copied into a new SaveMenu<n> folder; only when
 * every copy worked are the originals removed and "Tablet" written (else the
 * result is still 1, without "Tablet"); KIV_PAGE_CANCEL when that folder
 * cannot be made. */
KIV_API int __stdcall KivIsWithinTablet(HWND parentWindow, const char* acadFolder, char* resultBuffer);

/* Modeless progress window: start, any number of name and position calls,
 * destroy (nonzero when a window was closed). rangeMax is taken as 0..65535.
 * The hourglass cursor is held from start to destroy. No status otherwise. */
KIV_API int __stdcall KivStartRegProgress(HWND parentWindow, const char* headerText, int rangeMax);
KIV_API int __stdcall KivRegProgSetCurrName(const char* itemName);
KIV_API int __stdcall KivRegProgSetCurrPos(int position);
KIV_API int __stdcall KivRegProgDestroy(void);

/* Saving customised files around the setup's own file copy: before saves the
 * manager folder into managerDir\Save<n>; after tidies the folder holding
 * path. 0 when a named folder or path does not exist; -1 when a file could not
 * be saved whole (it stays in place, untouched: do not copy over it); else 1. */
KIV_API int __stdcall SaveBeforeFilesCopy(const char* programDir, const char* managerDir);
KIV_API int __stdcall SaveAfterFilesCopy(const char* path);

/* Update manager, standard and ATP layout: 1 done; 0 failed (a migration copy
 * or a configuration rewrite failed, the new manager folder is missing). A
 * missing migration source only ends the migration. */
KIV_API int __stdcall CreateUpdateManager(const char* dir, int migrate);
KIV_API int __stdcall CreateUpdateManagerATP(const char* dir, int migrate);

/* Removal of older releases' registry entries (any non-empty text) and
 * module files (below dir). No status. */
KIV_API int __stdcall DeleteOldAppsReg(const char* text);
KIV_API int __stdcall DeleteOldFiles(const char* dir);

/* The outcome of the most recent other call, as a Win32 error code: 0 when it
 * did all its work (a normal "no" included), ERROR_CANCELLED (1223) when the
 * user cancelled a page, ERROR_NOT_FOUND (1168) when there was nothing to work
 * on, ERROR_INVALID_PARAMETER (87) for refused arguments, otherwise the code
 * of the first operation that failed (112 disk full, 32 file in use, ...).
 * textBuffer (KIV_BUFFER_SIZE bytes, or null) receives one line for a person:
 * what failed, on which path, and the system's text for the code. */
KIV_API int __stdcall KivGetLastError(char* textBuffer);

/* Unattended installs. KIV_MODE_NORMAL (the state at load): pages show, the
 * file is ignored. KIV_MODE_RECORD: pages show, and each page's answer is
 * written into the INI file responseFile (created when missing) as section
 * "<export>-<n>", n counting that export's showings from 0. KIV_MODE_SILENT:
 * no window at all; each page's answer is read from responseFile, and one that
 * is missing or invalid answers as a page that could not be created, with
 * KivGetLastError 1168. 1 when the mode was set (its counters restart); 0, the
 * mode unchanged, for an unknown mode or, in modes 1 and 2, a null, empty or
 * 260-byte path, a folder, or in mode 2 a missing file. */
KIV_API int __stdcall KivSetResponseFile(const char* responseFile, int mode);

/* Undo journal. KivBeginChanges starts one in journalFolder (made with its
 * missing parents): from then on every change the DLL makes is recorded there
 * before it is made. 1 started; 2 the folder holds an unfinished journal of an
 * earlier run (a crashed setup), now adopted for the next undo or commit; 0
 * failed, also while a journal is active (ERROR_ALREADY_EXISTS, 183).
 * KivUndoChanges reverses every recorded change, newest first: 1 when all were,
 * and the journal is removed; 0 otherwise, the journal keeping what was not
 * reversed for another call. KivCommitChanges keeps the changes and removes the
 * journal: 1. Without an active journal both return 0 (ERROR_NOT_FOUND). Save
 * folders stay, and the setup's own copies are not undone. */
KIV_API int __stdcall KivBeginChanges(const char* journalFolder);
KIV_API int __stdcall KivUndoChanges(void);
KIV_API int __stdcall KivCommitChanges(void);

#ifdef __cplusplus
}
#endif

#endif /* KIVFORIS55_H */
