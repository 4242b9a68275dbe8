// The configuration core's byte files on Win32: kernel32 reads and writes of whole ranges.
#include "core/ByteFile.h"

#include "win32/FileSystem.h"
#include "win32/Handles.h"
#include "win32/Log.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace kiv::core {

namespace {

// As the C runtime's fopen shares: another program's reader or writer does not lock us out.
constexpr DWORD kShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr std::size_t kLargestTransfer = 1u << 30;
constexpr std::size_t kGatherSize = 64 * 1024;

UniqueFile Open(const std::string& path, DWORD access, DWORD disposition) {
    return UniqueFile(
        ::CreateFileA(path.c_str(), access, kShareReadWrite, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

UniqueFile OpenForUpdate(const std::string& path) { return Open(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING); }

// The file's size, when it fits the address space.
bool SizeOf(HANDLE file, std::size_t& size) {
    LARGE_INTEGER large;
    if (!::GetFileSizeEx(file, &large) || large.QuadPart < 0 ||
        static_cast<std::uint64_t>(large.QuadPart) >= std::numeric_limits<std::size_t>::max() / 2)
        return false;
    size = static_cast<std::size_t>(large.QuadPart);
    return true;
}

bool SeekTo(HANDLE file, std::size_t offset) {
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(offset);
    return ::SetFilePointerEx(file, distance, nullptr, FILE_BEGIN) != FALSE;
}

// Reads until size bytes are in or the file ends; got says how many came.
bool ReadUpTo(HANDLE file, char* data, std::size_t size, std::size_t& got) {
    got = 0;
    while (got < size) {
        DWORD read = 0;
        if (!::ReadFile(file, data + got, static_cast<DWORD>(std::min(size - got, kLargestTransfer)), &read, nullptr))
            return false;
        if (read == 0) break;
        got += read;
    }
    return true;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), static_cast<DWORD>(std::min(bytes.size(), kLargestTransfer)), &written,
                         nullptr) ||
            written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// Small pieces (the line ends added to a file with bare line feeds) are
// gathered first, so that such a file does not cost a WriteFile per line.
bool WritePieces(HANDLE file, const std::vector<std::string_view>& pieces) {
    std::string gathered;
    gathered.reserve(kGatherSize);
    for (std::string_view piece : pieces) {
        if (gathered.size() + piece.size() > kGatherSize) {
            if (!WriteAll(file, gathered)) return false;
            gathered.clear();
        }
        if (piece.size() < kGatherSize)
            gathered.append(piece);
        else if (!WriteAll(file, piece))
            return false;
    }
    return WriteAll(file, gathered);
}

}  // namespace

ReadOutcome ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    auto failed = [&] {
        log::Operation("ReadFile", false, [&] { return log::Quote(path.c_str()); });
        return ReadOutcome::Failed;
    };
    UniqueFile file = Open(path, GENERIC_READ, OPEN_EXISTING);
    if (!file) {
        DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadOutcome::Missing : failed();
    }
    std::size_t size = 0;
    if (!SizeOf(file.get(), size)) return failed();
    // One byte over the size, so that a file that has grown since shows and is read on to its end.
    std::size_t chunk = size + 1;
    for (;;) {
        std::size_t used = bytes.size(), got = 0;
        bytes.resize(used + chunk);
        if (!ReadUpTo(file.get(), &bytes[used], chunk, got)) return failed();
        bytes.resize(used + got);
        if (got < chunk) return ReadOutcome::Read;
        chunk = kGatherSize;
    }
}

bool ReadPrefix(const std::string& path, std::size_t size, std::string& bytes) {
    UniqueFile file = Open(path, GENERIC_READ, OPEN_EXISTING);
    if (!file) return false;
    bytes.assign(size, '\0');
    std::size_t got = 0;
    return ReadUpTo(file.get(), &bytes[0], size, got) && got == size;
}

bool EditInPlace(const std::string& path, std::size_t offset, std::size_t pieceSize,
                 const std::function<std::size_t(std::string&)>& edit,
                 const std::function<void(std::string&)>& editHead) {
    UniqueFile file = OpenForUpdate(path);
    std::size_t size = 0;
    if (!file || !SizeOf(file.get(), size) || pieceSize == 0) return false;
    // One buffer for all pieces: fresh memory for a whole large file costs more than reading it.
    std::string bytes(offset, '\0');
    if (editHead) {
        std::size_t got = 0;
        if (!ReadUpTo(file.get(), &bytes[0], offset, got) || got != offset) return false;
        editHead(bytes);
        bytes.resize(offset);
        if (!SeekTo(file.get(), 0) || !WriteAll(file.get(), bytes))
            return log::Operation("WriteFile", false, [&] { return log::Quote(path.c_str()); });
    }
    if (!SeekTo(file.get(), offset)) return false;
    bool written = true;
    std::size_t at = offset;
    do {
        const std::size_t piece = at < size ? std::min(pieceSize, size - at) : 0;
        std::size_t got = 0;
        bytes.resize(piece);
        // A whole piece written back leaves the file position at the next one.
        if (!ReadUpTo(file.get(), &bytes[0], piece, got) || got != piece) return false;
        const std::size_t kept = edit(bytes);  // before the size: the edit may resize the piece
        const std::size_t changed = std::min({kept, bytes.size(), piece});
        written = SeekTo(file.get(), at) && WriteAll(file.get(), std::string_view(bytes).substr(0, changed));
        if (changed < piece) break;
        at += piece;
    } while (written && at < size);
    return log::Operation("WriteFile", written, [&] { return log::Quote(path.c_str()); });
}

bool ReplaceFileContent(const std::string& path, const std::vector<std::string_view>& pieces) {
    return file::ReplaceThroughTemporary(
               path,
               [&](const std::string& temporary) {
                   // Closed when this returns, before the replace: a file still open cannot be renamed.
                   UniqueFile file = Open(temporary, GENERIC_WRITE, CREATE_ALWAYS);
                   // Flushed before the rename that makes it count: after a power loss the old file or the new one.
                   return log::Operation("WriteFile",
                                         file && WritePieces(file.get(), pieces) && ::FlushFileBuffers(file.get()),
                                         [&] { return log::Quote(temporary.c_str()); });
               })
        .done();
}

}  // namespace kiv::core
