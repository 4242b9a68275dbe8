// KivForIS55.h: prototypes of the functions of KivForIS55.dll for InstallScript.
//
// Include it at the top of setup.rul, ship KivForIS55.dll as a support file and
// load it before the first call:
//
//     #include "KivForIS55.h"
//     ...
//     if (UseDLL(SUPPORTDIR ^ KIV_DLL) < 0) then ... endif;
//     ...
//     UnUseDLL(KIV_DLL);          // the bare name, not the path given to UseDLL
//
// Calling convention: every function is __stdcall, exported under its plain
// name. That is the convention InstallScript uses for a DLL function when its
// prototype names none, so the prototypes below name none; never declare them
// cdecl, or the script's stack is wrong after every call.
//
// Strings: a STRING argument is read only; null and "" count as empty. A BYREF
// STRING argument is an output buffer: declare its variable with KIV_BUFFER_SIZE
// (260) bytes, as in  STRING svAcadFolder[KIV_BUFFER_SIZE];  The DLL writes at
// most 260 bytes with the terminating zero into it, and a text that would not
// fit is not written at all. Where a function writes only on success, set the
// variable to "" before the call and test it afterwards.
//
// Results: a wizard page ends with KIV_PAGE_NEXT, KIV_PAGE_CANCEL, KIV_PAGE_BACK
// or KIV_PAGE_FAILED (the page could not be created). These are not the
// NEXT/BACK/CANCEL constants of InstallScript's own dialogs. Where a function is
// marked "no status" below, its result means nothing and is 0.
////////////////////////////////////////////////////////////////////////////////

#ifndef KIVFORIS55_H
#define KIVFORIS55_H

#define KIV_DLL          "KivForIS55.dll"
#define KIV_BUFFER_SIZE  260

#define KIV_PAGE_NEXT    1
#define KIV_PAGE_CANCEL  2
#define KIV_PAGE_BACK    4
#define KIV_PAGE_FAILED  -1

// KivGetLastError's codes that are no failure of the machine (Windows' own).
#define KIV_ERROR_INVALID_PARAMETER 87
#define KIV_ERROR_NOT_FOUND         1168
#define KIV_ERROR_CANCELLED         1223

// KivSetResponseFile's modes.
#define KIV_MODE_NORMAL  0
#define KIV_MODE_RECORD  1
#define KIV_MODE_SILENT  2

// --- Folders and flags kept between calls -----------------------------------
// Folders of the old and the new installation. An empty folder leaves the
// value as it was. SaveBeforeFilesCopy empties the two new folders again: set
// them once more before CreateUpdateManager. No status.
prototype INT KivForIS55.SetOldProgramDir(STRING);
prototype INT KivForIS55.SetOldManagerDir(STRING);
prototype INT KivForIS55.SetNewProgramDir(STRING);
prototype INT KivForIS55.SetNewManagerDir(STRING);
// One folder name below <program>\Blocks, such as "Boden". No status.
prototype INT KivForIS55.SetBlocksSubDir(STRING);
// 0 keeps the saved originals in place (returns 1); any other value, and the
// state before the first call, deletes menus, LISP files, bitmaps and ARX load
// lists from the folder after saving them (returns 0).
prototype INT KivForIS55.SetToDeleteAfterSave(INT);
// 1 when a file or folder of this name exists (a name with * or ? when anything
// matches it), 0 otherwise, also for a drive without a medium.
prototype INT KivForIS55.KivExistFile(STRING);

// --- AutoCAD product --------------------------------------------------------
// KivGetMainAcadData(hwndParent, svAcadFolder, svProductKey, nAltPage, nDash4Only)
// Finds the AutoCAD 2000 products; with several it asks the user on a page.
// The chosen one becomes AutoCAD's current product. On success svProductKey
// holds its registry key and svAcadFolder its folder; otherwise both keep
// what they held. nAltPage: 0 the TERVILO page, 1 the Dorva AT page.
// nDash4Only: 1 offers only products whose key contains "-4". No status.
prototype INT KivForIS55.KivGetMainAcadData(HWND, BYREF STRING, BYREF STRING, INT, INT);

// --- Wizard pages -----------------------------------------------------------
// The logon name (or "Dorva AT User") into svUserName. No status.
prototype INT KivForIS55.KivGetUserName(BYREF STRING);
// KivShowTargeDir(hwndParent, szTargetDir, szProductName): the target-folder
// page; the page result, or KIV_PAGE_CANCEL when either text is empty.
prototype INT KivForIS55.KivShowTargeDir(HWND, STRING, STRING);
// ShowTerviloUserName(hwndParent, szUserName, nGreyed): the user-name page;
// 1 after Next, 0 otherwise. nGreyed nonzero shows it greyed out.
prototype INT KivForIS55.ShowTerviloUserName(HWND, STRING, INT);
// KivIsWithinTablet(hwndParent, szAcadFolder, svTablet): the tablet-menu page.
// Ticked and Next: AutoCAD's menu files move into a new
// <AutoCAD>\Support\SaveMenu<n> folder and svTablet receives "Tablet".
// The page result; KIV_PAGE_CANCEL also when the backup folder fails.
prototype INT KivForIS55.KivIsWithinTablet(HWND, STRING, BYREF STRING);

