// The "-4" filter over product key names.
#include "core/ProductFilter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using kiv::core::IsDash4Product;
using kiv::core::KeepDash4Products;

TEST(ProductFilter, FirstDashFourMustFollowTheFirstCharacter) {
    EXPECT_TRUE(IsDash4Product("ACAD-4001:407"));
    EXPECT_TRUE(IsDash4Product("A-4"));
    EXPECT_FALSE(IsDash4Product("-4ACAD:407"));       // at the very start
    EXPECT_FALSE(IsDash4Product("-4ACAD-4001:407"));  // only the first occurrence counts
    EXPECT_FALSE(IsDash4Product("ACAD-1:407"));
    EXPECT_FALSE(IsDash4Product("ACAD-5-"));
    EXPECT_FALSE(IsDash4Product(""));
}

TEST(ProductFilter, KeepsQualifyingNamesInTheirOrder) {
    std::vector<std::string> list = {"ACAD-1:407", "ZACAD-4002:407", "-4ACAD", "ACAD-4001:409", "MAP-4:407"};
    KeepDash4Products(list);
    EXPECT_EQ((std::vector<std::string>{"ZACAD-4002:407", "ACAD-4001:409", "MAP-4:407"}), list);

    std::vector<std::string> none = {"ACAD-1:407", "-4"};
    KeepDash4Products(none);
    EXPECT_TRUE(none.empty());
}
