#include "update_dialogs.h"

#include <richedit.h>

namespace update {

namespace {

constexpr char kDialogClass[] = "KestruneUpdateText";
constexpr int kDialogSize = 400;
constexpr int kMargin = 10;
constexpr int kButtonWidth = 75, kButtonHeight = 25;
enum ControlId { kTextId = 100, kOkId = IDOK, kCancelId = IDCANCEL, kAcceptId = 101, kDeclineId = 102 };

struct DialogState {
    bool licence = false;
    bool ok_pressed = false;
    bool accepted = false;
    bool done = false;
};

DWORD CALLBACK StreamText(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* rest = reinterpret_cast<std::string*>(cookie);
    const LONG count = static_cast<LONG>(rest->size() < static_cast<size_t>(wanted) ? rest->size() : wanted);
    rest->copy(reinterpret_cast<char*>(buffer), count);
    rest->erase(0, count);
    *given = count;
    return 0;
}

void FillText(HWND edit, const std::string& text) {
    if (!IsRichText(text)) {
        SetWindowTextA(edit, text.c_str());
        return;
    }
    std::string rest = text;
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&rest), 0, StreamText};
    SendMessageA(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

LRESULT CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
        case WM_COMMAND:
            if (!state || HIWORD(wparam) != BN_CLICKED) break;
            if (LOWORD(wparam) == kOkId || LOWORD(wparam) == kCancelId) {
                state->ok_pressed = LOWORD(wparam) == kOkId;
                DestroyWindow(window);
            }
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            if (state) {
                if (state->licence)
                    state->accepted = SendMessageA(GetDlgItem(window, kAcceptId), BM_GETCHECK, 0, 0) == BST_CHECKED;
                state->done = true;
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

HWND AddControl(HWND parent, const char* window_class, const std::string& text, DWORD style, int id, int x, int y,
                int width, int height, DWORD ex_style = 0) {
    HWND control = CreateWindowExA(ex_style, window_class, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, width,
                                   height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return control;
}

int TextWidth(HWND control, const std::string& text) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size.cx + GetSystemMetrics(SM_CXMENUCHECK) + 8;
}

// The window of both texts: 400 x 400, centred, a dialog border with only the system menu, and
// a read-only word-wrapping text box above the buttons. Runs modally until it is closed.
DialogState ShowTextDialog(HWND owner, const std::string& caption, const std::string& text,
                           const std::function<void(HWND dialog, const RECT& box)>& add_buttons, bool licence) {
    LoadLibraryA("riched20.dll");
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = DialogProc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kDialogClass;
    RegisterClassA(&window_class);  // fails harmlessly when already registered

    DialogState state;
    state.licence = licence;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - kDialogSize) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - kDialogSize) / 2;
    HWND dialog = CreateWindowExA(WS_EX_DLGMODALFRAME, kDialogClass, caption.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                  x, y, kDialogSize, kDialogSize, owner, nullptr, window_class.hInstance, nullptr);
    if (!dialog) return state;
    SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    RECT client = {};
    GetClientRect(dialog, &client);
    const RECT box = {kMargin, kMargin, client.right - kMargin, client.bottom - 60 + kMargin};
    HWND edit = AddControl(dialog, RICHEDIT_CLASSA, "",
                           ES_MULTILINE | ES_READONLY | WS_VSCROLL | ES_AUTOVSCROLL | WS_TABSTOP, kTextId, box.left,
                           box.top, box.right - box.left, box.bottom - box.top, WS_EX_CLIENTEDGE);
    FillText(edit, text);
    add_buttons(dialog, box);

    if (owner) EnableWindow(owner, FALSE);
    ShowWindow(dialog, SW_SHOW);
    SetFocus(GetDlgItem(dialog, kOkId));
    MSG message;
    while (!state.done && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(dialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (owner) {
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    if (!state.done) PostQuitMessage(static_cast<int>(message.wParam));  // the program is ending
    return state;
}

}  // namespace

bool ShowWhatsNewDialog(HWND owner, const WhatsNewText& text) {
    const auto add_buttons = [&](HWND dialog, const RECT& box) {
        const int top = box.bottom + kMargin;
        const int cancel_left = box.right - kButtonWidth;
        AddControl(dialog, "BUTTON", text.ok_button, BS_DEFPUSHBUTTON | WS_TABSTOP, kOkId,
                   cancel_left - kMargin - kButtonWidth, top, kButtonWidth, kButtonHeight);
        AddControl(dialog, "BUTTON", text.cancel_button, BS_PUSHBUTTON | WS_TABSTOP, kCancelId, cancel_left, top,
                   kButtonWidth, kButtonHeight);
    };
    return ShowTextDialog(owner, text.caption, text.text, add_buttons, false).ok_pressed;
}

bool ShowLicenceDialog(HWND owner, const LicenceText& text) {
    const auto add_buttons = [&](HWND dialog, const RECT& box) {
        const int top = box.bottom + kMargin;
        AddControl(dialog, "BUTTON", text.ok_button, BS_DEFPUSHBUTTON | WS_TABSTOP, kOkId, box.right - kButtonWidth,
                   top, kButtonWidth, kButtonHeight);
        HWND accept = AddControl(dialog, "BUTTON", text.accept_option, BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP,
                                 kAcceptId, kMargin, top, 0, kButtonHeight);
        const int accept_width = TextWidth(accept, text.accept_option);
        SetWindowPos(accept, nullptr, 0, 0, accept_width, kButtonHeight, SWP_NOMOVE | SWP_NOZORDER);
        HWND decline = AddControl(dialog, "BUTTON", text.decline_option, BS_AUTORADIOBUTTON, kDeclineId,
                                  accept_width + 20, top, 0, kButtonHeight);
        SetWindowPos(decline, nullptr, 0, 0, TextWidth(decline, text.decline_option), kButtonHeight,
                     SWP_NOMOVE | SWP_NOZORDER);
        SendMessageA(decline, BM_SETCHECK, BST_CHECKED, 0);
    };
    return ShowTextDialog(owner, text.caption, text.text, add_buttons, true).accepted;
}

}  // namespace update
