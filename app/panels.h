// Panels and page stacks. A panel is a plain child window with a solid background that passes
// its controls' notifications up to the main window, so one window procedure handles them all.
#pragma once

#include <windows.h>

#include <vector>

// A panel at the rectangle in parent, white unless told otherwise; lowered gives an inner bevel.
HWND CreatePanel(HWND parent, int x, int y, int width, int height, bool lowered = false);

// One page visible at a time among pages that share a place.
class PageStack {
public:
    void Add(HWND page) { pages_.push_back(page); }
    void Show(HWND page);
    HWND Active() const { return active_; }

private:
    std::vector<HWND> pages_;
    HWND active_ = nullptr;
};
