#include "keyboard_navigation.h"

#include <commctrl.h>

#include <algorithm>

#include "bar_buttons.h"

namespace {

void CollectTabStops(HWND parent, std::vector<HWND>& stops) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        if (!(style & WS_VISIBLE) || (style & WS_DISABLED)) continue;
        if (style & WS_TABSTOP) stops.push_back(child);
        // Panels, and tab controls with their pages and lists, hold controls of their own.
        CollectTabStops(child, stops);
    }
}

bool IsShownAndEnabled(HWND window) { return IsWindowVisible(window) && IsWindowEnabled(window); }

bool IsPushButton(HWND window) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    const LONG type = GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK;
    return lstrcmpiA(name, WC_BUTTONA) == 0 &&
           (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW);
}

// The control's WM_GETDLGCODE for the key: an open drop-down list asks for Enter and Esc.
UINT DialogCode(const MSG& message) {
    return static_cast<UINT>(
        SendMessageA(message.hwnd, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message)));
}

// As a click does: the button takes the focus and its handler runs. A hidden or disabled button
// is not pressed.
void Press(HWND button) {
    if (button && IsShownAndEnabled(button)) SendMessageA(button, BM_CLICK, 0, 0);
}

}  // namespace

std::vector<HWND> TabStops(HWND root) {
    std::vector<HWND> stops;
    CollectTabStops(root, stops);
    return stops;
}

bool KeyboardNavigation::HandleKey(const MSG& message) {
    if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) return false;
    switch (message.message) {
        case WM_KEYDOWN:
            if (message.wParam == VK_TAB) {
                ShowKeyboardCues(UISF_HIDEFOCUS);
                MoveFocus(GetKeyState(VK_SHIFT) < 0);
                return true;
            }
            if (message.wParam != VK_RETURN && message.wParam != VK_ESCAPE) return false;
            if (DialogCode(message) & DLGC_WANTMESSAGE) return false;
            if (message.wParam == VK_ESCAPE) {
                Press(EscapeButtonOf(bars_.Active()));
            } else {
                HWND focus = GetFocus();
                Press(IsChild(window_, focus) && IsPushButton(focus) ? focus : EnterButtonOf(bars_.Active()));
            }
            return true;
        case WM_SYSCHAR:
            return PressAccessKey(static_cast<char>(message.wParam));
        case WM_CHAR:
            // A control that takes no typing (a button) lets a plain letter act as Alt+letter.
            return !(DialogCode(message) & DLGC_WANTCHARS) && PressAccessKey(static_cast<char>(message.wParam));
        default:
            return false;
    }
}

void KeyboardNavigation::MoveFocus(bool backwards) {
    const std::vector<HWND> stops = TabStops(window_);
    if (stops.empty()) return;
    const auto at = std::find(stops.begin(), stops.end(), GetFocus());
    size_t next = backwards ? stops.size() - 1 : 0;
    if (at != stops.end()) {
        const size_t index = static_cast<size_t>(at - stops.begin());
        next = (index + (backwards ? stops.size() - 1 : 1)) % stops.size();
    }
    // An edit box reached by Tab has its text selected, ready to be typed over.
    HWND reached = stops[next];
    if (SendMessageA(reached, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(reached, EM_SETSEL, 0, -1);
    SetFocus(reached);
}

bool KeyboardNavigation::PressAccessKey(char key) {
    HWND button = ButtonWithAccessKey(bars_.Active(), key);
    if (!button) return false;
    ShowKeyboardCues(UISF_HIDEACCEL);
    Press(button);
    return true;
}

void KeyboardNavigation::SaveFocus() {
    HWND focus = GetFocus();
    if (focus && IsChild(window_, focus)) saved_focus_ = focus;
}

void KeyboardNavigation::RestoreFocus() {
    if (saved_focus_ && IsChild(window_, saved_focus_) && IsShownAndEnabled(saved_focus_))
        SetFocus(saved_focus_);
    else
        FocusShownPage();
}

void KeyboardNavigation::FocusShownPage() {
    const std::vector<HWND> stops = TabStops(window_);
    HWND bar = bars_.Active();
    HWND enter = EnterButtonOf(bar);
    // A page without controls of its own starts on its Enter button, so that Enter keeps its
    // meaning there; never nowhere, since without a focus keys arrive as system keys.
    if ((stops.empty() || IsChild(bar, stops.front())) && enter && IsShownAndEnabled(enter))
        Focus(enter);
    else
        Focus(stops.empty() ? window_ : stops.front());
}

void KeyboardNavigation::KeepFocus() {
    if (GetActiveWindow() != window_) return;
    HWND focus = GetFocus();
    if (!focus || focus == window_) FocusShownPage();
}

void KeyboardNavigation::Focus(HWND control) {
    if (GetActiveWindow() == window_)
        SetFocus(control);
    else
        saved_focus_ = control;
}

void KeyboardNavigation::ShowKeyboardCues(WORD cues) {
    SendMessageA(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, cues), 0);
}
