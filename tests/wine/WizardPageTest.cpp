// Wizard page base: side picture and etched lines, button mapping, cancel confirmation, placement.
#include "dialogs/WizardPage.h"
#include "resource.h"
#include "support/Library.h"
#include "support/PageDriver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

using namespace kivtest;
using kiv::dialogs::PageSettings;
using kiv::dialogs::ToInt;
using kiv::dialogs::WizardPage;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBackground = RGB(255, 0, 255);  // no system colour and no colour of the pictures
const wchar_t* const kUserPage = L"User Information";

// A bitmap of the DLL's resources as COLORREF pixels, rows top to bottom.
Image LoadPicture(HMODULE module, int id) {
    Image image;
    HBITMAP bitmap =
        static_cast<HBITMAP>(::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bitmap == nullptr) return image;
    BITMAP info;
    ::GetObjectA(bitmap, sizeof info, &info);
    image.width = info.bmWidth;
    image.height = info.bmHeight;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = image.width;
    format.bmiHeader.biHeight = -image.height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::vector<DWORD> bgra(static_cast<std::size_t>(image.width) * image.height);
    HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, bitmap, 0, image.height, bgra.data(), &format, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(bitmap);
    for (DWORD p : bgra) image.pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    return image;
}

// A hidden parent with a placeholder and a separator at known pixel places,
// painted into a 32-bit memory surface filled with kBackground.
class PaintBench {
public:
    static constexpr RECT kPicture{10, 12, 130, 252};
    static constexpr RECT kLine{10, 270, 310, 272};

