// Upgrade steps not yet built: every entry does nothing and answers 0.
#include "upgrade/Exports.h"

namespace kiv::upgrade {

int SaveBeforeFilesCopy(const char*, const char*) { return 0; }
int SaveAfterFilesCopy(const char*) { return 0; }
int RunUpdateManager(const char*, int, int) { return 0; }
void DeleteOldAppsReg(const char*) {}
void DeleteOldFiles(const char*) {}

}  // namespace kiv::upgrade
