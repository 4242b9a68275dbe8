// The undo journal's start, undo and commit.
#include "upgrade/Journal.h"

#include "core/ByteFile.h"
#include "core/Path.h"
#include "core/SetupState.h"
#include "core/Text.h"
#include "win32/CallOutcome.h"
#include "win32/FileSystem.h"
#include "win32/Journal.h"

#include <windows.h>

#include <algorithm>
#include <set>
#include <string_view>
#include <vector>

namespace kiv::upgrade {

// The upgrade works on the core's configuration files, tables and save lists.
using namespace kiv::core;

namespace {

using journal::FailureText;
using journal::Record;
namespace kind = journal::kind;

void TellNoJournal() { outcome::NotFound("Kein Aenderungsjournal begonnen"); }

bool IsKind(const Record& record, const char* name) { return record.kind == name; }

// Told when failed; a name that is not there is already as it should be.
bool DoneOrMissing(const Outcome& result, const std::string& what) {
    if (result.failed()) outcome::Fail(result.error(), what);
    return !result.failed();
}

bool WriteRecords(const std::string& path, const std::vector<Record>& records) {
    const std::string text = journal::FormatLines(records);
    if (ReplaceFileContent(path, {text})) return true;
    outcome::Fail(::GetLastError(), FailureText("Schreiben von " + path));
    return false;
}

// The records of the active journal file. False, told, when it cannot be read or is none.
bool ReadJournal(const std::string& folder, std::vector<Record>& records) {
    const std::string path = journal::JournalPath(folder);
    std::string text;
    const ReadOutcome read = ReadWholeFile(path, text);
    if (read != ReadOutcome::Read) {
        // A journal file that has gone cannot be finished: the run has no journal any more.
        if (read == ReadOutcome::Missing) State().journal = JournalState();
        outcome::Fail(read == ReadOutcome::Missing ? ERROR_FILE_NOT_FOUND : ::GetLastError(),
                      FailureText("Lesen von " + path));
        return false;
    }
    records = journal::ParseLines(text);
    if (!records.empty() && IsKind(records[0], kind::kHeader) && records[0].fields.size() == 1 &&
        records[0].fields[0] == journal::kHeaderText)
        return true;
    outcome::Fail(ERROR_INVALID_DATA, path + " ist kein Aenderungsjournal");
    return false;
}

// The folder and its parents that do not exist yet, the outermost first.
std::vector<std::string> MissingFolders(const std::string& folder) {
    std::vector<std::string> missing;
    for (std::string at = folder; !at.empty() && !file::Exists(at);) {
        missing.insert(missing.begin(), at);
        const std::size_t slash = path::LastSeparator(at, "\\/");
        if (slash == std::string::npos || slash == 0 || at[slash - 1] == ':' || at[slash - 1] == '\\') break;
        at = at.substr(0, slash);
    }
    return missing;
}

void RemoveFolders(const std::vector<std::string>& folders) {
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) (void)file::RemoveFolder(*it);
}

unsigned long NextCopyNumber(const std::string& folder) {
    std::vector<file::Entry> entries;
    (void)file::List(journal::KeptCopyPattern(folder), entries);
    unsigned long highest = 0;
    for (const file::Entry& entry : entries) highest = std::max(highest, journal::KeptCopyNumber(entry.name));
    return highest + 1;
}

// The values of a "VALUE" or "KEY" record, from its second field on; false when they are not whole.
bool ValuesOf(const Record& record, std::vector<RegValue>& values) {
    if (record.fields.empty() || (record.fields.size() - 1) % 3 != 0) return false;
    for (std::size_t at = 1; at < record.fields.size(); at += 3) {
        RegValue value;
        if (!journal::ValueAt(record, at, value)) return false;
        values.push_back(value);
    }
    return !IsKind(record, kind::kValue) || values.size() == 1;
}

// Puts back what one record names; false, told, when that failed.
bool Reverse(const Record& record) {
    const std::vector<std::string>& f = record.fields;
    HKEY root = nullptr;
    std::string keyPath;
    std::vector<RegValue> values;
    RegKey key;
    if (IsKind(record, kind::kNoValue) && f.size() == 2 && journal::SplitRootedKey(f[0], root, keyPath)) {
        Outcome deleted = key.OpenForValues(root, keyPath);
        if (deleted) deleted = key.DeleteValue(f[1].c_str());
        return DoneOrMissing(deleted, FailureText("Entfernen von " + f[0] + " \"" + f[1] + "\""));
    }
    if ((IsKind(record, kind::kValue) || IsKind(record, kind::kKey)) && ValuesOf(record, values) &&
        journal::SplitRootedKey(f[0], root, keyPath)) {
        Outcome written = key.OpenForWrite(root, keyPath);
        for (const RegValue& value : values)
            if (written) written = key.WriteValue(value);
        return outcome::Tell(written, FailureText("Zurueckschreiben von " + f[0])).done();
    }
    if (IsKind(record, kind::kNew) && f.size() == 1)
        return DoneOrMissing(file::Delete(f[0]), FailureText("Entfernen von " + f[0]));
    if ((IsKind(record, kind::kKept) && f.size() == 2) || (IsKind(record, kind::kMove) && f.size() == 3))
        return outcome::Tell(file::Copy(f.back(), f[0]),
                             FailureText("Wiederherstellen von " + f[0] + " aus " + f.back()))
            .done();
    const std::string line = journal::FormatLine(record);
    outcome::Fail(ERROR_INVALID_DATA, "Unlesbare Zeile im Aenderungsjournal: " + line.substr(0, line.size() - 2));
    return false;
}

// The library's temporary files that a kill left beside any file the journal names.
void RemoveLeftTemporaries(const std::vector<Record>& records) {
    std::set<std::string> folders;
    for (const Record& record : records) {
        if (!IsKind(record, kind::kNew) && !IsKind(record, kind::kKept) && !IsKind(record, kind::kMove)) continue;
        const std::string& path = record.fields[0];
        const std::size_t slash = path::LastSeparator(path, "\\/");
        if (slash != std::string::npos && folders.insert(path.substr(0, slash)).second)
            file::RemoveLeftTemporaries(path);
    }
}

// Removes the journal file (from then on nothing is undone), its copies and the folders made for it.
bool Finish(const std::string& folder, const std::vector<Record>& records) {
    const std::string path = journal::JournalPath(folder);
    if (!outcome::Tell(file::Delete(path), FailureText("Entfernen von " + path))) return false;
    State().journal = JournalState();
    std::vector<file::Entry> entries;
    (void)file::List(journal::KeptCopyPattern(folder), entries);
    for (const file::Entry& entry : entries)
        if (journal::KeptCopyNumber(entry.name) != 0)
            outcome::Tell(file::Delete(folder + "\\" + entry.name),
                          FailureText("Entfernen von " + folder + "\\" + entry.name));
    file::RemoveLeftTemporaries(path);
    std::vector<std::string> made;
    for (const Record& record : records)
        if (IsKind(record, kind::kFolder) && record.fields.size() == 1) made.push_back(record.fields[0]);
    RemoveFolders(made);
    return true;
}

// The active journal's folder and records; false, told, without one or when it cannot be read.
bool ReadActiveJournal(std::string& folder, std::vector<Record>& records) {
    folder = State().journal.folder;
    if (folder.empty()) {
        TellNoJournal();
        return false;
    }
    return ReadJournal(folder, records);
}

}  // namespace

