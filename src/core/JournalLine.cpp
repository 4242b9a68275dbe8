// The undo journal's line format.
#include "core/JournalLine.h"

namespace kiv::journal {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

void AppendEscaped(std::string& line, const std::string& field) {
    for (char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        // "%" is no trail byte of any double-byte code page, so a DBCS name passes whole.
        if (byte < 0x20 || byte == 0x7F || c == '%') {
            line += '%';
            line += kDigits[byte >> 4];
            line += kDigits[byte & 0xF];
        } else {
            line += c;
        }
    }
}

std::string Unescaped(std::string_view field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        int high, low;
        if (field[i] == '%' && i + 2 < field.size() && (high = DigitValue(field[i + 1])) >= 0 &&
            (low = DigitValue(field[i + 2])) >= 0) {
            text += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            text += field[i];
        }
    }
    return text;
}

Record ParseLine(std::string_view line) {
    Record record;
    std::size_t start = 0;
    for (bool first = true;; first = false) {
        const std::size_t tab = line.find('\t', start);
        std::string field = Unescaped(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (first)
            record.kind = std::move(field);
        else
            record.fields.push_back(std::move(field));
        if (tab == std::string_view::npos) return record;
        start = tab + 1;
    }
}

}  // namespace

std::string FormatLine(const Record& record) {
    std::string line;
    AppendEscaped(line, record.kind);
    for (const std::string& field : record.fields) {
        line += '\t';
        AppendEscaped(line, field);
    }
    line += "\r\n";
    return line;
}

std::string FormatLines(const std::vector<Record>& records) {
    std::string text;
    for (const Record& record : records) text += FormatLine(record);
    return text;
}

std::vector<Record> ParseLines(std::string_view text) {
    std::vector<Record> records;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) return records;
        if (end > start) records.push_back(ParseLine(text.substr(start, end - start)));
        start = end + 2;
    }
}

std::string ToHex(std::string_view bytes) {
    std::string digits;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        digits += kDigits[byte >> 4];
        digits += kDigits[byte & 0xF];
    }
    return digits;
}

bool FromHex(std::string_view digits, std::string& bytes) {
    if (digits.size() % 2 != 0) return false;
    bytes.clear();
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const int high = DigitValue(digits[i]), low = DigitValue(digits[i + 1]);
        if (high < 0 || low < 0) return false;
        bytes += static_cast<char>(high * 16 + low);
    }
    return true;
}

}  // namespace kiv::journal
