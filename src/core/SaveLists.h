// Fixed file lists of the saving around the file copy: names of the add-on's previous release.
#pragma once

#include <array>
#include <string>

namespace kiv::core {

// Path fragments of the kinds the setup replaces: bitmaps, menus, AutoLISP, ARX load lists.
extern const std::array<const char*, 4> ReplaceableKinds;
// Old program files moved into the save folder after the copy.
extern const std::array<const char*, 15> AfterCopySaveList;
// Block drawings moved into the Support sub-folder.
extern const std::array<const char*, 23> SupportDrawingList;
// Files the new release no longer uses.
extern const std::array<const char*, 39> ObsoleteFileList;

// The opening definition files (windows, doors, passages), each with its leading backslash.
extern const std::array<const char*, 3> OpeningDefinitionFiles;

// Sub-folder that receives SupportDrawingList, with its leading backslash.
extern const char* const kSupportSubFolder;

// True when the lower-cased path holds one of ReplaceableKinds after its first
// character; a whole-path test, so a folder name can make every file below it match.
bool IsReplaceableKind(const std::string& path);

}  // namespace kiv::core
