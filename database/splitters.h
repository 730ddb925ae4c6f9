// The one splitting rule for "|"-separated records and registry items and "\"-separated key
// paths. Quotes group a run and stay in the item, empty items are dropped, blanks stay, and
// the trail byte of a double-byte character is never taken as a separator.
#pragma once

#include <string>
#include <vector>

using StringList = std::vector<std::string>;

// Clears fields and fills it; true when at least one field was found.
bool SplitByBar(const std::string& text, StringList& fields);
bool SplitByBackslash(const std::string& text, StringList& fields);

// Code page 936 lead byte: it and the byte after it form one character.
inline bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
