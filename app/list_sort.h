// Sorting a list view by a clicked column: the order of two cell texts, the column and direction
// that header clicks choose, and the header's arrow that shows them.
#pragma once

#include <windows.h>

#include <string>

// Cell texts in the order a reader expects: a run of digits by its value ("5.1" before "10.0",
// "2" before "12"), anything else character by character with the single-byte letters folded
// to upper case. Code page 936 characters go by their codes, which puts the common Chinese
// characters in pinyin order. Negative, 0 or positive.
int CompareCellTexts(const std::string& first, const std::string& second);

// The column a list is sorted by (-1: none, the rows as listed) and its direction: a click on a
// header sorts by its column, a second click on the same header reverses.
struct SortOrder {
    int column = -1;
    bool descending = false;

    void ClickOn(int clicked_column);
};

// The sorted column's header shows an arrow up (ascending) or down, the others none.
void ShowSortArrow(HWND list, const SortOrder& order);
