// File system operations as the library's subsystems use them: existence test,
// overwriting copy, move, delete, one-level folder creation and listing. Each
// change answers an Outcome that keeps "missing" apart from "failed".
#pragma once

#include "win32/Outcome.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kiv::file {

// True for an existing file or folder, or a wildcard that matches anything; a
// name ending in a backslash must be a folder, and a drive or share root exists
// when its volume answers. False for null/empty names, unresolvable paths and
// volumes without a medium. Never shows a system dialog; the caller's error
// mode is the same afterwards.
bool Exists(const char* path);
inline bool Exists(const std::string& path) { return Exists(path.c_str()); }

// True for an existing folder, its name with or without a trailing backslash.
// Cheaper than Exists (no volume query) for the library's own checks; never
// shows a system dialog either.
bool IsFolder(const std::string& path);

// What the file system tells about one opened file, and the full path it was opened by.
struct FileIdentity {
    std::uint32_t volumeSerial = 0;
    std::uint32_t indexHigh = 0;
    std::uint32_t indexLow = 0;
    std::string fullPath;
};

// Equal volume and file index; where either index is 0 (unknown), equal full
// paths ignoring case the same way on every system language.
bool SameIdentity(const FileIdentity& a, const FileIdentity& b);

// True when both names reach the same file, however they are spelled.
bool SameFile(const std::string& a, const std::string& b);

// Overwriting copy that never leaves a destination cut off. A new destination
// is copied to directly and removed again when the copy fails part-way (a full
// disk); an existing one is replaced in one step by a flushed temporary copy
// beside it, so it holds its old bytes or all the new ones. Missing only when
// the source is not there; Failed (access denied) for a read-only destination,
// as on Windows, and for source and destination being the same file, since
// copying a file onto itself would truncate it. The source is never changed.
Outcome Copy(const std::string& source, const std::string& destination);

// Copy, then delete the source when the copy succeeded. Failed whenever the
// source stays, also when only its deletion failed.
Outcome Move(const std::string& source, const std::string& destination);

Outcome Delete(const std::string& path);

// Puts new content in destination's place in one step: fill writes it whole and
// flushed into a new temporary file beside destination, which then replaces it.
// On any failure the temporary file goes and destination stays as it was; the
// failure's code is also left as the last error.
Outcome ReplaceThroughTemporary(const std::string& destination,
                                const std::function<bool(const std::string& temporary)>& fill);

// Writes what the system still buffers of the file to the disk.
Outcome Flush(const std::string& path);
Outcome CreateFolder(const std::string& path);
// An empty folder only.
Outcome RemoveFolder(const std::string& path);

// base followed by the decimal n, for the smallest n >= 1 whose name no file
// or folder has yet ("...\\Save" gives "...\\Save1", "...\\Save2", ...).
std::string FirstFreeNumberedName(const std::string& base);

// The library's temporary files: "~kiv", eight upper-case hexadecimal digits of
// number and ".tmp" ("~kiv0A1B2C3D.tmp"), a name no program or user gives, so a
// later call may remove those that a killed process left in the folder of path.
std::string TemporaryName(unsigned long number);
void RemoveLeftTemporaries(const std::string& path);

struct Entry {
    std::string name;
    bool isDirectory = false;
    std::uint64_t size = 0;
};

// The entries a directory search over pattern yields, in the search's order.
// Missing when nothing matches, also below a file; Failed when the search
// cannot start or ends early on an error (entries then holds what came before it).
Outcome List(const std::string& pattern, std::vector<Entry>& entries);

}  // namespace kiv::file
