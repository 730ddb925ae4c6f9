#include "whole_analysis_list_fill.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "bench_clock.h"
#include "catalogue_rows.h"
#include "catalogue_view.h"
#include "category_files.h"
#include "installed_marks_reader.h"
#include "machine_views.h"
#include "tqx.h"
#include "ui_kit.h"

namespace {

constexpr UINT kFillMessage = WM_APP + 1;
constexpr UINT kItemMessage = WM_APP + 2;
constexpr UINT kMarksMessage = WM_APP + 3;
constexpr UINT kPaintMessage = WM_APP + 4;

double Now() { return NowMilliseconds(); }

struct Page {
    HWND window = nullptr;
    HWND list = nullptr;
    TQX* engine = nullptr;
    std::string type;
    std::vector<CatalogueEntry> entries;
    ListFillTimes times;
    InstalledMarksReader marks_reader;
    double marks_started = 0;
    bool filled = false;
};

Page g_page;

// Slot 1 as the window's callbacks connect it: every line goes to the window with SendMessage.
int HandOverItem(const char* text) {
    SendMessageA(g_page.window, kItemMessage, 0, reinterpret_cast<LPARAM>(text));
    return 0;
}

// What the page's RefillList and ShowRows do for a change of filter, nothing ticked or searched:
// the rows at once, the marks read on another thread.
void Fill() {
    TQX& engine = *g_page.engine;
    ListFillTimes& times = g_page.times;
    const double start = Now();
    g_page.entries.clear();
    engine.ClearSoftwareList(g_page.type);
    engine.ListSoftware(g_page.type, kFilterAll, kFilterAll);
    const double listed = Now();
    const std::vector<const CatalogueEntry*> shown = ShownEntries(g_page.entries, "", SortOrder());
    HWND list = g_page.list;
    FillCatalogueRows(list, shown, -1, -1);
    const double shown_at = Now();
    g_page.marks_started = shown_at;
    const StringList* catalogue = engine.SoftwareListOf(g_page.type);
    if (!catalogue || !g_page.marks_reader.Start(g_page.window, kMarksMessage, engine.WorkDir, g_page.type,
                                                 *catalogue, MachineView()))
        g_page.filled = true;  // nothing to mark: the fill ends here
    times.list_ms = listed - start;
    times.rows_ms = shown_at - listed;
    times.fill_ms = shown_at - start;
    times.rows = ListRowCount(list);
    // The page's handler returns here and the list paints when the loop comes to it, after the
    // messages sent to the window meanwhile; the paint is timed on its own turn of the loop.
    PostMessageA(g_page.window, kPaintMessage, 0, 0);
}

void Paint() {
    const double start = Now();
    UpdateWindow(g_page.list);
    g_page.times.paint_ms = Now() - start;
}

// The marks shown as the page shows them: the rows redrawn, their cells asked for anew.
void ShowMarks(WPARAM read) {
    std::vector<bool> marks;
    if (!g_page.marks_reader.Take(read, marks)) return;
    SetInstalledMarks(g_page.entries, marks);
    InvalidateRect(g_page.list, nullptr, FALSE);
    UpdateWindow(g_page.list);
    g_page.times.marks_ms = Now() - g_page.marks_started;
    g_page.filled = true;
}

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case kItemMessage:
            g_page.entries.push_back(
                EntryOfLine(static_cast<int>(g_page.entries.size()), reinterpret_cast<const char*>(lparam)));
            return 0;
        case kFillMessage:
            Fill();
            return 0;
        case kPaintMessage:
            Paint();
            return 0;
        case kMarksMessage:
            ShowMarks(wparam);
            return 0;
        case WM_NOTIFY: {
            LRESULT result = 0;
            AnswerCatalogueNotice(*reinterpret_cast<const NMHDR*>(lparam), g_page.entries, result);
            return result;
        }
        default:
            return DefWindowProcA(window, message, wparam, lparam);
    }
}

// The software page's list: its place, styles and columns.
bool MakePage() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    if (!InitCommonControlsEx(&controls)) return false;
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = PageProc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    window_class.lpszClassName = "KestruneBenchSoftwarePage";
    if (!RegisterClassA(&window_class)) return false;
    g_page.window = CreateWindowExA(0, window_class.lpszClassName, "Kestrune bench", WS_OVERLAPPEDWINDOW, 0, 0, 820,
                                    460, nullptr, nullptr, window_class.hInstance, nullptr);
    if (!g_page.window) return false;
    g_page.list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                  WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, 8,
                                  32, 550, 374, g_page.window, nullptr, window_class.hInstance, nullptr);
    if (!g_page.list) return false;
    ListView_SetExtendedListViewStyle(g_page.list, LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    AddListColumn(g_page.list, "索引", 50);
    AddListColumn(g_page.list, "软件名称", 244);
    AddListColumn(g_page.list, "操作系统版本", 100, LVCFMT_CENTER);
    AddListColumn(g_page.list, "32位/64位", 78, LVCFMT_CENTER);
    AddListColumn(g_page.list, "状态", 56, LVCFMT_CENTER);
    ShowWindow(g_page.window, SW_SHOW);
    UpdateWindow(g_page.window);
    return true;
}

// Sends the window empty messages until told to stop, keeping the longest wait for an answer.
struct LoopWatch {
    std::atomic<bool> stop{false};
    double longest_ms = 0;
};

DWORD WINAPI WatchLoop(void* parameter) {
    LoopWatch& watch = *static_cast<LoopWatch*>(parameter);
    while (!watch.stop) {
        const double sent = Now();
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(g_page.window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer);
        watch.longest_ms = std::max(watch.longest_ms, Now() - sent);
        Sleep(1);
    }
    return 0;
}

}  // namespace

bool TimeListFill(TQX& engine, const std::string& type, ListFillTimes& times) {
    if (!g_page.window && !MakePage()) return false;
    g_page.engine = &engine;
    g_page.type = type;
    g_page.filled = false;
    g_page.times = ListFillTimes();
    const TQXCallback previous_slot = engine.OnSoftwareItem;
    engine.OnSoftwareItem = HandOverItem;

    LoopWatch watch;
    HANDLE watcher = CreateThread(nullptr, 0, WatchLoop, &watch, 0, nullptr);
    Sleep(20);  // the watcher is sending before the fill starts
    PostMessageA(g_page.window, kFillMessage, 0, 0);
    MSG message;
    while (!g_page.filled && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // A few more turns of the loop, so the watcher's waiting message is answered and counted.
    const double until = Now() + 50;
    while (Now() < until) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(1);
    }
    // The loop keeps turning while the watcher ends: it may be waiting for an answer.
    watch.stop = true;
    if (watcher) {
        while (MsgWaitForMultipleObjects(1, &watcher, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        CloseHandle(watcher);
    }
    engine.OnSoftwareItem = previous_slot;
    times = g_page.times;
    times.longest_block_ms = watch.longest_ms;
    return true;
}
