// The one setup state object of the library.
#include "core/SetupState.h"

#include "core/Path.h"

namespace kiv {

namespace {
SetupState g_state;
}  // namespace

SetupState& State() { return g_state; }

void SetFolder(std::string SetupState::*member, const char* folder) {
    if (folder == nullptr || *folder == '\0') return;
    g_state.*member = path::WithoutTrailingSeparators(folder);
}

bool SetKeepOriginals(bool keep) {
    g_state.keepOriginals = keep;
    return keep;
}

}  // namespace kiv
