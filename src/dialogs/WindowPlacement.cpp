// The module handle of the library and the centring of its dialogs.
#include "dialogs/WindowPlacement.h"

#include <algorithm>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace kiv::dialogs {

HINSTANCE LibraryModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

void CenterOverOwner(HWND window) {
    HWND owner = ::GetWindow(window, GW_OWNER);
    const bool overOwner = owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner);

    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromWindow(overOwner ? owner : window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;

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
