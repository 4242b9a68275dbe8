// Moving AutoCAD's menu files into a numbered backup folder before the tablet menu replaces them.
#pragma once

#include <string>

namespace kiv::dialogs {

// Creates the first free acadFolder\Support\SaveMenu<n> and moves the menu
// files present there into it. False, with nothing touched, when the folder
// cannot be created.
bool BackUpMenuFiles(const std::string& acadFolder);

}  // namespace kiv::dialogs
