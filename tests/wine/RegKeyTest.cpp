// The registry key holder against Wine's registry.
#include "support/Scratch.h"
#include "win32/RegKey.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kivtest;
using kiv::RegKey;

namespace {

const std::string kBase = "Software\\Autodesk\\KivRegKeyTest";

}  // namespace

TEST(RegKey, OpenForWriteCreatesMissingKeysAndTheOtherOpensNeedThem) {
    ScratchRegistry registry;
    RegKey key;
    EXPECT_TRUE(key.OpenForRead(HKEY_LOCAL_MACHINE, kBase + "\\Upper\\Lower").missing());
    EXPECT_TRUE(key.OpenForDelete(HKEY_LOCAL_MACHINE, kBase + "\\Upper\\Lower").missing());
    EXPECT_FALSE(key.IsOpen());

    ASSERT_TRUE(key.OpenForWrite(HKEY_LOCAL_MACHINE, (kBase + "\\Upper\\Lower").c_str()));
    EXPECT_TRUE(key.IsOpen());
    EXPECT_TRUE(RegKeyExists(kBase + "\\Upper\\Lower"));
    EXPECT_FALSE(key.OpenForRead(HKEY_LOCAL_MACHINE, kBase + "\\Fehlt"));
    EXPECT_TRUE(key.WriteString("Wert", "Name"));  // a failed open keeps the key held
    std::string value;                             // each open holds only the access it asked for:
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), key.ReadString("Name", value).error());

    ASSERT_TRUE(GetRegString(kBase + "\\Upper\\Lower", "Name", value));
    EXPECT_EQ("Wert", value);
    ASSERT_TRUE(key.OpenForRead(HKEY_LOCAL_MACHINE, (kBase + "\\Upper\\Lower").c_str()));
    EXPECT_TRUE(key.ReadString("Name", value));
    EXPECT_EQ("Wert", value);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), key.WriteString("x", "Name").error());
    ASSERT_TRUE(key.OpenForDelete(HKEY_LOCAL_MACHINE, kBase + "\\Upper"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), key.WriteString("x", "Name").error());
}

TEST(RegKey, EmptyHolderFailsEveryOperation) {
    ScratchRegistry registry;
    CreateRegKey(kBase + "\\Child");
    RegKey key;
    std::string text = "before";
    std::vector<std::string> names = {"before"};
    EXPECT_FALSE(key.ReadString("Name", text));
    EXPECT_TRUE(text.empty());
    EXPECT_FALSE(key.WriteString("x", "Name"));
    EXPECT_FALSE(key.EnumSubKeys(names));
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(key.DeleteSubKey("Child"));
    EXPECT_TRUE(RegKeyExists(kBase + "\\Child"));
}

TEST(RegKey, ReadStringTakesAnyValueUpToItsFirstZero) {
    ScratchRegistry registry;
    const char unterminated[] = {'O', 'h', 'n', 'e', 'N', 'u', 'l', 'l'};
    SetRegValue(kBase, "Unterminated", REG_SZ, unterminated, sizeof unterminated);
    DWORD letterA = 0x41, zero = 0;
    SetRegValue(kBase, "LetterA", REG_DWORD, &letterA, sizeof letterA);
    SetRegValue(kBase, "Zero", REG_DWORD, &zero, sizeof zero);
    const char expandable[] = "%SystemRoot%\\Acad";
    SetRegValue(kBase, "Expandable", REG_EXPAND_SZ, expandable, sizeof expandable);
    const char embedded[] = "vorne\0hinten";
    SetRegValue(kBase, "Embedded", REG_SZ, embedded, sizeof embedded);
    SetRegValue(kBase, "Empty", REG_SZ, "", 0);

    RegKey key;
    ASSERT_TRUE(key.OpenForRead(HKEY_LOCAL_MACHINE, kBase.c_str()));
    std::string text;
    EXPECT_TRUE(key.ReadString("Unterminated", text));
    EXPECT_EQ("OhneNull", text);
    EXPECT_TRUE(key.ReadString("LetterA", text));
    EXPECT_EQ("A", text);
    text = "stale";
    EXPECT_TRUE(key.ReadString("Zero", text));
    EXPECT_EQ("", text);
    EXPECT_TRUE(key.ReadString("Expandable", text));
    EXPECT_EQ("%SystemRoot%\\Acad", text);
    EXPECT_TRUE(key.ReadString("Embedded", text));
    EXPECT_EQ("vorne", text);
    text = "stale";
    EXPECT_TRUE(key.ReadString("Empty", text));
    EXPECT_EQ("", text);
    text = "stale";
    EXPECT_TRUE(key.ReadString("Missing", text).missing());
    EXPECT_EQ("", text);
}

