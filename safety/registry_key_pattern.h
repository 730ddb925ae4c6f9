// Registry keys as lists of names, and the patterns the table of protected keys is written in.
#pragma once

#include <string>
#include <vector>

// A key's names, root first, trimmed and upper-cased (single-byte letters only):
// {"HKLM", "SOFTWARE", "MICROSOFT"}.
using KeyNames = std::vector<std::string>;

// The key as callers write it: the root by its short or long name ("HKLM", "HKEY_LOCAL_MACHINE")
// in any letter case, the path with any number of backslashes and blanks around its names. Empty
// when the root is none of HKLM, HKCU, HKU and HKCR.
KeyNames KeyNamesOf(const std::string& root, const std::string& key_path);

// A pattern is a key path, root first, whose names may be placeholders:
//   <hive>           one user's hive under HKU (S-1-5-21-...-1000, .DEFAULT, S-1-5-18), not a class hive
//   <classes-hive>   one user's class hive under HKU (S-1-5-21-...-1000_Classes)
//   <controlset>     CurrentControlSet or ControlSet001 to ControlSet999
//   <name>           any one name
//   **               last only: every key below, at any depth
// Other names compare in any letter case.
KeyNames ParsedPattern(const std::string& text);

// The pattern's names after prefix's.
KeyNames Joined(const KeyNames& prefix, const KeyNames& pattern);

enum class PatternMatch {
    kNone,
    kKeyOrAbove,      // the key the pattern names, or one of its ancestors
    kBelowWholeTree,  // strictly below the fixed part of a pattern that ends in "**"
};
PatternMatch Match(const KeyNames& key, const KeyNames& pattern);

// True when key is the pattern's key or lies below it ("**" is not expected here).
bool StartsWith(const KeyNames& key, const KeyNames& pattern);

// The names of key from the index on.
KeyNames Below(const KeyNames& key, std::size_t index);
