#include "catalogue_rows.h"

#include "ui_kit.h"

CatalogueRows FillCatalogueRows(HWND list, const std::vector<const CatalogueEntry*>& shown, int checked_line,
                                int selected_line) {
    CatalogueRows rows;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ClearList(list);
    // Room for every row at once rather than grown row by row.
    SendMessageA(list, LVM_SETITEMCOUNT, shown.size(), LVSICF_NOINVALIDATEALL);
    std::vector<std::string> cells(kCatalogueColumns - kNameColumn);
    for (const CatalogueEntry* entry : shown) {
        for (int column = kNameColumn; column < kCatalogueColumns; ++column)
            cells[column - kNameColumn] = entry->Cell(column);
        const bool checked = entry->line == checked_line;
        const int row = AppendListRow(list, entry->Cell(kIndexColumn), cells, checked, entry->line);
        if (checked) rows.checked_shown = true;
        if (entry->line == selected_line) {
            SelectListRow(list, row, true);
            rows.selected_row = row;
        }
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    return rows;
}
