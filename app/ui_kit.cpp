#include "ui_kit.h"

#include <climits>

namespace {

HFONT MakeFont(int height, int weight, bool underline) {
    return CreateFontA(height, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
}

struct FindContext {
    int id;
    HWND found;
};

LRESULT CALLBACK EraseInsideWhite(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
    if (message == WM_ERASEBKGND) {
        RECT inside;
        GetClientRect(window, &inside);
        FillRect(reinterpret_cast<HDC>(wparam), &inside, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return TRUE;
    }
    return DefSubclassProc(window, message, wparam, lparam);
}

BOOL CALLBACK FindById(HWND child, LPARAM context) {
    auto* find = reinterpret_cast<FindContext*>(context);
    if (GetDlgCtrlID(child) != find->id) return TRUE;
    find->found = child;
    return FALSE;
}

}  // namespace

HWND CreateControl(HWND parent, const ControlSpec& control_spec) {
    HWND control = CreateWindowExA(control_spec.ex_style, control_spec.window_class, control_spec.text, WS_CHILD | WS_VISIBLE | control_spec.style,
                                   control_spec.x, control_spec.y, control_spec.width, control_spec.height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_spec.id)), GetModuleHandleA(nullptr),
                                   nullptr);
    SetFont(control, FontKind::kDefault);
    return control;
}

void CreateControls(HWND parent, const ControlSpec* specs, size_t count) {
    for (size_t i = 0; i < count; ++i) CreateControl(parent, specs[i]);
}

HWND FindControl(HWND window, int id) {
    FindContext find{id, nullptr};
    EnumChildWindows(window, FindById, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

HFONT GetFont(FontKind kind) {
    static const HFONT fonts[] = {MakeFont(-11, FW_NORMAL, false), MakeFont(-11, FW_BOLD, false),
                                  MakeFont(-11, FW_BOLD, true), MakeFont(-13, FW_BOLD, false),
                                  MakeFont(-12, FW_BOLD, false)};
    return fonts[static_cast<int>(kind)];
}

void SetFont(HWND control, FontKind kind) {
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetFont(kind)), TRUE);
}

void ShowInformation(HWND owner, const char* text) { MessageBoxA(owner, text, "Kestrune", MB_OK | MB_ICONINFORMATION); }

void ShowError(HWND owner, const char* text) { MessageBoxA(owner, text, "Kestrune", MB_OK | MB_ICONERROR); }

void ShowWarning(HWND owner, const char* text) { MessageBoxA(owner, text, "Kestrune", MB_OK | MB_ICONWARNING); }

bool AskYesNo(HWND owner, const char* text) {
    return MessageBoxA(owner, text, "Kestrune", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

std::string WindowText(HWND window) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

void AddListColumn(HWND list, const char* title, int width, int format) {
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<char*>(title);
    const int index = Header_GetItemCount(ListView_GetHeader(list));
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

int AppendListRow(HWND list, const std::string& caption, const std::vector<std::string>& cells, bool checked,
                  LPARAM data) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = INT_MAX;  // past the end: appended
    item.pszText = const_cast<char*>(caption.c_str());
    item.lParam = data;
    const int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    for (size_t column = 0; column < cells.size(); ++column) {
        LVITEMA cell = {};
        cell.iSubItem = static_cast<int>(column + 1);
        cell.pszText = const_cast<char*>(cells[column].c_str());
        SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    }
    if (checked) SetListRowChecked(list, row, true);
    return row;
}

int ListRowCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string ListCellText(HWND list, int row, int column) {
    // The list reports how much it copied, not how long the text is: grow until it fits.
    for (int capacity = 512;; capacity *= 2) {
        std::string buffer(static_cast<size_t>(capacity), '\0');
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = &buffer[0];
        item.cchTextMax = capacity;
        const int length =
            static_cast<int>(SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (length < capacity - 1 || capacity >= 1 << 20) return buffer.substr(0, static_cast<size_t>(length));
    }
}

bool IsListRowChecked(HWND list, int row) { return ListView_GetCheckState(list, row) != 0; }

void SetListRowChecked(HWND list, int row, bool checked) { ListView_SetCheckState(list, row, checked); }

bool IsListRowSelected(HWND list, int row) { return ListView_GetItemState(list, row, LVIS_SELECTED) != 0; }

void SelectListRow(HWND list, int row, bool selected) {
    ListView_SetItemState(list, row, selected ? LVIS_SELECTED | LVIS_FOCUSED : 0, LVIS_SELECTED | LVIS_FOCUSED);
}

int FirstSelectedListRow(HWND list) { return ListView_GetNextItem(list, -1, LVNI_SELECTED); }

void ClearList(HWND list) { ListView_DeleteAllItems(list); }

void FillCombo(HWND combo, const std::vector<std::string>& texts) {
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& text : texts) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int ComboSelection(HWND combo) { return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0)); }

void SetComboSelection(HWND combo, int index) { SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

std::string ComboText(HWND combo) {
    const int index = ComboSelection(combo);
    if (index < 0) return "";
    std::string text(static_cast<size_t>(SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0)) + 1, '\0');
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(text.size() - 1);
    return text;
}

void PaintInsideWhite(HWND framing_control) {
    SetWindowPos(framing_control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowSubclass(framing_control, EraseInsideWhite, 1, 0);
}

void SetProgressParts(HWND bar, int total, int done) {
    SendMessageA(bar, PBM_SETRANGE32, 0, total);
    SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(done), 0);
}
