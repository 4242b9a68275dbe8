// Configuration lines: splitting, whole-key entry through a hash index, CR LF output.
#include "upgrade/ConfigFile.h"

#include "upgrade/Platform.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace kiv::upgrade {

namespace {

// The words a key can match: the text before a line's first blank.
std::string_view FirstWord(std::string_view line) {
    std::size_t blank = line.find(' ');
    return blank == std::string_view::npos ? std::string_view() : line.substr(0, blank);
}

// FNV-1a over a fold coarser than any case-insensitive comparison: ASCII
// letters fold and every byte above 127 counts the same. Words that the
// platform's comparison may find equal thus share a bucket, and that
// comparison has the last word.
std::uint32_t HashWord(std::string_view word) {
    std::uint32_t hash = 2166136261u;
    for (char c : word) {
        auto b = static_cast<unsigned char>(c);
        if (b >= 'a' && b <= 'z')
            b = static_cast<unsigned char>(b - 'a' + 'A');
        else if (b >= 0x80)
            b = 0x80;
        hash = (hash ^ b) * 16777619u;
    }
    return hash;
}

bool HoldsKey(std::string_view line, std::string_view key) {
    return line.size() > key.size() && line[key.size()] == ' ' &&
           platform::EqualsIgnoringCase(line.substr(0, key.size()), key);
}

}  // namespace

std::string FormatConfigEntry(std::string_view key, std::string_view value) {
    std::string line;
    line.reserve(key.size() + value.size() + 16);
    line.append(key).append(" 5005 ").append(std::to_string(value.size())).append(" ").append(value);
    return line;
}

ConfigLines::ConfigLines(std::string bytes) : bytes_(std::move(bytes)) {
    const char* data = bytes_.data();
    std::size_t size = bytes_.size();
    lines_.reserve(static_cast<std::size_t>(std::count(bytes_.begin(), bytes_.end(), '\n')) + 1);
    std::size_t begin = 0;
    while (begin < size) {
        const void* feed = std::memchr(data + begin, '\n', size - begin);
        if (feed == nullptr) {
            lines_.push_back(Line{begin, size - begin, false, false});
            break;
        }
        std::size_t end = static_cast<std::size_t>(static_cast<const char*>(feed) - data);
        bool crlf = end > begin && data[end - 1] == '\r';
        lines_.push_back(Line{begin, end - begin - (crlf ? 1 : 0), crlf, false});
        begin = end + 1;
    }
}

std::size_t ConfigLines::Bucket(std::string_view word) const { return HashWord(word) & (heads_.size() - 1); }

void ConfigLines::Index(std::uint32_t lineIndex) {
    std::string_view word = FirstWord(Text(lines_[lineIndex]));
    if (word.empty()) return;
    std::size_t bucket = Bucket(word);
    std::uint32_t& tail = tails_[bucket];
    (tail == 0 ? heads_[bucket] : next_[tail - 1]) = lineIndex + 1;
    tail = lineIndex + 1;
}

void ConfigLines::BuildIndex() {
    std::size_t buckets = 64;
    while (buckets < lines_.size() * 2) buckets *= 2;
    heads_.assign(buckets, 0);
    tails_.assign(buckets, 0);
    next_.assign(lines_.size(), 0);
    for (std::size_t i = 0; i < lines_.size(); ++i) Index(static_cast<std::uint32_t>(i));
}

bool ConfigLines::Upsert(std::string_view key, std::string_view line) {
    if (key.empty() || key.find(' ') != std::string_view::npos) return false;
    if (heads_.empty()) BuildIndex();
    for (std::uint32_t at = heads_[Bucket(key)]; at != 0; at = next_[at - 1]) {
        Line& candidate = lines_[at - 1];
        if (!candidate.removed && HoldsKey(Text(candidate), key)) {
            candidate.removed = true;
            ++removed_;
            break;
        }
    }
    // New lines go into the same store, already with their CR LF, so that
    // writing copies long unchanged stretches in one piece.
    lines_.push_back(Line{bytes_.size(), line.size(), true, false});
    bytes_.append(line).append("\r\n");
    next_.push_back(0);
    Index(static_cast<std::uint32_t>(lines_.size() - 1));
    return true;
}

std::string ConfigLines::Serialize() const {
    std::size_t total = 0;
    for (const Line& line : lines_)
        if (!line.removed) total += line.length + 2;
    std::string out;
    out.reserve(total);
    // [runBegin, runEnd) is a stretch of bytes_ that already reads as lines ending in CR LF.
    std::size_t runBegin = 0, runEnd = 0;
    auto flush = [&] {
        out.append(bytes_, runBegin, runEnd - runBegin);
        runBegin = runEnd = 0;
    };
    for (const Line& line : lines_) {
        if (line.removed) continue;
        if (line.crlf) {
            if (line.begin != runEnd) {
                flush();
                runBegin = line.begin;
            }
            runEnd = line.begin + line.length + 2;
        } else {
            flush();
            out.append(Text(line)).append("\r\n");
        }
    }
    flush();
    return out;
}

}  // namespace kiv::upgrade
