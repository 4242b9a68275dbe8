// Recording changes in the undo journal before they are made.
#include "win32/Journal.h"

#include "core/Path.h"
#include "core/SetupState.h"
#include "win32/CallOutcome.h"
#include "win32/FileSystem.h"
#include "win32/Handles.h"

#include <cstdlib>

namespace kiv::journal {

namespace {

constexpr char kJournalName[] = "\\KivJournal.txt";
constexpr char kCopyPrefix[] = "KivKept";
constexpr char kCopySuffix[] = ".dat";

JournalState& Journal() { return State().journal; }

bool InSaveFolder(const std::string& path) {
    for (const std::string& folder : Journal().saveFolders)
        if (path.size() > folder.size() && path[folder.size()] == '\\' &&
            path::EqualsIgnoringCase(path.substr(0, folder.size()), folder))
            return true;
    return false;
}

// Copies path's bytes into the journal folder. Missing when there is no such file.
Outcome Keep(const std::string& path, std::string& copy) {
    // Asked first, so that the diagnostic log shows no failed copy for a file that is simply not there.
    if (!file::Exists(path)) return Outcome::Missing();
    JournalState& journal = Journal();
    copy = KeptCopyPath(journal.folder, journal.nextCopy);
    Outcome kept = file::Copy(path, copy);
    if (kept.missing()) return kept;
    ++journal.nextCopy;
    // A read-only original passes its attribute on, which would refuse the copy's removal.
    if (kept) ::SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (kept) kept = file::Flush(copy);
    outcome::Tell(kept, FailureText("Sichern von " + path + " nach " + copy));
    return kept;
}

// Appends the lines to the active journal, flushed to the disk; told when they are not there.
Outcome Write(const std::vector<Record>& records) {
    const std::string text = FormatLines(records);
    const std::string path = JournalPath(Journal().folder);
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {}, zero = {};
    DWORD count = 0;
    bool ok = file && ::GetFileSizeEx(file.get(), &size) && ::SetFilePointerEx(file.get(), zero, nullptr, FILE_END) &&
              ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &count, nullptr) &&
              count == text.size() && ::FlushFileBuffers(file.get());
    const DWORD error = ::GetLastError();
    // A line cut off by a full disk must not run into the next one.
    if (!ok && file && ::SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN)) ::SetEndOfFile(file.get());
    const Outcome written = ok ? Outcome::Done() : Outcome::Failed(error);
    outcome::Tell(written, FailureText("Schreiben von " + path));
    return written;
}

Outcome RecordChange(const std::string& path) {
    if (!Active()) return Outcome::Done();
    std::string copy;
    const Outcome kept = Keep(path, copy);
    if (kept.missing()) return Write({Record{kind::kNew, {path}}});
    return kept ? Write({Record{kind::kKept, {path, copy}}}) : kept;
}

// The key and every key below it, each below its sub-keys, so that an undo, newest first, makes parents first.
Outcome Collect(HKEY root, const std::string& keyPath, std::vector<Record>& records) {
    RegKey key;
    Outcome outcome = key.OpenForRead(root, keyPath);
    std::vector<RegValue> values;
    std::vector<std::string> subKeys;
    if (outcome) outcome = key.EnumValues(values);
    if (outcome) outcome = key.EnumSubKeys(subKeys);
    if (!outcome) return outcome;
    for (const std::string& subKey : subKeys) {
        const Outcome collected = Collect(root, keyPath + "\\" + subKey, records);
        if (collected.failed()) return collected;
    }
    Record record{kind::kKey, {RootedKey(root, keyPath)}};
    for (const RegValue& value : values) AppendValue(record, value);
    records.push_back(std::move(record));
    return Outcome::Done();
}

bool IsDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

std::string JournalPath(const std::string& folder) { return folder + kJournalName; }

std::string FailureText(const std::string& what) { return "Aenderungsjournal: " + what + " fehlgeschlagen"; }

std::string KeptCopyPath(const std::string& folder, unsigned long number) {
    return folder + "\\" + kCopyPrefix + std::to_string(number) + kCopySuffix;
}

unsigned long KeptCopyNumber(std::string_view name) {
    const std::size_t prefix = sizeof kCopyPrefix - 1, suffix = sizeof kCopySuffix - 1;
    if (name.size() <= prefix + suffix || name.substr(0, prefix) != kCopyPrefix ||
        name.substr(name.size() - suffix) != kCopySuffix)
        return 0;
    const std::string_view digits = name.substr(prefix, name.size() - prefix - suffix);
    return IsDigits(digits) && digits.size() < 10 ? std::strtoul(std::string(digits).c_str(), nullptr, 10) : 0;
}

