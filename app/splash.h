// The start-up picture, shown while the window is made.
#pragma once

#include <windows.h>

// A borderless picture centred on the desktop, painted before this returns.
HWND ShowSplash();
void CloseSplash(HWND splash);
