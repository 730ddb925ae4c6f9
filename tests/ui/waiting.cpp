#include "waiting.h"

#include <stdexcept>

namespace {

constexpr DWORD kPollInterval = 25;

void PumpOwnMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

bool PollUntil(const std::function<bool()>& condition, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        PumpOwnMessages();
        if (condition()) return true;
        if (GetTickCount() - start >= timeout_ms) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollInterval, QS_ALLINPUT);
    }
}

void WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms, const std::string& what) {
    if (!PollUntil(condition, timeout_ms))
        throw std::runtime_error("timed out after " + std::to_string(timeout_ms / 1000) + " s waiting for " + what);
}
