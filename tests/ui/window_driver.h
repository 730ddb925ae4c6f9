// Drives another program's top-level window from outside, the way a user meets it: the program
// is started, its controls are found by their ids below the window (they sit on nested panels),
// clicked, ticked, chosen and read across the process boundary, and its message boxes are read
// and answered. Every wait has a timeout; a timeout throws std::runtime_error saying what was
// awaited, and the program is ended when the driver goes out of scope.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "screen_capture.h"
#include "win32/handles.h"

class WindowDriver {
public:
    // Starts exe_path with its own folder as the working folder, waits for its top-level window
    // of window_class to be shown and for that window to have handled its start-up (or to show
    // a message box). Message boxes of the program are the "#32770" windows captioned box_caption.
    WindowDriver(const std::string& exe_path, const std::string& window_class, const std::string& box_caption,
                 const std::string& arguments = "");
    // Takes over the window of class that a process other than other_than shows (a program that
    // started itself again), once it is there.
    WindowDriver(const std::string& window_class, const std::string& box_caption, DWORD other_than);
    ~WindowDriver();
    WindowDriver(const WindowDriver&) = delete;
    WindowDriver& operator=(const WindowDriver&) = delete;

    HWND Window() const { return window_; }
    DWORD ProcessId() const { return process_id_; }
    bool IsRunning() const;
    // Posts WM_CLOSE and waits for the window's answer: the message box it opened (a refusal),
    // or nullptr when the handler returned without one.
    HWND RequestClose();
    // True when the process ended within the timeout.
    bool WaitForExit(DWORD timeout_ms);
    // Returns once the window's thread has handled everything sent to it so far.
    void Settle() const;

    // Controls, by id, anywhere below the window. Control throws when none has the id.
    HWND Control(int id) const;
    // The control and every window above it are visible.
    bool IsShown(int id) const;
    bool IsEnabled(int id) const;
    std::string Text(int id) const;

    // Actions. Each waits until the window's handler has returned, or until the handler opened a
    // message box (a modal box keeps it from returning); it returns that box, or nullptr.
    HWND Click(int button_id);                        // BM_CLICK
    HWND ClickLink(int label_id);                     // STN_CLICKED through the label's parent
    HWND ChooseComboEntry(int combo_id, int index);   // CB_SETCURSEL, then CBN_SELCHANGE
    HWND ClickTab(int tab_id, const std::string& caption);  // a left click on the tab's face
    // The control's WM_COMMAND notification with this code (BN_DOUBLECLICKED ...), through its parent.
    HWND Notify(int control_id, WORD code);
    HWND SetTicked(int list_id, int row, bool ticked);
    HWND SetSelected(int list_id, int row, bool selected);
    // The mouse on a list view in report view, in the middle of a row's text or of a column's
    // header: a click (it selects the row and gives the list the focus), a double click (that
    // click, then the double click the system makes of the second one), a click on a header.
    HWND ClickRow(int list_id, int row);
    HWND DoubleClickRow(int list_id, int row);
    HWND ClickHeader(int list_id, int column);
    // Edit boxes: text typed at the caret one character at a time (a double-byte character is
    // one), each inserted as EM_REPLACESEL inserts it, so that the box reports every change and
    // the window has handled it on return; and the whole text selected and deleted.
    void TypeText(int edit_id, const std::string& text);
    void ClearText(int edit_id);
    // Opens or closes a drop-down list (for pictures of it).
    void ShowDropDown(int combo_id, bool shown);
    // Moves the mouse over the middle of the control, as a user's hand does.
    void PointAt(int id);
    // A key pressed and released on the keyboard, with the keys of held (VK_SHIFT, VK_MENU ...)
    // down around it: the window is brought to the front and the keys go through the system's
    // input, so that the window also sees which keys are held. Returns once the keys are
    // queued; what they do is awaited through its effect.
    void PressKey(WORD key, std::initializer_list<WORD> held = {});
    // The window with the keyboard focus in the window's thread (nullptr for none), and the id
    // of the control below the window that has it (0 for none, for the window itself or for a
    // message box's button).
    HWND FocusedControl() const;
    int FocusedId() const;

    // Drop-down lists: the selected index (-1 for none) and its text.
    int ComboSelection(int combo_id) const;
    int ComboCount(int combo_id) const;

    // List views in report view: rows, cells (column 0 is the caption), tick and selection.
    int RowCount(int list_id) const;
    std::string Cell(int list_id, int row, int column) const;
    std::vector<std::string> ColumnTexts(int list_id, int column) const;
    bool IsTicked(int list_id, int row) const;
    bool IsSelected(int list_id, int row) const;
    // The format flags (HDF_*) of a column's header: HDF_SORTUP and HDF_SORTDOWN are its arrow.
    int HeaderFormat(int list_id, int column) const;

    // Progress bars: parts done and the upper limit of the range.
    int ProgressPosition(int bar_id) const;
    int ProgressLimit(int bar_id) const;

    // List boxes: every line.
    std::vector<std::string> Lines(int list_box_id) const;

    // Tab controls.
    int TabCount(int tab_id) const;
    std::string TabCaption(int tab_id, int index) const;
    // Caption of the selected tab, "" when none is.
    std::string SelectedTab(int tab_id) const;

    // Message boxes of the program, topmost first.
    std::vector<HWND> MessageBoxes() const;
    // Waits for a message box to be open; returns the topmost.
    HWND WaitForMessageBox(DWORD timeout_ms = 30000) const;
    std::string MessageText(HWND box) const;
    // Presses the box's button (IDOK, IDYES, IDNO) and waits until the box is gone.
    void Answer(HWND box, int button_id) const;

    // Dialogs of the system that the window opens, such as the folder chooser: a click on the
    // button is posted and the new dialog of the program that is no message box returned.
    HWND ClickOpeningDialog(int button_id);
    // In an open folder chooser (SHBrowseForFolder): selects path, presses OK and waits until the
    // chooser has gone. What the window does with the folder is awaited through its effect.
    void ChooseFolder(HWND chooser, const std::string& path);
    // A popup menu's item chosen: its command sent to the window as the menu sends it.
    HWND ChooseMenuItem(int item_id);

    // The control's rectangle on the screen, and what the screen shows of the control now.
    RECT ScreenRect(int id) const;
    ScreenPicture LookAt(int id) const;
    // What the screen shows of the area once the window has painted it: the window paints
    // after it has answered, and Wine hands the painting to the X server a moment later, so
    // the picture is taken when two readings in a row agree.
    ScreenPicture SettledLook(const RECT& area) const;
    // The window, with any message box over it, as a 24-bit BMP file.
    void Capture(const std::string& bmp_path) const;

private:
    HWND Deliver(HWND target, UINT message, WPARAM wparam, LPARAM lparam, const std::string& what) const;
    HWND NewMessageBox(const std::vector<HWND>& known) const;
    HWND SetItemState(int list_id, int row, UINT state, UINT mask, const std::string& what);
    // The mouse messages, one after another, at a point of the control; stops at a message box.
    HWND MouseAt(HWND control, POINT point, std::initializer_list<UINT> messages, const std::string& what);
    POINT RowMiddle(int list_id, int row) const;
    // Sends a message that carries a text to the control and waits for its answer.
    void SendText(HWND control, UINT message, WPARAM wparam, const std::string& text, const std::string& what);

    std::string exe_name_;
    std::string box_caption_;
    KernelHandle process_, thread_;
    DWORD process_id_ = 0;
    HWND window_ = nullptr;
};
