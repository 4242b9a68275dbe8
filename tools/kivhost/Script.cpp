// Parser of kivhost call scripts.
#include "Script.h"

#include <cctype>
#include <cstdint>

namespace kivhost {

namespace {

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// lowerCase is written in lower case already.
bool EqualsNoCase(const std::string& text, const char* lowerCase) { return Lowered(text) == lowerCase; }

// Reads one line of the script; every method that fails leaves its reason in error_.
class LineParser {
public:
    explicit LineParser(const std::string& line) : s_(line) {}

    const std::string& error() const { return error_; }

    // False with an empty error for a blank or comment-only line.
    bool Parse(Statement& statement) {
        SkipBlanks();
        if (AtEnd()) return false;
        if (!IsNameStart(s_[pos_])) return Fail("a line must start with an export name or a buffer name");
        statement.name = ReadName();
        SkipBlanks();
        if (Take('=')) {
            statement.assignment = true;
            Arg value;
            if (!ParseText(value, "the value")) return false;
            statement.args.push_back(std::move(value));
        } else if (Take('(')) {
            if (!ParseArgs(statement)) return false;
            SkipBlanks();
            if (s_.compare(pos_, 2, "==") == 0) {
                pos_ += 2;
                SkipBlanks();
                Arg expected;
                if (!ParseNumber(expected, "the expected result")) return false;
                statement.expects = true;
                statement.expected = expected.number;
            }
        } else {
            return Fail("expected \"(\" after " + statement.name);
        }
        SkipBlanks();
        Take(';');
        SkipBlanks();
        if (!AtEnd()) return Fail("unexpected text after the end of the statement");
        return true;
    }

private:
    bool Fail(const std::string& message) {
        error_ = message;
        return false;
    }

    bool AtEnd() const { return pos_ >= s_.size() || s_[pos_] == '#' || s_.compare(pos_, 2, "//") == 0; }

    void SkipBlanks() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r')) ++pos_;
    }

