// The configuration core's byte files on the native build (stdio binary streams), for its tests and fuzzing.
#include "core/ByteFile.h"

#include "core/Platform.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <memory>
#include <utility>

namespace kiv::core {

namespace {

struct StdFileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using UniqueStdFile = std::unique_ptr<std::FILE, StdFileCloser>;

constexpr long kLargestSizeHint = 1L << 28;

// Closes the stream; false when its last buffered write fails there.
bool CloseFile(UniqueStdFile file) { return std::fclose(file.release()) == 0; }

bool SeekTo(std::FILE* file, std::size_t offset) {
    return offset <= static_cast<std::size_t>(LONG_MAX) && std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0;
}

bool WriteAll(std::FILE* file, std::string_view bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

}  // namespace

ReadOutcome ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    errno = 0;
    UniqueStdFile file(std::fopen(path.c_str(), "rb"));
    if (!file) return errno == ENOENT ? ReadOutcome::Missing : ReadOutcome::Failed;
    // The size is only a hint for one large first read; the loop reads to the
    // real end. Some streams report absurd sizes (a folder on Linux: LONG_MAX).
    long hint = std::fseek(file.get(), 0, SEEK_END) == 0 ? std::ftell(file.get()) : -1;
    if (std::fseek(file.get(), 0, SEEK_SET) != 0) return ReadOutcome::Failed;
    std::size_t chunk = hint > 0 && hint < kLargestSizeHint ? static_cast<std::size_t>(hint) + 1 : 64 * 1024;
    for (;;) {
        std::size_t used = bytes.size();
        bytes.resize(used + chunk);
        std::size_t got = std::fread(&bytes[used], 1, chunk, file.get());
        bytes.resize(used + got);
        if (got < chunk) break;
        chunk = 64 * 1024;
    }
    return std::ferror(file.get()) ? ReadOutcome::Failed : ReadOutcome::Read;
}

bool ReadPrefix(const std::string& path, std::size_t size, std::string& bytes) {
    UniqueStdFile file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    bytes.assign(size, '\0');
    return std::fread(&bytes[0], 1, size, file.get()) == size;
}

bool EditInPlace(const std::string& path, std::size_t offset, std::size_t pieceSize,
                 const std::function<std::size_t(std::string&)>& edit,
                 const std::function<void(std::string&)>& editHead) {
    UniqueStdFile file(std::fopen(path.c_str(), "r+b"));
    if (!file || pieceSize == 0 || std::fseek(file.get(), 0, SEEK_END) != 0) return false;
    const long end = std::ftell(file.get());
    if (end < 0) return false;
    const auto size = static_cast<std::size_t>(end);
    std::string bytes(offset, '\0');
    if (editHead) {
        if (!SeekTo(file.get(), 0) || std::fread(&bytes[0], 1, offset, file.get()) != offset) return false;
        editHead(bytes);
        bytes.resize(offset);
        if (!SeekTo(file.get(), 0) || !WriteAll(file.get(), bytes)) return false;
    }
    std::size_t at = offset;
    do {
        const std::size_t piece = at < size ? std::min(pieceSize, size - at) : 0;
        bytes.resize(piece);
        if (!SeekTo(file.get(), at) || std::fread(&bytes[0], 1, piece, file.get()) != piece) return false;
        const std::size_t kept = edit(bytes);  // before the size: the edit may resize the piece
        const std::size_t changed = std::min({kept, bytes.size(), piece});
        // An update stream must be positioned between reading and writing.
        if (!SeekTo(file.get(), at) || !WriteAll(file.get(), std::string_view(bytes).substr(0, changed))) return false;
        if (changed < piece) break;
        at += piece;
    } while (at < size);
    return CloseFile(std::move(file));
}

bool ReplaceFileContent(const std::string& path, const std::vector<std::string_view>& pieces) {
    std::string temporary = platform::CreateTemporaryBeside(path);
    if (temporary.empty()) return false;
    UniqueStdFile file(std::fopen(temporary.c_str(), "wb"));
    bool written = static_cast<bool>(file);
    for (std::size_t i = 0; written && i < pieces.size(); ++i) written = WriteAll(file.get(), pieces[i]);
    written = written && CloseFile(std::move(file));
    if (written && platform::ReplaceWith(temporary, path)) return true;
    file.reset();
    std::remove(temporary.c_str());
    return false;
}

}  // namespace kiv::core
