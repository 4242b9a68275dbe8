// What the saving around the setup script's own file copy tells the script.
#pragma once

namespace kiv::upgrade {

// The answer of SaveBeforeFilesCopy and SaveAfterFilesCopy.
enum class SaveResult {
    FolderMissing,  // a folder or path the script named does not exist; nothing done
    Saved,          // every file was saved and moved as planned, or there was nothing to do
    NotAllSaved,    // some file could not be saved, moved or copied whole; it stayed where it was, told
};

// The interface's integers: 0, 1 and -1, which older scripts take for success like 1.
constexpr int ToExport(SaveResult result) noexcept {
    return result == SaveResult::Saved ? 1 : result == SaveResult::NotAllSaved ? -1 : 0;
}

}  // namespace kiv::upgrade
