// Upgrade steps not yet built: every entry does nothing and answers 0.
#include "upgrade/Exports.h"

namespace kiv::upgrade {

int RunUpdateManager(const char*, int, int) { return 0; }

}  // namespace kiv::upgrade