JournalStart BeginChanges(const char* folderArgument) {
    JournalState& state = State().journal;
    if (!state.folder.empty()) {
        outcome::Fail(ERROR_ALREADY_EXISTS, "Ein Aenderungsjournal ist schon begonnen in " + state.folder);
        return JournalStart::Failed;
    }
    if (text::IsEmpty(folderArgument)) {
        outcome::Refused("Kein Ordner fuer das Aenderungsjournal angegeben");
        return JournalStart::Failed;
    }
    const std::string folder = path::WithoutTrailingSeparators(folderArgument);
    const std::string path = journal::JournalPath(folder);
    std::vector<Record> records;
    if (file::Exists(path)) {
        // Written again from its whole lines: a line a kill cut off must not run into the next one.
        if (!ReadJournal(folder, records) || !WriteRecords(path, records)) return JournalStart::Failed;
        state.folder = folder;
        state.nextCopy = NextCopyNumber(folder);
        return JournalStart::Adopted;
    }
    const std::vector<std::string> missing = MissingFolders(folder);
    records.push_back(Record{kind::kHeader, {journal::kHeaderText}});
    for (const std::string& made : missing) {
        if (!outcome::Tell(file::CreateFolder(made), FailureText("Anlegen von " + made))) {
            RemoveFolders(missing);
            return JournalStart::Failed;
        }
        records.push_back(Record{kind::kFolder, {made}});
    }
    if (!WriteRecords(path, records)) {
        RemoveFolders(missing);
        return JournalStart::Failed;
    }
    state.folder = folder;
    state.nextCopy = NextCopyNumber(folder);
    return JournalStart::Started;
}

bool UndoChanges() {
    std::string folder;
    std::vector<Record> records;
    if (!ReadActiveJournal(folder, records)) return false;
    std::size_t changes = 0;
    while (changes < records.size() &&
           (IsKind(records[changes], kind::kHeader) || IsKind(records[changes], kind::kFolder)))
        ++changes;
    for (std::size_t left = records.size(); left > changes; --left) {
        if (Reverse(records[left - 1])) continue;
        // Those reversed go; a second undo would reverse them again all the same.
        records.resize(left);
        (void)WriteRecords(journal::JournalPath(folder), records);
        return false;
    }
    RemoveLeftTemporaries(records);
    return Finish(folder, records);
}

bool CommitChanges() {
    std::string folder;
    std::vector<Record> records;
    return ReadActiveJournal(folder, records) && Finish(folder, records);
}

}  // namespace kiv::upgrade
