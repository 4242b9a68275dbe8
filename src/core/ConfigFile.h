// Configuration files: lines of typed entries ("%s 5005 %d %s"), kept as the
// file's bytes and a note of where the output leaves them, so that large files
// are rewritten with one walk over their lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kiv::core {

// key, the string type code 5005, the value's length in bytes, the value.
std::string FormatConfigEntry(std::string_view key, std::string_view value);

// One entry to enter: its key and its complete line, which begins with the
// key and a blank (as FormatConfigEntry makes it).
struct ConfigEntry {
    std::string key;
    std::string line;
};

class ConfigLines {
public:
    // Lines end at a line feed, a carriage return, or the two together (CR
    // LF, one line end). Every other byte, byte 26 and zero included, is
    // content; a last line without a line end counts too.
    explicit ConfigLines(std::string bytes);

    // Enters the entries in order, with the result of entering them one
    // after another: each removes the first line that holds its key as a
    // whole word (the key ignoring case, then a blank) and appends its line.
    // One pass over the lines serves all entries. An entry whose key is
    // empty, has a blank, or does not begin its line is left out.
    void Enter(const std::vector<ConfigEntry>& entries);

    // The new content, to be written piece after piece: every line in order,
    // each followed by CR LF. The pieces point into this object.
    std::vector<std::string_view> Pieces() const;

private:
    // Where the output leaves the bytes read: at a removed line (at its
    // begin, resuming after its line end) or at a line end other than CR LF
    // (at that line end or the end of the file, resuming after it).
    struct Cut {
        std::size_t at;
        std::size_t resume;
        bool addsLineEnd;
    };
    // An entered line: its bytes in entered_, followed there by CR LF.
    struct EnteredLine {
        std::size_t begin;
        std::size_t length;
        bool removed;
    };

    // One walk over every line of bytes_: the lines removed before stay
    // removed, takes(line) may remove more, and the missing line ends show.
    template <typename Takes>
    std::vector<Cut> Cuts(Takes takes) const;

    std::string bytes_;      // the file as read
    std::vector<Cut> cuts_;  // ascending; found by the walk of the last Enter
    bool walked_ = false;    // cuts_ holds the walk's result
    std::string entered_;    // entered lines, each with its CR LF
    std::vector<EnteredLine> enteredLines_;
};

}  // namespace kiv::core
