// kivhost's script parser, script check, options and page answers at their edges.
#include "Calls.h"
#include "Options.h"
#include "Pages.h"
#include "Script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using namespace kivhost;

namespace {

struct Parsed {
    bool ok = false;
    std::vector<Statement> statements;
    std::vector<ScriptError> errors;
    ScriptError error;  // the first
};

Parsed Parse(const std::string& text) {
    Parsed parsed;
    parsed.ok = ParseScript(text, parsed.statements, parsed.errors);
    if (!parsed.errors.empty()) parsed.error = parsed.errors.front();
    return parsed;
}

// Each error as "line: message", in the order reported.
std::vector<std::string> Reported(const std::vector<ScriptError>& errors) {
    std::vector<std::string> lines;
    for (const ScriptError& error : errors) lines.push_back(std::to_string(error.line) + ": " + error.message);
    return lines;
}

// A rule's steps, showings separated by " | ".
std::string Showings(const AnswerRule& rule) {
    std::string text;
    for (const Showing& showing : rule.showings) {
        if (!text.empty()) text += " | ";
        for (std::size_t i = 0; i < showing.size(); ++i) text += (i > 0 ? ", " : "") + Describe(showing[i]);
    }
    return text;
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
        // The same number as the expected result of a call.
        Parsed parsed = Parse(std::string("KivRegProgSetCurrPos(") + c.number + ") == " + c.number + ";");
        ASSERT_TRUE(parsed.ok) << c.number << ": " << parsed.error.message;
        EXPECT_EQ(c.value, parsed.statements[0].args[0].number) << c.number;
        EXPECT_TRUE(parsed.statements[0].expects);
        EXPECT_EQ(c.value, parsed.statements[0].expected) << c.number;
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
        {"SetOldProgramDir(\"a\",)", "expected a quoted text, a buffer name, a number, hwnd or null for argument 2"},
        {"KivRegProgSetCurrPos(-)", "argument 1: not a number"},
        {"KivRegProgSetCurrPos(0x)", "argument 1: not a number"},
        {"SetOldProgramDir(\"a\" + null)", "null cannot be joined with +"},
        {"sv = ", "expected a quoted text, a buffer name, a number, hwnd or null for the value"},
        {"sv = \"a\" +", "expected a quoted text, a buffer name, a number, hwnd or null for the value"},
        {"; KivRegProgDestroy()", "a line must start with an export name or a buffer name"},
        {std::string("KivRegProgDestroy()\0x", 21), "unexpected text after the end of the statement"},
        {"KivRegProgDestroy() == one", "the expected result: not a number"},
        {"KivRegProgDestroy() = 1", "unexpected text after the end of the statement"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        // Lines 1 to 3: a comment, a blank line with a carriage return, a good call.
        Parsed parsed = Parse("# start\r\n\r\nKivRegProgDestroy()\r\n" + c.line + "\nKivRegProgDestroy()");
        EXPECT_FALSE(parsed.ok);
        EXPECT_EQ(1u, parsed.errors.size());
        EXPECT_EQ(2u, parsed.statements.size());
        EXPECT_EQ(4, parsed.error.line);
        EXPECT_EQ(c.message, parsed.error.message);
    }
}

TEST(KivHostScript, CheckAndOptionsRefuseWhatCannotRun) {
    std::vector<Statement> statements;
    std::vector<ScriptError> errors;
    ASSERT_TRUE(ParseScript("KivGetUserName(svName)\nSetOldProgramDir(svName + svOther)\n", statements, errors));
    EXPECT_FALSE(CheckScript(statements, {}, errors));
    EXPECT_EQ(std::vector<std::string>{"2: buffer svOther is read before anything defines it"}, Reported(errors));
    errors.clear();
    EXPECT_TRUE(CheckScript(statements, {"svOther"}, errors));
    EXPECT_TRUE(errors.empty());

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

TEST(KivHostScript, EveryErrorIsReportedInLineOrderWithNearMissNames) {
    std::string long_literal(260, 'x');
    std::string script =
        "KivShowTargetDir(hwnd, \"C:\\\\x\", \"TERVILO\")\n"  // 1: near miss
        "KivExistFile(\"a\"\n"                                // 2: parse error
        "SetOldProgramDir(svNever)\n"                         // 3: undefined buffer
        "svLong = \"" +
        long_literal +
        "\"\n"  // 4: literal too long
        "svPair = \"" +
        std::string(200, 'a') + "\" + \"" + std::string(60, 'b') +
        "\"\n"  // 5
        "KivExistFile(\"" +
        long_literal +
        "\")\n"  // 6: literal too long
        "KivExistFile(\"" +
        std::string(259, 'x') +
        "\")\n"                    // 7: fits
        "KivGetUserNam(svName)\n"  // 8: near miss
        "KivFooBarBaz(1)\n"        // 9: nothing near
        "KivShowTargeDir(5)\n";    // 10: arity
    std::vector<Statement> statements;
    std::vector<ScriptError> errors;
    EXPECT_FALSE(ParseScript(script, statements, errors));
    EXPECT_FALSE(CheckScript(statements, {}, errors));
    std::stable_sort(errors.begin(), errors.end(), [](const auto& a, const auto& b) { return a.line < b.line; });
    EXPECT_EQ((std::vector<std::string>{
                  "1: unknown export \"KivShowTargetDir\"; did you mean KivShowTargeDir? (that spelling, without "
                  "the t of Target, is the export's real name)",
                  "2: expected \",\" or \")\" after argument 1",
                  "3: buffer svNever is read before anything defines it",
                  "4: a quoted text of 260 bytes does not fit a 260-byte buffer",
                  "5: the quoted texts assigned to svPair make 260 bytes, which do not fit its 260 bytes",
                  "6: a quoted text of 260 bytes does not fit a 260-byte buffer",
                  "8: unknown export \"KivGetUserNam\"; did you mean KivGetUserName?",
                  "9: unknown export \"KivFooBarBaz\"",
                  "10: KivShowTargeDir(window, text, text) takes 3 arguments, not 1",
              }),
              Reported(errors));
}

TEST(KivHostOptions, ValuesAreNeverTakenForTheScriptAndUnknownOptionsAreNamed) {
    const struct {
        std::vector<std::string> args;
        const char* error;  // empty: accepted
    } cases[] = {
        {{"--log", "C:\\kiv.log", "s.kiv"}, ""},
        {{"--log=C:\\kiv.log", "s.kiv"}, ""},
        {{"--timeout=5", "s.kiv"}, ""},
        {{"s.kiv", "--log"}, "--log needs a value"},
        {{"--log", "--timeout", "5", "s.kiv"}, "--log needs a value"},
        {{"--log=", "s.kiv"}, "--log needs a value"},
        {{"--dll", "--answer", "next", "s.kiv"}, "--dll needs a value"},
        {{"--verbose", "s.kiv"}, "unknown option --verbose"},
        {{"s.kiv", "--verbose"}, "unknown option --verbose"},
        {{"--verbose=1", "s.kiv"}, "unknown option --verbose"},
        {{"-t", "10", "s.kiv"}, "unknown option -t"},
        {{"--help=1"}, "--help takes no value"},
        {{"--timeout", "-5", "s.kiv"}, "--timeout -5: not a number of seconds from 0 to 86400"},
        {{"--timeout", "+5", "s.kiv"}, "--timeout +5: not a number of seconds from 0 to 86400"},
        {{"a.kiv", "b.kiv"}, "more than one script: a.kiv and b.kiv"},
        {{"--timeout", "5"}, "no script given"},
        {{"--answer", "1006=back", "--answer", "1006=next", "s.kiv"},
         "--answer 1006=next: that page has an answer already (--answer 1006=back)"},
        {{"--answer", "next", "--answer", "cancel", "s.kiv"},
         "--answer cancel: that page has an answer already (--answer next)"},
        {{"--silent", "a.iss", "--answer", "next", "s.kiv"},
         "--answer and --silent: a silent run shows no page to answer"},
        {{"--answer", "next", "--record", "a.iss", "s.kiv"}, ""},
        {{"--record", "a.iss", "--silent", "a.iss", "s.kiv"}, "--record and --silent: only one of them, once"},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (const std::string& arg : c.args) joined += arg + " ";
        SCOPED_TRACE(joined);
        Options options;
        std::string error;
        bool ok = ParseOptions(c.args, options, error);
        EXPECT_EQ(*c.error == '\0', ok);
        if (!ok) EXPECT_EQ(c.error, error);
        if (ok && c.args[0].compare(0, 5, "--log") == 0) EXPECT_EQ("C:\\kiv.log", options.log);
        if (ok) EXPECT_EQ("s.kiv", options.script);
    }
}

TEST(KivHostOptions, AnswersSplitIntoShowingsAndOnlyWhatAPageOffers) {
    const struct {
        const char* answer;
        const char* parsed;  // showings, or the error
    } cases[] = {
        {"next", "next"},
        {"1006=back,next", "back | next"},
        {"1007=tick,next,cancel", "tick, next | cancel"},
        {"1008=select:A,escape,select:B,next", "select \"A\", escape | select \"B\", next"},
        {"1007=tick", "tick"},
        {"1020=next,cancel", "next | cancel"},
        {"Setup Abbrechen=cancel", "cancel"},
        {"Zielpfad best\xE4tigen=back", "back"},
        {"1003=back",
         "--answer 1003=back: page 1003 \"User Information\" cannot take back (it shows \"&Weiter >\" for next and "
         "\"Abbrechen\" for cancel; its answers: next, cancel, escape)"},
        {"User Information=next,back,back",
         "--answer User Information=next,back,back: page 1003 \"User Information\" cannot take back (it shows "
         "\"&Weiter >\" for next and \"Abbrechen\" for cancel; its answers: next, cancel, escape)"},
        {"1007=back",
         "--answer 1007=back: page 1007 \"Tablettmen\xFC einrichten\" cannot take back (it shows "
         "\"&Weiter >\" for next, \"Abbrechen\" for cancel and a check box to tick; its answers: next, "
         "cancel, escape, tick)"},
        {"1009=cancel",
         "--answer 1009=cancel: page 1009 \"AutoCAD Produkt festlegen\" cannot take cancel (it "
         "shows \"&Weiter >\" for next and a list to select from; its answers: next, escape, "
         "select:ENTRY)"},
        {"1006=select:x,next",
         "--answer 1006=select:x,next: page 1006 \"Zielpfad best\xE4tigen\" cannot take select "
         "(it shows \"< &Zur\xFC"
         "ck\" for back, \"&Weiter >\" for next and \"Abbrechen\" for "
         "cancel; its answers: next, back, cancel, escape)"},
        {"1011=next",
         "--answer 1011=next: no page has template 1011 (the pages: 1003, 1006, 1007, 1008, 1009, "
         "1010, 1020)"},
        {"Zielpfad=next",
         "--answer Zielpfad=next: no page has the title \"Zielpfad\" (the titles: \"User "
         "Information\", \"Zielpfad best\xE4tigen\", \"Tablettmen\xFC einrichten\", \"AutoCAD "
         "Produkt festlegen\", \"Setup Abbrechen \")"},
        {"1006=jump", "--answer 1006=jump: unknown step \"jump\" (next, back, cancel, escape, tick, select:TEXT)"},
        {"1006=next,", "--answer 1006=next,: unknown step \"\" (next, back, cancel, escape, tick, select:TEXT)"},
        {"=next", "--answer =next: no page before \"=\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        AnswerRule rule;
        std::string error;
        bool ok = ParseAnswer(c.answer, rule, error);
        EXPECT_EQ(c.parsed, ok ? Showings(rule) : error);
    }
}

TEST(KivHostOptions, APageIsMatchedByItsExactTemplateThenTitleThenTheAnswerForEveryPage) {
    std::vector<AnswerRule> rules(3);
    std::string error;
    ASSERT_TRUE(ParseAnswer("next", rules[0], error));
    ASSERT_TRUE(ParseAnswer("1008=select:A,next", rules[1], error));
    ASSERT_TRUE(ParseAnswer("User Information=cancel", rules[2], error));
    const struct {
        int templateId;
        const char* title;
        int rule;
    } cases[] = {
        {1008, "AutoCAD Produkt festlegen", 1},
        {1009, "AutoCAD Produkt festlegen", 0},  // the same title, another template
        {1003, "User Information", 2},
        {1010, "User Information ", 2},
        {1006, "Zielpfad best\xE4tigen", 0},
        {0, "Unbekannt", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.templateId);
        EXPECT_EQ(&rules[c.rule], FindAnswer(rules, c.templateId, c.title));
    }
    EXPECT_EQ(nullptr, FindAnswer({rules[1]}, 1009, "AutoCAD Produkt festlegen"));
}

TEST(KivHostOptions, TheAnswerForEveryPageMustSuitEveryPageTheScriptShows) {
    const struct {
        std::vector<const char*> answers;
        const char* script;
        std::vector<std::string> refused;
    } cases[] = {
        {{"back"},
         "KivGetUserName(sv)\nShowTerviloUserName(hwnd, sv, 0)\nShowTerviloUserName(hwnd, sv, 1)\n",
         {"--answer back: page 1003 \"User Information\", which line 2 shows, cannot take back (it shows \"&Weiter "
          ">\" for next and \"Abbrechen\" for cancel; its answers: next, cancel, escape)",
          "--answer back: page 1010 \"User Information\", which line 3 shows, cannot take back (it shows \"&Weiter "
          ">\" for next and \"Abbrechen\" for cancel; its answers: next, cancel, escape)"}},
        {{"back", "1003=next", "1010=next"},
         "ShowTerviloUserName(hwnd, \"x\", 0)\nShowTerviloUserName(hwnd, \"x\", 7)\n",
         {}},
        {{"back", "User Information=next"},
         "ShowTerviloUserName(hwnd, \"x\", 0)\nKivShowTargeDir(hwnd, \"a\", \"b\")\n",
         {}},
        {{"cancel"},
         "KivGetMainAcadData(hwnd, a, b, 1, 0)\n",
         {"--answer cancel: page 1009 \"AutoCAD Produkt festlegen\", which line 1 shows, cannot take cancel (it "
          "shows \"&Weiter >\" for next and a list to select from; its answers: next, escape, select:ENTRY)"}},
        {{"cancel", "1009=escape"}, "KivGetMainAcadData(hwnd, a, b, 1, 0)\nKivIsWithinTablet(hwnd, \"a\", c)\n", {}},
        {{"tick,next"}, "KivIsWithinTablet(hwnd, \"a\", c)\nKivIsWithinTablet(hwnd, \"a\", c)\n", {}},
        {{"tick,next"},
         "KivShowTargeDir(hwnd, \"a\", \"b\")\n",
         {"--answer tick,next: page 1006 \"Zielpfad best\xE4tigen\", which line 1 shows, cannot take tick (it shows "
          "\"< &Zur\xFC"
          "ck\" for back, \"&Weiter >\" for next and \"Abbrechen\" for cancel; its answers: next, "
          "back, cancel, escape)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        std::vector<AnswerRule> rules;
        for (const char* answer : c.answers) {
            AnswerRule rule;
            std::string error;
            ASSERT_TRUE(ParseAnswer(answer, rule, error)) << error;
            rules.push_back(rule);
        }
        std::vector<Statement> statements;
        std::vector<ScriptError> errors;
        ASSERT_TRUE(ParseScript(c.script, statements, errors));
        std::vector<std::string> refused;
        CheckAnswersForScript(rules, statements, refused);
        EXPECT_EQ(c.refused, refused);
    }
}
