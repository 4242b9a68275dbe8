// Win32 reading, operating and capture of windows for kivhost and the Wine tests.
#include "pagekit/Window.h"

#include "win32/Handles.h"

#include <cstdint>

namespace pagekit {

HWND ActiveWindow() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(::GetCurrentThreadId(), &info) ? info.hwndActive : nullptr;
}

std::wstring Text(HWND window) {
    int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, &text[0], length + 1)));
    return text;
}

std::string AnsiText(HWND window) {
    // Twice the wide length holds every double-byte code page.
    int length = ::GetWindowTextLengthW(window) * 2;
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(window, &text[0], length + 1)));
    return text;
}

bool HasClass(HWND window, const char* className) {
    char name[64] = "";
    ::GetClassNameA(window, name, sizeof name);
    return ::lstrcmpiA(name, className) == 0;
}

bool IsCheckBox(HWND window) {
    if (!HasClass(window, "Button")) return false;
    LONG type = ::GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

std::vector<std::wstring> ListEntries(HWND list) {
    std::vector<std::wstring> entries;
    LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring entry(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        entry.resize(
            static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&entry[0]))));
        entries.push_back(entry);
    }
    return entries;
}

void Click(HWND button) { ::PostMessageW(button, BM_CLICK, 0, 0); }

void Command(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

void SelectListEntry(HWND dialog, HWND list, int index) {
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void PostKey(HWND dialog, WPARAM key) {
    HWND focus = ::GetFocus();
    HWND target = focus != nullptr && (focus == dialog || ::IsChild(dialog, focus)) ? focus : dialog;
    LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyA(static_cast<UINT>(key), 0)) << 16;
    ::PostMessageW(target, WM_KEYDOWN, key, 1 | scan);
    ::PostMessageW(target, WM_KEYUP, key, 1 | scan | (3u << 30));
}

void PressCloseBox(HWND window) { ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

Image Capture(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT frame;
    Image image;
    if (!::GetWindowRect(window, &frame) || frame.right <= frame.left || frame.bottom <= frame.top) return image;
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;

    HDC windowDc = ::GetWindowDC(window);
    if (windowDc == nullptr) return image;
    kiv::ScopeExit releaseDc([&] { ::ReleaseDC(window, windowDc); });
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    kiv::UniqueGdiObject dib(::CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    kiv::UniqueMemoryDc memory(::CreateCompatibleDC(windowDc));
    if (!dib || !memory || bits == nullptr) return image;
    HGDIOBJ previous = ::SelectObject(memory.get(), dib.get());
    BOOL copied = ::BitBlt(memory.get(), 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    ::GdiFlush();
    ::SelectObject(memory.get(), previous);
    if (!copied) return image;
    const auto* bgra = static_cast<const std::uint32_t*>(bits);
    image.width = width;
    image.height = height;
    image.pixels.reserve(static_cast<std::size_t>(width) * height);
    for (int i = 0; i < width * height; ++i)
        image.pixels.push_back(RGB((bgra[i] >> 16) & 0xFF, (bgra[i] >> 8) & 0xFF, bgra[i] & 0xFF));
    return image;
}

}  // namespace pagekit
