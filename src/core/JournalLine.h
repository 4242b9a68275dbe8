// The undo journal's text form: one record a line, fields split by tabs, ending in CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kiv::journal {

// One line: its kind word ("MOVE", "KEPT", ...) and its fields.
struct Record {
    std::string kind;
    std::vector<std::string> fields;
};

// The line with its CR LF. A tab, a line break, any other control byte and "%"
// stand as "%" and two hexadecimal digits, so every field stays on its line.
std::string FormatLine(const Record& record);
std::string FormatLines(const std::vector<Record>& records);

// The whole lines of text, in order. A last line without its CR LF was cut off
// while it was written, before the change it names began: it is left out.
std::vector<Record> ParseLines(std::string_view text);

// Bytes as hexadecimal digits, and back; false for anything else.
std::string ToHex(std::string_view bytes);
bool FromHex(std::string_view digits, std::string& bytes);

}  // namespace kiv::journal
