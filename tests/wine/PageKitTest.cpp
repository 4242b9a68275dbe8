// The window tooling shared by kivhost and the tests: PNG screenshots, and the watchdog that ends a page.
#include "support/Image.h"
#include "support/Library.h"
#include "support/PageDriver.h"
#include "support/Scratch.h"

#include "pagekit/Image.h"
#include "pagekit/TimerDriver.h"
#include "pagekit/Window.h"

#include <gtest/gtest.h>

using namespace kivtest;

TEST(PageKit, ScreenshotsAreSmallPngsThatDecodeToTheCapturedPixels) {
    Library lib;
    ScratchFolder dir;
    const struct {
        const wchar_t* title;
        int (*show)(Library&);
    } pages[] = {
        {L"User Information", [](Library& l) { return l.ShowTerviloUserName(nullptr, "Anna Berger", 1); }},
        {L"Zielpfad best\u00e4tigen",
         [](Library& l) { return l.KivShowTargeDir(nullptr, "C:\\Programme\\Dorvasys\\TERVILO", "TERVILO"); }},
    };
    for (const auto& page : pages) {
        SCOPED_TRACE(std::string(page.title, page.title + wcslen(page.title)));
        pagekit::Image captured;
        std::string path = dir / "page.png";
        PageDriver driver;
        driver.OnPage(page.title, [&](Window& window) {
            captured = window.Capture();
            EXPECT_TRUE(pagekit::SavePng(captured, path));
            window.Click(IDOK);
        });
        EXPECT_EQ(1, driver.Run([&] { return page.show(lib); }));
        pagekit::Image decoded = DecodeImageFile(path);
        ASSERT_EQ(captured.width, decoded.width);
        ASSERT_EQ(captured.height, decoded.height);
        EXPECT_TRUE(captured.pixels == decoded.pixels);
        // Tens of kilobytes, where the same pixels stored uncompressed take about half a megabyte.
        std::size_t bytes = ReadFile(path).size();
        EXPECT_LT(bytes, 100u * 1024) << bytes;
        EXPECT_GT(bytes, 1000u);
    }
    EXPECT_TRUE(pagekit::EncodePng(pagekit::Image{}).empty());
    EXPECT_FALSE(pagekit::SavePng(pagekit::Image{2, 2, {RGB(1, 2, 3)}}, dir / "short.png"));
    EXPECT_FALSE(FileExists(dir / "short.png"));
}

TEST(PageKit, TheWatchdogEndsAPageNobodyAnswersAndTheTicksStop) {
    Library lib;
    int ticks = 0, ticksOnPage = 0;
    pagekit::TimerDriver driver(pagekit::TimerDriver::Settings{20, 1500, 0, {}});
    int result = 0;
    DWORD started = ::GetTickCount();
    driver.Run([&] { result = lib.KivShowTargeDir(nullptr, "C:\\x", "TERVILO"); },
               [&] {
                   ++ticks;
                   if (pagekit::ActiveWindow() != nullptr) ++ticksOnPage;
               });
    DWORD took = ::GetTickCount() - started;
    EXPECT_TRUE(driver.DeadlinePassed());
    EXPECT_GE(took, 1400u);
    EXPECT_GT(ticksOnPage, 0);
    // Once the call is back, nothing ticks and no WM_QUIT is left for the caller's own loop.
    int before = ticks;
    MSG message;
    EXPECT_FALSE(::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    ::Sleep(100);
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
    EXPECT_EQ(before, ticks);
    EXPECT_NE(1, result);

    // A call that returns in time leaves the watchdog quiet.
    pagekit::TimerDriver quick(pagekit::TimerDriver::Settings{20, 1500, 0, {}});
    quick.Run([] {}, [] {});
    EXPECT_FALSE(quick.DeadlinePassed());
}
