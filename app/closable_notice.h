// An information box that the program can take down itself: the answer to a close while a
// worker runs ("正在执行...") must not outlive the run it asks the user to wait for.
#pragma once

#include <windows.h>

class ClosableNotice {
public:
    ClosableNotice() = default;
    ClosableNotice(const ClosableNotice&) = delete;
    ClosableNotice& operator=(const ClosableNotice&) = delete;

    // Shows text as ShowInformation does and returns when the user or Close ended the box; at
    // once while the box is already open.
    void Show(HWND owner, const char* text);
    // Ends the open box as its OK button would; nothing when none is open.
    void Close();

private:
    static LRESULT CALLBACK CatchBox(int code, WPARAM wparam, LPARAM lparam);
    HWND box_ = nullptr;
};
