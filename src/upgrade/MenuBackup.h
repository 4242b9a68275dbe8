// KivIsWithinTablet: the tablet-menu page and the backup of AutoCAD's menu files it asks for.
#pragma once

#include "dialogs/PageResult.h"

#include <windows.h>

namespace kiv::upgrade {

using dialogs::PageResult;

// The tablet-menu page; on Next with the box ticked, the menu backup (acadFolder
// without its trailing backslashes), and "Tablet" into resultBuffer once it is whole. settled receives the page's
// answer as soon as the page has ended: a failure after that point still reports it.
PageResult IsWithinTablet(HWND parentWindow, const char* acadFolder, char* resultBuffer, PageResult& settled);

}  // namespace kiv::upgrade