    PaintBench() {
        parent_ =
            ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 50, 60, kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
        placeholder_ = Child(kPicture, IDC_SIDE_PICTURE);
        separator_ = Child(kLine, IDC_SEPARATOR);
        BITMAPINFO format{};
        format.bmiHeader.biSize = sizeof format.bmiHeader;
        format.bmiHeader.biWidth = kWidth;
        format.bmiHeader.biHeight = -kHeight;
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        dc_ = ::CreateCompatibleDC(nullptr);
        surface_ = ::CreateDIBSection(dc_, &format, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        previous_ = ::SelectObject(dc_, surface_);
        for (int i = 0; i < kWidth * kHeight; ++i) bits_[i] = 0xFF00FF;
    }
    ~PaintBench() {
        ::SelectObject(dc_, previous_);
        ::DeleteObject(surface_);
        ::DeleteDC(dc_);
        ::DestroyWindow(parent_);
    }

    HDC dc() const { return dc_; }
    HWND placeholder() const { return placeholder_; }
    HWND separator() const { return separator_; }
    COLORREF At(int x, int y) const {
        ::GdiFlush();
        DWORD p = bits_[y * kWidth + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int CountNot(COLORREF colour) const {
        int count = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) count += At(x, y) != colour;
        return count;
    }

private:
    static constexpr int kWidth = 400, kHeight = 300;
    HWND Child(const RECT& r, int id) {
        return ::CreateWindowExA(0, "STATIC", "", WS_CHILD, r.left, r.top, r.right - r.left, r.bottom - r.top, parent_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    HWND parent_, placeholder_, separator_;
    HDC dc_;
    HBITMAP surface_;
    HGDIOBJ previous_;
    DWORD* bits_ = nullptr;
};

// Sets the button-face colour for one test and puts the old one back.
class ButtonFace {
public:
    explicit ButtonFace(COLORREF colour) : old_(::GetSysColor(COLOR_BTNFACE)) { Set(colour); }
    ~ButtonFace() { Set(old_); }

private:
    static void Set(COLORREF colour) {
        INT element = COLOR_BTNFACE;
        ::SetSysColors(1, &element, &colour);
    }
    COLORREF old_;
};

// Checks the sunken frame and, inside it, the picture's own pixels from its
// top-left corner. at(x, y) reads a pixel in the page's client coordinates.
template <typename At>
void ExpectFramedPicture(const RECT& r, const Image& picture, COLORREF light, At at) {
    const COLORREF dark = ::GetSysColor(COLOR_BTNSHADOW);
    int wrong = 0;
    for (int y = r.top + 1; y <= r.bottom; ++y) wrong += at(r.left, y) != dark;        // left, dark
    for (int x = r.left; x < r.right; ++x) wrong += at(x, r.top) != dark;              // top, dark
    for (int x = r.left + 1; x < r.right; ++x) wrong += at(x, r.bottom) != light;      // bottom, light
    for (int y = r.top + 1; y <= r.bottom; ++y) wrong += at(r.right - 1, y) != light;  // right, light
    EXPECT_EQ(0, wrong) << "frame pixels off";
    int off = 0;
    for (int y = r.top + 1; y < r.bottom; ++y)
        for (int x = r.left + 1; x < r.right - 1; ++x) off += at(x, y) != picture.At(x - r.left, y - r.top);
    EXPECT_EQ(0, off) << "picture pixels differ from the bitmap's top-left part";
}

}  // namespace

TEST(PaintSidePicture, CopiesThePictureUnscaledCutAtThePlaceholderAndEtchesTheSeparator) {
    Library lib;
    Image picture = LoadPicture(lib.module(), IDB_SIDE_WIDE);
    ASSERT_EQ(218, picture.width);
    ASSERT_EQ(331, picture.height);
    ASSERT_NE(kWhite, ::GetSysColor(COLOR_BTNFACE));
    PaintBench bench;
    kiv::dialogs::PaintSidePicture(bench.dc(), bench.placeholder(), bench.separator(), lib.module(), IDB_SIDE_WIDE);

    const RECT& r = PaintBench::kPicture;
    ExpectFramedPicture(r, picture, kWhite, [&](int x, int y) { return bench.At(x, y); });
    // Nothing beyond the placeholder: the 218-pixel picture is cut at 120.
    for (int y = r.top; y <= r.bottom + 1; ++y) EXPECT_EQ(kBackground, bench.At(r.right, y)) << y;
    for (int x = r.left; x <= r.right; ++x) EXPECT_EQ(kBackground, bench.At(x, r.bottom + 1)) << x;
    EXPECT_EQ(kBackground, bench.At(r.left - 1, r.top));

    // Separator: a dark line along its top edge and a white one under it, end points left out.
    const RECT& line = PaintBench::kLine;
    const COLORREF dark = ::GetSysColor(COLOR_BTNSHADOW);
    for (int x = line.left; x < line.right; ++x) {
        EXPECT_EQ(kBackground, bench.At(x, line.top - 1)) << x;
        EXPECT_EQ(dark, bench.At(x, line.top)) << x;
        EXPECT_EQ(kWhite, bench.At(x, line.top + 1)) << x;
        EXPECT_EQ(kBackground, bench.At(x, line.top + 2)) << x;
    }
    EXPECT_EQ(kBackground, bench.At(line.right, line.top));
}

TEST(PaintSidePicture, OnAWhiteButtonFaceTheLightLinesTakeTheShadowColour) {
    Library lib;
    Image picture = LoadPicture(lib.module(), IDB_SIDE_NARROW);
    ASSERT_EQ(120, picture.width);
    ASSERT_EQ(258, picture.height);
    ButtonFace white(kWhite);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    PaintBench bench;
    kiv::dialogs::PaintSidePicture(bench.dc(), bench.placeholder(), bench.separator(), lib.module(), IDB_SIDE_NARROW);

    ExpectFramedPicture(PaintBench::kPicture, picture, shadow, [&](int x, int y) { return bench.At(x, y); });
    const RECT& line = PaintBench::kLine;
    for (int x = line.left; x < line.right; ++x) {
        EXPECT_EQ(shadow, bench.At(x, line.top)) << x;
        EXPECT_EQ(shadow, bench.At(x, line.top + 1)) << x;
    }
}

TEST(PaintSidePicture, MissingPiecesEndThePaintingSilently) {
    Library lib;
    {
        PaintBench bench;  // a bitmap id the resources lack: no picture, frame or separator
        kiv::dialogs::PaintSidePicture(bench.dc(), bench.placeholder(), bench.separator(), lib.module(), 4711);
        EXPECT_EQ(0, bench.CountNot(kBackground));
    }
    {
        PaintBench bench;  // no placeholder: not even the separator
        kiv::dialogs::PaintSidePicture(bench.dc(), nullptr, bench.separator(), lib.module(), IDB_SIDE_WIDE);
        EXPECT_EQ(0, bench.CountNot(kBackground));
    }
    {
        PaintBench bench;  // no separator: picture and frame only
        kiv::dialogs::PaintSidePicture(bench.dc(), bench.placeholder(), nullptr, lib.module(), IDB_SIDE_WIDE);
        EXPECT_NE(kBackground, bench.At(PaintBench::kPicture.left + 5, PaintBench::kPicture.top + 5));
        for (int x = PaintBench::kLine.left; x < PaintBench::kLine.right; ++x)
            EXPECT_EQ(kBackground, bench.At(x, PaintBench::kLine.top)) << x;
    }
    {
        PaintBench bench;  // a placeholder without a parent window
        HWND orphan = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
        kiv::dialogs::PaintSidePicture(bench.dc(), orphan, nullptr, lib.module(), IDB_SIDE_WIDE);
        ::DestroyWindow(orphan);
        EXPECT_EQ(0, bench.CountNot(kBackground));
    }
}

TEST(WizardPage, PaintsTheFramedPictureOnTheRealPage) {
    Library lib;
    Image picture = LoadPicture(lib.module(), IDB_SIDE_WIDE);
    PageDriver driver;
    driver.OnPage(kUserPage, [&](Window& page) {
        Image shot = page.Capture();
        RECT r = page.ControlRect(IDC_SIDE_PICTURE);
        EXPECT_LT(r.right - r.left, picture.width);
        EXPECT_LT(r.bottom - r.top, picture.height);
        auto at = [&](int x, int y) {
            POINT p = page.CapturePoint(POINT{x, y});
            return shot.At(p.x, p.y);
        };
        ExpectFramedPicture(r, picture, kWhite, at);
        // Right of the placeholder the page shows its own face, not the rest of the picture.
        EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), at(r.right, (r.top + r.bottom) / 2));
        EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), at(r.right + 2, r.top + 3));
        page.Click(IDOK);
    });
    EXPECT_EQ(1, driver.Run([&] { return lib.ShowTerviloUserName(nullptr, "Anna", 0); }));
}

