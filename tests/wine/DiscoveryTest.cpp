// AutoCAD 2000 discovery against Wine's registry.
#include "host/Discovery.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kivtest;
using namespace kiv::host;

namespace {

std::string Product(const std::string& key) { return std::string(kAcadReleaseKey) + "\\" + key; }

void AddProduct(const std::string& key, const std::string& id, const std::string& name = "AutoCAD 2000",
                const std::string& location = "C:\\Programme\\ACAD2000") {
    SetRegString(Product(key), "ProductId", id);
    SetRegString(Product(key), "ProductName", name);
    SetRegString(Product(key), "AcadLocation", location);
}

}  // namespace

TEST(Discovery, WithoutReleaseKeyEverythingIsEmpty) {
    ScratchRegistry registry;
    std::vector<std::string> list = {"untouched"};
    EXPECT_FALSE(ListProducts(list, false));
    EXPECT_EQ(std::vector<std::string>{"untouched"}, list);
    std::string key;
    EXPECT_FALSE(ReadCurrentProduct(key));
    EXPECT_EQ("", key);
    std::string name = "untouched";
    EXPECT_TRUE(ReadProductName("ACAD-1:407", name).missing());
    EXPECT_TRUE(ReadAcadLocation("ACAD-1:407", name).missing());
    EXPECT_EQ("untouched", name);
    EXPECT_FALSE(RegKeyExists(kAcadReleaseKey));  // reading creates nothing
}

TEST(Discovery, ListProductsDropsKeysWithoutProductId) {
    ScratchRegistry registry;
    AddProduct("ACAD-1:407", "");
    CreateRegKey(Product("ACAD-2:407"));
    AddProduct("ACAD-3:407", "000-00000000");
    DWORD zero = 0;
    SetRegValue(Product("ACAD-5:407"), "ProductId", REG_DWORD, &zero, sizeof zero);

    std::vector<std::string> list = {"stale"};
    EXPECT_TRUE(ListProducts(list, false));
    EXPECT_EQ(std::vector<std::string>{"ACAD-3:407"}, list);

    SetRegString(Product("ACAD-3:407"), "ProductId", "");
    EXPECT_FALSE(ListProducts(list, false));
    EXPECT_TRUE(list.empty());
}

TEST(Discovery, ListProductsKeepsEnumerationOrder) {
    ScratchRegistry registry;
    for (const char* key : {"ACAD-4001:409", "ACAD-1:407", "MAP-4:407", "ACAD-4001:407"}) AddProduct(key, "id");
    CreateRegKey(kAcadReleaseKey + std::string("\\Applications"));  // no product: no ProductId
    std::vector<std::string> expected;
    for (const std::string& key : RegSubKeys(kAcadReleaseKey))
        if (key != "Applications") expected.push_back(key);
    std::vector<std::string> list;
    EXPECT_TRUE(ListProducts(list, false));
    EXPECT_EQ(expected, list);
}

TEST(Discovery, DashFourFilter) {
    ScratchRegistry registry;
    AddProduct("ACAD-1:407", "id");
    AddProduct("ACAD-4001:407", "id");
    AddProduct("-4ACAD:407", "id");
    AddProduct("ACAD-4002:409", "");  // dropped for its empty id before the filter
    std::vector<std::string> list;
    EXPECT_TRUE(ListProducts(list, true));
    EXPECT_EQ(std::vector<std::string>{"ACAD-4001:407"}, list);
    EXPECT_TRUE(ListProducts(list, false));
    EXPECT_EQ(3u, list.size());

    DeleteRegTree(Product("ACAD-4001:407"));
    EXPECT_FALSE(ListProducts(list, -7));
    EXPECT_TRUE(list.empty());
}

TEST(Discovery, CurrentProductReadAndWritten) {
    ScratchRegistry registry;
    std::string key;
    EXPECT_TRUE(SetCurrentProduct("ACAD-1:407"));  // creates the release key
    EXPECT_TRUE(ReadCurrentProduct(key));
    EXPECT_EQ("ACAD-1:407", key);

    EXPECT_TRUE(SetCurrentProduct("ACAD-4001:407"));
    std::string value;
    ASSERT_TRUE(GetRegString(kAcadReleaseKey, "CurVer", value));
    EXPECT_EQ("ACAD-4001:407", value);

    SetRegString(kAcadReleaseKey, "CurVer", "");
    key.clear();
    EXPECT_FALSE(ReadCurrentProduct(key));
    EXPECT_EQ("", key);
}

TEST(Discovery, SetCurrentProductWithEmptyKeyWritesNothing) {
    ScratchRegistry registry;
    EXPECT_FALSE(SetCurrentProduct(""));
    EXPECT_FALSE(RegKeyExists(kAcadReleaseKey));
    SetRegString(kAcadReleaseKey, "CurVer", "ACAD-1:407");
    EXPECT_FALSE(SetCurrentProduct(""));
    std::string value;
    ASSERT_TRUE(GetRegString(kAcadReleaseKey, "CurVer", value));
    EXPECT_EQ("ACAD-1:407", value);
}

TEST(Discovery, ReadProductName) {
    ScratchRegistry registry;
    AddProduct("ACAD-1:407", "id", "AutoCAD 2000 Deutsch");
    AddProduct("ACAD-2:407", "id", "");
    CreateRegKey(Product("ACAD-3:407"));
    std::string name;
    EXPECT_TRUE(ReadProductName("ACAD-1:407", name));
    EXPECT_EQ("AutoCAD 2000 Deutsch", name);
    EXPECT_TRUE(ReadProductName("ACAD-2:407", name));
    EXPECT_EQ("", name);
    name = "untouched";
    EXPECT_FALSE(ReadProductName("ACAD-3:407", name));
    EXPECT_FALSE(ReadProductName("ACAD-9:407", name));
    EXPECT_FALSE(ReadProductName("", name));
    EXPECT_EQ("untouched", name);
}

TEST(Discovery, AcadLocationIsThatOfTheProductItselfWhateverCurVerNames) {
    ScratchRegistry registry;
    AddProduct("ACAD-1:407", "id", "AutoCAD 2000", "C:\\Programme\\ACAD2000");
    AddProduct("ACAD-2:407", "id", "AutoCAD 2000", "C:\\ACAD\\");
    AddProduct("ACAD-3:407", "id", "AutoCAD 2000", "");
    SetRegString(kAcadReleaseKey, "CurVer", "ACAD-1:407");
    SetRegString(kAcadReleaseKey, "AcadLocation", "D:\\Acad");  // on the release key: nobody's folder

    auto location = [](const char* productKey) {
        std::string text = "none";
        return ReadAcadLocation(productKey, text) ? text : "none";
    };
    EXPECT_EQ("C:\\Programme\\ACAD2000", location("ACAD-1:407"));
    EXPECT_EQ("C:\\ACAD\\", location("ACAD-2:407"));  // as stored
    EXPECT_EQ("", location("ACAD-3:407"));
    EXPECT_EQ("none", location("ACAD-9:407"));  // a missing product
    EXPECT_EQ("none", location(""));            // not the release key itself
}
