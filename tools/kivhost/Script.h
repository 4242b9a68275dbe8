// Call scripts of kivhost: one export call or buffer assignment per line (no Windows API).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kivhost {

// One piece of a text argument: a literal or the content of a named buffer.
struct TextPart {
    bool isName = false;
    std::string text;  // the literal's bytes, or the buffer's name
};

enum class ArgKind {
    Text,  // literals and names joined with +
    Name,  // a lone name: an output buffer, or its content as a text
    Number,
    Window,  // the host's main window
    Null,
};

struct Arg {
    ArgKind kind = ArgKind::Null;
    std::vector<TextPart> parts;  // Text and Name
    std::int32_t number = 0;
};

struct Statement {
    int line = 0;
    std::string source;  // the line as written, for messages
    std::string name;    // the export or host command; the buffer for an assignment
    bool assignment = false;
    std::vector<Arg> args;  // an assignment has one Text or Name argument
    bool expects = false;   // the call is followed by "== expected"
    std::int32_t expected = 0;
};

struct ScriptError {
    int line = 0;  // 0: not tied to a line
    std::string message;
};

// Parses the whole script. Comments start with # or //; a call may end with ;.
// "Call(...) == N" expects the result N.
// Adds an error for each bad line, in line order, and goes on with the next.
bool ParseScript(const std::string& text, std::vector<Statement>& statements, std::vector<ScriptError>& errors);

// A buffer name: a letter or underscore, then letters, digits and underscores.
bool IsName(const std::string& text);

// ASCII letters lowered, for names compared without regard to case.
std::string Lowered(const std::string& text);

// Without trailing blanks, for page titles ("Setup Abbrechen " ends in one).
std::string Trimmed(const std::string& text);

// The script's own spelling of a text: quoted with \\, \", \n, \r, \t escapes.
std::string Quote(const std::string& text);

// An argument as the script would write it.
std::string Spell(const Arg& arg);

}  // namespace kivhost