std::string KeptCopyPattern(const std::string& folder) { return folder + "\\" + kCopyPrefix + "*" + kCopySuffix; }

bool Active() { return !Journal().folder.empty(); }

bool BeforeChange(const std::string& path) { return RecordChange(path).done(); }

bool BeforeValueChange(HKEY root, const std::string& keyPath, const char* valueName) {
    if (!Active()) return true;
    RegKey key;
    RegValue value;
    Outcome read = key.OpenForRead(root, keyPath);
    if (read) read = key.ReadValue(valueName, value);
    if (read.failed()) {
        outcome::Fail(read.error(), FailureText("Lesen von " + RootedKey(root, keyPath) + " \"" + valueName + "\""));
        return false;
    }
    Record record{read ? kind::kValue : kind::kNoValue, {RootedKey(root, keyPath)}};
    if (read)
        AppendValue(record, value);
    else
        record.fields.push_back(valueName);
    return Write({record}).done();
}

bool BeforeKeyDelete(HKEY root, const std::string& keyPath) {
    if (!Active()) return true;
    std::vector<Record> records;
    const Outcome collected = Collect(root, keyPath, records);
    if (collected.missing()) return true;
    if (collected.failed()) {
        outcome::Fail(collected.error(), FailureText("Lesen von " + RootedKey(root, keyPath)));
        return false;
    }
    return Write(records).done();
}

void SaveFolderMade(const std::string& folder) {
    if (Active()) Journal().saveFolders.push_back(folder);
}

Outcome Copy(const std::string& source, const std::string& destination) {
    if (!Active() || InSaveFolder(destination)) return file::Copy(source, destination);
    // Nothing to record when nothing will be copied.
    if (!file::Exists(source)) return Outcome::Missing();
    const Outcome recorded = RecordChange(destination);
    return recorded ? file::Copy(source, destination) : recorded;
}

Outcome Move(const std::string& source, const std::string& destination) {
    const Outcome copied = Copy(source, destination);
    if (!copied) return copied;
    // A source that has gone meanwhile does not stay.
    const Outcome deleted = Delete(source, destination);
    return deleted.failed() ? deleted : Outcome::Done();
}

Outcome Delete(const std::string& path, const std::string& movedTo) {
    if (!Active()) return file::Delete(path);
    Record record;
    if (!movedTo.empty() && InSaveFolder(movedTo)) {
        record = Record{kind::kMove, {path, movedTo, movedTo}};
    } else {
        std::string copy;
        const Outcome kept = Keep(path, copy);
        if (!kept) return kept;
        record = movedTo.empty() ? Record{kind::kKept, {path, copy}} : Record{kind::kMove, {path, movedTo, copy}};
    }
    const Outcome recorded = Write({record});
    return recorded ? file::Delete(path) : recorded;
}

std::string RootedKey(HKEY root, const std::string& keyPath) {
    return (root == HKEY_CURRENT_USER ? "HKCU\\" : "HKLM\\") + keyPath;
}

bool SplitRootedKey(const std::string& rooted, HKEY& root, std::string& keyPath) {
    if (rooted.size() <= 5 || rooted[4] != '\\') return false;
    const std::string name = rooted.substr(0, 4);
    if (name != "HKLM" && name != "HKCU") return false;
    root = name == "HKLM" ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    keyPath = rooted.substr(5);
    return true;
}

void AppendValue(Record& record, const RegValue& value) {
    record.fields.push_back(value.name);
    record.fields.push_back(std::to_string(value.type));
    const bool plainText = (value.type == REG_SZ || value.type == REG_EXPAND_SZ) && !value.data.empty() &&
                           value.data.find('\0') == value.data.size() - 1;
    record.fields.push_back(plainText ? "\"" + value.data.substr(0, value.data.size() - 1) + "\"" : ToHex(value.data));
}

bool ValueAt(const Record& record, std::size_t at, RegValue& value) {
    if (record.fields.size() < at + 3 || !IsDigits(record.fields[at + 1]) || record.fields[at + 1].size() > 9)
        return false;
    value.name = record.fields[at];
    value.type = std::strtoul(record.fields[at + 1].c_str(), nullptr, 10);
    const std::string& data = record.fields[at + 2];
    if (data.size() >= 2 && data.front() == '"' && data.back() == '"') {
        value.data = data.substr(1, data.size() - 2) + '\0';
        return true;
    }
    return FromHex(data, value.data);
}

}  // namespace kiv::journal
