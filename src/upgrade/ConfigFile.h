// Configuration files: lines of typed entries ("%s 5005 %d %s"), kept as
// spans of the file's bytes so that large files are rewritten quickly.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kiv::upgrade {

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
    // Lines end at line feeds, and a carriage return right before a line
    // feed belongs to the line end. Every other byte, byte 26 and zero
    // included, is content; a last line without a line feed counts too.
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
    struct Line {
        std::size_t begin;
        std::size_t length;
        bool entered;  // in entered_ rather than bytes_
        bool crlf;     // "\r\n" follows the line in its store
        bool removed;
    };

    std::string_view Text(const Line& line) const {
        return std::string_view(line.entered ? entered_ : bytes_).substr(line.begin, line.length);
    }

    std::string bytes_;    // the file as read
    std::string entered_;  // entered lines, each with its CR LF
    std::vector<Line> lines_;
};

}  // namespace kiv::upgrade
