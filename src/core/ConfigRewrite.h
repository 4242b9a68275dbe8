// RewriteConfigFile: points a configuration file's library entries at the new
// installation and, unless the old opening tables were taken over, stamps the
// fresh tables and enters their first blocks.
#pragma once

#include "core/ConfigFile.h"
#include "core/OpeningTables.h"
#include "core/UpdateVariant.h"

#include <string>
#include <vector>

namespace kiv::upgrade {

// What the rewrite reads from the setup state, passed in by the caller.
struct RewriteInputs {
    std::string libraryDir;             // dir + "\\Bib"
    std::string openingDataDir;         // dir + "\\Oeffdat"
    std::string blocksDir;              // dir + "\\Blocks" [+ "\\" + sub-folder]
    bool openingDataTakenOver = false;  // the old tables stand in the new installation
    Clock clock = SystemClock;
};

// The entries of one rewrite in entering order: per kind its block entries
// (stamping its tables first) and its four folder entries, stopping at a kind
// whose tables fail; then, for the standard variant, "BIBHPT", "BIBTAB" and "BODENDIR".
std::vector<ConfigEntry> PlanEntries(UpdateVariant variant, const RewriteInputs& inputs);

// Reads the file (a missing one counts as empty), enters PlanEntries and
// writes the lines back in one step. False for an empty path, a file that exists
// but cannot be read whole (left untouched) or a failed write (old file kept).
bool RewriteConfigFile(const char* path, UpdateVariant variant, const RewriteInputs& inputs);

}  // namespace kiv::upgrade
