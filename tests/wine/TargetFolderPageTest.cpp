// KivShowTargeDir: the target-folder page, driven through the loaded DLL.
#include "KivForIS55.h"
#include "resource.h"
#include "support/Library.h"
#include "support/PageDriver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace kivtest;

namespace {

const wchar_t* const kTitle = L"Zielpfad bestätigen";

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The message as the page must show it, with the product in both places.
std::wstring ExpectedMessage(const std::wstring& product) {
    return L"Setup wird " + product +
           L" in folgenden Ordner\r\r\ninstallieren.\r\r\n\r\r\n"
           L"Klicken Sie auf Weter zur Installation in diesem Ordner.\r\r\n\r\r\n"
           L"Wählen Sie Abbrechen, um Setup zu beenden, wenn\r\r\n" +
           product + L" nicht installiert werden soll.";
}

// What every target-folder page shows for these arguments.
void ExpectTargetFolderPage(const Window& page, const std::string& folder, const std::string& product) {
    EXPECT_EQ(kTitle, page.Title());
    EXPECT_EQ(ExpectedMessage(Widen(product)), page.Text(IDC_TARGET_MESSAGE));
    EXPECT_EQ(Widen(folder), page.Text(IDC_TARGET_FOLDER));
    EXPECT_TRUE(page.Style(IDC_TARGET_MESSAGE) & ES_READONLY);
    EXPECT_TRUE(page.Style(IDC_TARGET_FOLDER) & ES_READONLY);
    EXPECT_TRUE(page.IsVisible(IDC_BACK));
    EXPECT_TRUE(page.IsVisible(IDOK));
    EXPECT_TRUE(page.IsVisible(IDCANCEL));
}

// The static frame around the folder box.
bool HasGroupBox(const Window& page, const std::wstring& caption) {
    for (HWND child = ::GetWindow(page.hwnd(), GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[64] = {};
        ::GetWindowTextW(child, text, 64);
        if (caption == text && (::GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) return true;
    }
    return false;
}

const char* const kFolder = "C:\\Programme\\Dorvasys\\TERVILO";

}  // namespace

TEST(KivShowTargeDir, ShowsMessageAndFolderAndNextGivesOne) {
    Library lib;
    PageDriver driver;
    driver.OnPage(kTitle, [](Window& page) {
        ExpectTargetFolderPage(page, kFolder, "TERVILO");
        EXPECT_TRUE(HasGroupBox(page, L"Zielordner"));
        EXPECT_TRUE(page.HasFocus(IDOK));
        page.SaveScreenshot("target-folder-page.png");
        page.Click(IDOK);
    });
    EXPECT_EQ(1, driver.Run([&] { return lib.KivShowTargeDir(nullptr, kFolder, "TERVILO"); }));
}

TEST(KivShowTargeDir, BackGivesFourAndEnterActsAsNext) {
    Library lib;
    PageDriver back;
    back.OnPage(kTitle, [](Window& page) { page.Click(IDC_BACK); });
    EXPECT_EQ(4, back.Run([&] { return lib.KivShowTargeDir(nullptr, kFolder, "TERVILO"); }));
    EXPECT_EQ(0, lib.KivGetLastError(nullptr));

    PageDriver enter;
    enter.OnPage(kTitle, [](Window& page) { page.PressEnter(); });
    EXPECT_EQ(1, enter.Run([&] { return lib.KivShowTargeDir(nullptr, kFolder, "TERVILO"); }));
}

TEST(KivShowTargeDir, CancelAsksFirstAndOnlyAbortEndsThePage) {
    Library lib;
    PageDriver driver;
    driver.OnPage(kTitle, [](Window& page) { page.Click(IDCANCEL); })
        .AnswerCancelConfirmation(CancelAnswer::Continue)
        .OnPage(kTitle,
                [](Window& page) {
                    // Still open, unchanged; Escape asks again.
                    ExpectTargetFolderPage(page, kFolder, "Dorva AT");
                    page.PressEscape();
                })
        .AnswerCancelConfirmation(CancelAnswer::Abort);
    EXPECT_EQ(2, driver.Run([&] { return lib.KivShowTargeDir(nullptr, kFolder, "Dorva AT"); }));
    char text[KIV_BUFFER_SIZE];
    EXPECT_EQ(ERROR_CANCELLED, lib.KivGetLastError(text));
    EXPECT_NE(nullptr, std::strstr(text, "\"Zielpfad best\xe4tigen\"")) << text;

    PageDriver closeBox;
    closeBox.OnPage(kTitle, [](Window& page) { page.Click(IDCANCEL); })
        .AnswerCancelConfirmation(CancelAnswer::CloseBox);
    EXPECT_EQ(2, closeBox.Run([&] { return lib.KivShowTargeDir(nullptr, kFolder, "Dorva AT"); }));
}

TEST(KivShowTargeDir, KeysInTheMessageBoxActOnThePage) {
    Library lib;
    // A multi-line box can keep Enter and Escape for itself; here they still reach the page.
    PageDriver escape;
    escape
        .OnPage(kTitle,
                [](Window& page) {
                    ::SetFocus(page.Control(IDC_TARGET_MESSAGE));
                    ASSERT_TRUE(page.HasFocus(IDC_TARGET_MESSAGE));
                    page.PressEscape();
                })
        .AnswerCancelConfirmation(CancelAnswer::Abort);
    EXPECT_EQ(2, escape.Run([&] { return lib.KivShowTargeDir(nullptr, kFolder, "TERVILO"); }));

    PageDriver enter;
    enter.OnPage(kTitle, [](Window& page) {
        ::SetFocus(page.Control(IDC_TARGET_MESSAGE));
        ASSERT_TRUE(page.HasFocus(IDC_TARGET_MESSAGE));
        page.PressEnter();
    });
    EXPECT_EQ(1, enter.Run([&] { return lib.KivShowTargeDir(nullptr, kFolder, "TERVILO"); }));
}

TEST(KivShowTargeDir, MissingArgumentsGiveTwoWithoutAWindow) {
    Library lib;
    const struct {
        const char* folder;
        const char* product;
    } cases[] = {{nullptr, "TERVILO"}, {"", "TERVILO"}, {kFolder, nullptr}, {kFolder, ""}, {nullptr, nullptr}};
    for (const auto& c : cases) {
        PageDriver noPage;  // fails the test if any page shows up
        EXPECT_EQ(2, noPage.Run([&] { return lib.KivShowTargeDir(nullptr, c.folder, c.product); }));
        EXPECT_EQ(ERROR_INVALID_PARAMETER, lib.KivGetLastError(nullptr));
    }
}

TEST(KivShowTargeDir, PercentSignsInTheProductNameAreInsertedLiterally) {
    Library lib;
    PageDriver driver;
    driver.OnPage(kTitle, [](Window& page) {
        ExpectTargetFolderPage(page, kFolder, "50%s%n%d");
        page.Click(IDOK);
    });
    EXPECT_EQ(1, driver.Run([&] { return lib.KivShowTargeDir(nullptr, kFolder, "50%s%n%d"); }));
}

TEST(KivShowTargeDir, OverLongFolderAndProductAreShownWhole) {
    Library lib;
    const std::string folder = "C:\\" + std::string(300, 'f');
    const std::string product(280, 'P');
    PageDriver driver;
    driver.OnPage(kTitle, [&](Window& page) {
        ExpectTargetFolderPage(page, folder, product);
        page.Click(IDOK);
    });
    EXPECT_EQ(1, driver.Run([&] { return lib.KivShowTargeDir(nullptr, folder.c_str(), product.c_str()); }));
}

TEST(KivShowTargeDir, PageOwnedByTheScriptWindowAndMinusOneWithoutIt) {
    Library lib;
    HWND script = ::CreateWindowExA(0, "Static", "Setup", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 600, 450, nullptr,
                                    nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, script);
    PageDriver driver;
    driver.OnPage(kTitle, [script](Window& page) {
        EXPECT_EQ(script, page.Owner());
        page.Click(IDOK);
    });
    EXPECT_EQ(1, driver.Run([&] { return lib.KivShowTargeDir(script, kFolder, "TERVILO"); }));

    // A handle that is no longer a window: the page cannot be created.
    ::DestroyWindow(script);
    PageDriver noPage;
    EXPECT_EQ(-1, noPage.Run([&] { return lib.KivShowTargeDir(script, kFolder, "TERVILO"); }));
    EXPECT_EQ(ERROR_INVALID_WINDOW_HANDLE, lib.KivGetLastError(nullptr));
}
