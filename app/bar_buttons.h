// What the bottom-bar buttons do beyond their clicks, one row each in bar_buttons.cpp: the access
// key (Alt+letter, shown as "下一步(N)"), whether Enter or Esc presses the button on its page, and
// whether it rests while a worker runs.
#pragma once

#include <windows.h>

// The access key letter of the bar button, 0 for none.
char AccessKeyOf(int button_id);

// On the page whose button bar is bar: the button Enter presses, the one Esc presses, and the
// one whose access key is key (any case). nullptr when there is none.
HWND EnterButtonOf(HWND bar);
HWND EscapeButtonOf(HWND bar);
HWND ButtonWithAccessKey(HWND bar, char key);

// Disables (or enables again) every bar button below window whose click a running worker would
// ignore: it starts a worker itself or leads to a page that does.
void EnableButtonsThatWaitForRuns(HWND window, bool enabled);
