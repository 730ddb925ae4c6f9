#include "styled_controls.h"

#include <commctrl.h>

#include <string>

#include "bar_buttons.h"
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

// The caption followed by "(&K)" for the access key K; unchanged without a key or when the
// caption already names one.
template <typename Char>
std::basic_string<Char> WithAccessKey(const Char* caption, char access_key) {
    std::basic_string<Char> text = caption;
    if (access_key && text.find(Char('&')) == std::basic_string<Char>::npos)
        text += {Char('('), Char('&'), Char(access_key), Char(')')};
    return text;
}

// A caption given later (SetWindowText) keeps the button's access key. The subclass makes the
// button a Unicode window, so the text may arrive in either form.
LRESULT CALLBACK KeepAccessKey(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                               DWORD_PTR access_key) {
    if (message == WM_SETTEXT && lparam) {
        const char key = static_cast<char>(access_key);
        if (IsWindowUnicode(window)) {
            const std::wstring text = WithAccessKey(reinterpret_cast<const wchar_t*>(lparam), key);
            return DefSubclassProc(window, message, wparam, reinterpret_cast<LPARAM>(text.c_str()));
        }
        const std::string text = WithAccessKey(reinterpret_cast<const char*>(lparam), key);
        return DefSubclassProc(window, message, wparam, reinterpret_cast<LPARAM>(text.c_str()));
    }
    return DefSubclassProc(window, message, wparam, lparam);
}

// Tab goes through a bar from left to right: the button follows the last sibling on its left.
void PlaceInTabOrderByPosition(HWND button, int x) {
    HWND after = HWND_TOP;
    for (HWND sibling = GetWindow(button, GW_HWNDFIRST); sibling; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
        RECT place;
        GetWindowRect(sibling, &place);
        MapWindowPoints(nullptr, GetParent(button), reinterpret_cast<POINT*>(&place), 2);
        if (sibling != button && place.left < x) after = sibling;
    }
    SetWindowPos(button, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace

HWND CreateBarButton(HWND parent, int id, const char* caption, int x, int width) {
    const char access_key = AccessKeyOf(id);
    HWND button = CreateControl(parent, {id, WC_BUTTONA, WithAccessKey(caption, access_key).c_str(), x, 3,
                                         width, 25, BS_OWNERDRAW | WS_TABSTOP});
    SetWindowSubclass(button, TrackHover, 1, 0);
    if (access_key) SetWindowSubclass(button, KeepAccessKey, 2, static_cast<DWORD_PTR>(access_key));
    PlaceInTabOrderByPosition(button, x);
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
    // "&N" draws an underlined N, hidden while the window keeps its keyboard cues hidden.
    const std::string caption = WindowText(item.hwndItem);
    DrawTextA(item.hDC, caption.c_str(), -1, &text_rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | (item.itemState & ODS_NOACCEL ? DT_HIDEPREFIX : 0));
    SelectObject(item.hDC, old_font);
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(item.hDC, &focus);
    }
    return true;
}

HWND CreateLinkLabel(HWND parent, int id, const char* caption, int x, int y, int width, int height) {
    HWND link = CreateControl(parent, {id, WC_STATICA, caption, x, y, width, height, SS_NOTIFY});
    SetFont(link, FontKind::kBold);
    SetWindowSubclass(link, TrackHover, 1, 1);
    return link;
}

bool IsLinkHot(HWND link) { return GetPropA(link, kHotProperty) != nullptr; }
