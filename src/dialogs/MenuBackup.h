// Backing up AutoCAD's menu files into a numbered folder before the tablet menu replaces them.
#pragma once

#include <string>

namespace kiv::dialogs {

enum class MenuBackup {
    NoFolder,    // the backup folder could not be created; nothing touched
    Incomplete,  // a present menu file could not be copied; nothing removed from Support
    Complete,    // every present menu file copied, then removed from Support
};

// Creates the first free acadFolder\Support\SaveMenu<n> and copies the menu
// files present there into it; only when every copy succeeded are the
// originals removed.
MenuBackup BackUpMenuFiles(const std::string& acadFolder);

}  // namespace kiv::dialogs
