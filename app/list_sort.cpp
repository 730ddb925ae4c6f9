#include "list_sort.h"

#include <commctrl.h>

#include "text_rules.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The digit run starting at begin, without its leading zeros: [begin, end) on return.
void DigitRun(const std::string& text, std::size_t& begin, std::size_t& end) {
    end = begin;
    while (end < text.size() && IsDigit(text[end])) ++end;
    while (begin + 1 < end && text[begin] == '0') ++begin;
}

}  // namespace

int CompareCellTexts(const std::string& first, const std::string& second) {
    // Upper-casing leaves double-byte characters whole. A trail byte (0x40 and above) is never a
    // digit, and two texts walk in step while their bytes agree, so both stay at character starts.
    const std::string a = UpperCased(first), b = UpperCased(second);
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            std::size_t a_end = 0, b_end = 0;
            DigitRun(a, i, a_end);
            DigitRun(b, j, b_end);
            const std::size_t a_length = a_end - i, b_length = b_end - j;
            if (a_length != b_length) return a_length < b_length ? -1 : 1;
            const int digits = a.compare(i, a_length, b, j, b_length);
            if (digits != 0) return digits;
            i = a_end;
            j = b_end;
            continue;
        }
        const auto a_byte = static_cast<unsigned char>(a[i]), b_byte = static_cast<unsigned char>(b[j]);
        if (a_byte != b_byte) return a_byte < b_byte ? -1 : 1;
        ++i;
        ++j;
    }
    return (i < a.size()) - (j < b.size());
}

void SortOrder::ClickOn(int clicked_column) {
    descending = clicked_column == column && !descending;
    column = clicked_column;
}

void ShowSortArrow(HWND list, const SortOrder& order) {
    HWND header = ListView_GetHeader(list);
    const int columns = Header_GetItemCount(header);
    for (int column = 0; column < columns; ++column) {
        HDITEMA item = {};
        item.mask = HDI_FORMAT;
        SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (column == order.column) item.fmt |= order.descending ? HDF_SORTDOWN : HDF_SORTUP;
        SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
    }
}
