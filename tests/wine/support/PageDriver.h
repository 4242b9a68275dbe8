// Drives the pages an export shows on the calling thread: a script of steps,
// each waiting for a window and acting on it, run from a thread timer inside
// the export's own modal loop; a watchdog ends a page that never closes.
#pragma once

#include "pagekit/Image.h"
#include "pagekit/TimerDriver.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace kivtest {

using Image = pagekit::Image;

// Reads and operates a dialog window the way a user would.
class Window {
public:
    explicit Window(HWND hwnd = nullptr) : hwnd_(hwnd) {}

    HWND hwnd() const { return hwnd_; }
    HWND Owner() const { return ::GetWindow(hwnd_, GW_OWNER); }
    HWND Control(int id) const { return ::GetDlgItem(hwnd_, id); }
    std::wstring Title() const;

    // Texts as wide characters, so that umlauts compare by code point.
    std::wstring Text(int id) const;
    bool Exists(int id) const { return Control(id) != nullptr; }
    bool IsVisible(int id) const;
    bool IsEnabled(int id) const;
    bool HasFocus(int id) const;
    LONG Style(int id) const;
    std::vector<std::wstring> ListEntries(int id) const;
    int ListSelection(int id) const;  // LB_ERR when none

    // Posted, so the step returns before the page reacts. Click refuses
    // (and fails the test for) a hidden or disabled button, as a user would.
    void Click(int id) const;
    void Command(int id) const;  // the command a button sends, even a hidden one
    void SelectListEntry(int id, int index) const;
    void PressEnter() const;
    void PressEscape() const;
    void PressCloseBox() const;

    // Geometry: a control in client coordinates, dialog units in pixels.
    RECT ControlRect(int id) const;
    RECT DialogUnitsToPixels(RECT units) const;
    POINT ClientToScreenPoint(POINT client) const;

    // The whole window, frame included, freshly painted; CapturePoint maps a
    // client point into it.
    Image Capture() const;
    POINT CapturePoint(POINT client) const;
    // Saves Capture() as a PNG in the screenshot folder.
    void SaveScreenshot(const std::string& fileName) const;

private:
    void PostKey(WPARAM key) const;
    HWND hwnd_;
};

enum class CancelAnswer { Continue, Abort, CloseBox };

class PageDriver {
public:
    using Action = std::function<void(Window&)>;
    using Match = std::function<bool(HWND)>;

    explicit PageDriver(DWORD watchdogMs = 20000);

    // Waits until the active window of this thread is visible and has this title.
    PageDriver& OnPage(const std::wstring& title, Action action);
    PageDriver& OnWindow(const std::string& description, Match match, Action action);
    // Waits for "Setup Abbrechen " owned by a page, optionally checks it, then answers.
    PageDriver& AnswerCancelConfirmation(CancelAnswer answer, Action check = {});

    // Runs the export call with the steps armed. Fails the test when a step
    // never happened, when the watchdog had to end a page, or, for a driver
    // without steps, when any page appeared.
    int Run(const std::function<int()>& call);

private:
    struct Step {
        std::string description;
        Match match;
        Action action;
    };
    void Tick();

    pagekit::TimerDriver driver_;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    std::vector<std::wstring> unexpected_;
};

// The active window of the calling thread (GetGUIThreadInfo).
HWND ActiveWindow();

// A file name in the screenshot folder: KIV_SCREENSHOT_DIR when set (scripts/screenshots.sh
// names docs/ there), else one in the build tree, so that a test run changes no tracked file.
std::string ScreenshotPath(const std::string& fileName);

}  // namespace kivtest