// --- Progress window while components are registered ------------------------
// KivStartRegProgress(hwndParent, szHeader, nSteps), then any number of
// KivRegProgSetCurrName(szItem) and KivRegProgSetCurrPos(nStep), then
// KivRegProgDestroy(). nSteps is taken as 0 to 65535. No status, but
// KivRegProgDestroy returns nonzero when it closed a window.
prototype INT KivForIS55.KivStartRegProgress(HWND, STRING, INT);
prototype INT KivForIS55.KivRegProgSetCurrName(STRING);
prototype INT KivForIS55.KivRegProgSetCurrPos(INT);
prototype INT KivForIS55.KivRegProgDestroy();

// --- Keeping the user's files across the file transfer ----------------------
// SaveBeforeFilesCopy(szProgramDir, szManagerDir): copies every non-empty file
// of the manager folder into a new <manager>\Save<n>. 0 when a folder does not
// exist, else nonzero.
prototype INT KivForIS55.SaveBeforeFilesCopy(STRING, STRING);
// SaveAfterFilesCopy(szPath): tidies the folder that holds szPath (old program
// files into Save<n>, old drawings into Support, obsolete files deleted).
// 0 when szPath does not exist, else nonzero.
prototype INT KivForIS55.SaveAfterFilesCopy(STRING);

// --- Update manager ---------------------------------------------------------
// CreateUpdateManager(szProgramDir, nMigrate): with nMigrate 1 copies the old
// opening data across, then rewrites <new manager>\Arch.Cfg for the new
// folders. CreateUpdateManagerATP is the same for the ATP layout and rewrites
// every .cfg file. 1 done, 0 failed.
prototype INT KivForIS55.CreateUpdateManager(STRING, INT);
prototype INT KivForIS55.CreateUpdateManagerATP(STRING, INT);

// --- Removal of earlier releases --------------------------------------------
// DeleteOldAppsReg(szAny): any non-empty text removes the old modules' keys
// from AutoCAD's current product and from the add-on's own key. No status.
prototype INT KivForIS55.DeleteOldAppsReg(STRING);
// DeleteOldFiles(szProgramDir): deletes the old modules' .Arx files there and
// their German .Dll files in its Support folder. No status.
prototype INT KivForIS55.DeleteOldFiles(STRING);

// --- Why a call failed ------------------------------------------------------
// KivGetLastError(svText): the outcome of the most recent other call as a
// Windows error code: 0 all done (also a normal "no"), 1223 the user
// cancelled a page, 1168 nothing found (no AutoCAD 2000 product), 87 refused
// arguments, otherwise the first failure's code (112 disk full, 32 file in
// use, 5 access denied, ...). svText receives one line for the user: what
// failed, on which path, and Windows' text for the code.
prototype INT KivForIS55.KivGetLastError(BYREF STRING);

// --- Unattended installs ----------------------------------------------------
// KivSetResponseFile(szFile, nMode): KIV_MODE_RECORD writes every page's answer
// into the INI file szFile (section "<function>-<n>"), KIV_MODE_SILENT plays
// them back from it and shows no window at all, KIV_MODE_NORMAL (the state
// after UseDLL) shows the pages and ignores szFile. 1 when the mode was set; 0
// for an unknown mode, an empty or too long szFile (260 bytes or more), or a
// missing file in KIV_MODE_SILENT. In KIV_MODE_SILENT a missing or invalid
// answer makes the page function answer as a page that could not be created,
// and KivGetLastError gives 1168 with the file, the section and the key.
prototype INT KivForIS55.KivSetResponseFile(STRING, INT);

// --- Undo ---------------------------------------------------------------------
// KivBeginChanges(szFolder): from now on every change the DLL makes is recorded
// in a journal in szFolder (made if missing) before it is made. 1 started,
// 2 an unfinished journal of an earlier, crashed run was found and adopted,
// 0 failed (183 while a journal is active). KivUndoChanges(): reverses every
// recorded change, newest first; 1 when all were and the journal is gone,
// 0 otherwise (call again after fixing the cause). KivCommitChanges(): keeps the
// changes and removes the journal; 1. Both give 0 and 1168 without a journal.
// Save folders stay; the setup's own file copies are not undone.
prototype INT KivForIS55.KivBeginChanges(STRING);
prototype INT KivForIS55.KivUndoChanges();
prototype INT KivForIS55.KivCommitChanges();

#endif
