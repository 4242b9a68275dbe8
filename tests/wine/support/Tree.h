// Whole-tree snapshots, to show that a call changed nothing it was not asked to.
#pragma once

#include <map>
#include <string>

namespace kivtest {

// Relative path of every file and folder below root (folders end in a
// backslash) mapped to the file's bytes.
std::map<std::string, std::string> Snapshot(const std::string& root);

// Every key below keyPath (HKEY_LOCAL_MACHINE), ending in a backslash, and
// every value as "key\:name" mapped to its raw bytes; empty when keyPath is missing.
std::map<std::string, std::string> RegSnapshot(const std::string& keyPath);

// A file's bytes without what stamping changes: an opening table's header time and the time code inside
// each block code, also where a configuration file's block entries name the codes. Other files stay as they are.
std::string WithoutStamp(const std::string& path, std::string bytes);

}  // namespace kivtest
