// Page driver: reads and operates the pages an export shows, from a thread timer.
#include "support/PageDriver.h"

#include "support/Png.h"

#include <gtest/gtest.h>

#include <utility>

namespace kivtest {

namespace {

constexpr UINT kTickMs = 50;
PageDriver* g_running = nullptr;  // the driver whose Run is on the stack

std::wstring WindowText(HWND hwnd) {
    int length = ::GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd, &text[0], length + 1)));
    return text;
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

bool IsDialog(HWND hwnd) {
    char name[16] = {};
    ::GetClassNameA(hwnd, name, sizeof name);
    return std::string(name) == "#32770";
}

void DrainQuit() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

}  // namespace

bool Image::SavePng(const std::string& path) const {
    std::vector<std::uint8_t> rgb;
    rgb.reserve(pixels.size() * 3);
    for (COLORREF pixel : pixels) rgb.insert(rgb.end(), {GetRValue(pixel), GetGValue(pixel), GetBValue(pixel)});
    return WritePng(path, width, height, rgb);
}

std::wstring Window::Title() const { return WindowText(hwnd_); }

std::wstring Window::Text(int id) const {
    HWND control = Control(id);
    EXPECT_NE(nullptr, control) << "no control " << id;
    return control != nullptr ? WindowText(control) : std::wstring();
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

std::vector<std::wstring> Window::ListEntries(int id) const {
    std::vector<std::wstring> entries;
    HWND list = Control(id);
    LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring entry(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        entry.resize(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&entry[0]))));
        entries.push_back(entry);
    }
    return entries;
}

int Window::ListSelection(int id) const { return static_cast<int>(::SendMessageW(Control(id), LB_GETCURSEL, 0, 0)); }

void Window::Click(int id) const {
    HWND button = Control(id);
    ASSERT_NE(nullptr, button) << "no button " << id;
    ASSERT_TRUE(::IsWindowVisible(button)) << "button " << id << " is hidden";
    ASSERT_TRUE(::IsWindowEnabled(button)) << "button " << id << " is disabled";
    ::PostMessageW(button, BM_CLICK, 0, 0);
}

void Window::Command(int id) const {
    ::PostMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Control(id)));
}

void Window::SelectListEntry(int id, int index) const {
    HWND list = Control(id);
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::PostMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void Window::PostKey(WPARAM key) const {
    // The dialog's modal loop turns keys on the focused control into commands.
    HWND focus = ::GetFocus();
    HWND target = focus != nullptr && (focus == hwnd_ || ::IsChild(hwnd_, focus)) ? focus : hwnd_;
    UINT scan = ::MapVirtualKeyA(static_cast<UINT>(key), 0);
    ::PostMessageW(target, WM_KEYDOWN, key, 1 | (static_cast<LPARAM>(scan) << 16));
    ::PostMessageW(target, WM_KEYUP, key, 1 | (static_cast<LPARAM>(scan) << 16) | (3u << 30));
}

void Window::PressEnter() const { PostKey(VK_RETURN); }
void Window::PressEscape() const { PostKey(VK_ESCAPE); }
void Window::PressCloseBox() const { ::PostMessageW(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0); }

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
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT frame;
    ::GetWindowRect(hwnd_, &frame);
    Image image;
    image.width = frame.right - frame.left;
    image.height = frame.bottom - frame.top;

    // BitBlt from the window DC: PrintWindow gives a blank picture under Wine.
    HDC windowDc = ::GetWindowDC(hwnd_);
    HDC memory = ::CreateCompatibleDC(windowDc);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib != nullptr) {
        HGDIOBJ previous = ::SelectObject(memory, dib);
        ::BitBlt(memory, 0, 0, image.width, image.height, windowDc, 0, 0, SRCCOPY);
        ::GdiFlush();
        const auto* bgra = static_cast<const std::uint32_t*>(bits);
        image.pixels.reserve(static_cast<std::size_t>(image.width) * image.height);
        for (int i = 0; i < image.width * image.height; ++i)
            image.pixels.push_back(RGB((bgra[i] >> 16) & 0xFF, (bgra[i] >> 8) & 0xFF, bgra[i] & 0xFF));
        ::SelectObject(memory, previous);
        ::DeleteObject(dib);
    }
    ::DeleteDC(memory);
    ::ReleaseDC(hwnd_, windowDc);
    EXPECT_NE(nullptr, dib) << "cannot capture the window";
    return image;
}

