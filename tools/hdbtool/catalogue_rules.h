// What makes a catalogue line work with the window's filters. The filters test the whole line
// as text: a line belongs to a sub-type when it contains the sub-type's name anywhere, and to
// Windows XP or 7 when it contains "|5.1|" or "|6.1|". hdbtool therefore fixes what fields 2,
// 4 and 5 hold and keeps those texts out of the other fields.
#pragma once

#include <string>
#include <vector>

#include "splitters.h"

// The sub-type values of the window's filter.
const std::vector<std::string>& SubTypeNames();

// Empty when the line (code page 936, key included) and its fields satisfy the rules;
// otherwise what is wrong, in UTF-8.
std::string CatalogueFault(const std::string& line, const StringList& fields);
