// The order and equality of paths and registry keys in a snapshot: letter case aside, as Windows
// compares them, and in tree order, so that a folder or key comes right before everything below
// it ("C:\A", "C:\A\B", "C:\A B"). Texts are code page 936: the trail byte of a double-byte
// character is compared as it is, never folded nor taken for a separator. Portable.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Below zero when a comes first, zero when both name the same item, above zero otherwise.
// "\" and the "|" after a registry root sort before every other byte.
int ComparePaths(std::string_view a, std::string_view b);

inline bool SamePath(std::string_view a, std::string_view b) { return ComparePaths(a, b) == 0; }

// The last "\" or "|" that is no trail byte; npos when there is none.
std::size_t LastPathSeparator(std::string_view path);

// Whether path is folder itself or lies below it (letter case aside).
bool IsSameOrBelow(std::string_view path, std::string_view folder);

// The names of text between any of the separators; a trail byte is never a separator and empty
// names are dropped.
std::vector<std::string> SplitNames(const std::string& text, const char* separators);
