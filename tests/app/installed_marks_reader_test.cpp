// The software page's reads of the installed marks: only the latest read's answer is shown, and
// a forgotten read's never is.
#include <windows.h>

#include <vector>

#include "check.h"
#include "installed_marks_reader.h"

namespace {

constexpr UINT kMarksRead = WM_APP + 1;

std::vector<WPARAM> g_answered;

LRESULT CALLBACK AnswerWindow(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kMarksRead) {
        g_answered.push_back(wparam);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

// A message-only window that collects the reads' messages.
HWND MakeAnswerWindow() {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = AnswerWindow;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "KestruneMarksReaderTest";
    RegisterClassA(&window_class);
    return CreateWindowExA(0, window_class.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           window_class.hInstance, nullptr);
}

// Runs the window's messages until count answers have come (or a minute has passed).
void PumpUntilAnswered(std::size_t count) {
    const DWORD start = GetTickCount();
    MSG message;
    while (g_answered.size() < count && GetTickCount() - start < 60000) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(5);
    }
}

// Two programs of a catalogue whose working folder does not exist: nothing can be marked, but
// every line gets its mark.
const StringList kCatalogue = {"KEY-A|Program A|Photo Tools|1.0|5.1|6.1|32位",
                               "KEY-B|Program B|Photo Tools|1.0|5.1|6.1|32位"};
const char kNoFolder[] = "C:\\kestrune-marks-reader-no-such-folder";

}  // namespace

TEST(OnlyTheLatestReadIsShownAndAForgottenOneNever) {
    HWND window = MakeAnswerWindow();
    CHECK(window != nullptr);
    InstalledMarksReader reader;
    g_answered.clear();
    CHECK(reader.Start(window, kMarksRead, kNoFolder, "NM", kCatalogue, RegistryView::kDefault));
    CHECK(reader.Start(window, kMarksRead, kNoFolder, "NM", kCatalogue, RegistryView::kDefault));
    PumpUntilAnswered(2);
    CHECK_EQ(g_answered.size(), static_cast<std::size_t>(2));
    if (g_answered.size() != 2) return;
    const WPARAM first = g_answered[0] < g_answered[1] ? g_answered[0] : g_answered[1];
    const WPARAM second = first == g_answered[0] ? g_answered[1] : g_answered[0];

    std::vector<bool> marks = {true};
    CHECK(!reader.Take(first, marks));  // stale: a later read was started
    CHECK_EQ(marks, std::vector<bool>{true});
    CHECK(reader.Take(second, marks));
    CHECK_EQ(marks, (std::vector<bool>{false, false}));
    CHECK(!reader.Take(second, marks));  // taken once

    // A read forgotten after its start is never shown, however it ends.
    g_answered.clear();
    CHECK(reader.Start(window, kMarksRead, kNoFolder, "NM", kCatalogue, RegistryView::kDefault));
    reader.Forget();
    PumpUntilAnswered(1);
    CHECK_EQ(g_answered.size(), static_cast<std::size_t>(1));
    if (!g_answered.empty()) CHECK(!reader.Take(g_answered[0], marks));
    reader.Wait();
    DestroyWindow(window);
}
