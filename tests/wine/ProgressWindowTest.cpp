// The modeless progress window, driven through the four progress exports as a setup script does.
#include "dialogs/Dialog.h"
#include "support/Library.h"
#include "support/PageDriver.h"

#include "resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace kivtest;

namespace {

BOOL CALLBACK CollectProgressWindow(HWND window, LPARAM list) {
    char name[64] = {};
    ::GetClassNameA(::GetDlgItem(window, IDC_PROGRESS_BAR), name, sizeof name);
    if (std::string(name) == PROGRESS_CLASSA) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// Every window of this thread that carries the progress bar control.
std::vector<HWND> ProgressWindows() {
    std::vector<HWND> found;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectProgressWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND TheProgressWindow() {
    std::vector<HWND> windows = ProgressWindows();
    return windows.size() == 1 ? windows.front() : nullptr;
}

std::string ItemText(HWND window, int id) {
    char text[1024] = {};
    ::GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}

PBRANGE Range(HWND window) {
    PBRANGE range = {-1, -1};
    ::SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    return range;
}

int Position(HWND window) {
    return static_cast<int>(::SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
}

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

bool WaitCursorShown() { return ::GetCursor() == ::LoadCursorA(nullptr, IDC_WAIT); }

// A visible top-level window of this thread, standing in for the script's window.
class ScriptWindow {
public:
    ScriptWindow() {
        window_ = ::CreateWindowExA(0, "Static", "Setup", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 60, 500, 400, nullptr,
                                    nullptr, nullptr, nullptr);
    }
    ~ScriptWindow() {
        if (::IsWindow(window_)) ::DestroyWindow(window_);
    }
    HWND get() const { return window_; }

private:
    HWND window_ = nullptr;
};

class ProgressWindowTest : public ::testing::Test {
protected:
    // A failed test must not leave a window whose procedure goes away with the library.
    void TearDown() override { lib.KivRegProgDestroy(); }
    Library lib;
};

}  // namespace

TEST_F(ProgressWindowTest, OpensShownPaintedAndCentredOnTheWorkArea) {
    lib.KivStartRegProgress(nullptr, "Komponenten werden registriert\r\nBitte warten", 100);

    HWND window = TheProgressWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(::IsWindowVisible(window));
    RECT pending;
    EXPECT_FALSE(::GetUpdateRect(window, &pending, FALSE)) << "painted before the call returned";
    EXPECT_EQ(nullptr, ::GetWindow(window, GW_OWNER));
    EXPECT_EQ(::GetDlgItem(window, IDC_PROGRESS_BAR), ::GetFocus());

    EXPECT_EQ("Komponenten werden registriert\r\nBitte warten", ItemText(window, IDC_PROGRESS_HEADER));
    EXPECT_EQ(2, ::SendDlgItemMessageA(window, IDC_PROGRESS_HEADER, EM_GETLINECOUNT, 0, 0));
    EXPECT_EQ("Static", ItemText(window, IDC_PROGRESS_ITEM));
    PBRANGE range = Range(window);
    EXPECT_EQ(0, range.iLow);
    EXPECT_EQ(100, range.iHigh);
    EXPECT_EQ(0, Position(window));

    RECT work, placed;
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    ::GetWindowRect(window, &placed);
    EXPECT_NEAR(Centre(work).x, Centre(placed).x, 1);
    EXPECT_NEAR(Centre(work).y, Centre(placed).y, 1);
}

TEST_F(ProgressWindowTest, RangeKeepsTheLow16BitsOfTheMaximum) {
    const struct {
        int rangeMax;
        int high;
    } cases[] = {{65536, 0}, {-1, 65535}, {0, 0}, {65535, 65535}, {70000, 70000 - 65536}};
    for (const auto& c : cases) {
        lib.KivStartRegProgress(nullptr, "Header", c.rangeMax);
        HWND window = TheProgressWindow();
        ASSERT_NE(nullptr, window) << c.rangeMax;
        PBRANGE range = Range(window);
        EXPECT_EQ(0, range.iLow) << c.rangeMax;
        EXPECT_EQ(c.high, range.iHigh) << c.rangeMax;
        EXPECT_NE(0, lib.KivRegProgDestroy());
    }
}

TEST_F(ProgressWindowTest, NameAndPositionReachTheControls) {
    lib.KivStartRegProgress(nullptr, "Komponenten werden registriert", 10);
    HWND window = TheProgressWindow();
    ASSERT_NE(nullptr, window);

    lib.KivRegProgSetCurrName("TerviloCore.Arx");
    lib.KivRegProgSetCurrPos(4);
    EXPECT_EQ("TerviloCore.Arx", ItemText(window, IDC_PROGRESS_ITEM));
    EXPECT_EQ(4, Position(window));
    kivtest::Window(window).SaveScreenshot("progress-window.png");

    // Past either end the bar holds at that end.
    lib.KivRegProgSetCurrPos(1000);
    EXPECT_EQ(10, Position(window));
    lib.KivRegProgSetCurrPos(-3);
    EXPECT_EQ(0, Position(window));

    lib.KivRegProgSetCurrName(nullptr);
    EXPECT_EQ("", ItemText(window, IDC_PROGRESS_ITEM));
    std::string longName(600, 'x');
    lib.KivRegProgSetCurrName(longName.c_str());
    EXPECT_EQ(longName, ItemText(window, IDC_PROGRESS_ITEM));
}

TEST_F(ProgressWindowTest, LongHeaderIsKeptWholeAndNullHeaderIsEmpty) {
    std::string longLine(400, 'W');
    lib.KivStartRegProgress(nullptr, longLine.c_str(), 5);
    HWND window = TheProgressWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(longLine, ItemText(window, IDC_PROGRESS_HEADER));

    lib.KivStartRegProgress(nullptr, nullptr, 5);
    window = TheProgressWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_EQ("", ItemText(window, IDC_PROGRESS_HEADER));
}

TEST_F(ProgressWindowTest, DestroyTwiceGivesNonZeroThenZero) {
    lib.KivStartRegProgress(nullptr, "Header", 10);
    HWND window = TheProgressWindow();
    ASSERT_NE(nullptr, window);

    EXPECT_NE(0, lib.KivRegProgDestroy());
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(0, lib.KivRegProgDestroy());
}

TEST_F(ProgressWindowTest, CallsWithoutAnOpenWindowChangeNothing) {
    lib.KivRegProgSetCurrName("Vorher");
    lib.KivRegProgSetCurrPos(5);
    EXPECT_TRUE(ProgressWindows().empty());
    EXPECT_EQ(0, lib.KivRegProgDestroy());

    lib.KivStartRegProgress(nullptr, "Header", 10);
    lib.KivRegProgSetCurrName("Waehrend");
    lib.KivRegProgSetCurrPos(7);
    ASSERT_NE(0, lib.KivRegProgDestroy());

    lib.KivRegProgSetCurrName("Danach");
    lib.KivRegProgSetCurrPos(9);
    EXPECT_TRUE(ProgressWindows().empty());
    EXPECT_EQ(0, lib.KivRegProgDestroy());
}

TEST_F(ProgressWindowTest, WaitCursorIsHeldFromStartToDestroy) {
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    lib.KivStartRegProgress(nullptr, "Header", 10);
    HWND window = TheProgressWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(WaitCursorShown());

    // The mouse passing over the window keeps the wait cursor.
    ::SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_TRUE(WaitCursorShown());

    EXPECT_NE(0, lib.KivRegProgDestroy());
    EXPECT_EQ(::LoadCursorA(nullptr, IDC_ARROW), ::GetCursor());
}

TEST_F(ProgressWindowTest, SecondStartClosesTheFirstWindowAndItsHold) {
    lib.KivStartRegProgress(nullptr, "Erster", 10);
    HWND first = TheProgressWindow();
    ASSERT_NE(nullptr, first);

    lib.KivStartRegProgress(nullptr, "Zweiter", 20);
    EXPECT_FALSE(::IsWindow(first));
    HWND second = TheProgressWindow();
    ASSERT_NE(nullptr, second);
    EXPECT_EQ("Zweiter", ItemText(second, IDC_PROGRESS_HEADER));
    EXPECT_TRUE(WaitCursorShown());

    // One destroy is enough to close everything and give back the arrow.
    EXPECT_NE(0, lib.KivRegProgDestroy());
    EXPECT_TRUE(ProgressWindows().empty());
    EXPECT_EQ(::LoadCursorA(nullptr, IDC_ARROW), ::GetCursor());
    EXPECT_EQ(0, lib.KivRegProgDestroy());
}

TEST_F(ProgressWindowTest, CloseAndButtonCommandsLeaveTheWindowOpenUntilDestroy) {
    lib.KivStartRegProgress(nullptr, "Header", 10);
    HWND window = TheProgressWindow();
    ASSERT_NE(nullptr, window);

    // The default close handling posts a Cancel command, which the script's own loop dispatches.
    ::SendMessageA(window, WM_CLOSE, 0, 0);
    for (WPARAM id : {IDOK, IDCANCEL}) ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
    EXPECT_TRUE(::IsWindowVisible(window));
    lib.KivRegProgSetCurrPos(6);
    EXPECT_EQ(6, Position(window));
    EXPECT_NE(0, lib.KivRegProgDestroy());
    EXPECT_FALSE(::IsWindow(window));
}

TEST_F(ProgressWindowTest, OwnedWindowIsCentredOverItsOwner) {
    ScriptWindow script;
    ASSERT_NE(nullptr, script.get());
    lib.KivStartRegProgress(script.get(), "Header", 10);
    HWND window = TheProgressWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(script.get(), ::GetWindow(window, GW_OWNER));

    RECT owner, placed;
    ::GetWindowRect(script.get(), &owner);
    ::GetWindowRect(window, &placed);
    EXPECT_NEAR(Centre(owner).x, Centre(placed).x, 1);
    EXPECT_NEAR(Centre(owner).y, Centre(placed).y, 1);
}

TEST_F(ProgressWindowTest, OwnerClosedFirstLeavesNoDanglingWindow) {
    ScriptWindow script;
    lib.KivStartRegProgress(script.get(), "Header", 10);
    HWND window = TheProgressWindow();
    ASSERT_NE(nullptr, window);

    // Destroying the owner destroys the owned progress window with it.
    ::DestroyWindow(script.get());
    EXPECT_FALSE(::IsWindow(window));
    lib.KivRegProgSetCurrName("Danach");
    lib.KivRegProgSetCurrPos(3);
    EXPECT_EQ(0, lib.KivRegProgDestroy());
    EXPECT_EQ(::LoadCursorA(nullptr, IDC_ARROW), ::GetCursor());
}

TEST_F(ProgressWindowTest, FailedStartHoldsOnlyTheCursorUntilDestroy) {
    ScriptWindow script;
    HWND gone = script.get();
    ::DestroyWindow(gone);

    lib.KivStartRegProgress(gone, "Header", 10);
    EXPECT_TRUE(ProgressWindows().empty());
    EXPECT_TRUE(WaitCursorShown());
    lib.KivRegProgSetCurrName("Item");
    lib.KivRegProgSetCurrPos(5);

    EXPECT_EQ(0, lib.KivRegProgDestroy());
    EXPECT_EQ(::LoadCursorA(nullptr, IDC_ARROW), ::GetCursor());
}

TEST(ModelessDialog, AnExceptionWhileItIsMadeClosesItAndReachesTheCaller) {
    Library lib;
    class Throwing : public kiv::dialogs::ModelessDialog {
    public:
        explicit Throwing(HMODULE module) : ModelessDialog(IDD_PROGRESS, nullptr, module) {}

    private:
        bool OnInit() override { throw std::runtime_error("out of memory"); }
    };
    Throwing dialog(lib.module());
    EXPECT_THROW(dialog.Create(), std::runtime_error);
    EXPECT_TRUE(ProgressWindows().empty());
}

TEST(ProgressWindowUnload, ScriptUnloadingTheLibraryWithTheWindowOpenDoesNotCrash) {
    ScriptWindow script;
    HWND window = nullptr;
    {
        Library lib;
        lib.KivStartRegProgress(script.get(), "Header", 10);
        window = TheProgressWindow();
        ASSERT_NE(nullptr, window);
    }  // unloaded without KivRegProgDestroy

    // The window still runs its procedure, and goes with its owner.
    ::SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    ::InvalidateRect(window, nullptr, TRUE);
    ::UpdateWindow(window);
    ::DestroyWindow(script.get());
    EXPECT_FALSE(::IsWindow(window));
}

TEST(ProgressWindowUnload, DestroyLetsTheLibraryUnload) {
    Library lib;
    lib.KivStartRegProgress(nullptr, "Header", 10);
    EXPECT_NE(0, lib.KivRegProgDestroy());
    lib.Unload();
    EXPECT_EQ(nullptr, ::GetModuleHandleA("KivForIS55.dll"));
}