void Window::SaveScreenshot(const std::string& fileName) const {
    std::string path = DocsPath(fileName);
    EXPECT_TRUE(Capture().SavePng(path)) << "cannot write " << path;
}

PageDriver& PageDriver::OnPage(const std::wstring& title, Action action) {
    return OnWindow("page \"" + Narrow(title) + "\"", [title](HWND hwnd) { return WindowText(hwnd) == title; },
                    std::move(action));
}

PageDriver& PageDriver::OnWindow(const std::string& description, Match match, Action action) {
    steps_.push_back(Step{description, std::move(match), std::move(action)});
    return *this;
}

PageDriver& PageDriver::AnswerCancelConfirmation(CancelAnswer answer, Action check) {
    return OnWindow(
        "cancel confirmation",
        [](HWND hwnd) { return WindowText(hwnd) == L"Setup Abbrechen " && ::GetWindow(hwnd, GW_OWNER) != nullptr; },
        [answer, check](Window& confirmation) {
            if (check) check(confirmation);
            switch (answer) {
            case CancelAnswer::Continue: confirmation.Click(IDOK); break;
            case CancelAnswer::Abort: confirmation.Click(IDCANCEL); break;
            case CancelAnswer::CloseBox: confirmation.PressCloseBox(); break;
            }
        });
}

void CALLBACK PageDriver::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_running != nullptr) g_running->Tick();
}

void PageDriver::Tick() {
    // A step's action may pump messages (a nested dialog); never act twice at once.
    if (busy_) return;
    busy_ = true;
    HWND active = ActiveWindow();
    if (active != nullptr && ::IsWindowVisible(active)) {
        if (steps_.empty()) {
            // Nothing was meant to appear: note it and end it.
            if (IsDialog(active)) {
                unexpected_.push_back(WindowText(active));
                ::PostMessageW(active, WM_COMMAND, IDCANCEL, 0);
            }
        } else if (next_ < steps_.size() && steps_[next_].match(active)) {
            Window window(active);
            steps_[next_++].action(window);
        }
    }
    busy_ = false;
}

DWORD WINAPI PageDriver::Watchdog(LPVOID parameter) {
    auto* self = static_cast<PageDriver*>(parameter);
    DWORD wait = self->watchdogMs_;
    // Every modal loop that sees WM_QUIT ends and posts it again for the loop
    // around it; keep posting in case a loop swallows it.
    while (::WaitForSingleObject(self->finished_, wait) == WAIT_TIMEOUT) {
        ::InterlockedExchange(&self->watchdogFired_, 1);
        ::PostThreadMessageW(self->thread_, WM_QUIT, 0, 0);
        wait = 1000;
    }
    return 0;
}

int PageDriver::Run(const std::function<int()>& call) {
    EXPECT_EQ(nullptr, g_running) << "page drivers do not nest";
    g_running = this;
    thread_ = ::GetCurrentThreadId();
    finished_ = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE watchdog = ::CreateThread(nullptr, 0, &PageDriver::Watchdog, this, 0, nullptr);
    UINT_PTR timer = ::SetTimer(nullptr, 0, kTickMs, &PageDriver::OnTimer);

    int result = call();

    ::KillTimer(nullptr, timer);
    ::SetEvent(finished_);
    ::WaitForSingleObject(watchdog, INFINITE);
    ::CloseHandle(watchdog);
    ::CloseHandle(finished_);
    finished_ = nullptr;
    g_running = nullptr;
    DrainQuit();

    EXPECT_EQ(0, watchdogFired_) << "the watchdog had to end a page that never closed";
    for (std::size_t i = next_; i < steps_.size(); ++i) ADD_FAILURE() << "step never happened: " << steps_[i].description;
    for (const std::wstring& title : unexpected_) ADD_FAILURE() << "unexpected window: \"" << Narrow(title) << "\"";
    return result;
}

HWND ActiveWindow() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(::GetCurrentThreadId(), &info) ? info.hwndActive : nullptr;
}

std::string DocsPath(const std::string& fileName) { return std::string(KIV_TEST_DOCS_DIR) + "/" + fileName; }

}  // namespace kivtest
