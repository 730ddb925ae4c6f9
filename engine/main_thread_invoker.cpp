#include "main_thread_invoker.h"

#include <exception>

namespace {

constexpr char kWindowClass[] = "KestruneMainThreadInvoker";
constexpr UINT kInvokeMessage = WM_APP + 0x51;

struct Invocation {
    const std::function<void()>* work;
    std::exception_ptr error;
};

}  // namespace

LRESULT CALLBACK MainThreadInvoker::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != kInvokeMessage) return DefWindowProcA(window, message, wparam, lparam);
    auto* invocation = reinterpret_cast<Invocation*>(lparam);
    try {
        (*invocation->work)();
    } catch (...) {
        invocation->error = std::current_exception();
    }
    return 0;
}

MainThreadInvoker::MainThreadInvoker() : owner_thread_(GetCurrentThreadId()) {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = kWindowClass;
    RegisterClassA(&window_class);  // fails harmlessly when already registered
    window_ = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, window_class.hInstance,
                              nullptr);
}

MainThreadInvoker::~MainThreadInvoker() {
    if (window_) DestroyWindow(window_);
}

void MainThreadInvoker::Invoke(const std::function<void()>& work) {
    if (GetCurrentThreadId() == owner_thread_ || !window_) {
        work();
        return;
    }
    Invocation invocation{&work, nullptr};
    SendMessageA(window_, kInvokeMessage, 0, reinterpret_cast<LPARAM>(&invocation));
    if (invocation.error) std::rethrow_exception(invocation.error);
}
