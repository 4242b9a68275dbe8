// The configuration file rewrite and the entries it makes.
#include "core/ConfigRewrite.h"

#include "core/ByteFile.h"

#include "core/Text.h"

namespace kiv::upgrade {

namespace {

constexpr int kFolderEntryCount = 4;

void Enter(std::vector<ConfigEntry>& entries, std::string key, const std::string& value) {
    std::string line = FormatConfigEntry(key, value);
    entries.push_back(ConfigEntry{std::move(key), std::move(line)});
}

// EnterOpeningLibraries: a kind whose tables fail ends it, with nothing of that kind or the later ones.
void EnterOpeningLibraries(std::vector<ConfigEntry>& entries, UpdateVariant variant, const RewriteInputs& inputs) {
    for (int kind = 0; kind < kOpeningKindCount; ++kind) {
        const OpeningKind& opening = kOpeningKinds[kind];
        std::string folder = inputs.openingDataDir + (variant == UpdateVariant::Standard ? opening.subFolder : "");
        if (!inputs.openingDataTakenOver) {
            BlockSlots slots;
            if (!StampOpeningTables(kind, folder, slots, inputs.clock)) return;
            for (const std::string& slot : slots)
                if (!slot.empty()) entries.push_back(ConfigEntry{slot.substr(0, slot.find(' ')), slot});
        }
        for (int n = 1; n <= kFolderEntryCount; ++n)
            Enter(entries, opening.folderKeyPrefix + std::to_string(n), folder);
    }
}

}  // namespace

std::vector<ConfigEntry> PlanEntries(UpdateVariant variant, const RewriteInputs& inputs) {
    std::vector<ConfigEntry> entries;
    EnterOpeningLibraries(entries, variant, inputs);
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
    ConfigLines lines(std::move(bytes));
    lines.Enter(PlanEntries(variant, inputs));
    return ReplaceFileContent(path, lines.Pieces());
}

}  // namespace kiv::upgrade
