// Holds the system timer resolution at 1 ms while it lives: the program keeps one from start to
// exit, so its waits and its one-second timer run on a fine clock.
#pragma once

#include <windows.h>
#include <mmsystem.h>

class TimerResolution {
public:
    TimerResolution() : raised_(timeBeginPeriod(kMilliseconds) == TIMERR_NOERROR) {}
    ~TimerResolution() {
        // Only a raise that took effect is undone, so the system's count stays balanced.
        if (raised_) timeEndPeriod(kMilliseconds);
    }
    TimerResolution(const TimerResolution&) = delete;
    TimerResolution& operator=(const TimerResolution&) = delete;

    bool IsRaised() const { return raised_; }

private:
    static constexpr UINT kMilliseconds = 1;
    bool raised_;
};
