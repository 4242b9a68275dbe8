/* A C caller of KivForIS55.dll built from the release zip's header and one of its import libraries. */
#include "KivForIS55.h"

/* Never set: the calls it guards only make the linker import every export. */
static volatile int linkOnly;

/* The entry point itself, with no C runtime: the exit code tells what three calls returned. */
int __stdcall CallerEntry(void) {
    char name[KIV_BUFFER_SIZE];
    if (linkOnly) {
        SetOldProgramDir(0);
        SetNewProgramDir(0);
        SetOldManagerDir(0);
        SetNewManagerDir(0);
        SetBlocksSubDir(0);
        KivGetMainAcadData(0, 0, 0, 0, 0);
        ShowTerviloUserName(0, 0, 0);
        KivShowTargeDir(0, 0, 0);
        KivIsWithinTablet(0, 0, 0);
        KivStartRegProgress(0, 0, 0);
        KivRegProgSetCurrName(0);
        KivRegProgSetCurrPos(0);
        KivRegProgDestroy();
        SaveBeforeFilesCopy(0, 0);
        SaveAfterFilesCopy(0);
        CreateUpdateManager(0, 0);
        CreateUpdateManagerATP(0, 0);
        DeleteOldAppsReg(0);
        DeleteOldFiles(0);
        KivGetLastError(0);
    }
    name[0] = '\0';
    KivGetUserName(name);
    return KivExistFile("C:\\windows") + 2 * SetToDeleteAfterSave(0) + 4 * (name[0] != '\0');
}
