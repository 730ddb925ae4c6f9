// The main window's keyboard, as a dialog's works: Tab and Shift+Tab go through the shown
// page's controls and then its button bar, and around; Enter presses the focused button or the
// page's Enter button, Esc its Esc button, Alt+letter the bar button with that access key (see
// bar_buttons.h). The pages are child panels of a plain window, so this takes the place of
// IsDialogMessage, and it keeps the focus where it was while another window is active.
#pragma once

#include <windows.h>

#include <vector>

#include "panels.h"

// Every control that Tab reaches below root, in order: shown and enabled windows with
// WS_TABSTOP, depth first in z-order; a hidden or disabled window hides all that it holds.
std::vector<HWND> TabStops(HWND root);

class KeyboardNavigation {
public:
    // window: the main window; bars: its button bars, the shown one among them.
    KeyboardNavigation(HWND window, const PageStack& bars) : window_(window), bars_(bars) {}

    // A message taken from the queue: true when it was one of the keys above and must not be
    // translated or dispatched.
    bool HandleKey(const MSG& message);
    // The window is left, or entered again.
    void SaveFocus();
    void RestoreFocus();
    // A page pair was shown: the focus goes to its first control, or to its Enter button when
    // the page has no control of its own to go to.
    void FocusShownPage();
    // Buttons were disabled or enabled: a control that lost the focus by being disabled left it
    // nowhere, so it goes to the page's first control.
    void KeepFocus();

private:
    void MoveFocus(bool backwards);
    bool PressAccessKey(char key);
    // Sets the focus now, or for the window's return when another window is active.
    void Focus(HWND control);
    void ShowKeyboardCues(WORD cues);

    HWND window_;
    const PageStack& bars_;
    HWND saved_focus_ = nullptr;
};
