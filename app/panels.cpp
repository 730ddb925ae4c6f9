#include "panels.h"

namespace {

constexpr char kPanelClass[] = "KestrunePanel";

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CONTEXTMENU:
            return SendMessageA(GetAncestor(window, GA_ROOT), message, wparam, lparam);
        default:
            return DefWindowProcA(window, message, wparam, lparam);
    }
}

void RegisterPanelClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSA panel_class = {};
    panel_class.lpfnWndProc = PanelProc;
    panel_class.hInstance = GetModuleHandleA(nullptr);
    panel_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    panel_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    panel_class.lpszClassName = kPanelClass;
    RegisterClassA(&panel_class);
    registered = true;
}

}  // namespace

HWND CreatePanel(HWND parent, int x, int y, int width, int height, bool lowered) {
    RegisterPanelClass();
    return CreateWindowExA(lowered ? WS_EX_STATICEDGE : 0, kPanelClass, "",
                           WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, x, y, width, height, parent,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

void PageStack::Show(HWND page) {
    // The new page appears before the old one goes, so nothing flickers through.
    ShowWindow(page, SW_SHOW);
    for (HWND other : pages_)
        if (other != page) ShowWindow(other, SW_HIDE);
    active_ = page;
}
