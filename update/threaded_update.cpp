// A threaded run: the worker thread only hands the run to the window's thread and waits for it,
// so every step, event and dialog runs there; the end is reported back on that thread too.
#include "online_update.h"
#include "update_folders.h"

namespace update {

namespace {

constexpr char kWindowClass[] = "KestruneUpdateRun";
constexpr UINT kRunMessage = WM_APP + 0x61;
constexpr UINT kDoneMessage = WM_APP + 0x62;

}  // namespace

class TOnlineUpdate::RunThread {
public:
    explicit RunThread(TOnlineUpdate& client) : client_(client) {
        WNDCLASSA window_class = {};
        window_class.lpfnWndProc = WindowProc;
        window_class.hInstance = GetModuleHandleA(nullptr);
        window_class.lpszClassName = kWindowClass;
        RegisterClassA(&window_class);  // fails harmlessly when already registered
        window_ = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  window_class.hInstance, nullptr);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~RunThread() {
        if (thread_) {
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
        }
        if (window_) DestroyWindow(window_);
    }
    RunThread(const RunThread&) = delete;
    RunThread& operator=(const RunThread&) = delete;

    bool Start() {
        if (!window_) return false;
        thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
        return thread_ != nullptr;
    }

private:
    static DWORD WINAPI ThreadMain(void* parameter) {
        auto* self = static_cast<RunThread*>(parameter);
        SendMessageA(self->window_, kRunMessage, 0, 0);
        PostMessageA(self->window_, kDoneMessage, 0, 0);
        return 0;
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        auto* self = reinterpret_cast<RunThread*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (!self || (message != kRunMessage && message != kDoneMessage))
            return DefWindowProcA(window, message, wparam, lparam);
        if (message == kRunMessage) {
            try {
                self->client_.Run();
            } catch (const std::exception& error) {
                self->client_.StopRun(error.what());
            } catch (...) {
                self->client_.StopRun("unexpected error");
            }
            return 0;
        }
        WaitForSingleObject(self->thread_, INFINITE);
        self->client_.ThreadDone();  // may end the program; touches nothing of this object after
        return 0;
    }

    TOnlineUpdate& client_;
    HWND window_ = nullptr;
    HANDLE thread_ = nullptr;
};

// Here, where the run thread's type is complete.
TOnlineUpdate::TOnlineUpdate(UpdateHost& host) : host_(host) {}

TOnlineUpdate::~TOnlineUpdate() {
    thread_.reset();
    Disconnect();
}

void TOnlineUpdate::StartThreadedUpdate() {
    if (busy_) return;
    thread_.reset();  // the previous run's thread has ended
    busy_ = true;
    thread_.reset(new RunThread(*this));
    if (!thread_->Start()) {
        // No thread: the run happens here, and its end is reported all the same.
        busy_ = false;
        thread_.reset();
        Run();
        if (OnThreadUpdateDone) OnThreadUpdateDone();
    }
}

void TOnlineUpdate::ThreadDone() {
    if (OnThreadUpdateDone) OnThreadUpdateDone();
    busy_ = false;
    Status(960, "", 0);
    if (RestartCondition()) {
        Status(961, "", 0);
        Restart();
    }
}

}  // namespace update
