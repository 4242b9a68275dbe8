// Entry points of the upgrade preservation that the export shims call.
#pragma once

#include "core/UpdateVariant.h"
#include "upgrade/SaveAroundCopy.h"

namespace kiv::upgrade {

// FolderMissing when a named folder does not exist; NotAllSaved, told, when a file stayed unsaved.
SaveResult SaveBeforeFilesCopy(const char* programDir, const char* managerDir);
SaveResult SaveAfterFilesCopy(const char* path);
// False, told, when dir is empty, the new manager folder is missing, a migration copy
// failed or a configuration file could not be rewritten; a missing source is no failure.
bool RunUpdateManager(const char* dir, bool migrate, core::UpdateVariant variant);
void DeleteOldAppsReg(const char* text);
void DeleteOldFiles(const char* dir);

}  // namespace kiv::upgrade
