#include "matching.h"

#include <windows.h>

#include <climits>

namespace {

bool EqualIgnoringCase(const std::string& first, const std::string& second) {
    // CompareStringA takes int lengths; texts beyond that are no names and equal nothing.
    if (first.size() > INT_MAX || second.size() > INT_MAX) return false;
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, first.data(), static_cast<int>(first.size()),
                          second.data(), static_cast<int>(second.size())) == CSTR_EQUAL;
}

}  // namespace

bool TextContains(const std::string& text, const std::string& needle) {
    return ContainsExact(UpperCased(text), UpperCased(needle));
}

bool IsListedIn(const StringList& list, const std::string& candidate) {
    for (const std::string& entry : list)
        if (EqualIgnoringCase(entry, candidate)) return true;
    return false;
}

bool IsSameName(const std::string& first, const std::string& second) {
    return first.size() == second.size() && UpperCased(first) == UpperCased(second);
}

bool EqualWhenUpper(const std::string& first, const std::string& second) {
    return UpperCased(Trimmed(first)) == UpperCased(Trimmed(second));
}

bool AddOnce(StringList& list, const std::string& entry) {
    if (IsListedIn(list, entry)) return false;
    list.push_back(entry);
    return true;
}

UpperNameSet::UpperNameSet(const StringList& names) {
    for (const std::string& name : names) keys_.insert(UpperCased(Trimmed(name)));
}

bool UpperNameSet::Contains(const std::string& name) const {
    return !keys_.empty() && keys_.count(UpperCased(Trimmed(name))) != 0;
}
