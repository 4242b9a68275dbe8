// Configuration files: lines of typed entries ("%s 5005 %d %s"), held as an
// index over the file's bytes so that large files are entered into quickly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kiv::upgrade {

// key, the string type code 5005, the value's length in bytes, the value.
std::string FormatConfigEntry(std::string_view key, std::string_view value);

class ConfigLines {
public:
    ConfigLines() = default;
    // Lines end at line feeds, and a carriage return right before a line
    // feed belongs to the line end. Every other byte, byte 26 and zero
    // included, is content; a last line without a line feed counts too.
    explicit ConfigLines(std::string bytes);

    // Removes the first line that holds key as a whole word (the key,
    // ignoring case, then a blank) and appends line at the end. False, and
    // nothing changes, for an empty key or one with a blank in it.
    bool Upsert(std::string_view key, std::string_view line);

    std::size_t Count() const { return lines_.size() - removed_; }
    // Every line in order, each followed by CR LF.
    std::string Serialize() const;

private:
    struct Line {
        std::size_t begin;
        std::size_t length;
        bool crlf;  // bytes_ holds "\r\n" right after the line
        bool removed;
    };

    std::string_view Text(const Line& line) const { return std::string_view(bytes_).substr(line.begin, line.length); }
    void BuildIndex();
    void Index(std::uint32_t lineIndex);
    std::size_t Bucket(std::string_view word) const;

    std::string bytes_;
    std::vector<Line> lines_;
    std::size_t removed_ = 0;
    // Lines chained per bucket of their first word, in line order; 0 ends a
    // chain, so the arrays hold line index + 1. Built on the first Upsert.
    std::vector<std::uint32_t> heads_;
    std::vector<std::uint32_t> tails_;
    std::vector<std::uint32_t> next_;
};

}  // namespace kiv::upgrade
