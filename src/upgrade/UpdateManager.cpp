// CreateUpdateManager and CreateUpdateManagerATP: path set-up, opening-data migration, configuration rewrite.
#include "core/ConfigRewrite.h"
#include "core/OpeningTables.h"
#include "core/Path.h"
#include "core/Platform.h"
#include "core/SaveLists.h"
#include "core/SetupState.h"
#include "core/Text.h"
#include "upgrade/Entries.h"
#include "win32/CallOutcome.h"
#include "win32/FileSystem.h"
#include "win32/Journal.h"
#include "win32/Log.h"
#include "win32/LogonName.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace kiv::upgrade {

// The upgrade works on the core's configuration files, tables and save lists.
using namespace kiv::core;

namespace {

const char* const kMainConfigName = "Arch.Cfg";
// Spelled "OeffDat" here and "Oeffdat" in the rewrite's entries: the file system
// ignores the case, and both spellings stand in files that users already have.
const char* const kOpeningDataFolder = "\\OeffDat";

// Per kind of opening, in the order of kOpeningKinds: the standard variant's folder and
// the folder that the ATP variant takes its tables from when the old installation has it.
struct MigrationFolders {
    const char* hyphenFolder;
    const char* underscoreFolder;
};
const MigrationFolders kMigrationFolders[kOpeningKindCount] = {
    {"\\OeffDat\\Fen-Std", "\\OeffDat\\Fen_Std"},
    {"\\OeffDat\\Tue-Std", "\\OeffDat\\Tue_Std"},
    {"\\OeffDat\\Dur-Std", "\\OeffDat\\Dur_Std"},
};

// Library, opening-data and blocks folders from dir, whose trailing backslashes
// would double in every entry; the ATP variant also marks the opening data as
// taken over. False, nothing changed, for a null or empty dir.
bool SetUpdatePaths(const char* dir, UpdateVariant variant) {
    if (text::IsEmpty(dir)) return false;
    SetupState& state = State();
    const std::string base = path::WithoutTrailingSeparators(dir);
    state.libraryDir = base + "\\Bib";
    state.openingDataDir = base + "\\Oeffdat";
    state.blocksDir = base + "\\Blocks";
    if (!state.blocksSubDir.empty()) state.blocksDir += "\\" + state.blocksSubDir;
    if (variant == UpdateVariant::Atp) state.openingDataTakenOver = true;
    return true;
}

// Told when missing: every copy and rewrite of the call would go there.
bool NewManagerFolderFound(const SetupState& state) {
    if (state.newManagerDir.empty())
        outcome::Fail(ERROR_PATH_NOT_FOUND, "Kein neuer Manager-Ordner gesetzt");
    else if (!file::IsFolder(state.newManagerDir))
        outcome::Fail(ERROR_PATH_NOT_FOUND, "Neuer Manager-Ordner " + state.newManagerDir + " nicht gefunden");
    else
        return true;
    return false;
}

// The old folder that holds the definition files, or empty. An unset folder
// holds nothing: plain concatenation would make it the drive's root.
std::string DefinitionSource(const SetupState& state) {
    for (const std::string* folder : {&state.oldManagerDir, &state.oldProgramDir})
        if (!folder->empty() && file::Exists(*folder + OpeningDefinitionFiles[0])) return *folder;
    return std::string();
}

// A step the migration leaves out on purpose is no failure, but support needs to see it.
void LogSkip(const std::string& why) {
    if (log::Enabled()) log::Write("  Migration: " + why, log::Level::Warning);
}

// Copies source over destination when source exists, and answers whether it
// does. A failed copy is told and clears allCopied; the migration goes on.
bool CopyIfPresent(const std::string& source, const std::string& destination, bool& allCopied) {
    if (!file::Exists(source)) return false;
    const Outcome copied = journal::Copy(source, destination);
    outcome::Tell(copied, "Kopieren von " + source + " nach " + destination + " fehlgeschlagen");
    allCopied = allCopied && copied.done();
    return true;
}

// The twelve tables in the order of kOpeningKinds and kTableNames, up to the first
// missing one; false when that ends them.
bool MigrateOpeningTables(const SetupState& state, UpdateVariant variant, bool& allCopied) {
    for (int kind = 0; kind < kOpeningKindCount; ++kind) {
        const std::string prefix = std::string("\\") + kOpeningKinds[kind].tablePrefix;
        const MigrationFolders& folders = kMigrationFolders[kind];
        std::string source, destination;
        if (variant == UpdateVariant::Standard) {
            source = state.oldProgramDir + folders.hyphenFolder + prefix;
            destination = state.newProgramDir + folders.hyphenFolder + prefix;
        } else {
            std::string underscore = state.oldProgramDir + folders.underscoreFolder;
            source = (file::Exists(underscore) ? underscore : state.oldProgramDir + kOpeningDataFolder) + prefix;
            destination = state.newProgramDir + kOpeningDataFolder + prefix;
        }
        for (const char* name : kTableNames)
            if (!CopyIfPresent(source + name, destination + name, allCopied)) {
                LogSkip("stops at " + source + name + ", which is not there; the opening data is not taken over");
                return false;
            }
    }
    return true;
}

// Copies the opening definition files, the opening tables, "Layer.Def" and (standard
// variant) "Arch.Cfg" from the old installation. A missing required source ends the
// migration there and is no failure; a failed copy is told and the others are still
// made. The opening data counts as taken over only when every table came across
// whole. False when a copy failed.
bool MigrateOpeningData(UpdateVariant variant) {
    SetupState& state = State();
    // Unset, the tables would go below the drive's root.
    if (state.newProgramDir.empty()) {
        outcome::Fail(ERROR_PATH_NOT_FOUND, "Kein neuer Programmordner gesetzt");
        return false;
    }
    const std::string source = DefinitionSource(state);
    if (source.empty()) {
        LogSkip(std::string("nothing to take over: no ") + (OpeningDefinitionFiles[0] + 1) +
                " in the old manager or program folder");
        return true;
    }
    bool allCopied = true;
    for (const char* name : OpeningDefinitionFiles)
        if (!CopyIfPresent(source + name, state.newManagerDir + name, allCopied)) {
            LogSkip("stops at " + source + name + ", which is not there");
            return allCopied;
        }
    bool tablesCopied = true;
    const bool tablesPresent = MigrateOpeningTables(state, variant, tablesCopied);
    allCopied = allCopied && tablesCopied;
    if (!tablesPresent) return allCopied;
    if (tablesCopied) state.openingDataTakenOver = true;
    if (state.oldManagerDir.empty()) {
        LogSkip("no old manager folder set: Layer.Def stays as installed");
        return allCopied;
    }
    CopyIfPresent(state.oldManagerDir + "\\Layer.Def", state.newManagerDir + "\\Layer.Def", allCopied);
    if (variant == UpdateVariant::Standard)
        CopyIfPresent(state.oldManagerDir + "\\" + kMainConfigName, state.newManagerDir + "\\" + kMainConfigName,
                      allCopied);
    return allCopied;
}

bool EndsWithIgnoringCase(std::string_view name, std::string_view suffix) {
    return name.size() >= suffix.size() &&
           platform::EqualsIgnoringCase(name.substr(name.size() - suffix.size()), suffix);
}

// The non-empty files of folder whose names end in ".cfg" in any letter case,
// other than excludeName (ignoring case), in directory order. False when the
// listing failed (told); names then holds those found before.
bool ListConfigFiles(const std::string& folder, const std::string& excludeName, std::vector<std::string>& names) {
    // The wildcard also matches 8.3 names: "Arch.cfgx" is found as ARCH~1.CFG.
    const std::string pattern = folder + "\\*.cfg";
    std::vector<file::Entry> entries;
    const Outcome listed = file::List(pattern, entries);
    if (listed.failed()) outcome::Fail(listed.error(), "Durchsuchen von " + pattern + " fehlgeschlagen");
    for (const file::Entry& entry : entries) {
        if (entry.isDirectory || entry.size == 0 || !EndsWithIgnoringCase(entry.name, ".cfg") ||
            platform::EqualsIgnoringCase(entry.name, excludeName))
            continue;
        names.push_back(entry.name);
    }
    return !listed.failed();
}

RewriteInputs InputsFrom(const SetupState& state) {
    RewriteInputs inputs;
    inputs.libraryDir = state.libraryDir;
    inputs.openingDataDir = state.openingDataDir;
    inputs.blocksDir = state.blocksDir;
    inputs.openingDataTakenOver = state.openingDataTakenOver;
    inputs.beforeChange = journal::BeforeChange;
    return inputs;
}

// False, told with the path, when the file could not be rewritten; it is then left as it was.
bool Rewrite(const std::string& path, UpdateVariant variant, const RewriteInputs& inputs) {
    if (RewriteConfigFile(path.c_str(), variant, inputs)) return true;
    const DWORD error = ::GetLastError();
    outcome::Fail(error, "Umschreiben von " + path + " fehlgeschlagen");
    return false;
}

// Rewrites "Arch.Cfg" of the new manager folder, and for ATP every other non-empty
// ".cfg" file there; each file that cannot be rewritten is told, and the others still are.
bool UpdateConfigFiles(UpdateVariant variant) {
    SetupState& state = State();
    if (variant == UpdateVariant::Standard) TakeLogonNameUnlessSet();
    const RewriteInputs inputs = InputsFrom(state);
    const std::string& folder = state.newManagerDir;
    bool rewritten = Rewrite(folder + "\\" + kMainConfigName, variant, inputs);
    if (variant == UpdateVariant::Atp) {
        std::vector<std::string> names;
        rewritten = ListConfigFiles(folder, kMainConfigName, names) && rewritten;
        for (const std::string& name : names)
            rewritten = Rewrite(folder + "\\" + name, UpdateVariant::Atp, inputs) && rewritten;
    }
    return rewritten;
}

}  // namespace

bool RunUpdateManager(const char* dir, bool migrate, UpdateVariant variant) {
    if (!SetUpdatePaths(dir, variant)) {
        outcome::Refused("Kein Programmordner angegeben");
        return false;
    }
    if (!NewManagerFolderFound(State())) return false;
    const bool migrated = !migrate || MigrateOpeningData(variant);
    return UpdateConfigFiles(variant) && migrated;
}

}  // namespace kiv::upgrade
