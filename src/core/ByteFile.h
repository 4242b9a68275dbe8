// Whole-file and in-place byte access of the configuration core: Win32 calls in the DLL, POSIX and stdio natively.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kiv::upgrade {

enum class ReadOutcome { Read, Missing, Failed };

// The file's bytes, all of them: Missing when no such file exists, Failed
// when it exists but cannot be opened or read to its end.
ReadOutcome ReadWholeFile(const std::string& path, std::string& bytes);

// The first size bytes; false when the file cannot be opened or is shorter.
bool ReadPrefix(const std::string& path, std::size_t size, std::string& bytes);

// Overwrites bytes at offset of an existing file, without truncating it.
bool WriteAt(const std::string& path, std::size_t offset, std::string_view bytes);

// Opens an existing file for update, without truncating it, and reads its
// bytes from offset to the end; edit changes them in memory and returns how
// many of them, from the first, go back in place. False when the file cannot
// be opened for update or read, or the write fails.
bool EditInPlace(const std::string& path, std::size_t offset, const std::function<std::size_t(std::string&)>& edit);

// Writes the pieces in order to a new file beside path, then puts it in
// path's place in one step: a failure at any point leaves the old file whole.
bool ReplaceFileContent(const std::string& path, const std::vector<std::string_view>& pieces);

}  // namespace kiv::upgrade
