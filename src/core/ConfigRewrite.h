// RewriteConfigFile: points a configuration file's library entries at the new
// installation and, unless the old opening tables were taken over, stamps the
// fresh tables and enters their first blocks.
#pragma once

#include "core/ConfigFile.h"
#include "core/OpeningTables.h"
#include "core/UpdateVariant.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace kiv::core {

// What the rewrite reads from the setup state, passed in by the caller.
struct RewriteInputs {
    std::string libraryDir;             // dir + "\\Bib"
    std::string openingDataDir;         // dir + "\\Oeffdat"
    std::string blocksDir;              // dir + "\\Blocks" [+ "\\" + sub-folder]
    bool openingDataTakenOver = false;  // the old tables stand in the new installation
    Clock clock = SystemClock;
    // Asked before each file the rewrite changes (a table before it is stamped, the
    // configuration file before it is replaced); false leaves that file untouched.
    std::function<bool(const std::string& path)> beforeChange;
};

// What stamping left for the entries: the kinds entered (from the first, up
// to the first whose tables failed) and their block entry slots.
struct StampedTables {
    int kindsEntered = 0;
    std::array<BlockSlots, kOpeningKindCount> slots;
};

// Stamps the fresh opening tables kind by kind with the installation time and
// reads their first blocks, up to the first kind whose tables fail. When the
// old tables were taken over, no table is opened and every kind is entered.
StampedTables StampTables(UpdateVariant variant, const RewriteInputs& inputs);

// The entries of one rewrite in entering order, from the stamped tables and
// without touching a file: per entered kind its block entries and its four
// folder entries; then, for the standard variant, "BIBHPT", "BIBTAB" and "BODENDIR".
std::vector<ConfigEntry> PlanEntries(UpdateVariant variant, const RewriteInputs& inputs, const StampedTables& stamped);

// Reads the file (a missing one counts as empty), stamps the tables, enters
// the planned entries and replaces the file once. False for an empty path, a
// file that exists but cannot be read whole (nothing touched) or a failed
// write (old file kept); the platform's last error then tells why.
bool RewriteConfigFile(const char* path, UpdateVariant variant, const RewriteInputs& inputs);

}  // namespace kiv::core
