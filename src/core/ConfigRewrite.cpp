// The configuration file rewrite and the entries it makes.
#include "core/ConfigRewrite.h"

#include "core/ByteFile.h"
#include "core/Text.h"

#include <utility>

namespace kiv::core {

namespace {

constexpr int kFolderEntryCount = 4;

void Enter(std::vector<ConfigEntry>& entries, std::string key, const std::string& value) {
    std::string line = FormatConfigEntry(key, value);
    entries.push_back(ConfigEntry{std::move(key), std::move(line)});
}

std::string KindFolder(int kind, UpdateVariant variant, const RewriteInputs& inputs) {
    return inputs.openingDataDir + (variant == UpdateVariant::Standard ? kOpeningKinds[kind].subFolder : "");
}

bool Allowed(const RewriteInputs& inputs, const std::string& path) {
    return !inputs.beforeChange || inputs.beforeChange(path);
}

}  // namespace

StampedTables StampTables(UpdateVariant variant, const RewriteInputs& inputs) {
    StampedTables stamped;
    if (inputs.openingDataTakenOver) {
        stamped.kindsEntered = kOpeningKindCount;
        return stamped;
    }
    while (stamped.kindsEntered < kOpeningKindCount) {
        const int kind = stamped.kindsEntered;
        const std::string folder = KindFolder(kind, variant, inputs);
        bool allowed = true;
        for (int table = 0; table < kTableCount && allowed; ++table)
            allowed = Allowed(inputs, OpeningTablePath(kind, folder, table));
        if (!allowed || !StampOpeningTables(kind, folder, stamped.slots[kind], inputs.clock)) break;
        ++stamped.kindsEntered;
    }
    return stamped;
}

std::vector<ConfigEntry> PlanEntries(UpdateVariant variant, const RewriteInputs& inputs, const StampedTables& stamped) {
    std::vector<ConfigEntry> entries;
    for (int kind = 0; kind < stamped.kindsEntered; ++kind) {
        for (const std::string& slot : stamped.slots[kind])
            if (!slot.empty()) entries.push_back(ConfigEntry{slot.substr(0, slot.find(' ')), slot});
        const std::string folder = KindFolder(kind, variant, inputs);
        for (int n = 1; n <= kFolderEntryCount; ++n)
            Enter(entries, kOpeningKinds[kind].folderKeyPrefix + std::to_string(n), folder);
    }
    if (variant == UpdateVariant::Standard) {
        Enter(entries, "BIBHPT", inputs.libraryDir + "\\Bib.Ini");
        Enter(entries, "BIBTAB", inputs.libraryDir + "\\Std\\Std.Bib");
        Enter(entries, "BODENDIR", inputs.blocksDir);
    }
    return entries;
}

bool RewriteConfigFile(const char* path, UpdateVariant variant, const RewriteInputs& inputs) {
    if (text::IsEmpty(path)) return false;
    std::string bytes;
    // Writing back fewer lines than the file holds would lose the user's settings.
    if (ReadWholeFile(path, bytes) == ReadOutcome::Failed) return false;
    const StampedTables stamped = StampTables(variant, inputs);
    ConfigLines lines(std::move(bytes));
    lines.Enter(PlanEntries(variant, inputs, stamped));
    return Allowed(inputs, path) && ReplaceFileContent(path, lines.Pieces());
}

}  // namespace kiv::core
