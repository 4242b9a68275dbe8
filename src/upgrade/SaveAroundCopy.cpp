// The save folder worker behind SaveBeforeFilesCopy and SaveAfterFilesCopy.
#include "upgrade/SaveAroundCopy.h"

#include "core/Path.h"
#include "core/SaveLists.h"
#include "core/SetupState.h"
#include "core/Text.h"
#include "upgrade/Entries.h"
#include "win32/CallOutcome.h"
#include "win32/FileSystem.h"
#include "win32/Handles.h"
#include "win32/Journal.h"

#include <vector>

namespace kiv::upgrade {

// The upgrade works on the core's configuration files, tables and save lists.
using namespace kiv::core;

namespace {

using Names = std::vector<std::string>;

template <typename List>
Names ToNames(const List& list) {
    return Names(list.begin(), list.end());
}

// The line KivGetLastError gives for a file that stayed where it was.
std::string NotDone(const char* what, const std::string& source, const std::string& to) {
    return std::string(what) + " von " + source + " nach " + to + " fehlgeschlagen";
}

// Non-empty files directly in folder, in the directory search's order. False, told,
// when the search broke off: the files it did not reach are not saved.
bool ListFilesToSave(const std::string& folder, Names& names) {
    std::vector<file::Entry> entries;
    const Outcome listed = file::List(folder + "\\*.*", entries);
    for (const file::Entry& entry : entries)
        if (!entry.isDirectory && entry.size != 0) names.push_back(entry.name);
    if (!listed.failed()) return true;
    outcome::Fail(listed.error(), "Lesen des Ordners " + folder + " fehlgeschlagen");
    return false;
}

// The folder a path inside it names: cut at the last backslash after the first character.
std::string ParentOf(const std::string& path) {
    std::size_t at = path::LastSeparator(path, "\\");
    return at != std::string::npos && at > 0 ? path.substr(0, at) : path;
}

// What a pass does when a file is there but cannot be copied (a program holds it
// open, the disk is full, or its name has no spelling in the ANSI code page): the
// file always stays, untouched, and is told.
enum class OnFailedCopy { GoOn, EndPass };

// Copies each existing name from one folder to another. A source goes only once
// its copy is in place, and only when removeSource says so. False when a file
// that is there could not be copied.
template <typename RemoveSource>
bool CopyPass(const char* what, const std::string& from, const std::string& to, const Names& names,
              OnFailedCopy onFailedCopy, RemoveSource removeSource) {
    bool allCopied = true;
    for (const std::string& name : names) {
        const std::string source = from + "\\" + name, destination = to + "\\" + name;
        const Outcome copied = journal::Copy(source, destination);
        if (copied.missing()) continue;
        if (!copied) {
            outcome::Fail(copied.error(), NotDone(what, source, to));
            allCopied = false;
            if (onFailedCopy == OnFailedCopy::EndPass) break;
            continue;
        }
        if (removeSource(source)) (void)journal::Delete(source, destination);
    }
    return allCopied;
}

bool Always(const std::string&) { return true; }

// Moves the three opening definition files from one folder to the other. False
// when one that is there could not be moved.
bool MoveOpeningIniFiles(const std::string& fromDir, const std::string& toDir) {
    // With an empty folder, "\FENSTER.INI" would name a file at the root of the current drive.
    if (fromDir.empty() || toDir.empty()) return true;
    bool allMoved = true;
    for (const char* name : OpeningDefinitionFiles) {
        if (!file::Exists(fromDir + name)) continue;
        if (!outcome::Tell(journal::Move(fromDir + name, toDir + name), NotDone("Verschieben", fromDir + name, toDir)))
            allMoved = false;
    }
    return allMoved;
}

// Before the copy (afterCopy false): saves every non-empty file of folder into a
// new numbered save folder and removes the saved originals of the replaceable
// kinds unless the keep-originals flag is set. After the copy (afterCopy true):
// tidies folder: old program files into a save folder, block drawings into
// Support, obsolete files deleted. False when any file could not be saved or
// moved; it stays where it is, and the saving goes on with the next one.
bool SaveCustomisedFiles(const std::string& folder, bool afterCopy) {
    const SetupState& state = State();
    bool complete = true;
    if (state.newProgramDir != state.newManagerDir)
        complete = MoveOpeningIniFiles(state.newProgramDir, state.newManagerDir);

    Names names = afterCopy ? ToNames(AfterCopySaveList) : Names();
    if (!afterCopy) complete = ListFilesToSave(folder, names) && complete;
    if (names.empty()) return complete;

    const std::string saveFolder = file::FirstFreeNumberedName(folder + "\\Save");
    if (!outcome::Tell(file::CreateFolder(saveFolder), "Anlegen von " + saveFolder + " fehlgeschlagen")) return false;
    journal::SaveFolderMade(saveFolder);

    if (!afterCopy) {
        const bool keepOriginals = state.keepOriginals;
        return CopyPass("Sichern", folder, saveFolder, names, OnFailedCopy::GoOn,
                        [keepOriginals](const std::string& source) {
                            return !keepOriginals && IsReplaceableKind(source);
                        }) &&
               complete;
    }
    complete = CopyPass("Sichern", folder, saveFolder, names, OnFailedCopy::GoOn, Always) && complete;
    complete = CopyPass("Verschieben", folder, folder + kSupportSubFolder, ToNames(SupportDrawingList),
                        OnFailedCopy::EndPass, Always) &&
               complete;
    for (const char* name : ObsoleteFileList) {
        std::string path = folder + "\\" + name;
        if (file::Exists(path)) (void)journal::Delete(path);
    }
    return complete;
}

SaveResult ResultOf(bool complete) { return complete ? SaveResult::Saved : SaveResult::NotAllSaved; }

}  // namespace

SaveResult SaveBeforeFilesCopy(const char* programDir, const char* managerDir) {
    if (text::IsEmpty(programDir)) return SaveResult::Saved;
    if (!file::Exists(programDir)) return SaveResult::FolderMissing;
    if (text::IsEmpty(managerDir)) return SaveResult::Saved;
    if (!file::Exists(managerDir)) return SaveResult::FolderMissing;

    // Trailing backslashes would double in every path built from the folders.
    const std::string manager = path::WithoutTrailingSeparators(managerDir);
    SetupState& state = State();
    state.newProgramDir = path::WithoutTrailingSeparators(programDir);
    state.newManagerDir = manager;
    // Left empty on every way out; the script sets them again before the update manager.
    ScopeExit clear([&state]() noexcept {
        state.newProgramDir.clear();
        state.newManagerDir.clear();
    });
    return ResultOf(SaveCustomisedFiles(manager, false));
}

SaveResult SaveAfterFilesCopy(const char* path) {
    if (text::IsEmpty(path)) return SaveResult::Saved;
    if (!file::Exists(path)) return SaveResult::FolderMissing;
    // The folder part of the path, so "C:\K\Q\x" and "C:\K\Q\" both name C:\K\Q.
    return ResultOf(SaveCustomisedFiles(path::WithoutTrailingSeparators(ParentOf(path)), true));
}

}  // namespace kiv::upgrade
