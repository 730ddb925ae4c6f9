#include "waiting.h"

#include <stdexcept>

namespace {

void PumpOwnMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

bool PollUntil(const std::function<bool()>& condition, DWORD timeout_ms, DWORD interval_ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        PumpOwnMessages();
        if (condition()) return true;
        if (GetTickCount() - start >= timeout_ms) return false;
        // Woken early by a message of this thread; the clock decides when to try again.
        const DWORD next_try = GetTickCount() + interval_ms;
        for (LONG left; (left = static_cast<LONG>(next_try - GetTickCount())) > 0;) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
            PumpOwnMessages();
        }
    }
}

void WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms, const std::string& what) {
    if (!PollUntil(condition, timeout_ms))
        throw std::runtime_error("timed out after " + std::to_string(timeout_ms / 1000) + " s waiting for " + what);
}
