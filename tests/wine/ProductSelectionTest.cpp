// KivGetMainAcadData: product discovery, the product page and what the script gets back.
#include "KivForIS55.h"
#include "resource.h"
#include "support/Library.h"
#include "support/PageDriver.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace kivtest;

namespace {

const wchar_t* const kTitle = L"AutoCAD Produkt festlegen";
const char* const kUntouched = "untouched";

void AddProduct(const std::string& key, const std::string& name, const std::string& folder) {
    std::string path = std::string(kAcadReleaseKey) + "\\" + key;
    SetRegString(path, "ProductId", "Id-" + key);
    SetRegString(path, "ProductName", name);
    SetRegString(path, "AcadLocation", folder);
}

std::string CurVer() {
    std::string value;
    return GetRegString(kAcadReleaseKey, "CurVer", value) ? value : "<none>";
}

void DeleteCurVer() {
    HKEY release = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAcadReleaseKey, 0, KEY_SET_VALUE, &release));
    ::RegDeleteValueA(release, "CurVer");
    ::RegCloseKey(release);
}

// The script's two buffers, preset so that an untouched buffer shows.
struct Buffers {
    char folder[KIV_BUFFER_SIZE];
    char key[KIV_BUFFER_SIZE];
    Buffers() {
        std::strcpy(folder, kUntouched);
        std::strcpy(key, kUntouched);
    }
};

int Call(Library& lib, Buffers& out, int altPage = 0, int dash4Only = 0, HWND owner = nullptr) {
    return lib.KivGetMainAcadData(owner, out.folder, out.key, altPage, dash4Only);
}

// Two products whose names sort against the registry's (alphabetical) key order.
void AddTwoProducts() {
    AddProduct("ACAD-1001:407", "Zeichnen 2000", "C:\\Programme\\Zeichnen");
    AddProduct("ACAD-2002:407", "Architektur 2000", "C:\\Programme\\ACAD Architektur\\");
    ASSERT_EQ((std::vector<std::string>{"ACAD-1001:407", "ACAD-2002:407"}), RegSubKeys(kAcadReleaseKey));
}

// Lets everyone read a key but neither set its values nor create sub-keys
// below it, for as long as it lives; then puts the key's own access list back.
class WriteDeniedKey {
public:
    explicit WriteDeniedKey(const std::string& keyPath) {
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, READ_CONTROL | WRITE_DAC, &key_) != ERROR_SUCCESS)
            return;
        DWORD size = 0;
        ::RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, nullptr, &size);
        saved_.resize(size);
        if (size == 0 || ::RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data(), &size) != ERROR_SUCCESS)
            return;

        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        PSID everyone = nullptr;
        if (!::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) return;
        std::vector<BYTE> acl(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + ::GetLengthSid(everyone));
        PACL dacl = reinterpret_cast<PACL>(acl.data());
        ::InitializeAcl(dacl, static_cast<DWORD>(acl.size()), ACL_REVISION);
        ::AddAccessAllowedAce(dacl, ACL_REVISION, KEY_READ | WRITE_DAC, everyone);
        ::FreeSid(everyone);
        SECURITY_DESCRIPTOR descriptor;
        ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
        ::SetSecurityDescriptorDacl(&descriptor, TRUE, dacl, FALSE);
        denied_ = ::RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
    }
    ~WriteDeniedKey() {
        if (denied_) ::RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data());
        if (key_ != nullptr) ::RegCloseKey(key_);
    }
    WriteDeniedKey(const WriteDeniedKey&) = delete;
    WriteDeniedKey& operator=(const WriteDeniedKey&) = delete;

    bool denied() const { return denied_; }

private:
    HKEY key_ = nullptr;
    std::vector<BYTE> saved_;
    bool denied_ = false;
};

// Two products on a scratch registry, the library loaded, the buffers preset.
class KivGetMainAcadDataTwoProducts : public ::testing::Test {
protected:
    void SetUp() override { AddTwoProducts(); }
    ScratchRegistry registry;
    Library lib;
    Buffers out;
};

}  // namespace

