// Byte-level text rules shared by the database lookups and the probes. Texts are code page 936
// bytes; only ASCII letters fold, so double-byte characters compare byte for byte.
#pragma once

#include <string>

// Leading and trailing bytes of value 0 to 32 removed.
std::string Trimmed(const std::string& text);

// Single-byte "a" to "z" changed to "A" to "Z"; every other byte, and both bytes of a double-byte
// character (whose trail byte may be 0x61 to 0x7A), unchanged.
std::string UpperCased(std::string text);

// Byte-exact, case-sensitive substring test; an empty needle never occurs.
bool ContainsExact(const std::string& text, const std::string& needle);