TEST(WizardPage, AnUnknownBitmapLeavesThePictureAreaUnpaintedAndThePageWorks) {
    Library lib;
    PageSettings settings;
    settings.bitmapId = 4711;
    settings.hideBack = true;
    WizardPage page(IDD_USER_NAME, nullptr, settings, lib.module());
    PageDriver driver;
    driver.OnPage(kUserPage, [&](Window& window) {
        Image shot = window.Capture();
        RECT r = window.ControlRect(IDC_SIDE_PICTURE);
        const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        int painted = 0;
        for (int y = r.top; y <= r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                POINT p = window.CapturePoint(POINT{x, y});
                painted += shot.At(p.x, p.y) != face;
            }
        EXPECT_EQ(0, painted);
        window.PressEnter();
    });
    EXPECT_EQ(KIV_PAGE_NEXT, driver.Run([&] { return ToInt(page.Run()); }));
}

TEST(WizardPage, ButtonsMapToPageResults) {
    Library lib;
    struct Case {
        PageSettings settings;
        int press;  // a control id, or 0 for Escape
        int expected;
    };
    PageSettings confirming;
    confirming.bitmapId = IDB_SIDE_NARROW;
    PageSettings plain = confirming;
    plain.confirmCancel = false;
    plain.answersBack = true;
    const Case cases[] = {
        {plain, IDOK, KIV_PAGE_NEXT},
        {plain, IDC_BACK, KIV_PAGE_BACK},
        {plain, IDCANCEL, KIV_PAGE_CANCEL},  // no confirmation asked
        {plain, 0, KIV_PAGE_CANCEL},
    };
    for (const Case& c : cases) {
        WizardPage page(IDD_TARGET_FOLDER, nullptr, c.settings, lib.module());
        PageDriver driver;
        driver.OnPage(L"Zielpfad bestätigen", [&](Window& window) {
            EXPECT_TRUE(window.IsVisible(IDC_BACK));
            EXPECT_TRUE(window.HasFocus(IDOK));
            if (c.press == 0)
                window.PressEscape();
            else
                window.Click(c.press);
        });
        EXPECT_EQ(c.expected, driver.Run([&] { return ToInt(page.Run()); })) << "control " << c.press;
    }

    // A page without a Back handler ignores the command and stays open.
    WizardPage page(IDD_TARGET_FOLDER, nullptr, confirming, lib.module());
    PageDriver driver;
    driver.OnPage(L"Zielpfad bestätigen", [](Window& window) { window.Click(IDC_BACK); })
        .OnPage(L"Zielpfad bestätigen", [](Window& window) { window.Click(IDOK); });
    EXPECT_EQ(KIV_PAGE_NEXT, driver.Run([&] { return ToInt(page.Run()); }));
}

