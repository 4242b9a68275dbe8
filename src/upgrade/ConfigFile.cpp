// Configuration lines: splitting, entering whole-key entries in one pass, CR LF output.
#include "upgrade/ConfigFile.h"

#include "upgrade/Platform.h"

#include <algorithm>
#include <cstdint>
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
// platform's comparison may find equal thus hash alike, and that comparison
// has the last word.
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

// The entries of one key (ignoring case) within a batch.
struct KeyGroup {
    std::string_view key;
    std::uint32_t hash;
    std::size_t wanted;   // entries with this key
    std::size_t matched;  // lines they removed from the file
    std::size_t dropped;  // their own lines that later ones of them replace
};

// Open addressing from a word's hash to its key group; a batch holds a few dozen keys.
class KeyTable {
public:
    explicit KeyTable(const std::vector<KeyGroup>& groups) : slots_(16, -1) {
        while (slots_.size() < groups.size() * 4) slots_.assign(slots_.size() * 2, -1);
        for (std::size_t g = 0; g < groups.size(); ++g) {
            std::size_t s = groups[g].hash & Mask();
            while (slots_[s] != -1) s = (s + 1) & Mask();
            slots_[s] = static_cast<int>(g);
        }
    }
    // Calls visit(group index) for each group whose hash equals hash, until visit returns true.
    template <typename Visit>
    void Find(std::uint32_t hash, const std::vector<KeyGroup>& groups, Visit visit) const {
        for (std::size_t s = hash & Mask(); slots_[s] != -1; s = (s + 1) & Mask())
            if (groups[static_cast<std::size_t>(slots_[s])].hash == hash && visit(static_cast<std::size_t>(slots_[s])))
                return;
    }

private:
    std::size_t Mask() const { return slots_.size() - 1; }
    std::vector<int> slots_;
};

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
            lines_.push_back(Line{begin, size - begin, false, false, false});
            break;
        }
        std::size_t end = static_cast<std::size_t>(static_cast<const char*>(feed) - data);
        bool crlf = end > begin && data[end - 1] == '\r';
        lines_.push_back(Line{begin, end - begin - (crlf ? 1 : 0), false, crlf, false});
        begin = end + 1;
    }
}

void ConfigLines::Enter(const std::vector<ConfigEntry>& entries) {
    constexpr std::size_t kLeftOut = static_cast<std::size_t>(-1);
    std::vector<KeyGroup> groups;
    std::vector<std::size_t> groupOf(entries.size(), kLeftOut);
    for (std::size_t e = 0; e < entries.size(); ++e) {
        std::string_view key = entries[e].key;
        if (key.empty() || key.find(' ') != std::string_view::npos || !HoldsKey(entries[e].line, key)) continue;
        auto same = std::find_if(groups.begin(), groups.end(),
                                 [&](const KeyGroup& group) { return platform::EqualsIgnoringCase(group.key, key); });
        if (same == groups.end()) same = groups.insert(groups.end(), KeyGroup{key, HashWord(key), 0, 0, 0});
        ++same->wanted;
        groupOf[e] = static_cast<std::size_t>(same - groups.begin());
    }
    if (groups.empty()) return;

    // Each key removes its first lines, one per entry, in line order.
    KeyTable table(groups);
    std::size_t open = groups.size();
    for (Line& line : lines_) {
        if (open == 0) break;
        if (line.removed) continue;
        std::string_view text = Text(line);
        std::string_view word = FirstWord(text);
        if (word.empty()) continue;
        table.Find(HashWord(word), groups, [&](std::size_t g) {
            KeyGroup& group = groups[g];
            if (group.matched == group.wanted || !HoldsKey(text, group.key)) return false;
            line.removed = true;
            if (++group.matched == group.wanted) --open;
            return true;
        });
    }

    // One after another, a key's later entries would remove the lines of its
    // earlier ones once the file has no more of its own: only the last
    // max(matched, 1) of them stay.
    for (KeyGroup& group : groups)
        group.dropped = group.wanted - std::min(group.wanted, std::max<std::size_t>(group.matched, 1));
    for (std::size_t e = 0; e < entries.size(); ++e) {
        if (groupOf[e] == kLeftOut) continue;
        KeyGroup& group = groups[groupOf[e]];
        if (group.dropped > 0) {
            --group.dropped;
            continue;
        }
        lines_.push_back(Line{entered_.size(), entries[e].line.size(), true, true, false});
        entered_.append(entries[e].line).append("\r\n");
    }
}

std::vector<std::string_view> ConfigLines::Pieces() const {
    static const std::string_view kLineEnd("\r\n");
    std::vector<std::string_view> pieces;
    // A stretch of one store that already reads as lines ending in CR LF goes out in one piece.
    const std::string* runStore = nullptr;
    std::size_t runBegin = 0, runEnd = 0;
    auto flush = [&] {
        if (runStore != nullptr) pieces.push_back(std::string_view(*runStore).substr(runBegin, runEnd - runBegin));
        runStore = nullptr;
    };
    for (const Line& line : lines_) {
        if (line.removed) continue;
        const std::string* store = line.entered ? &entered_ : &bytes_;
        if (!line.crlf) {
            flush();
            pieces.push_back(Text(line));
            pieces.push_back(kLineEnd);
            continue;
        }
        if (store != runStore || line.begin != runEnd) {
            flush();
            runStore = store;
            runBegin = line.begin;
        }
        runEnd = line.begin + line.length + 2;
    }
    flush();
    return pieces;
}

}  // namespace kiv::upgrade
