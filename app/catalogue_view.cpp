#include "catalogue_view.h"

#include <algorithm>

#include "splitters.h"
#include "text_rules.h"

const char kInstalledMark[] = "已安装";

std::string CatalogueEntry::Cell(int column) const {
    switch (column) {
        case kIndexColumn:
            return std::to_string(line);
        case kNameColumn:
            return name;
        case kOsColumn:
            return os;
        case kBitsColumn:
            return bits;
        case kStatusColumn:
            return installed ? kInstalledMark : "";
        default:
            return "";
    }
}

CatalogueEntry EntryOfLine(int line_index, const std::string& line) {
    StringList fields;
    SplitByBar(line, fields);
    fields.resize(7);
    CatalogueEntry entry;
    entry.line = line_index;
    entry.key = fields[0];
    entry.name = fields[1];
    entry.os = fields[4];
    entry.bits = fields[6];
    return entry;
}

void SetInstalledMarks(std::vector<CatalogueEntry>& entries, const std::vector<bool>& marks) {
    for (CatalogueEntry& entry : entries)
        entry.installed = entry.line >= 0 && static_cast<std::size_t>(entry.line) < marks.size() &&
                          marks[static_cast<std::size_t>(entry.line)];
}

bool ContainsSearchText(const std::string& text, const std::string& needle) {
    if (needle.empty()) return true;
    const std::string upper_text = UpperCased(text), upper_needle = UpperCased(needle);
    for (std::size_t at = 0; at + upper_needle.size() <= upper_text.size();
         at += IsLeadByte(static_cast<unsigned char>(upper_text[at])) ? 2 : 1) {
        if (upper_text.compare(at, upper_needle.size(), upper_needle) == 0) return true;
    }
    return false;
}

bool MatchesSearch(const CatalogueEntry& entry, const std::string& search) {
    const std::string needle = Trimmed(search);
    return ContainsSearchText(entry.name, needle) || ContainsSearchText(entry.key, needle);
}

std::vector<const CatalogueEntry*> ShownEntries(const std::vector<CatalogueEntry>& entries,
                                                const std::string& search, const SortOrder& order) {
    std::vector<const CatalogueEntry*> shown;
    for (const CatalogueEntry& entry : entries)
        if (MatchesSearch(entry, search)) shown.push_back(&entry);
    if (order.column < 0) return shown;
    std::sort(shown.begin(), shown.end(), [&](const CatalogueEntry* first, const CatalogueEntry* second) {
        int comparison = CompareCellTexts(first->Cell(order.column), second->Cell(order.column));
        if (comparison == 0) comparison = first->line < second->line ? -1 : (first->line > second->line);
        return order.descending ? comparison > 0 : comparison < 0;
    });
    return shown;
}
