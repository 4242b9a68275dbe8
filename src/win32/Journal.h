// The undo journal's recording side: before each change the library makes, the
// line that reverses it is flushed to the journal file. Without a journal begun,
// every operation here is the plain one and nothing is recorded.
#pragma once

#include "core/JournalLine.h"
#include "win32/Outcome.h"
#include "win32/RegKey.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace kiv::journal {

// The line kinds, each naming how its change is reversed.
namespace kind {
constexpr const char* kHeader = "JOURNAL";   // format name; first line
constexpr const char* kFolder = "FOLDER";    // folder: made for the journal, removed with it
constexpr const char* kValue = "VALUE";      // key, name, type, data: written back
constexpr const char* kNoValue = "NOVALUE";  // key, name: there was none, deleted
constexpr const char* kKey = "KEY";          // key, then name, type, data per value: made again
constexpr const char* kNew = "NEW";          // path: there was no file, deleted
constexpr const char* kKept = "KEPT";        // path, copy: its old bytes copied back
constexpr const char* kMove = "MOVE";        // source, destination, copy: copied back to source
}  // namespace kind

constexpr const char* kHeaderText = "KivForIS55 1";

// The journal file in folder, and the journal's own copies of old bytes there.
std::string JournalPath(const std::string& folder);
std::string KeptCopyPath(const std::string& folder, unsigned long number);
// The line KivGetLastError gives when a step of the journal failed.
std::string FailureText(const std::string& what);
// The number of a kept copy's file name, or 0 for any other name.
unsigned long KeptCopyNumber(std::string_view name);
// Pattern that finds the kept copies in a folder (and, as 8.3 names, possibly others).
std::string KeptCopyPattern(const std::string& folder);

bool Active();

// Records what puts path back as it is now, before the caller rewrites, overwrites,
// stamps or creates it: "NEW" when there is no such file, else "KEPT" with a copy
// of its bytes in the journal folder. False, told: the change must not be made.
bool BeforeChange(const std::string& path);
// Records the value as it is, or that there is none, before it is written or deleted.
bool BeforeValueChange(HKEY root, const std::string& keyPath, const char* valueName);
// Records the key with its values and every key below it, before it is deleted.
bool BeforeKeyDelete(HKEY root, const std::string& keyPath);
// A save folder made in this run: whole copies in it serve as the journal's own.
void SaveFolderMade(const std::string& folder);

// The file system's Copy, Move and Delete, each recorded first. A copy into a save
// folder of this run is not recorded (save folders stay). Delete with movedTo names
// the whole copy just made of path: the deletion completes a move.
Outcome Copy(const std::string& source, const std::string& destination);
Outcome Move(const std::string& source, const std::string& destination);
Outcome Delete(const std::string& path, const std::string& movedTo = std::string());

// "HKLM\\path" and back.
std::string RootedKey(HKEY root, const std::string& keyPath);
bool SplitRootedKey(const std::string& rooted, HKEY& root, std::string& keyPath);
// A value as three fields (name, type, data; a plain string as itself in quotes), and back from fields[at...].
void AppendValue(Record& record, const RegValue& value);
bool ValueAt(const Record& record, std::size_t at, RegValue& value);

}  // namespace kiv::journal
