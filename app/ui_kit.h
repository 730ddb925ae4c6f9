// Thin helpers over the Win32 controls the window uses: controls created from tables, fonts
// and colours, list views, combo boxes and message boxes. ANSI texts in code page 936.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

// One control: its id, class, text, rectangle in its parent and styles beyond WS_CHILD|WS_VISIBLE.
struct ControlSpec {
    int id;
    const char* window_class;
    const char* text;
    int x, y, width, height;
    DWORD style = 0;
    DWORD ex_style = 0;
};

HWND CreateControl(HWND parent, const ControlSpec& control_spec);
// Every control of the table, in order.
void CreateControls(HWND parent, const ControlSpec* specs, size_t count);
template <size_t N>
void CreateControls(HWND parent, const ControlSpec (&specs)[N]) {
    CreateControls(parent, specs, N);
}
// The control with this id anywhere below the window (controls sit on nested panels).
HWND FindControl(HWND window, int id);

// Fonts: the window's default font and the few variants the pages use. Owned for the process.
enum class FontKind { kDefault, kBold, kBoldUnderlined, kTitle13, kTitle12 };
HFONT GetFont(FontKind kind);
void SetFont(HWND control, FontKind kind);

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kButtonFrame = RGB(0, 60, 116);
constexpr COLORREF kButtonFace = RGB(244, 244, 240);

// The caption "Kestrune" and the three styles of the window's messages.
void ShowInformation(HWND owner, const char* text);
void ShowError(HWND owner, const char* text);
void ShowWarning(HWND owner, const char* text);
bool AskYesNo(HWND owner, const char* text);

std::string WindowText(HWND window);

// List views in report view.
void AddListColumn(HWND list, const char* title, int width, int format = LVCFMT_LEFT);
// Appends a row: the caption and the cells of columns 1, 2 ...; ticked when checked; data is the
// row's lParam.
int AppendListRow(HWND list, const std::string& caption, const std::vector<std::string>& cells, bool checked = false,
                  LPARAM data = 0);
int ListRowCount(HWND list);
std::string ListCellText(HWND list, int row, int column);
bool IsListRowChecked(HWND list, int row);
void SetListRowChecked(HWND list, int row, bool checked);
bool IsListRowSelected(HWND list, int row);
void SelectListRow(HWND list, int row, bool selected);
int FirstSelectedListRow(HWND list);
void ClearList(HWND list);

// Drop-down lists.
void FillCombo(HWND combo, const std::vector<std::string>& texts);
int ComboSelection(HWND combo);
void SetComboSelection(HWND combo, int index);
std::string ComboText(HWND combo);

// Group boxes and etched frames paint only their frame (and caption), and a page does not paint
// under its children, so without this the page shown before stays visible inside them. The
// control is put beneath the page's other controls, which stand inside it as the page's own
// children, and its inside is painted white.
void PaintInsideWhite(HWND framing_control);

// A progress bar counted in parts.
void SetProgressParts(HWND bar, int total, int done);
