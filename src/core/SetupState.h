// The setup state: the values that one export call hands to the next.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kiv {

namespace dialogs {
class ProgressWindow;
class BusyCursor;
}  // namespace dialogs

// How the latest export call ended: 0 or the first failure's Win32 error code,
// and one line for a person.
struct CallRecord {
    std::uint32_t code = 0;
    std::string text;
};

// The undo journal of this run, when a script began one.
struct JournalState {
    std::string folder;                    // empty: nothing is journaled
    unsigned long nextCopy = 1;            // number of the next kept copy in the folder
    std::vector<std::string> saveFolders;  // made in this run: their copies stand for the journal's
};

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
    bool keepOriginals = false;         // the save leaves the replaceable kinds in place
    bool openingDataTakenOver = false;  // the old opening tables came across: no stamping
    CallRecord lastCall;                // what KivGetLastError tells
    JournalState journal;
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

// Replaces *member with folder, without its trailing backslashes, unless folder is null or empty.
void SetFolder(std::string SetupState::*member, const char* folder);

// Stores and returns whether the save keeps the originals.
bool SetKeepOriginals(bool keep);

}  // namespace kiv