TEST(RegKey, WriteStringReplacesWithATerminatedString) {
    ScratchRegistry registry;
    DWORD number = 7;
    SetRegValue(kBase, "CurVer", REG_DWORD, &number, sizeof number);
    RegKey key;
    ASSERT_TRUE(key.OpenForWrite(HKEY_LOCAL_MACHINE, kBase.c_str()));
    EXPECT_TRUE(key.WriteString("ACAD-1:407", "CurVer"));
    EXPECT_TRUE(key.WriteString(std::string(300, 'L'), "Long"));

    HKEY raw = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kBase.c_str(), 0, KEY_READ, &raw));
    char buffer[64] = {};
    DWORD type = 0, size = sizeof buffer;
    EXPECT_EQ(ERROR_SUCCESS, ::RegQueryValueExA(raw, "CurVer", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size));
    ::RegCloseKey(raw);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(11u, size);  // the text and its zero
    std::string text;
    ASSERT_TRUE(key.OpenForRead(HKEY_LOCAL_MACHINE, kBase));
    EXPECT_TRUE(key.ReadString("Long", text));
    EXPECT_EQ(std::string(300, 'L'), text);
}

TEST(RegKey, EnumSubKeysListsInThePlatformsIndexOrder) {
    ScratchRegistry registry;
    for (const char* name : {"ACAD-4001:409", "ACAD-1:407", "Zeta", "alpha", "ACAD-4001:407"})
        CreateRegKey(kBase + "\\" + name);
    CreateRegKey(kBase + "\\alpha\\Grandchild");
    CreateRegKey(kBase + "\\Leer");

    RegKey key;
    ASSERT_TRUE(key.OpenForRead(HKEY_LOCAL_MACHINE, kBase.c_str()));
    std::vector<std::string> names = {"stale"};
    EXPECT_TRUE(key.EnumSubKeys(names));
    EXPECT_EQ(RegSubKeys(kBase), names);
    EXPECT_EQ(6u, names.size());  // direct children only

    ASSERT_TRUE(key.OpenForRead(HKEY_LOCAL_MACHINE, (kBase + "\\Leer").c_str()));
    names = {"stale"};
    EXPECT_TRUE(key.EnumSubKeys(names));
    EXPECT_TRUE(names.empty());
}

TEST(RegKey, DeleteSubKeyIsNotRecursive) {
    ScratchRegistry registry;
    CreateRegKey(kBase + "\\Parent\\Child");
    CreateRegKey(kBase + "\\Leaf");
    RegKey key;
    ASSERT_TRUE(key.OpenForDelete(HKEY_LOCAL_MACHINE, kBase));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), key.DeleteSubKey("Parent").error());
    EXPECT_TRUE(RegKeyExists(kBase + "\\Parent\\Child"));
    EXPECT_TRUE(key.DeleteSubKey("Leaf"));
    EXPECT_FALSE(RegKeyExists(kBase + "\\Leaf"));
    EXPECT_TRUE(key.DeleteSubKey("Leaf").missing());
    EXPECT_FALSE(key.DeleteSubKey(""));
    EXPECT_FALSE(key.DeleteSubKey(nullptr));
    EXPECT_TRUE(RegKeyExists(kBase));
}

TEST(RegKey, DestroyingAHolderClosesItsKey) {
    ScratchRegistry registry;
    CreateRegKey(kBase);
    // The handle table gives a freed slot to the next open: a raw open after
    // the holder is gone gets the handle the holder had, if it was closed.
    auto rawOpen = [] {
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kBase.c_str(), 0, KEY_READ, &key));
        return key;
    };
    HKEY probe = rawOpen();
    ::RegCloseKey(probe);
    {
        RegKey key;
        ASSERT_TRUE(key.OpenForWrite(HKEY_LOCAL_MACHINE, kBase.c_str()));
        HKEY whileHeld = rawOpen();
        EXPECT_NE(probe, whileHeld);  // the holder has the free slot
        ::RegCloseKey(whileHeld);
    }
    HKEY afterwards = rawOpen();
    EXPECT_EQ(probe, afterwards);
    ::RegCloseKey(afterwards);
}

TEST(RegKey, MovingHandsTheKeyOver) {
    ScratchRegistry registry;
    SetRegString(kBase, "Name", "Wert");
    RegKey first;
    ASSERT_TRUE(first.OpenForRead(HKEY_LOCAL_MACHINE, kBase.c_str()));
    RegKey second(std::move(first));
    EXPECT_FALSE(first.IsOpen());
    std::string text;
    EXPECT_TRUE(second.ReadString("Name", text));
    EXPECT_EQ("Wert", text);
    RegKey third;
    third = std::move(second);
    EXPECT_FALSE(second.IsOpen());
    EXPECT_TRUE(third.ReadString("Name", text));
}
