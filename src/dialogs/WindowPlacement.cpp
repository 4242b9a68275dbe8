// The module handle of the library and the centring of its dialogs.
#include "dialogs/WindowPlacement.h"

#include "win32/Module.h"

#include <algorithm>

namespace kiv::dialogs {

HINSTANCE LibraryModule() { return module::Library(); }

namespace {

// Windows NT 4.0 has neither function, so they are looked up at run time.
using MonitorFromWindowFunction = HMONITOR(WINAPI*)(HWND, DWORD);
using GetMonitorInfoFunction = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);

template <typename Function>
Function User32Function(const char* name) {
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    return user32 != nullptr ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)))
                             : nullptr;
}

// The work area of the monitor that shows window, or the primary monitor's
// where the system knows only one.
RECT WorkAreaOf(HWND window) {
    const auto monitorFromWindow = User32Function<MonitorFromWindowFunction>("MonitorFromWindow");
    const auto getMonitorInfo = User32Function<GetMonitorInfoFunction>("GetMonitorInfoA");
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (monitorFromWindow != nullptr && getMonitorInfo != nullptr &&
        getMonitorInfo(monitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return monitor.rcWork;
    RECT work = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

}  // namespace

void CenterOverOwner(HWND window) {
    HWND owner = ::GetWindow(window, GW_OWNER);
    const bool overOwner = owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner);

    const RECT work = WorkAreaOf(overOwner ? owner : window);

    RECT target = work;
    if (overOwner) ::GetWindowRect(owner, &target);
    RECT own;
    ::GetWindowRect(window, &own);
    const LONG width = own.right - own.left;
    const LONG height = own.bottom - own.top;

    LONG left = (target.left + target.right - width) / 2;
    LONG top = (target.top + target.bottom - height) / 2;
    // Left and top win over right and bottom when the window is larger than the work area.
    left = std::max(work.left, std::min(left, work.right - width));
    top = std::max(work.top, std::min(top, work.bottom - height));
    ::SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kiv::dialogs
