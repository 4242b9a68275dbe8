// Page driver: reads and operates the pages an export shows, from a thread timer.
#include "support/PageDriver.h"

#include "pagekit/Window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

namespace kivtest {

namespace {

constexpr UINT kTickMs = 50;
PageDriver* g_running = nullptr;  // the driver whose Run is on the stack

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

}  // namespace

std::wstring Window::Title() const { return pagekit::Text(hwnd_); }

std::wstring Window::Text(int id) const {
    HWND control = Control(id);
    EXPECT_NE(nullptr, control) << "no control " << id;
    return control != nullptr ? pagekit::Text(control) : std::wstring();
}

bool Window::IsVisible(int id) const {
    HWND control = Control(id);
    return control != nullptr && ::IsWindowVisible(control);
}

bool Window::IsEnabled(int id) const {
    HWND control = Control(id);
    return control != nullptr && ::IsWindowEnabled(control);
}

bool Window::HasFocus(int id) const {
    HWND control = Control(id);
    return control != nullptr && ::GetFocus() == control;
}

LONG Window::Style(int id) const { return ::GetWindowLongA(Control(id), GWL_STYLE); }

std::vector<std::wstring> Window::ListEntries(int id) const { return pagekit::ListEntries(Control(id)); }

int Window::ListSelection(int id) const { return static_cast<int>(::SendMessageW(Control(id), LB_GETCURSEL, 0, 0)); }

void Window::Click(int id) const {
    HWND button = Control(id);
    ASSERT_NE(nullptr, button) << "no button " << id;
    ASSERT_TRUE(::IsWindowVisible(button)) << "button " << id << " is hidden";
    ASSERT_TRUE(::IsWindowEnabled(button)) << "button " << id << " is disabled";
    pagekit::Click(button);
}

void Window::Command(int id) const { pagekit::Command(hwnd_, id); }

void Window::SelectListEntry(int id, int index) const { pagekit::SelectListEntry(hwnd_, Control(id), index); }

void Window::PostKey(WPARAM key) const { pagekit::PostKey(hwnd_, key); }

void Window::PressEnter() const { PostKey(VK_RETURN); }
void Window::PressEscape() const { PostKey(VK_ESCAPE); }
void Window::PressCloseBox() const { pagekit::PressCloseBox(hwnd_); }

RECT Window::ControlRect(int id) const {
    RECT rect{};
    ::GetWindowRect(Control(id), &rect);
    ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT Window::DialogUnitsToPixels(RECT units) const {
    ::MapDialogRect(hwnd_, &units);
    return units;
}

POINT Window::ClientToScreenPoint(POINT client) const {
    ::ClientToScreen(hwnd_, &client);
    return client;
}

POINT Window::CapturePoint(POINT client) const {
    RECT frame;
    ::GetWindowRect(hwnd_, &frame);
    POINT screen = ClientToScreenPoint(client);
    return POINT{screen.x - frame.left, screen.y - frame.top};
}

Image Window::Capture() const {
    Image image = pagekit::Capture(hwnd_);
    EXPECT_FALSE(image.pixels.empty()) << "cannot capture the window";
    return image;
}

void Window::SaveScreenshot(const std::string& fileName) const {
    std::string path = ScreenshotPath(fileName);
    EXPECT_TRUE(pagekit::SavePng(Capture(), path)) << "cannot write " << path;
}

PageDriver::PageDriver(DWORD watchdogMs) : driver_(pagekit::TimerDriver::Settings{kTickMs, watchdogMs, 0, {}}) {}

PageDriver& PageDriver::OnPage(const std::wstring& title, Action action) {
    return OnWindow(
        "page \"" + Narrow(title) + "\"", [title](HWND hwnd) { return pagekit::Text(hwnd) == title; },
        std::move(action));
}

PageDriver& PageDriver::OnWindow(const std::string& description, Match match, Action action) {
    steps_.push_back(Step{description, std::move(match), std::move(action)});
    return *this;
}

PageDriver& PageDriver::AnswerCancelConfirmation(CancelAnswer answer, Action check) {
    return OnWindow(
        "cancel confirmation",
        [](HWND hwnd) { return pagekit::Text(hwnd) == L"Setup Abbrechen " && ::GetWindow(hwnd, GW_OWNER) != nullptr; },
        [answer, check](Window& confirmation) {
            if (check) check(confirmation);
            switch (answer) {
                case CancelAnswer::Continue:
                    confirmation.Click(IDOK);
                    break;
                case CancelAnswer::Abort:
                    confirmation.Click(IDCANCEL);
                    break;
                case CancelAnswer::CloseBox:
                    confirmation.PressCloseBox();
                    break;
            }
        });
}

void PageDriver::Tick() {
    HWND active = ActiveWindow();
    if (active == nullptr || !::IsWindowVisible(active)) return;
    if (steps_.empty()) {
        // Nothing was meant to appear: note it and end it.
        if (pagekit::HasClass(active, "#32770")) {
            unexpected_.push_back(pagekit::Text(active));
            ::PostMessageW(active, WM_COMMAND, IDCANCEL, 0);
        }
    } else if (next_ < steps_.size() && steps_[next_].match(active)) {
        Window window(active);
        steps_[next_++].action(window);
    }
}

int PageDriver::Run(const std::function<int()>& call) {
    EXPECT_EQ(nullptr, g_running) << "page drivers do not nest";
    g_running = this;
    int result = 0;
    driver_.Run([&] { result = call(); }, [this] { Tick(); });
    g_running = nullptr;

    EXPECT_FALSE(driver_.DeadlinePassed()) << "the watchdog had to end a page that never closed";
    for (std::size_t i = next_; i < steps_.size(); ++i)
        ADD_FAILURE() << "step never happened: " << steps_[i].description;
    for (const std::wstring& title : unexpected_) ADD_FAILURE() << "unexpected window: \"" << Narrow(title) << "\"";
    return result;
}

HWND ActiveWindow() { return pagekit::ActiveWindow(); }

std::string ScreenshotPath(const std::string& fileName) {
    const char* folder = std::getenv("KIV_SCREENSHOT_DIR");
    std::string path = folder != nullptr && *folder != '\0' ? folder : KIV_TEST_SCREENSHOT_DIR;
    ::CreateDirectoryA(path.c_str(), nullptr);  // fails harmlessly when it is there
    return path + "\\" + fileName;
}

}  // namespace kivtest
