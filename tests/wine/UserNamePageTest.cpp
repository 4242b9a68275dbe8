// ShowTerviloUserName: the user-name page, plain and greyed, driven through the loaded DLL.
#include "KivForIS55.h"
#include "resource.h"
#include "support/Library.h"
#include "support/PageDriver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace kivtest;

namespace {

const wchar_t* const kTitle = L"User Information";
const wchar_t* const kExplanation =
    L"Es wird ein AutoCAD Benutzerprofil erstellt entsprechend dem aktuell eingestellten Benutzer..\n"
    L"Bitte überprüfen Sie, ob der aktuelle Benutzer korrekt ist.\n"
    L"(Der Name dieses Profil ist \"TERVILO-Benutzername\")";

// The label has no id of its own: the static text that reads "Benutzername:".
HWND Label(const Window& page) {
    for (HWND child = ::GetWindow(page.hwnd(), GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[32] = {};
        ::GetWindowTextW(child, text, 32);
        if (std::wstring(text) == L"Benutzername:") return child;
    }
    return nullptr;
}

std::wstring FromAnsi(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                                               &wide[0], static_cast<int>(wide.size()))));
    return wide;
}

// The frame every user-name page shows, greyed or not.
void ExpectUserNameFrame(const Window& page) {
    EXPECT_EQ(kTitle, page.Title());
    EXPECT_EQ(kExplanation, page.Text(IDC_PAGE_TEXT));
    EXPECT_FALSE(page.IsVisible(IDC_BACK));
    EXPECT_TRUE(page.IsVisible(IDOK));
    EXPECT_TRUE(page.IsVisible(IDCANCEL));
    EXPECT_EQ(L"&Weiter >", page.Text(IDOK));
    EXPECT_EQ(L"Abbrechen", page.Text(IDCANCEL));
    EXPECT_EQ(L"< &Zurück", page.Text(IDC_BACK));
    EXPECT_TRUE(page.HasFocus(IDOK));
    EXPECT_TRUE(page.Style(IDC_USER_NAME) & ES_READONLY);
    EXPECT_NE(nullptr, Label(page));
    ::SendMessageW(page.Control(IDC_USER_NAME), WM_CHAR, L'x', 0);  // typing changes nothing
}

}  // namespace

TEST(ShowTerviloUserName, ShowsTheNameReadOnlyAndNextAccepts) {
    Library lib;
    PageDriver driver;
    driver.OnPage(kTitle, [](Window& page) {
        ExpectUserNameFrame(page);
        EXPECT_EQ(L"Anna Berger", page.Text(IDC_USER_NAME));
        EXPECT_TRUE(page.IsEnabled(IDC_PAGE_TEXT));
        EXPECT_TRUE(page.IsEnabled(IDC_USER_NAME));
        EXPECT_TRUE(::IsWindowEnabled(Label(page)));
        page.SaveScreenshot("user-name-page.png");
        page.Click(IDOK);
    });
    EXPECT_EQ(1, driver.Run([&] { return lib.ShowTerviloUserName(nullptr, "Anna Berger", 0); }));
}

TEST(ShowTerviloUserName, AnyNonZeroGreyedValueGreysTextLabelAndName) {
    Library lib;
    for (int greyed : {1, -1, 0x100}) {
        PageDriver driver;
        driver.OnPage(kTitle, [greyed](Window& page) {
            ExpectUserNameFrame(page);
            EXPECT_EQ(L"Anna Berger", page.Text(IDC_USER_NAME));
            EXPECT_FALSE(page.IsEnabled(IDC_PAGE_TEXT));
            EXPECT_FALSE(page.IsEnabled(IDC_USER_NAME));
            EXPECT_FALSE(::IsWindowEnabled(Label(page)));
            EXPECT_TRUE(page.IsEnabled(IDOK));
            if (greyed == 1) page.SaveScreenshot("user-name-page-greyed.png");
            page.PressEnter();  // Enter acts as Next
        });
        EXPECT_EQ(1, driver.Run([&] { return lib.ShowTerviloUserName(nullptr, "Anna Berger", greyed); })) << greyed;
    }
}

TEST(ShowTerviloUserName, EmptyNullLongAndUmlautNames) {
    Library lib;
    const std::string umlauts =
        "J\xfcrgen M\xfc\xdf"
        "ig";  // in the ANSI code page
    const std::string longName(300, 'n');
    struct Case {
        const char* argument;
        std::wstring shown;
    };
    const Case cases[] = {
        {"", L""}, {nullptr, L""}, {longName.c_str(), std::wstring(300, L'n')}, {umlauts.c_str(), FromAnsi(umlauts)}};
    for (const Case& c : cases) {
        PageDriver driver;
        driver.OnPage(kTitle, [&](Window& page) {
            EXPECT_EQ(c.shown, page.Text(IDC_USER_NAME));
            page.Click(IDOK);
        });
        EXPECT_EQ(1, driver.Run([&] { return lib.ShowTerviloUserName(nullptr, c.argument, 0); }));
    }
}

TEST(ShowTerviloUserName, CancelAsksAndOnlyAConfirmedCancelEndsWithZero) {
    Library lib;
    PageDriver driver;
    driver.OnPage(kTitle, [](Window& page) { page.Click(IDCANCEL); })
        .AnswerCancelConfirmation(CancelAnswer::Continue)
        .OnPage(kTitle,
                [](Window& page) {
                    EXPECT_EQ(L"Anna", page.Text(IDC_USER_NAME));
                    page.PressEscape();
                })
        .AnswerCancelConfirmation(CancelAnswer::Abort);
    EXPECT_EQ(0, driver.Run([&] { return lib.ShowTerviloUserName(nullptr, "Anna", 1); }));
    char text[KIV_BUFFER_SIZE];
    EXPECT_EQ(ERROR_CANCELLED, lib.KivGetLastError(text));
    EXPECT_NE(nullptr, std::strstr(text, "\"User Information\"")) << text;

    // The same 0 for a page that cannot be created, told apart by its error.
    PageDriver noPage;
    EXPECT_EQ(0, noPage.Run([&] { return lib.ShowTerviloUserName(reinterpret_cast<HWND>(0x7ff0), "Anna", 0); }));
    EXPECT_EQ(ERROR_INVALID_WINDOW_HANDLE, lib.KivGetLastError(nullptr));

    PageDriver next;  // the page works again after a cancelled run
    next.OnPage(kTitle, [](Window& page) { page.Click(IDOK); });
    EXPECT_EQ(1, next.Run([&] { return lib.ShowTerviloUserName(nullptr, "Anna", 0); }));
    EXPECT_EQ(0, lib.KivGetLastError(nullptr));
}
