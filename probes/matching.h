// The matching vocabulary of the probes: every probe decides a match with these words.
// Texts are code page 936 bytes; apart from "listed in", only the ASCII letters fold, so
// double-byte characters compare byte for byte.
#pragma once

#include <string>
#include <unordered_set>

#include "splitters.h"
#include "text_rules.h"  // trimmed (Trimmed) and upper-cased (UpperCased)

// contains: both upper-cased, then a byte-exact substring test. An empty needle never matches,
// nor does a needle longer than the text.
bool TextContains(const std::string& text, const std::string& needle);

// listed in: the list holds an entry equal to the whole candidate by the system's locale-aware
// comparison on the user's default locale, ignoring case.
bool IsListedIn(const StringList& list, const std::string& candidate);

// same name: the whole texts are equal once "a" to "z" of both are folded to upper case.
bool IsSameName(const std::string& first, const std::string& second);

// equal when upper: both trimmed and upper-cased, then byte-exact equality.
bool EqualWhenUpper(const std::string& first, const std::string& second);

// added once: appends entry unless it is already listed in list. True when it was appended.
bool AddOnce(StringList& list, const std::string& entry);

// A set of names matched by the equal-when-upper rule: Contains(name) holds exactly when
// EqualWhenUpper(name, known) holds for one of the names, at the cost of one look-up.
class UpperNameSet {
public:
    explicit UpperNameSet(const StringList& names);
    bool Contains(const std::string& name) const;
    bool Empty() const { return keys_.empty(); }

private:
    std::unordered_set<std::string> keys_;  // trimmed and upper-cased
};
