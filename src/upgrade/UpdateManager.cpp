// CreateUpdateManager and CreateUpdateManagerATP: path set-up, opening-data migration, configuration rewrite.
#include "upgrade/UpdateManager.h"

#include "core/ConfigRewrite.h"
#include "core/OpeningTables.h"
#include "core/OutputBuffer.h"
#include "core/Platform.h"
#include "core/SaveLists.h"
#include "core/SetupState.h"
#include "core/Text.h"
#include "upgrade/Entries.h"
#include "win32/FileSystem.h"
#include "win32/LogonName.h"

#include <string_view>

namespace kiv::upgrade {

namespace {

const char* const kMainConfigName = "Arch.Cfg";
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

// The old folder that holds the definition files, or empty. An unset folder
// holds nothing: plain concatenation would make it the drive's root.
std::string DefinitionSource(const SetupState& state) {
    for (const std::string* folder : {&state.oldManagerDir, &state.oldProgramDir})
        if (!folder->empty() && file::Exists(*folder + OpeningDefinitionFiles[0])) return *folder;
    return std::string();
}

bool MigrateOpeningTables(const SetupState& state, UpdateVariant variant) {
    for (int kind = 0; kind < kOpeningKindCount; ++kind) {
        std::string prefix = std::string("\\") + kOpeningKinds[kind].tablePrefix;
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
        if (!CopyOpeningTables(source, destination)) return false;
    }
    return true;
}

bool EndsWithIgnoringCase(std::string_view name, std::string_view suffix) {
    return name.size() >= suffix.size() &&
           platform::EqualsIgnoringCase(name.substr(name.size() - suffix.size()), suffix);
}

RewriteInputs InputsFrom(const SetupState& state) {
    RewriteInputs inputs;
    inputs.libraryDir = state.libraryDir;
    inputs.openingDataDir = state.openingDataDir;
    inputs.blocksDir = state.blocksDir;
    inputs.openingDataTakenOver = state.openingDataTakenOver;
    return inputs;
}

}  // namespace

bool SetUpdatePaths(const char* dir, UpdateVariant variant) {
    if (text::IsEmpty(dir)) return false;
    SetupState& state = State();
    std::string base = dir;
    state.libraryDir = base + "\\Bib";
    state.openingDataDir = base + "\\Oeffdat";
    state.blocksDir = base + "\\Blocks";
    if (!state.blocksSubDir.empty()) state.blocksDir += "\\" + state.blocksSubDir;
    if (variant == UpdateVariant::Atp) state.openingDataTakenOver = true;
    return true;
}

bool CopyOpeningTables(const std::string& sourcePrefix, const std::string& destPrefix) {
    for (const char* name : kTableNames) {
        if (!file::Exists(sourcePrefix + name)) return false;
        file::Copy(sourcePrefix + name, destPrefix + name);
    }
    return true;
}

bool MigrateOpeningData(UpdateVariant variant) {
    SetupState& state = State();
    // Unset new folders would send the copies to the drive's root.
    if (state.newManagerDir.empty() || state.newProgramDir.empty()) return false;
    std::string source = DefinitionSource(state);
    if (source.empty()) return false;
    for (const char* name : OpeningDefinitionFiles) {
        if (!file::Exists(source + name)) return false;
        file::Copy(source + name, state.newManagerDir + name);
    }
    if (!MigrateOpeningTables(state, variant)) return false;
    state.openingDataTakenOver = true;
    if (state.oldManagerDir.empty()) return true;
    file::Copy(state.oldManagerDir + "\\Layer.Def", state.newManagerDir + "\\Layer.Def");
    std::string oldConfig = state.oldManagerDir + "\\" + kMainConfigName;
    if (variant == UpdateVariant::Standard && file::Exists(oldConfig))
        file::Copy(oldConfig, state.newManagerDir + "\\" + kMainConfigName);
    return true;
}

bool ListConfigFiles(const std::string& folder, const std::string& excludeName, std::vector<std::string>& names) {
    // The wildcard also matches 8.3 names: "Arch.cfgx" is found as ARCH~1.CFG.
    std::vector<file::Entry> entries;
    (void)file::List(folder + "\\*.cfg", entries);
    for (const file::Entry& entry : entries) {
        if (entry.isDirectory || entry.size == 0 || !EndsWithIgnoringCase(entry.name, ".cfg") ||
            platform::EqualsIgnoringCase(entry.name, excludeName))
            continue;
        names.push_back(entry.name);
    }
    return !names.empty();
}

bool UpdateConfigFiles(UpdateVariant variant) {
    SetupState& state = State();
    if (variant == UpdateVariant::Standard) {
        if (state.userName.empty()) {
            char scratch[kOutputBufferSize];
            TakeLogonName(scratch);
        }
        if (state.userName.empty()) return false;
    }
    // Without the folder the rewrite would create "\Arch.Cfg" at the drive's root.
    if (state.newManagerDir.empty()) return false;
    RewriteInputs inputs = InputsFrom(state);
    std::string folder = state.newManagerDir;
    RewriteConfigFile((folder + "\\" + kMainConfigName).c_str(), variant, inputs);
    if (variant == UpdateVariant::Atp) {
        std::vector<std::string> names;
        ListConfigFiles(folder, kMainConfigName, names);
        for (const std::string& name : names)
            RewriteConfigFile((folder + "\\" + name).c_str(), UpdateVariant::Atp, inputs);
    }
    return true;
}

bool RunUpdateManager(const char* dir, bool migrate, UpdateVariant variant) {
    if (!SetUpdatePaths(dir, variant)) return false;
    if (migrate) MigrateOpeningData(variant);
    return UpdateConfigFiles(variant);
}

}  // namespace kiv::upgrade
