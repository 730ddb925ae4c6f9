#include "closable_notice.h"

#include "ui_kit.h"

namespace {

// The notice whose box is about to open on this thread.
thread_local ClosableNotice* g_opening = nullptr;

// A thread hook for the life of one Show, which catches the box as it is activated.
class CbtHook {
public:
    explicit CbtHook(HOOKPROC procedure)
        : hook_(SetWindowsHookExA(WH_CBT, procedure, nullptr, GetCurrentThreadId())) {}
    ~CbtHook() {
        if (hook_) UnhookWindowsHookEx(hook_);
    }
    CbtHook(const CbtHook&) = delete;
    CbtHook& operator=(const CbtHook&) = delete;

private:
    HHOOK hook_;
};

bool IsDialogBox(HWND window) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpA(name, "#32770") == 0;
}

}  // namespace

LRESULT CALLBACK ClosableNotice::CatchBox(int code, WPARAM wparam, LPARAM lparam) {
    HWND activated = reinterpret_cast<HWND>(wparam);
    // Only the first box: another one may open over it while it is shown.
    if (code == HCBT_ACTIVATE && g_opening && IsDialogBox(activated)) {
        g_opening->box_ = activated;
        g_opening = nullptr;
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

void ClosableNotice::Show(HWND owner, const char* text) {
    if (box_) return;  // one at a time: the box already says it
    g_opening = this;
    {
        CbtHook hook(CatchBox);
        ShowInformation(owner, text);
    }
    g_opening = nullptr;
    box_ = nullptr;
}

void ClosableNotice::Close() {
    // The box goes from the screen at once; its message loop ends when control returns to it.
    if (box_ && IsWindow(box_)) EndDialog(box_, IDOK);
    box_ = nullptr;
}
