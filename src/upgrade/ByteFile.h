// Whole-file and in-place byte access through the C runtime's binary streams.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kiv::upgrade {

struct StdFileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using UniqueStdFile = std::unique_ptr<std::FILE, StdFileCloser>;

// Closes the stream; false when its last buffered write fails there.
bool CloseFile(UniqueStdFile file);

enum class ReadOutcome { Read, Missing, Failed };

// The file's bytes, all of them: Missing when no such file exists, Failed
// when it exists but cannot be opened or read to its end.
ReadOutcome ReadWholeFile(const std::string& path, std::string& bytes);

// The first size bytes; false when the file cannot be opened or is shorter.
bool ReadPrefix(const std::string& path, std::size_t size, std::string& bytes);

// Overwrites bytes at offset of an existing file, without truncating it.
bool WriteAt(const std::string& path, long offset, std::string_view bytes);

// Writes the pieces in order to a new file beside path, then puts it in
// path's place in one step: a failure at any point leaves the old file whole.
bool ReplaceFileContent(const std::string& path, const std::vector<std::string_view>& pieces);

}  // namespace kiv::upgrade
