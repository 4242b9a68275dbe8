// The setup state: the values that one export call hands to the next.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kiv {

// How the latest export call ended: 0 or the first failure's Win32 error code,
// and one line for a person.
struct CallRecord {
    std::uint32_t code = 0;
    std::string text;
};

// Whether pages show, record their answers or are played back from a response file.
enum class ResponseMode { Normal = 0, Record = 1, Silent = 2 };

struct ResponseSetting {
    ResponseMode mode = ResponseMode::Normal;
    std::string file;                  // full path; empty in the normal mode
    std::map<std::string, int> shown;  // answers recorded or played per export since the mode was set
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
    ResponseSetting response;           // KivSetResponseFile
    JournalState journal;               // KivBeginChanges
    bool logHeaderWritten = false;      // the process's first log line is preceded by a header
};

// The one instance, constructed when the library is loaded.
SetupState& State();

// Replaces *member with folder, without its trailing backslashes, unless folder is null or empty.
void SetFolder(std::string SetupState::*member, const char* folder);

// Stores and returns whether the save keeps the originals.
bool SetKeepOriginals(bool keep);

}  // namespace kiv
