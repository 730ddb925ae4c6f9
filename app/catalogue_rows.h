// The software list's rows: the shown catalogue entries put into the list view in one pass. A
// row holds only its catalogue line; the list asks for its cells when it draws or is read, and
// they are answered from the entries, so a refreshed mark needs no new rows.
#pragma once

#include <windows.h>
#include <commctrl.h>

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

// The list's notices that the rows' owner answers: a request for a cell (LVN_GETDISPINFOA),
// answered with the text of entries[line], line being the row's lParam (a line without an entry
// gets the empty text); and the emptying of the list (LVN_DELETEALLITEMS), answered so that no
// notice per row follows. False, with result untouched, for any other notification.
bool AnswerCatalogueNotice(const NMHDR& header, const std::vector<CatalogueEntry>& entries, LRESULT& result);
