// Waiting for a condition instead of sleeping a fixed time: the condition is polled while this
// thread's own messages are pumped, since replies to SendMessageCallback arrive through them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// How long the window may take to react to a click or a message, and to finish an analysis or
// a clean-up. Generous: a loaded machine must not turn a slow reaction into a failure.
constexpr DWORD kReactionTimeout = 30 * 1000;
constexpr DWORD kWorkerTimeout = 10 * 60 * 1000;

// True as soon as condition holds, false when timeout_ms passed first. The condition is tried
// every interval_ms.
bool PollUntil(const std::function<bool()>& condition, DWORD timeout_ms, DWORD interval_ms = 25);
// The same, but a timeout throws std::runtime_error("timed out after N s waiting for " + what).
void WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms, const std::string& what);
