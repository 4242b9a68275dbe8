// The update manager: derives the new installation's data folders, carries the
// old opening data across and has the configuration files rewritten.
#pragma once

#include <string>
#include <vector>

namespace kiv::upgrade {

// Library, opening-data and blocks folders from dir; variant 1 also sets the
// opening-data flag. 0, nothing changed, for a null or empty dir.
int SetUpdatePaths(const char* dir, int variant);

// Copies the opening definition files, the opening tables, "Layer.Def" and
// (variant 0) "Arch.Cfg" from the old installation. 0 when a required source
// is missing (what was copied stays) or a new folder is not set.
int MigrateOpeningData(int variant);

// The four tables sourcePrefix + "TYP.DAT" ... "BLOCK.DAT" to destPrefix + the
// same; 0 at the first missing source, whose later tables are not copied.
int CopyOpeningTables(const std::string& sourcePrefix, const std::string& destPrefix);

// Rewrites "Arch.Cfg" of the new manager folder, and in variant 1 every other
// non-empty ".cfg" file there. 0 without a user name (variant 0) or without a
// new manager folder; otherwise 1, whatever the single rewrites gave.
int UpdateConfigFiles(int variant);

// The non-empty files of folder whose names end in ".cfg" in any letter case,
// other than excludeName (ignoring case), in directory order.
bool ListConfigFiles(const std::string& folder, const std::string& excludeName, std::vector<std::string>& names);

}  // namespace kiv::upgrade
