// kivhost's script parser and options at their edges: escapes, very long texts and numbers, broken lines.
#include "Calls.h"
#include "Options.h"
#include "Script.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace kivhost;

namespace {

struct Parsed {
    bool ok = false;
    std::vector<Statement> statements;
    ScriptError error;
};

Parsed Parse(const std::string& text) {
    Parsed parsed;
    parsed.ok = ParseScript(text, parsed.statements, parsed.error);
    return parsed;
}

// The one text argument of a one-line script: an assignment's value or a call's first argument.
std::string ParsedText(const std::string& line) {
    Parsed parsed = Parse(line);
    EXPECT_TRUE(parsed.ok) << line << ": " << parsed.error.message;
    if (!parsed.ok || parsed.statements.size() != 1 || parsed.statements[0].args.empty()) return "<none>";
    std::string text;
    for (const TextPart& part : parsed.statements[0].args[0].parts)
        text += part.isName ? "<" + part.text + ">" : part.text;
    return text;
}

}  // namespace

TEST(KivHostScript, EscapesAndCommentMarksInsideQuotes) {
    EXPECT_EQ("C:\\Programme\\\"x\"\n\r\t", ParsedText(R"(sv = "C:\\Programme\\\"x\"\n\r\t")"));
    EXPECT_EQ("a#b//c;", ParsedText(R"(KivExistFile("a#b//c;") // a comment)"));
    EXPECT_EQ("<ROOT>\\x<sv>", ParsedText(R"(SetNewProgramDir(ROOT + "\\x" + sv);)"));

    // Every byte survives Quote and the parser, also bytes above 127 and zero.
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    EXPECT_EQ(all, ParsedText("sv = " + Quote(all)));
}

TEST(KivHostScript, VeryLongTextsAndNumbersAreReadWhole) {
    // The 260-byte bound is checked where a text meets a buffer, not by the parser.
    std::string long_text(100000, 'x');
    EXPECT_EQ(long_text, ParsedText("sv = \"" + long_text + "\""));
    std::string long_name(10000, 'n');
    EXPECT_EQ("<" + long_name + ">", ParsedText("KivExistFile(" + long_name + ")"));

    const struct {
        const char* number;
        std::int32_t value;
    } good[] = {{"0", 0},
                {"-2147483648", INT32_MIN},
                {"2147483647", INT32_MAX},
                {"0xFFFFFFFF", -1},
                {"000000000000000000000000000000000007", 7}};
    for (const auto& c : good) {
        Parsed parsed = Parse(std::string("KivRegProgSetCurrPos(") + c.number + ")");
        ASSERT_TRUE(parsed.ok) << c.number << ": " << parsed.error.message;
        EXPECT_EQ(c.value, parsed.statements[0].args[0].number) << c.number;
    }
    // 2^64 + 1 in either base would wrap round to 1 in a 64-bit sum.
    for (const char* number : {"2147483648", "-2147483649", "0x100000000", "18446744073709551617",
                               "0x10000000000000001", "99999999999999999999999999999999999999999"}) {
        Parsed parsed = Parse(std::string("KivRegProgSetCurrPos(") + number + ")");
        EXPECT_FALSE(parsed.ok) << number;
        EXPECT_EQ("argument 1: " + std::string(number) + " is not a 32-bit number", parsed.error.message);
    }
}

TEST(KivHostScript, BrokenLinesAreReportedWithTheirNumber) {
    const struct {
        std::string line;
        const char* message;
    } cases[] = {
        {"KivExistFile(\"x\"", "expected \",\" or \")\" after argument 1"},
        {"KivExistFile(\"x\\", "the quoted text is not closed"},
        {"KivExistFile(\"x\\q\")", "unknown escape \\q in a quoted text (write \\\\ for a backslash)"},
        {"KivExistFile(,)", "expected a quoted text, a buffer name, a number, hwnd or null for argument 1"},
        {"SetOldProgramDir(\"a\",)",
         "expected a quoted text, a buffer name, a number, hwnd or null for argument 2"},
        {"KivRegProgSetCurrPos(-)", "argument 1: not a number"},
        {"KivRegProgSetCurrPos(0x)", "argument 1: not a number"},
        {"SetOldProgramDir(\"a\" + null)", "null cannot be joined with +"},
        {"sv = ", "expected a quoted text, a buffer name, a number, hwnd or null for the value"},
        {"sv = \"a\" +", "expected a quoted text, a buffer name, a number, hwnd or null for the value"},
        {"; KivRegProgDestroy()", "a line must start with an export name or a buffer name"},
        {std::string("KivRegProgDestroy()\0x", 21), "unexpected text after the end of the statement"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        // Lines 1 to 3: a comment, a blank line with a carriage return, a good call.
        Parsed parsed = Parse("# start\r\n\r\nKivRegProgDestroy()\r\n" + c.line + "\nKivRegProgDestroy()");
        EXPECT_FALSE(parsed.ok);
        EXPECT_EQ(4, parsed.error.line);
        EXPECT_EQ(c.message, parsed.error.message);
    }
}

TEST(KivHostScript, CheckAndOptionsRefuseWhatCannotRun) {
    std::vector<Statement> statements;
    ScriptError error;
    ASSERT_TRUE(ParseScript("KivGetUserName(svName)\nSetOldProgramDir(svName + svOther)\n", statements, error));
    EXPECT_FALSE(CheckScript(statements, {}, error));
    EXPECT_EQ(2, error.line);
    EXPECT_EQ("buffer svOther is read before anything defines it", error.message);
    EXPECT_TRUE(CheckScript(statements, {"svOther"}, error));

    // A --define text must leave room for the buffer's terminating zero.
    Options options;
    std::string message;
    EXPECT_TRUE(ParseOptions({"--define", "ROOT=" + std::string(259, 'x'), "s.kiv"}, options, message)) << message;
    EXPECT_EQ(std::string(259, 'x'), options.defines["ROOT"]);
    EXPECT_FALSE(ParseOptions({"--define", "ROOT=" + std::string(260, 'x'), "s.kiv"}, options, message));
    EXPECT_EQ("--define ROOT: the text does not fit a 260-byte buffer", message);
    for (const char* bad : {"select:", "next,", "=next", "next,,back"}) {
        AnswerRule rule;
        EXPECT_FALSE(ParseAnswer(bad, rule, message)) << bad;
    }
}
