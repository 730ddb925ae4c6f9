#include "path_order.h"

#include <cstring>

#include "splitters.h"

namespace {

// The byte's rank where it is no trail byte: separators first, "a" to "z" as "A" to "Z".
unsigned char Rank(unsigned char c) {
    if (c == '|') return 1;
    if (c == '\\') return 2;
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
    return c;
}

}  // namespace

int ComparePaths(std::string_view a, std::string_view b) {
    // While the texts agree, their double-byte characters lie alike (a lead byte never folds),
    // so one trail flag serves both.
    bool trail = false;
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (!trail) {
            x = Rank(x);
            y = Rank(y);
        }
        if (x != y) return x < y ? -1 : 1;
        trail = !trail && IsLeadByte(static_cast<unsigned char>(a[i]));
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::size_t LastPathSeparator(std::string_view path) {
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(c))
            ++i;
        else if (c == '\\' || c == '|')
            last = i;
    }
    return last;
}

bool IsSameOrBelow(std::string_view path, std::string_view folder) {
    // A trailing "\" only where it is no trail byte.
    while (!folder.empty() && LastPathSeparator(folder) == folder.size() - 1) folder.remove_suffix(1);
    if (folder.empty() || path.size() < folder.size()) return false;
    if (!SamePath(path.substr(0, folder.size()), folder)) return false;
    // Cutting at folder's length splits no character: the two agree up to there.
    return path.size() == folder.size() || path[folder.size()] == '\\' || path[folder.size()] == '|';
}

std::vector<std::string> SplitNames(const std::string& text, const char* separators) {
    std::vector<std::string> names(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < text.size()) {
            names.back() += text.substr(i++, 2);
        } else if (c != '\0' && std::strchr(separators, c)) {
            if (!names.back().empty()) names.emplace_back();
        } else {
            names.back() += c;
        }
    }
    if (names.back().empty()) names.pop_back();
    return names;
}