TEST_F(KivGetMainAcadDataTwoProducts, ListedByNameAndNextTakesThePreselectedOne) {
    PageDriver driver;
    driver.OnPage(kTitle, [](Window& page) {
        EXPECT_EQ(
            L"Mehrere AutoCAD Produkte Version 2000 wurden gefunden.\nWählen Sie ein AutoCAD Produkt aus der "
            L"unten dargestellten Liste. TERVILO wird weiters mit diesem Produkt verbunden.",
            page.Text(IDC_PAGE_TEXT));
        EXPECT_EQ((std::vector<std::wstring>{L"Architektur 2000", L"Zeichnen 2000"}),
                  page.ListEntries(IDC_PRODUCT_LIST));
        EXPECT_EQ(0, page.ListSelection(IDC_PRODUCT_LIST));
        EXPECT_FALSE(page.Exists(IDC_BACK));
        EXPECT_FALSE(page.IsVisible(IDCANCEL));
        EXPECT_TRUE(page.IsVisible(IDOK));
        EXPECT_TRUE(page.HasFocus(IDOK));
        page.SaveScreenshot("product-page.png");
        page.Click(IDOK);
    });
    driver.Run([&] { return Call(lib, out); });
    EXPECT_STREQ("ACAD-2002:407", out.key);
    EXPECT_STREQ("C:\\Programme\\ACAD Architektur\\", out.folder);  // as stored, trailing backslash and all
    EXPECT_EQ("ACAD-2002:407", CurVer());
}

TEST_F(KivGetMainAcadDataTwoProducts, AnotherSelectionMapsToItsOwnKey) {
    PageDriver driver;
    driver.OnPage(kTitle, [](Window& page) {
        page.SelectListEntry(IDC_PRODUCT_LIST, 1);
        page.PressEnter();
    });
    driver.Run([&] { return Call(lib, out); });
    EXPECT_STREQ("ACAD-1001:407", out.key);
    EXPECT_STREQ("C:\\Programme\\Zeichnen", out.folder);
    EXPECT_EQ("ACAD-1001:407", CurVer());
}

TEST(KivGetMainAcadData, IdenticalNamesEachGiveTheirOwnProduct) {
    ScratchRegistry registry;
    const std::map<std::string, std::string> folders = {
        {"ACAD-1001:407", "C:\\Erstes"}, {"ACAD-2002:407", "C:\\Zweites"}, {"ACAD-3003:407", "C:\\Drittes"}};
    for (const auto& [key, folder] : folders) AddProduct(key, "AutoCAD 2000", folder);
    Library lib;
    // Where the sorted list puts an equal name is the list box's business: each
    // entry must give a product of its own, with that product's folder.
    std::set<std::string> chosen;
    for (int entry : {0, 1, 2}) {
        Buffers out;
        PageDriver driver;
        driver.OnPage(kTitle, [entry](Window& page) {
            EXPECT_EQ(std::vector<std::wstring>(3, L"AutoCAD 2000"), page.ListEntries(IDC_PRODUCT_LIST));
            page.SelectListEntry(IDC_PRODUCT_LIST, entry);
            page.Click(IDOK);
        });
        driver.Run([&] { return Call(lib, out); });
        ASSERT_EQ(1u, folders.count(out.key)) << entry << ": " << out.key;
        EXPECT_EQ(folders.at(out.key), out.folder) << entry;
        EXPECT_EQ(out.key, CurVer()) << entry;
        chosen.insert(out.key);
    }
    EXPECT_EQ(3u, chosen.size());
}

TEST_F(KivGetMainAcadDataTwoProducts, WhenCurVerCannotBeWrittenTheFolderIsStillTheChosenOnes) {
    // What the release key itself holds must not leak in when "CurVer" names nothing.
    SetRegString(kAcadReleaseKey, "AcadLocation", "C:\\Release");
    const struct {
        const char* curVer;  // nullptr: none recorded
        int entry;
        const char* key;
        const char* folder;
    } cases[] = {
        {"ACAD-1001:407", 0, "ACAD-2002:407", "C:\\Programme\\ACAD Architektur\\"},
        {"ACAD-2002:407", 1, "ACAD-1001:407", "C:\\Programme\\Zeichnen"},
        {nullptr, 1, "ACAD-1001:407", "C:\\Programme\\Zeichnen"},
    };
    for (const auto& c : cases) {
        if (c.curVer != nullptr)
            SetRegString(kAcadReleaseKey, "CurVer", c.curVer);
        else
            DeleteCurVer();
        const std::string before = CurVer();

        WriteDeniedKey denied(kAcadReleaseKey);
        ASSERT_TRUE(denied.denied());
        HKEY probe = nullptr;
        ASSERT_EQ(ERROR_ACCESS_DENIED, ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kAcadReleaseKey, 0, nullptr, 0,
                                                         KEY_ALL_ACCESS, nullptr, &probe, nullptr));

        Buffers out;
        PageDriver driver;
        driver.OnPage(kTitle, [&c](Window& page) {
            page.SelectListEntry(IDC_PRODUCT_LIST, c.entry);
            page.Click(IDOK);
        });
        driver.Run([&] { return Call(lib, out); });
        EXPECT_STREQ(c.key, out.key) << c.entry;
        EXPECT_STREQ(c.folder, out.folder) << c.entry;
        EXPECT_EQ(before, CurVer()) << c.entry;
        EXPECT_EQ(ERROR_ACCESS_DENIED, lib.KivGetLastError(nullptr)) << c.entry;
    }
}

