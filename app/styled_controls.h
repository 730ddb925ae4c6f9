// The window's two styled controls: bottom-bar buttons (dark blue frame, light face, hot
// tracking, the access key of bar_buttons.h in the caption, a focus rectangle) and link labels
// (white bold text that turns blue and underlined under the mouse).
#pragma once

#include <windows.h>

// The caption gets the button's access key, "下一步" becoming "下一步(&N)", and keeps it when
// it is changed later; Tab reaches the bar's buttons from left to right.
HWND CreateBarButton(HWND parent, int id, const char* caption, int x, int width = 75);
// Paints a bar button; the main window calls it for WM_DRAWITEM.
bool DrawBarButton(const DRAWITEMSTRUCT& item);

// A label that notifies clicks, shows a hand cursor and tracks the mouse.
HWND CreateLinkLabel(HWND parent, int id, const char* caption, int x, int y, int width, int height);
bool IsLinkHot(HWND link);
