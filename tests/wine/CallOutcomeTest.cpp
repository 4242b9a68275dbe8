// KivGetLastError's line: the first failure of a call kept, and cut to the caller's buffer at a whole character.
#include "KivForIS55.h"
#include "support/Library.h"
#include "win32/CallOutcome.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Told {
    DWORD code;
    std::string text;
};

Told Tell() {
    char buffer[KIV_BUFFER_SIZE + 8];
    std::string(sizeof buffer, '#').copy(buffer, sizeof buffer);
    kiv::outcome::CopyLastText(buffer);
    return Told{kiv::outcome::LastCode(), buffer};
}

}  // namespace

TEST(CallOutcome, KeepsTheFirstFailureUntilTheNextCallBegins) {
    kiv::outcome::Begin();
    EXPECT_FALSE(kiv::outcome::Failed());
    kiv::outcome::Fail(ERROR_SHARING_VIOLATION, "Sichern von C:\\a nach C:\\Save1 fehlgeschlagen");
    kiv::outcome::Fail(ERROR_DISK_FULL, "later");
    const Told told = Tell();
    EXPECT_EQ(DWORD{ERROR_SHARING_VIOLATION}, told.code);
    // The system's own text for the code follows what failed.
    EXPECT_EQ(0u, told.text.find("Sichern von C:\\a nach C:\\Save1 fehlgeschlagen: ")) << told.text;
    EXPECT_GT(told.text.size(), 50u);
    kiv::outcome::CopyLastText(nullptr);

    kiv::outcome::Begin();
    EXPECT_EQ(DWORD{0}, Tell().code);
    EXPECT_EQ("", Tell().text);
}

TEST(CodePage932, LastErrorTextIsCutAtAWholeCharacter) {
    if (::GetACP() != 932) GTEST_SKIP() << "needs LANG=ja_JP.UTF-8";
    // "x" then two-byte characters whose second byte is a backslash: byte 259 would split one.
    std::string what = "x";
    while (what.size() < 400) what += "\x83\x5C";
    kiv::outcome::Begin();
    kiv::outcome::Cancelled(what);
    const Told told = Tell();
    EXPECT_EQ(DWORD{ERROR_CANCELLED}, told.code);
    ASSERT_LE(told.text.size(), std::size_t{KIV_BUFFER_SIZE - 1});
    EXPECT_GE(told.text.size(), std::size_t{KIV_BUFFER_SIZE - 2});
    for (std::size_t at = 0; at < told.text.size(); ++at)
        if (::IsDBCSLeadByte(static_cast<BYTE>(told.text[at])))
            ASSERT_LT(++at, told.text.size()) << "a lead byte ends it";
}

TEST(KivGetLastError, SaysNothingAfterASuccessAndTakesANullBuffer) {
    kivtest::Library lib;
    EXPECT_EQ(0, lib.KivGetLastError(nullptr));
    EXPECT_EQ(1, lib.KivExistFile("C:\\windows"));
    char text[KIV_BUFFER_SIZE] = "preset";
    EXPECT_EQ(0, lib.KivGetLastError(text));
    EXPECT_STREQ("", text);
}
