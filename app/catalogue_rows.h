// The software list's rows: the shown catalogue entries put into the list view in one pass.
#pragma once

#include <windows.h>

#include <vector>

#include "catalogue_view.h"

struct CatalogueRows {
    bool checked_shown = false;  // the entry of checked_line got a row (and its tick)
    int selected_row = -1;       // the row of selected_line, -1 when it is not shown
};

// Empties the list and adds a row per entry, in order, without redrawing until the end. Each row
// keeps its catalogue line as its lParam: however sorted or searched, it names the program the
// analysis takes for it. The row of checked_line is ticked, the row of selected_line selected.
CatalogueRows FillCatalogueRows(HWND list, const std::vector<const CatalogueEntry*>& shown, int checked_line,
                                int selected_line);
