#include "styled_controls.h"

#include <commctrl.h>

#include "ui_kit.h"

namespace {

constexpr char kHotProperty[] = "KestruneHot";

// A link stands transparent on the banner picture: the picture under it is painted again first,
// or the blue of the hot state would stay behind the white text.
void Repaint(HWND window, bool is_link) {
    if (!is_link) {
        InvalidateRect(window, nullptr, TRUE);
        return;
    }
    RECT area;
    GetWindowRect(window, &area);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(GetParent(window), &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Keeps a "hot" mark while the mouse is over the control and repaints on every change.
LRESULT CALLBACK TrackHover(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR is_link) {
    switch (message) {
        case WM_MOUSEMOVE:
            if (!GetPropA(window, kHotProperty)) {
                SetPropA(window, kHotProperty, reinterpret_cast<HANDLE>(1));
                TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, window, 0};
                TrackMouseEvent(&track);
                if (is_link) SetFont(window, FontKind::kBoldUnderlined);
                Repaint(window, is_link);
            }
            break;
        case WM_MOUSELEAVE:
            RemovePropA(window, kHotProperty);
            if (is_link) SetFont(window, FontKind::kBold);
            Repaint(window, is_link);
            break;
        case WM_SETCURSOR:
            if (is_link) {
                SetCursor(LoadCursor(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        case WM_NCDESTROY:
            RemovePropA(window, kHotProperty);
            break;
    }
    return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace

HWND CreateBarButton(HWND parent, int id, const char* caption, int x, int width) {
    HWND button = CreateControl(parent, {id, WC_BUTTONA, caption, x, 3, width, 25, BS_OWNERDRAW | WS_TABSTOP});
    SetWindowSubclass(button, TrackHover, 1, 0);
    return button;
}

bool DrawBarButton(const DRAWITEMSTRUCT& item) {
    if (item.CtlType != ODT_BUTTON) return false;
    const bool pressed = item.itemState & ODS_SELECTED, disabled = item.itemState & ODS_DISABLED;
    const bool hot = GetPropA(item.hwndItem, kHotProperty) != nullptr;
    RECT rect = item.rcItem;
    HBRUSH face = CreateSolidBrush(pressed ? RGB(214, 224, 236) : hot ? RGB(230, 238, 248) : kButtonFace);
    FillRect(item.hDC, &rect, face);
    DeleteObject(face);
    HBRUSH frame = CreateSolidBrush(kButtonFrame);
    FrameRect(item.hDC, &rect, frame);
    if (hot && !disabled) {
        InflateRect(&rect, -1, -1);
        FrameRect(item.hDC, &rect, frame);
    }
    DeleteObject(frame);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, disabled ? GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 0));
    HGDIOBJ old_font = SelectObject(item.hDC, GetFont(FontKind::kDefault));
    RECT text_rect = item.rcItem;
    if (pressed) OffsetRect(&text_rect, 1, 1);
    const std::string caption = WindowText(item.hwndItem);
    DrawTextA(item.hDC, caption.c_str(), -1, &text_rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(item.hDC, old_font);
    return true;
}

HWND CreateLinkLabel(HWND parent, int id, const char* caption, int x, int y, int width, int height) {
    HWND link = CreateControl(parent, {id, WC_STATICA, caption, x, y, width, height, SS_NOTIFY});
    SetFont(link, FontKind::kBold);
    SetWindowSubclass(link, TrackHover, 1, 1);
    return link;
}

bool IsLinkHot(HWND link) { return GetPropA(link, kHotProperty) != nullptr; }
