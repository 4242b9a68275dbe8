// The save folder worker behind SaveBeforeFilesCopy and SaveAfterFilesCopy.
#include "upgrade/SaveAroundCopy.h"

#include "core/Path.h"
#include "core/SaveLists.h"
#include "core/SetupState.h"
#include "core/Text.h"
#include "upgrade/Entries.h"
#include "win32/FileSystem.h"
#include "win32/Handles.h"

#include <vector>

namespace kiv::upgrade {

namespace {

using Names = std::vector<std::string>;

template <typename List>
Names ToNames(const List& list) {
    return Names(list.begin(), list.end());
}

// Non-empty files directly in folder, in the directory search's order.
Names FilesToSave(const std::string& folder) {
    Names names;
    std::vector<file::Entry> entries;
    (void)file::List(folder + "\\*.*", entries);
    for (const file::Entry& entry : entries)
        if (!entry.isDirectory && entry.size != 0) names.push_back(entry.name);
    return names;
}

// The folder a path inside it names: cut at the last backslash after the first character.
std::string ParentOf(const std::string& path) {
    std::size_t at = path::LastSeparator(path, "\\");
    return at != std::string::npos && at > 0 ? path.substr(0, at) : path;
}

// What a pass does when a file is there but cannot be copied (a program holds it
// open, or its name has no spelling in the ANSI code page): the file always stays.
enum class OnFailedCopy { GoOn, EndPass };

// Copies each existing name from one folder to another. A source goes only once
// its copy is in place, and only when removeSource says so.
template <typename RemoveSource>
void CopyPass(const std::string& from, const std::string& to, const Names& names, OnFailedCopy onFailedCopy,
              RemoveSource removeSource) {
    for (const std::string& name : names) {
        std::string source = from + "\\" + name;
        // Copy first: a copy that worked found its source, so only a failed one in a pass that
        // ends there pays for the existence test (a volume query and a directory search) that
        // tells a missing name, which is skipped, from a failure.
        if (!file::Copy(source, to + "\\" + name)) {
            if (onFailedCopy == OnFailedCopy::EndPass && file::Exists(source)) return;
            continue;
        }
        if (removeSource(source)) file::Delete(source);
    }
}

bool Always(const std::string&) { return true; }

}  // namespace

void MoveOpeningIniFiles(const std::string& fromDir, const std::string& toDir) {
    // With an empty folder, "\FENSTER.INI" would name a file at the root of the current drive.
    if (fromDir.empty() || toDir.empty()) return;
    for (const char* name : OpeningDefinitionFiles)
        if (file::Exists(fromDir + name)) file::Move(fromDir + name, toDir + name);
}

void SaveCustomisedFiles(const std::string& folderArg, bool afterCopy) {
    const SetupState& state = State();
    if (state.newProgramDir != state.newManagerDir) MoveOpeningIniFiles(state.newProgramDir, state.newManagerDir);

    const std::string folder = afterCopy ? ParentOf(folderArg) : folderArg;
    const Names names = afterCopy ? ToNames(AfterCopySaveList) : FilesToSave(folder);
    if (names.empty()) return;

    const std::string saveFolder = file::FirstFreeNumberedName(folder + "\\Save");
    if (!file::CreateFolder(saveFolder)) return;

    if (!afterCopy) {
        const bool keepOriginals = state.keepOriginals;
        CopyPass(folder, saveFolder, names, OnFailedCopy::GoOn,
                 [keepOriginals](const std::string& source) { return !keepOriginals && IsReplaceableKind(source); });
        return;
    }
    CopyPass(folder, saveFolder, names, OnFailedCopy::GoOn, Always);
    CopyPass(folder, folder + kSupportSubFolder, ToNames(SupportDrawingList), OnFailedCopy::EndPass, Always);
    for (const char* name : ObsoleteFileList) {
        std::string path = folder + "\\" + name;
        if (file::Exists(path)) file::Delete(path);
    }
}

bool SaveBeforeFilesCopy(const char* programDir, const char* managerDir) {
    if (text::IsEmpty(programDir)) return true;
    if (!file::Exists(programDir)) return false;
    if (text::IsEmpty(managerDir)) return true;
    if (!file::Exists(managerDir)) return false;

    SetupState& state = State();
    state.newProgramDir = programDir;
    state.newManagerDir = managerDir;
    // Left empty on every way out; the script sets them again before the update manager.
    ScopeExit clear([&state]() noexcept {
        state.newProgramDir.clear();
        state.newManagerDir.clear();
    });
    SaveCustomisedFiles(managerDir, false);
    return true;
}

bool SaveAfterFilesCopy(const char* path) {
    if (text::IsEmpty(path)) return true;
    if (!file::Exists(path)) return false;
    SaveCustomisedFiles(path, true);
    return true;
}

}  // namespace kiv::upgrade
