// Setup dialogs not yet built: every entry does nothing and answers 0.
#include "dialogs/Exports.h"

namespace kiv::dialogs {

int ShowTargetFolder(HWND, const char*, const char*) { return 0; }
int IsWithinTablet(HWND, const char*, char*) { return 0; }

}  // namespace kiv::dialogs
