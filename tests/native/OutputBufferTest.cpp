// The 260-byte bound on the exports' output buffers.
#include "core/OutputBuffer.h"

#include <gtest/gtest.h>

#include <string>

TEST(WriteOutput, WritesTextThatFitsWithItsZero) {
    char buffer[300];
    std::string text(259, 'x');
    ASSERT_TRUE(kiv::WriteOutput(buffer, text));
    EXPECT_EQ(text, std::string(buffer));
}

TEST(WriteOutput, LeavesBufferUntouchedWhenTextDoesNotFit) {
    char buffer[300];
    std::string(299, '#').copy(buffer, 299);
    buffer[299] = '\0';
    EXPECT_FALSE(kiv::WriteOutput(buffer, std::string(260, 'x')));
    EXPECT_EQ(std::string(299, '#'), std::string(buffer));
    EXPECT_FALSE(kiv::WriteOutput(nullptr, "a"));
}
