// KivBeginChanges, KivUndoChanges and KivCommitChanges: start, reverse or keep the undo journal's changes.
#pragma once

namespace kiv::upgrade {

enum class JournalStart {
    Failed,   // nothing begun, told
    Started,  // a new journal
    Adopted,  // an unfinished journal of an earlier run: the next undo or commit finishes it
};

constexpr int ToExport(JournalStart start) noexcept {
    return start == JournalStart::Started ? 1 : start == JournalStart::Adopted ? 2 : 0;
}

// Starts a journal in folder, making it and its missing parents, or adopts the one there.
JournalStart BeginChanges(const char* folder);
// Reverses every recorded change, newest first, and removes the journal. False,
// told, at the first change that cannot be reversed: the journal then keeps that
// one and all older ones for a later call.
bool UndoChanges();
// Keeps the changes and removes the journal with its copies.
bool CommitChanges();

}  // namespace kiv::upgrade
