// Runs a call that shows modal windows on the calling thread, with a thread timer that acts on them and a
// watchdog that ends the call after its deadline.
#pragma once

#include <windows.h>

#include <functional>

namespace pagekit {

class TimerDriver {
public:
    struct Settings {
        UINT tickMs = 50;
        DWORD deadlineMs = 0;  // 0: no watchdog
        // Called once on the watchdog thread when the call still runs graceMs after the deadline:
        // a call that pumps no messages cannot be ended by WM_QUIT.
        DWORD graceMs = 0;
        std::function<void()> onHung;
    };

    // Copies only its settings' worth while no call runs.
    explicit TimerDriver(Settings settings) : settings_(std::move(settings)) {}

    // Runs call with tick armed: a thread timer's WM_TIMER reaches whatever modal loop the call
    // runs. A tick that pumps messages is never entered again meanwhile. Drivers do not nest.
    void Run(const std::function<void()>& call, const std::function<void()>& tick);

    // From a tick: ends the modal loops of the call, each passing WM_QUIT on to the one around it.
    void EndCall() { ::PostQuitMessage(0); }

    // The watchdog had to end the last call.
    bool DeadlinePassed() const { return deadlinePassed_ != 0; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    static DWORD WINAPI Watchdog(LPVOID self);

    Settings settings_;
    const std::function<void()>* tick_ = nullptr;
    bool ticking_ = false;
    DWORD thread_ = 0;
    HANDLE finished_ = nullptr;
    volatile LONG deadlinePassed_ = 0;
};

}  // namespace pagekit
