// Runs work on the thread that created the invoker (the thread that owns COM and the window)
// and blocks the calling thread until it is done: a SendMessage to a message-only window.
// The owning thread must pump messages while workers run.
#pragma once

#include <windows.h>

#include <functional>

class MainThreadInvoker {
public:
    MainThreadInvoker();
    ~MainThreadInvoker();
    MainThreadInvoker(const MainThreadInvoker&) = delete;
    MainThreadInvoker& operator=(const MainThreadInvoker&) = delete;

    // Runs work on the owning thread and returns when it has finished; on the owning thread
    // itself it simply runs it. Exceptions thrown by work are carried back to the caller.
    void Invoke(const std::function<void()>& work);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    HWND window_ = nullptr;
    DWORD owner_thread_ = 0;
};
