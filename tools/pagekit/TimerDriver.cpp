// Thread timer and watchdog around a call that runs modal loops.
#include "pagekit/TimerDriver.h"

#include "win32/Handles.h"

namespace pagekit {

namespace {

TimerDriver* g_running = nullptr;  // the timer procedure gets no context of its own

}  // namespace

void CALLBACK TimerDriver::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    TimerDriver* self = g_running;
    if (self == nullptr || self->ticking_ || self->tick_ == nullptr) return;
    self->ticking_ = true;
    (*self->tick_)();
    self->ticking_ = false;
}

DWORD WINAPI TimerDriver::Watchdog(LPVOID parameter) {
    auto* self = static_cast<TimerDriver*>(parameter);
    DWORD wait = self->settings_.deadlineMs;
    DWORD overdue = 0;
    bool reported = false;
    // A modal loop that sees WM_QUIT ends and posts it again for the loop around it; keep
    // posting in case a loop swallows it.
    while (::WaitForSingleObject(self->finished_, wait) == WAIT_TIMEOUT) {
        if (self->deadlinePassed_ != 0) overdue += wait;
        ::InterlockedExchange(&self->deadlinePassed_, 1);
        ::PostThreadMessageW(self->thread_, WM_QUIT, 0, 0);
        if (!reported && self->settings_.onHung && self->settings_.graceMs != 0 && overdue >= self->settings_.graceMs) {
            reported = true;
            self->settings_.onHung();
        }
        wait = 1000;
    }
    return 0;
}

void TimerDriver::Run(const std::function<void()>& call, const std::function<void()>& tick) {
    TimerDriver* outer = g_running;
    g_running = this;
    tick_ = &tick;
    thread_ = ::GetCurrentThreadId();
    deadlinePassed_ = 0;
    kiv::UniqueKernelObject finished(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    finished_ = finished.get();
    kiv::UniqueKernelObject watchdog;
    if (settings_.deadlineMs != 0 && finished)
        watchdog.reset(::CreateThread(nullptr, 0, &TimerDriver::Watchdog, this, 0, nullptr));
    UINT_PTR timer = ::SetTimer(nullptr, 0, settings_.tickMs, &TimerDriver::OnTimer);

    call();

    ::KillTimer(nullptr, timer);
    if (finished) ::SetEvent(finished.get());
    if (watchdog) ::WaitForSingleObject(watchdog.get(), INFINITE);
    finished_ = nullptr;
    tick_ = nullptr;
    g_running = outer;
    // The WM_QUIT that ended a modal loop is posted again by each loop it ends; it was ours.
    MSG message;
    while (::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

}  // namespace pagekit