TEST(WizardPage, APageThatAQuitMessageEndsIsNoNext) {
    Library lib;
    PageDriver driver;
    driver.OnPage(kUserPage, [](Window&) { ::PostQuitMessage(0); });
    EXPECT_EQ(0, driver.Run([&] { return lib.ShowTerviloUserName(nullptr, "Anna", 0); }));

    PageSettings settings;
    WizardPage page(IDD_USER_NAME, nullptr, settings, lib.module());
    PageDriver direct;
    direct.OnPage(kUserPage, [](Window&) { ::PostQuitMessage(0); });
    EXPECT_EQ(KIV_PAGE_CANCEL, direct.Run([&] { return ToInt(page.Run()); }));
}

TEST(WizardPage, PagesThatCannotBeCreatedAnswerMinusOne) {
    Library lib;
    PageSettings settings;
    EXPECT_EQ(KIV_PAGE_FAILED, ToInt(WizardPage(4242, nullptr, settings, lib.module()).Run()));
    HWND gone = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ::DestroyWindow(gone);
    EXPECT_EQ(KIV_PAGE_FAILED, ToInt(WizardPage(IDD_USER_NAME, gone, settings, lib.module()).Run()));
    EXPECT_EQ(0, lib.ShowTerviloUserName(gone, "Anna", 0));

    class Unfillable : public WizardPage {
    public:
        using WizardPage::WizardPage;

    private:
        bool LoadControls() override { return false; }
    };
    PageDriver none;  // the page ends before it is shown
    EXPECT_EQ(KIV_PAGE_FAILED,
              none.Run([&] { return ToInt(Unfillable(IDD_USER_NAME, nullptr, settings, lib.module()).Run()); }));
}

TEST(WizardPage, AnExceptionInAHandlerEndsThePageAndReachesTheCaller) {
    Library lib;
    class Throwing : public WizardPage {
    public:
        using WizardPage::WizardPage;

    private:
        bool LoadControls() override { throw std::runtime_error("out of memory"); }
    };
    PageSettings settings;
    Throwing page(IDD_USER_NAME, nullptr, settings, lib.module());
    EXPECT_THROW(page.Run(), std::runtime_error);
    EXPECT_EQ(nullptr, ::FindWindowW(L"#32770", kUserPage));
}

