/* A C caller of KivForIS55.dll built from the release zip's header and one of its import libraries. */
#include "KivExportNames.h"
#include "KivForIS55.h"

/* Never set: what it guards only makes the linker import every export. */
static volatile int linkOnly;
static volatile FARPROC linked;

/* The entry point itself, with no C runtime: the exit code tells what three calls returned. */
int __stdcall CallerEntry(void) {
    char name[KIV_BUFFER_SIZE];
    if (linkOnly) {
#define KIV_IMPORT(export) linked = (FARPROC) export;
        KIV_EXPORTS(KIV_IMPORT)
#undef KIV_IMPORT
    }
    name[0] = '\0';
    KivGetUserName(name);
    return KivExistFile("C:\\windows") + 2 * SetToDeleteAfterSave(0) + 4 * (name[0] != '\0');
}
