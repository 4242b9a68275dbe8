// Configuration lines: splitting, entering whole-key entries in one pass, CR LF output.
#include "core/ConfigFile.h"

#include "core/Platform.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

namespace kiv::core {

namespace {

// Offset of the first line feed or carriage return at or after at, or size.
// Eight bytes a step with plain integer operations: memchr is an msvcrt.dll
// import, and a call per line under Wine costs more than the search. The step
// test finds any byte below 14; a tab or another control byte then costs one
// look at its eight bytes.
std::size_t FindLineEnd(const char* data, std::size_t at, std::size_t size) {
    constexpr std::uint32_t kHighBits = 0x80808080u, kBelow = 0x0E0E0E0Eu;
    for (;;) {
        for (; size - at >= 8; at += 8) {
            std::uint32_t low, high;
            std::memcpy(&low, data + at, sizeof low);  // fixed sizes: compiled to loads
            std::memcpy(&high, data + at + 4, sizeof high);
            if ((((low - kBelow) & ~low) | ((high - kBelow) & ~high)) & kHighBits) break;
        }
        for (const std::size_t stop = std::min(size, at + 8); at < stop; ++at)
            if (data[at] == '\n' || data[at] == '\r') return at;
        if (at == size) return size;
    }
}

// A fold coarser than any case-insensitive comparison of the platform: ASCII
// letters fold, and every byte above 127 folds to I, so that even a comparison
// that takes a Turkish dotless or dotted i for I finds its words. Words it may
// find equal thus hash alike, and it has the last word.
constexpr std::array<unsigned char, 256> MakeFold() {
    std::array<unsigned char, 256> fold{};
    for (int b = 0; b < 256; ++b)
        fold[b] = static_cast<unsigned char>(b >= 'a' && b <= 'z' ? b - 'a' + 'A' : b >= 0x80 ? 'I' : b);
    return fold;
}
constexpr std::array<unsigned char, 256> kFold = MakeFold();

constexpr std::uint32_t kHashSeed = 2166136261u;
std::uint32_t HashStep(std::uint32_t hash, char c) {
    return (hash ^ kFold[static_cast<unsigned char>(c)]) * 16777619u;  // FNV-1a
}

std::uint32_t HashWord(std::string_view word) {
    std::uint32_t hash = kHashSeed;
    for (char c : word) hash = HashStep(hash, c);
    return hash;
}

// The hash of the line's first word, the text before its first blank, when
// that word is at most longest bytes long: no longer word can be a key.
bool HashFirstWord(std::string_view line, std::size_t longest, std::uint32_t& hash) {
    hash = kHashSeed;
    std::size_t bound = std::min(line.size(), longest + 1);
    for (std::size_t i = 0; i < bound; ++i) {
        if (line[i] == ' ') return i > 0;
        hash = HashStep(hash, line[i]);
    }
    return false;
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

ConfigLines::ConfigLines(std::string bytes) : bytes_(std::move(bytes)) {}

template <typename Takes>
std::vector<ConfigLines::Cut> ConfigLines::Cuts(Takes takes) const {
    std::vector<Cut> cuts;
    const char* data = bytes_.data();
    const std::size_t size = bytes_.size();
    auto before = cuts_.begin();
    for (std::size_t begin = 0; begin < size;) {
        const std::size_t end = FindLineEnd(data, begin, size);
        const bool crLf = end + 1 < size && data[end] == '\r' && data[end + 1] == '\n';
        const std::size_t next = end == size ? size : end + (crLf ? 2 : 1);
        while (before != cuts_.end() && before->at < begin) ++before;
        bool removed = before != cuts_.end() && before->at == begin && !before->addsLineEnd;
        if (removed || takes(std::string_view(data + begin, end - begin)))
            cuts.push_back(Cut{begin, next, false});
        else if (!crLf)
            cuts.push_back(Cut{end, next, true});
        begin = next;
    }
    return cuts;
}

void ConfigLines::Enter(const std::vector<ConfigEntry>& entries) {
    constexpr std::size_t kLeftOut = static_cast<std::size_t>(-1);
    std::vector<KeyGroup> groups;
    std::vector<std::size_t> groupOf(entries.size(), kLeftOut);
    std::size_t longest = 0;
    for (std::size_t e = 0; e < entries.size(); ++e) {
        std::string_view key = entries[e].key;
        if (key.empty() || key.find(' ') != std::string_view::npos || !HoldsKey(entries[e].line, key)) continue;
        std::uint32_t hash = HashWord(key);
        // The platform's comparison is dear (Unicode conversions): only keys that hash alike can be equal.
        auto same = std::find_if(groups.begin(), groups.end(), [&](const KeyGroup& group) {
            return group.hash == hash && platform::EqualsIgnoringCase(group.key, key);
        });
        if (same == groups.end()) same = groups.insert(groups.end(), KeyGroup{key, hash, 0, 0, 0});
        ++same->wanted;
        groupOf[e] = static_cast<std::size_t>(same - groups.begin());
        longest = std::max(longest, key.size());
    }
    if (groups.empty()) return;

    // Each key removes its first lines, one per entry, in line order: the file's, then the entered ones.
    KeyTable table(groups);
    std::size_t open = groups.size();
    auto takes = [&](std::string_view line) {
        std::uint32_t hash;
        if (open == 0 || !HashFirstWord(line, longest, hash)) return false;
        bool taken = false;
        table.Find(hash, groups, [&](std::size_t g) {
            KeyGroup& group = groups[g];
            if (group.matched == group.wanted || !HoldsKey(line, group.key)) return false;
            if (++group.matched == group.wanted) --open;
            taken = true;
            return true;
        });
        return taken;
    };
    cuts_ = Cuts(takes);
    walked_ = true;
    for (EnteredLine& line : enteredLines_)
        if (!line.removed && takes(std::string_view(entered_).substr(line.begin, line.length))) line.removed = true;

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
        enteredLines_.push_back(EnteredLine{entered_.size(), entries[e].line.size(), false});
        entered_.append(entries[e].line).append("\r\n");
    }
}

std::vector<std::string_view> ConfigLines::Pieces() const {
    static const std::string_view kLineEnd("\r\n");
    std::vector<std::string_view> pieces;
    // Stretches of a store that already read as lines ending in CR LF go out in one piece.
    std::string_view store = bytes_;
    std::size_t run = 0;
    auto flush = [&](std::size_t upTo) {
        if (upTo > run) pieces.push_back(store.substr(run, upTo - run));
    };
    const std::vector<Cut> unentered = walked_ ? std::vector<Cut>() : Cuts([](std::string_view) { return false; });
    for (const Cut& cut : walked_ ? cuts_ : unentered) {
        flush(cut.at);
        if (cut.addsLineEnd) pieces.push_back(kLineEnd);
        run = cut.resume;
    }
    flush(store.size());
    store = entered_;
    run = 0;
    for (const EnteredLine& line : enteredLines_) {
        if (!line.removed) continue;
        flush(line.begin);
        run = line.begin + line.length + kLineEnd.size();
    }
    flush(store.size());
    return pieces;
}

}  // namespace kiv::core
