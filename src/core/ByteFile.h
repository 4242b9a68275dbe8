// Whole-file and in-place byte access of the configuration core: Win32 calls in the DLL, POSIX and stdio natively.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kiv::core {

enum class ReadOutcome { Read, Missing, Failed };

// The file's bytes, all of them: Missing when no such file exists, Failed
// when it exists but cannot be opened or read to its end.
ReadOutcome ReadWholeFile(const std::string& path, std::string& bytes);

// The first size bytes; false when the file cannot be opened or is shorter.
bool ReadPrefix(const std::string& path, std::size_t size, std::string& bytes);

// Opens an existing file for update, without truncating it, and edits its
// bytes from offset to the end one piece after another, so that a file of any
// size needs a piece's memory only: edit gets each piece (pieceSize bytes, the
// last one fewer; one empty piece when nothing follows offset) and returns how
// many of its bytes, from the first, go back in place; fewer than the whole
// piece end the edit there. False when the file cannot be opened for update or
// read, or a write fails. editHead, when given, first gets the offset bytes
// before the pieces (a file shorter than that fails untouched), and they go
// back in place in the same open.
bool EditInPlace(const std::string& path, std::size_t offset, std::size_t pieceSize,
                 const std::function<std::size_t(std::string&)>& edit,
                 const std::function<void(std::string&)>& editHead = nullptr);

// Writes the pieces in order to a new file beside path, then puts it in
// path's place in one step: a failure at any point leaves the old file whole.
bool ReplaceFileContent(const std::string& path, const std::vector<std::string_view>& pieces);

}  // namespace kiv::core
