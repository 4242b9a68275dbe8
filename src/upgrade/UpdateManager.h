// The update manager: derives the new installation's data folders, carries the
// old opening data across and has the configuration files rewritten.
#pragma once

#include "core/UpdateVariant.h"

#include <string>
#include <vector>

namespace kiv::upgrade {

// Library, opening-data and blocks folders from dir; the ATP variant also marks
// the opening data as taken over. False, nothing changed, for a null or empty dir.
bool SetUpdatePaths(const char* dir, UpdateVariant variant);

// Copies the opening definition files, the opening tables, "Layer.Def" and
// (standard variant) "Arch.Cfg" from the old installation. False when a required
// source is missing (what was copied stays) or a new folder is not set.
bool MigrateOpeningData(UpdateVariant variant);

// The four tables sourcePrefix + "TYP.DAT" ... "BLOCK.DAT" to destPrefix + the
// same; false at the first missing source, whose later tables are not copied.
bool CopyOpeningTables(const std::string& sourcePrefix, const std::string& destPrefix);

// Rewrites "Arch.Cfg" of the new manager folder, and for ATP every other non-empty
// ".cfg" file there. False without a user name (standard variant) or without a
// new manager folder; otherwise true, whatever the single rewrites gave.
bool UpdateConfigFiles(UpdateVariant variant);

// The non-empty files of folder whose names end in ".cfg" in any letter case,
// other than excludeName (ignoring case), in directory order.
bool ListConfigFiles(const std::string& folder, const std::string& excludeName, std::vector<std::string>& names);

}  // namespace kiv::upgrade
