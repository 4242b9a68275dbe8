// Saving the user's customised files around the setup script's own file copy.
#pragma once

#include <string>

namespace kiv::upgrade {

// Before the copy (afterCopy false): saves every non-empty file of folder into
// a new numbered save folder and removes the saved originals of the replaceable
// kinds unless the keep-originals flag is set. After the copy (afterCopy true):
// tidies the parent of folder: old program files into a save folder, block
// drawings into Support, obsolete files deleted. A file that cannot be saved
// stays where it is, and the saving goes on with the next one.
void SaveCustomisedFiles(const std::string& folder, bool afterCopy);

// Moves the three opening definition files from one folder to the other.
void MoveOpeningIniFiles(const std::string& fromDir, const std::string& toDir);

}  // namespace kiv::upgrade