TEST(CancelConfirmDialog, TextsPlaceAndAnswers) {
    Library lib;
    PageDriver driver;
    HWND pageWindow = nullptr;
    driver
        .OnPage(kUserPage,
                [&](Window& page) {
                    pageWindow = page.hwnd();
                    page.Click(IDCANCEL);
                })
        .AnswerCancelConfirmation(
            CancelAnswer::Continue,
            [&](Window& confirm) {
                EXPECT_EQ(pageWindow, confirm.Owner());
                EXPECT_EQ(L"&Fortsetzen", confirm.Text(IDOK));
                EXPECT_EQ(L"A&bbrechen", confirm.Text(IDCANCEL));
                EXPECT_TRUE(confirm.HasFocus(IDOK));
                // Not centred: its client area at the template position, from the page's client origin.
                RECT units = confirm.DialogUnitsToPixels(RECT{27, 43, 27 + 230, 43 + 114});
                POINT origin = Window(pageWindow).ClientToScreenPoint(POINT{0, 0});
                POINT client = confirm.ClientToScreenPoint(POINT{0, 0});
                EXPECT_EQ(origin.x + units.left, client.x);
                EXPECT_EQ(origin.y + units.top, client.y);
                std::vector<std::wstring> texts;
                for (HWND child = ::GetWindow(confirm.hwnd(), GW_CHILD); child != nullptr;
                     child = ::GetWindow(child, GW_HWNDNEXT)) {
                    char kind[16] = {};
                    ::GetClassNameA(child, kind, sizeof kind);
                    if (lstrcmpiA(kind, "Static") != 0) continue;
                    wchar_t text[300] = {};
                    ::GetWindowTextW(child, text, 300);
                    texts.push_back(text);
                    EXPECT_TRUE(::GetWindowLongA(child, GWL_STYLE) & SS_NOPREFIX);
                }
                EXPECT_EQ(
                    (std::vector<std::wstring>{
                        L"Setup wurde nicht abgeschlossen. Wenn Sie Setup jetzt abbrechen, wird das Programm nicht "
                        L"installiert.",
                        L"Sie können das Setup später ausführen, um die Installation abzuschließen. Klicken Sie auf "
                        L"Fortsetzen, um das Programm zu installieren.",
                        L"Klicken Sie auf Abbrechen, um das Setup zu beenden."}),
                    texts);
                confirm.SaveScreenshot("cancel-confirmation.png");
            })
        // "Fortsetzen" keeps the page with its contents.
        .OnPage(kUserPage,
                [](Window& page) {
                    EXPECT_EQ(L"Anna", page.Text(IDC_USER_NAME));
                    page.PressEscape();
                })
        .AnswerCancelConfirmation(CancelAnswer::CloseBox);
    EXPECT_EQ(0, driver.Run([&] { return lib.ShowTerviloUserName(nullptr, "Anna", 0); }));

    PageDriver escape;
    escape.OnPage(kUserPage, [](Window& page) { page.Click(IDCANCEL); })
        .OnWindow(
            "cancel confirmation", [](HWND hwnd) { return ::GetWindow(hwnd, GW_OWNER) != nullptr; },
            [](Window& confirm) { confirm.PressEscape(); });
    EXPECT_EQ(0, escape.Run([&] { return lib.ShowTerviloUserName(nullptr, "Anna", 0); }));
}

TEST(WizardPage, CentresOverItsOwnerOrTheWorkArea) {
    Library lib;
    HWND owner = ::CreateWindowExA(0, "STATIC", "Setup", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120, 90, 600, 450, nullptr,
                                   nullptr, nullptr, nullptr);
    auto centre = [](HWND hwnd) {
        RECT r;
        ::GetWindowRect(hwnd, &r);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    };
    PageDriver driver;
    driver.OnPage(kUserPage, [&](Window& page) {
        EXPECT_EQ(owner, page.Owner());
        POINT a = centre(page.hwnd()), b = centre(owner);
        EXPECT_LE(std::abs(a.x - b.x), 1);
        EXPECT_LE(std::abs(a.y - b.y), 1);
        page.Click(IDOK);
    });
    EXPECT_EQ(1, driver.Run([&] { return lib.ShowTerviloUserName(owner, "Anna", 0); }));
    ::DestroyWindow(owner);

    RECT work;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    PageDriver alone;
    alone.OnPage(kUserPage, [&](Window& page) {
        EXPECT_EQ(nullptr, page.Owner());
        POINT a = centre(page.hwnd());
        EXPECT_LE(std::abs(a.x - (work.left + work.right) / 2), 1);
        EXPECT_LE(std::abs(a.y - (work.top + work.bottom) / 2), 1);
        page.Click(IDOK);
    });
    EXPECT_EQ(1, alone.Run([&] { return lib.ShowTerviloUserName(nullptr, "Anna", 0); }));
}
