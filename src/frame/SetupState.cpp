// The one setup state object of the library.
#include "frame/SetupState.h"

namespace kiv {

namespace {
SetupState g_state;
ProgressSlot g_progress;
}  // namespace

SetupState& State() { return g_state; }
ProgressSlot& Progress() { return g_progress; }

void SetFolder(std::string SetupState::*member, const char* folder) {
    if (folder == nullptr || *folder == '\0') return;
    g_state.*member = folder;
}

std::int32_t SetKeepOriginals(std::int32_t flag) {
    g_state.keepOriginals = flag == 0 ? 1 : 0;
    return g_state.keepOriginals;
}

}  // namespace kiv
