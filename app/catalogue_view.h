// The software page's catalogue as the user sees it: each listed program with the cells of its
// row, the search that narrows the rows, and their order. Every entry keeps its line in the
// engine's catalogue cache, the line the analysis takes for it, however the rows are arranged.
#pragma once

#include <string>
#include <vector>

#include "list_sort.h"

// The software list's columns, in order.
enum CatalogueColumn { kIndexColumn, kNameColumn, kOsColumn, kBitsColumn, kStatusColumn, kCatalogueColumns };

// The status cell of a program this machine has registered as installed.
extern const char kInstalledMark[];

struct CatalogueEntry {
    int line = -1;  // in the engine's catalogue cache of the listed type
    std::string key;
    std::string name;
    std::string os;
    std::string bits;
    bool installed = false;

    // The text of the entry's cell in the column: the index column shows the line.
    std::string Cell(int column) const;
};

// The entry of catalogue line number line_index ("key|name|sub-type|version|os|os|bits"); a
// short line gives empty cells.
CatalogueEntry EntryOfLine(int line_index, const std::string& line);

// Each entry marked installed when marks (one per catalogue line) says so; a line beyond the
// marks is unmarked.
void SetInstalledMarks(std::vector<CatalogueEntry>& entries, const std::vector<bool>& marks);

// text contains needle, the single-byte letters of both folded to upper case; a match starts
// only where a character of text starts, so the trail byte of a double-byte character is
// never matched on its own. An empty needle is contained in every text.
bool ContainsSearchText(const std::string& text, const std::string& needle);

// The search (blanks around it ignored) is empty, or the program's name or key contains it.
bool MatchesSearch(const CatalogueEntry& entry, const std::string& search);

// The entries that match the search, sorted by the order's column; rows with the same cell
// text keep the order of their lines, reversed with the rest when descending.
std::vector<const CatalogueEntry*> ShownEntries(const std::vector<CatalogueEntry>& entries,
                                                const std::string& search, const SortOrder& order);
