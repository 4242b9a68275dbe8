// KivGetUserName: the logon name into the caller's buffer and the setup state.
#include "support/Library.h"

#include "core/SetupState.h"
#include "win32/LogonName.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

using namespace kivtest;

namespace {

std::string LogonName() {
    char name[260];
    DWORD size = sizeof name;
    return ::GetUserNameA(name, &size) ? std::string(name) : std::string();
}

// Wine answers GetUserNameA from this variable; setting it steers the lookup.
class ScopedWineUserName {
public:
    explicit ScopedWineUserName(const char* value) {
        char old[32768];
        DWORD length = ::GetEnvironmentVariableA(kName, old, sizeof old);
        if (length > 0 && length < sizeof old) saved_ = std::string(old, length);
        ::SetEnvironmentVariableA(kName, value);
    }
    ~ScopedWineUserName() { ::SetEnvironmentVariableA(kName, saved_ ? saved_->c_str() : nullptr); }
    ScopedWineUserName(const ScopedWineUserName&) = delete;
    ScopedWineUserName& operator=(const ScopedWineUserName&) = delete;

private:
    static constexpr const char* kName = "WINEUSERNAME";
    std::optional<std::string> saved_;
};

}  // namespace

TEST(KivGetUserName, FailedLookupGivesTheFallbackNameToBufferAndState) {
    const std::string tooLong(260, 'n');  // no room for its zero in 260 bytes
    for (const char* value : {static_cast<const char*>(nullptr), tooLong.c_str()}) {
        SCOPED_TRACE(value == nullptr ? "no name" : "260 characters");
        ScopedWineUserName name(value);
        ASSERT_EQ("", LogonName());  // the lookup really fails
        Library lib;
        char buffer[300];
        std::memset(buffer, '#', sizeof buffer);
        lib.KivGetUserName(buffer);
        EXPECT_EQ("Dorva AT User", std::string(buffer));

        kiv::State().userName = "before";
        kiv::TakeLogonName(buffer);
        EXPECT_EQ("Dorva AT User", kiv::State().userName);
    }
    // 259 characters and the zero fill the buffer exactly.
    const std::string longest(259, 'm');
    ScopedWineUserName name(longest.c_str());
    ASSERT_EQ(longest, LogonName());
    char buffer[300];
    kiv::TakeLogonName(buffer);
    EXPECT_EQ(longest, std::string(buffer));
    EXPECT_EQ(longest, kiv::State().userName);
}

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
    kiv::TakeLogonName(buffer);
    EXPECT_EQ(LogonName(), kiv::State().userName);
    EXPECT_EQ(kiv::State().userName, std::string(buffer));
    kiv::TakeLogonName(nullptr);
    EXPECT_EQ(LogonName(), kiv::State().userName);
}
