#include "catalogue_rows.h"

#include "ui_kit.h"

namespace {

// A row whose caption and cells the list asks for, with its line: one message. (The list gives
// a new row an empty box whatever state comes with it, so a tick takes one more.)
int AppendCallbackRow(HWND list, int line) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = INT_MAX;  // past the end: appended
    item.pszText = LPSTR_TEXTCALLBACKA;
    item.lParam = line;
    return static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

}  // namespace

CatalogueRows FillCatalogueRows(HWND list, const std::vector<const CatalogueEntry*>& shown, int checked_line,
                                int selected_line) {
    CatalogueRows rows;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ClearList(list);
    // Room for every row at once rather than grown row by row.
    SendMessageA(list, LVM_SETITEMCOUNT, shown.size(), LVSICF_NOINVALIDATEALL);
    for (const CatalogueEntry* entry : shown) {
        const bool checked = entry->line == checked_line;
        const int row = AppendCallbackRow(list, entry->line);
        if (checked) {
            SetListRowChecked(list, row, true);
            rows.checked_shown = true;
        }
        if (entry->line == selected_line) {
            SelectListRow(list, row, true);
            rows.selected_row = row;
        }
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    return rows;
}

bool AnswerCatalogueNotice(const NMHDR& header, const std::vector<CatalogueEntry>& entries, LRESULT& result) {
    if (header.code == LVN_DELETEALLITEMS) {
        result = TRUE;  // the rows keep nothing to free
        return true;
    }
    if (header.code != LVN_GETDISPINFOA) return false;
    result = 0;
    LVITEMA& item = const_cast<NMLVDISPINFOA&>(reinterpret_cast<const NMLVDISPINFOA&>(header)).item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return true;
    const std::size_t line = static_cast<std::size_t>(item.lParam);
    const std::string text =
        item.lParam >= 0 && line < entries.size() ? entries[line].Cell(item.iSubItem) : std::string();
    lstrcpynA(item.pszText, text.c_str(), item.cchTextMax);
    return true;
}
