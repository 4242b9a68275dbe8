// KivIsWithinTablet: the tablet-menu page and the backup of AutoCAD's menu files it asks for.
#pragma once

#include "dialogs/PageResult.h"

#include <windows.h>

#include <string>

namespace kiv::upgrade {

using dialogs::PageResult;

enum class MenuBackup {
    NoFolder,    // the backup folder could not be created; nothing touched
    Incomplete,  // a present menu file could not be copied; nothing removed from Support
    Complete,    // every present menu file copied, then removed from Support
};

// Creates the first free acadFolder\Support\SaveMenu<n> and copies the menu
// files present there into it; only when every copy succeeded are the
// originals removed. Each failure is told with its paths.
MenuBackup BackUpMenuFiles(const std::string& acadFolder);

// The tablet-menu page; on Next with the box ticked, the menu backup (acadFolder
// without its trailing backslashes), and "Tablet" into resultBuffer once it is whole. settled receives the page's
// answer as soon as the page has ended: a failure after that point still reports it.
PageResult IsWithinTablet(HWND parentWindow, const char* acadFolder, char* resultBuffer, PageResult& settled);

}  // namespace kiv::upgrade
