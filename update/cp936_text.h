// Code page 936 texts read one character at a time: a lead byte (0x81-0xFE) followed by a
// trail byte (0x40-0xFE except 0x7F) is one character, and a trail byte may be the same value
// as "\", "{", "}", "[", "]" or "|". Searching such texts byte by byte would split characters.
#pragma once

#include <cstddef>
#include <string>

namespace update {

// 2 at a double-byte character, 1 otherwise (also for a lead byte without a valid trail byte).
size_t CharacterLength(const std::string& text, size_t at);
// The position of the first character c at or after from (a character start), or npos.
size_t FindCharacter(const std::string& text, char c, size_t from = 0);
// The position of the last character c, or npos.
size_t FindLastCharacter(const std::string& text, char c);
// True when the last character of text is c.
bool EndsWithCharacter(const std::string& text, char c);
// ASCII letters upper-cased; double-byte characters stay as they are.
std::string UpperAscii(const std::string& text);

}  // namespace update