    bool Take(char c) {
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    std::string ReadName() {
        std::size_t start = pos_;
        while (pos_ < s_.size() && IsNameChar(s_[pos_])) ++pos_;
        return s_.substr(start, pos_ - start);
    }

    bool ParseArgs(Statement& statement) {
        SkipBlanks();
        if (Take(')')) return true;
        for (;;) {
            Arg arg;
            std::string what = "argument " + std::to_string(statement.args.size() + 1);
            if (!ParseArg(arg, what)) return false;
            statement.args.push_back(std::move(arg));
            SkipBlanks();
            if (Take(')')) return true;
            if (!Take(',')) return Fail("expected \",\" or \")\" after " + what);
            SkipBlanks();
        }
    }

    bool ParseArg(Arg& arg, const std::string& what) {
        SkipBlanks();
        if (pos_ < s_.size() && (s_[pos_] == '-' || std::isdigit(static_cast<unsigned char>(s_[pos_]))))
            return ParseNumber(arg, what);
        if (pos_ < s_.size() && IsNameStart(s_[pos_])) {
            std::size_t start = pos_;
            std::string word = ReadName();
            if (EqualsNoCase(word, "hwnd")) {
                arg.kind = ArgKind::Window;
                return true;
            }
            if (EqualsNoCase(word, "null")) {
                arg.kind = ArgKind::Null;
                return true;
            }
            pos_ = start;
        }
        return ParseText(arg, what);
    }

    // term { "+" term }, where a term is a quoted literal or a buffer name.
    bool ParseText(Arg& arg, const std::string& what) {
        for (;;) {
            SkipBlanks();
            TextPart part;
            if (Take('"')) {
                if (!ReadLiteral(part.text)) return false;
            } else if (pos_ < s_.size() && IsNameStart(s_[pos_])) {
                part.isName = true;
                part.text = ReadName();
                if (EqualsNoCase(part.text, "hwnd") || EqualsNoCase(part.text, "null"))
                    return Fail(part.text + " cannot be joined with +");
            } else {
                return Fail("expected a quoted text, a buffer name, a number, hwnd or null for " + what);
            }
            arg.parts.push_back(std::move(part));
            SkipBlanks();
            if (!Take('+')) break;
        }
        arg.kind = arg.parts.size() == 1 && arg.parts[0].isName ? ArgKind::Name : ArgKind::Text;
        return true;
    }

    bool ReadLiteral(std::string& text) {
        while (pos_ < s_.size()) {
            char c = s_[pos_++];
            if (c == '"') return true;
            if (c != '\\') {
                text += c;
                continue;
            }
            if (pos_ >= s_.size()) break;
            char e = s_[pos_++];
            switch (e) {
                case '\\':
                    text += '\\';
                    break;
                case '"':
                    text += '"';
                    break;
                case 'n':
                    text += '\n';
                    break;
                case 'r':
                    text += '\r';
                    break;
                case 't':
                    text += '\t';
                    break;
                default:
                    // "C:\Programme" would otherwise lose its backslash unnoticed.
                    return Fail(std::string("unknown escape \\") + e +
                                " in a quoted text (write \\\\ for a backslash)");
            }
        }
        return Fail("the quoted text is not closed");
    }

    bool ParseNumber(Arg& arg, const std::string& what) {
        std::size_t start = pos_;
        bool negative = Take('-');
        bool hex = s_.compare(pos_, 2, "0x") == 0 || s_.compare(pos_, 2, "0X") == 0;
        if (hex) pos_ += 2;
        std::size_t digits = pos_;
        std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
        std::uint64_t value = 0;
        bool tooLarge = false;
        for (; pos_ < s_.size(); ++pos_) {
            unsigned char c = static_cast<unsigned char>(s_[pos_]);
            int digit;
            if (std::isdigit(c))
                digit = c - '0';
            else if (hex && std::isxdigit(c))
                digit = std::tolower(c) - 'a' + 10;
            else
                break;
            value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
            if (value > limit) {
                tooLarge = true;
                value = limit;
            }
        }
        if (pos_ == digits || (pos_ < s_.size() && IsNameChar(s_[pos_]))) return Fail(what + ": not a number");
        if (hex && negative) return Fail(what + ": write a negative number in decimal");
        if (tooLarge) return Fail(what + ": " + s_.substr(start, pos_ - start) + " is not a 32-bit number");
        arg.kind = ArgKind::Number;
        std::uint32_t bits = static_cast<std::uint32_t>(negative ? (0 - value) : value);
        arg.number = static_cast<std::int32_t>(bits);
        return true;
    }

    const std::string& s_;
    std::size_t pos_ = 0;
    std::string error_;
};

}  // namespace

bool ParseScript(const std::string& text, std::vector<Statement>& statements, std::vector<ScriptError>& errors) {
    statements.clear();
    bool good = true;
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        Statement statement;
        statement.line = lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        statement.source = line;
        LineParser parser(line);
        if (parser.Parse(statement)) {
            statements.push_back(std::move(statement));
        } else if (!parser.error().empty()) {
            errors.push_back(ScriptError{lineNumber, parser.error()});
            good = false;
        }
    }
    return good;
}

std::string Lowered(const std::string& text) {
    std::string lowered;
    for (char c : text) lowered += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return lowered;
}

std::string Trimmed(const std::string& text) {
    std::size_t end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

bool IsName(const std::string& text) {
    if (text.empty() || !IsNameStart(text[0])) return false;
    for (char c : text)
        if (!IsNameChar(c)) return false;
    return !EqualsNoCase(text, "hwnd") && !EqualsNoCase(text, "null");
}

std::string Quote(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        switch (c) {
            case '\\':
                quoted += "\\\\";
                break;
            case '"':
                quoted += "\\\"";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\r':
                quoted += "\\r";
                break;
            case '\t':
                quoted += "\\t";
                break;
            default:
                quoted += c;
        }
    }
    return quoted + "\"";
}

std::string Spell(const Arg& arg) {
    switch (arg.kind) {
        case ArgKind::Number:
            return std::to_string(arg.number);
        case ArgKind::Window:
            return "hwnd";
        case ArgKind::Null:
            return "null";
        case ArgKind::Text:
        case ArgKind::Name:
            break;
    }
    std::string spelled;
    for (const TextPart& part : arg.parts) {
        if (!spelled.empty()) spelled += " + ";
        spelled += part.isName ? part.text : Quote(part.text);
    }
    return spelled;
}

}  // namespace kivhost