TEST_F(KivGetMainAcadDataTwoProducts, EscapeAsksAndAConfirmedCancelWritesNothing) {
    SetRegString(kAcadReleaseKey, "CurVer", "ACAD-1001:407");
    PageDriver driver;
    driver.OnPage(kTitle, [](Window& page) { page.PressEscape(); })
        .AnswerCancelConfirmation(CancelAnswer::Continue)
        .OnPage(kTitle, [](Window& page) { page.PressEscape(); })
        .AnswerCancelConfirmation(CancelAnswer::Abort);
    driver.Run([&] { return Call(lib, out); });
    EXPECT_STREQ(kUntouched, out.key);
    EXPECT_STREQ(kUntouched, out.folder);
    EXPECT_EQ("ACAD-1001:407", CurVer());
    char text[KIV_BUFFER_SIZE];
    EXPECT_EQ(ERROR_CANCELLED, lib.KivGetLastError(text));
    EXPECT_NE(nullptr, std::strstr(text, "\"AutoCAD Produkt festlegen\"")) << text;
}

TEST_F(KivGetMainAcadDataTwoProducts, APageThatCannotBeCreatedWritesNothing) {
    SetRegString(kAcadReleaseKey, "CurVer", "ACAD-1001:407");
    HWND gone = ::CreateWindowExA(0, "Static", "Setup", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ::DestroyWindow(gone);
    PageDriver noPage;
    noPage.Run([&] { return Call(lib, out, 0, 0, gone); });
    EXPECT_EQ(ERROR_INVALID_WINDOW_HANDLE, lib.KivGetLastError(nullptr));
    EXPECT_STREQ(kUntouched, out.key);
    EXPECT_STREQ(kUntouched, out.folder);
    EXPECT_EQ("ACAD-1001:407", CurVer());
}

TEST_F(KivGetMainAcadDataTwoProducts, AltPageNamesDorvaAtAndWorks) {
    PageDriver driver;
    driver.OnPage(kTitle, [](Window& page) {
        EXPECT_EQ(
            L"Mehrere AutoCAD Produkte Version 2000 wurden gefunden.\nWählen Sie ein AutoCAD Produkt aus der "
            L"unten dargestellten Liste. Dorva AT wird weiters mit diesem Produkt verbunden.",
            page.Text(IDC_PAGE_TEXT));
        EXPECT_EQ(2u, page.ListEntries(IDC_PRODUCT_LIST).size());
        EXPECT_FALSE(page.IsVisible(IDCANCEL));
        page.Click(IDOK);
    });
    driver.Run([&] { return Call(lib, out, 7); });
    EXPECT_STREQ("ACAD-2002:407", out.key);
    EXPECT_STREQ("C:\\Programme\\ACAD Architektur\\", out.folder);
}

TEST(KivGetMainAcadData, OneProductIsTakenWithoutAPage) {
    ScratchRegistry registry;
    AddProduct("ACAD-1001:407", "AutoCAD 2000", "C:\\Programme\\AutoCAD 2000");
    SetRegString(kAcadReleaseKey, "CurVer", "ACAD-0815:407");
    Library lib;
    Buffers out;
    PageDriver noPage;
    noPage.Run([&] { return Call(lib, out, 1); });  // altPage has no effect with one product
    EXPECT_STREQ("ACAD-1001:407", out.key);
    EXPECT_STREQ("C:\\Programme\\AutoCAD 2000", out.folder);
    EXPECT_EQ("ACAD-1001:407", CurVer());
    EXPECT_EQ(0, lib.KivGetLastError(nullptr));

    // Null buffers are skipped; the choice is still recorded.
    SetRegString(kAcadReleaseKey, "CurVer", "ACAD-0815:407");
    EXPECT_EQ(0, lib.KivGetMainAcadData(nullptr, nullptr, nullptr, 0, 0));
    EXPECT_EQ("ACAD-1001:407", CurVer());
}

TEST(KivGetMainAcadData, WithDash4OnlyTheRemainingProductIsTakenSilently) {
    ScratchRegistry registry;
    AddProduct("ACAD-1001:407", "AutoCAD 2000", "C:\\A");
    AddProduct("ACAD-4001:407", "AutoCAD 2000i", "C:\\B");  // "-4" after the first character
    Library lib;
    Buffers out;
    PageDriver noPage;
    noPage.Run([&] { return Call(lib, out, 0, 1); });
    EXPECT_STREQ("ACAD-4001:407", out.key);
    EXPECT_STREQ("C:\\B", out.folder);
}

TEST(KivGetMainAcadData, NothingToChooseWritesNothing) {
    ScratchRegistry registry;
    Library lib;
    {
        Buffers out;  // no AutoCAD 2000 at all
        Call(lib, out);
        EXPECT_STREQ(kUntouched, out.key);
        EXPECT_STREQ(kUntouched, out.folder);
        EXPECT_EQ(ERROR_NOT_FOUND, lib.KivGetLastError(nullptr));
    }
    {
        // One product whose name cannot be read.
        SetRegString(std::string(kAcadReleaseKey) + "\\ACAD-1001:407", "ProductId", "x");
        Buffers out;
        Call(lib, out);
        EXPECT_STREQ(kUntouched, out.key);
        EXPECT_STREQ(kUntouched, out.folder);
        EXPECT_EQ("<none>", CurVer());
        EXPECT_EQ(ERROR_NOT_FOUND, lib.KivGetLastError(nullptr));
    }
    {
        // No product with "-4".
        AddProduct("ACAD-1001:407", "AutoCAD 2000", "C:\\A");
        Buffers out;
        Call(lib, out, 0, 1);
        EXPECT_STREQ(kUntouched, out.key);
        EXPECT_EQ("<none>", CurVer());
        EXPECT_EQ(ERROR_NOT_FOUND, lib.KivGetLastError(nullptr));
    }
}

TEST(KivGetMainAcadData, AProductWithoutANameIsNotOffered) {
    ScratchRegistry registry;
    AddProduct("ACAD-1001:407", "Zeichnen 2000", "C:\\Z");
    SetRegString(std::string(kAcadReleaseKey) + "\\ACAD-2002:407", "ProductId", "x");  // no "ProductName"
    AddProduct("ACAD-3003:407", "Architektur 2000", "C:\\A");
    Library lib;
    Buffers out;
    PageDriver driver;
    driver.OnPage(kTitle, [](Window& page) {
        EXPECT_EQ((std::vector<std::wstring>{L"Architektur 2000", L"Zeichnen 2000"}),
                  page.ListEntries(IDC_PRODUCT_LIST));
        page.SelectListEntry(IDC_PRODUCT_LIST, 1);
        page.Click(IDOK);
    });
    driver.Run([&] { return Call(lib, out); });
    EXPECT_STREQ("ACAD-1001:407", out.key);
    EXPECT_STREQ("C:\\Z", out.folder);
}

TEST(KivGetMainAcadData, OverLongAndMissingFoldersLeaveTheFolderBufferAlone) {
    ScratchRegistry registry;
    Library lib;
    // 259 characters fit with the terminating zero; 260 do not.
    const std::string fits = "C:\\" + std::string(256, 'f');
    AddProduct("ACAD-1001:407", "AutoCAD 2000", fits);
    {
        Buffers out;
        Call(lib, out);
        EXPECT_STREQ("ACAD-1001:407", out.key);
        EXPECT_EQ(fits, out.folder);
    }
    SetRegString(std::string(kAcadReleaseKey) + "\\ACAD-1001:407", "AcadLocation", fits + "g");
    {
        char folder[KIV_BUFFER_SIZE + 64];
        std::memset(folder, '#', sizeof folder);
        folder[sizeof folder - 1] = '\0';
        char key[KIV_BUFFER_SIZE];
        std::strcpy(key, kUntouched);
        lib.KivGetMainAcadData(nullptr, folder, key, 0, 0);
        EXPECT_STREQ("ACAD-1001:407", key);
        EXPECT_EQ(std::string(sizeof folder - 1, '#'), folder);
        EXPECT_EQ("ACAD-1001:407", CurVer());
        EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, lib.KivGetLastError(nullptr));
    }
    SetRegString(std::string(kAcadReleaseKey) + "\\ACAD-1001:407", "AcadLocation", "");
    {
        Buffers out;
        Call(lib, out);
        EXPECT_STREQ("ACAD-1001:407", out.key);
        EXPECT_STREQ(kUntouched, out.folder);
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, lib.KivGetLastError(nullptr));
    }
}
