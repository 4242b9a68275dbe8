// Entry points of the upgrade preservation that the export shims call.
#pragma once

namespace kiv::upgrade {

int SaveBeforeFilesCopy(const char* programDir, const char* managerDir);
int SaveAfterFilesCopy(const char* path);
// variant 0: CreateUpdateManager, 1: CreateUpdateManagerATP.
int RunUpdateManager(const char* dir, int migrate, int variant);
void DeleteOldAppsReg(const char* text);
void DeleteOldFiles(const char* dir);

}  // namespace kiv::upgrade
