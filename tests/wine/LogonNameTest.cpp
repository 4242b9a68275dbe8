// KivGetUserName: the logon name into the caller's buffer and the setup state.
#include "support/Library.h"

#include "dialogs/Exports.h"
#include "frame/SetupState.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace kivtest;

namespace {

std::string LogonName() {
    char name[260];
    DWORD size = sizeof name;
    return ::GetUserNameA(name, &size) ? std::string(name) : std::string();
}

}  // namespace

TEST(KivGetUserName, WritesTheLogonNameWithItsZero) {
    Library lib;
    const std::string expected = LogonName();
    ASSERT_FALSE(expected.empty());
    char buffer[300];
    std::memset(buffer, '#', sizeof buffer);
    lib.KivGetUserName(buffer);
    EXPECT_EQ(expected, std::string(buffer));
    EXPECT_EQ('#', buffer[expected.size() + 1]);
    // A null buffer gets nothing, and nothing fails.
    lib.KivGetUserName(nullptr);
}

TEST(KivGetUserName, SetsTheSetupStateUserName) {
    kiv::State().userName.clear();
    char buffer[260];
    kiv::dialogs::GetUserName(buffer);
    EXPECT_EQ(LogonName(), kiv::State().userName);
    EXPECT_EQ(kiv::State().userName, std::string(buffer));
    kiv::dialogs::GetUserName(nullptr);
    EXPECT_EQ(LogonName(), kiv::State().userName);
}
