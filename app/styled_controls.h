// The window's two styled controls: bottom-bar buttons (dark blue frame, light face, hot
// tracking) and link labels (white bold text that turns blue and underlined under the mouse).
#pragma once

#include <windows.h>

HWND CreateBarButton(HWND parent, int id, const char* caption, int x, int width = 75);
// Paints a bar button; the main window calls it for WM_DRAWITEM.
bool DrawBarButton(const DRAWITEMSTRUCT& item);

// A label that notifies clicks, shows a hand cursor and tracks the mouse.
HWND CreateLinkLabel(HWND parent, int id, const char* caption, int x, int y, int width, int height);
bool IsLinkHot(HWND link);
