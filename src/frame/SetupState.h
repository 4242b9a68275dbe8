// The setup state: the values that one export call hands to the next.
#pragma once

#include <cstdint>
#include <string>

namespace kiv {

namespace dialogs {
class ProgressWindow;
class BusyCursor;
}  // namespace dialogs

struct SetupState {
    std::string oldProgramDir;
    std::string oldManagerDir;
    std::string newProgramDir;
    std::string newManagerDir;
    std::string libraryDir;
    std::string openingDataDir;
    std::string blocksDir;
    std::string blocksSubDir;
    std::string userName;
    std::int32_t keepOriginals = 0;
    std::int32_t openingDataFlag = 0;
};

// The open progress window and its busy-cursor hold. Deliberately plain
// pointers: nothing is released at unload, only by KivRegProgDestroy.
struct ProgressSlot {
    dialogs::ProgressWindow* window = nullptr;
    dialogs::BusyCursor* busyCursor = nullptr;
};

// The one instance, constructed when the library is loaded.
SetupState& State();
ProgressSlot& Progress();

// Replaces *member with folder unless folder is null or empty.
void SetFolder(std::string SetupState::*member, const char* folder);

// Stores 1 (keep originals) for flag 0, else 0; returns the stored value.
std::int32_t SetKeepOriginals(std::int32_t flag);

}  // namespace kiv
