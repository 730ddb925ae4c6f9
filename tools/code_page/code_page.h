// Conversion between UTF-8 (the maker's source files and the tools' output) and code page 936
// (every text the program handles). Both directions are exact: a text converts only when every
// character has a code page 936 form that converts back to the same character; nothing is
// replaced by a look-alike or a default character.
#pragma once

#include <cstddef>
#include <string>

// True when the text is well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(const std::string& text);

// The byte length of the UTF-8 character that starts at text[at], or 0 when none starts there.
std::size_t Utf8CharacterLength(const std::string& text, std::size_t at);

// False, with cp936 unspecified, when the text is not valid UTF-8 or holds a character that
// code page 936 lacks.
bool Utf8ToCp936(const std::string& utf8, std::string& cp936);

// False, with utf8 unspecified, when the bytes are not well-formed code page 936.
bool Cp936ToUtf8(const std::string& cp936, std::string& utf8);

// For messages and listings: the UTF-8 form, or, when the bytes do not convert, the text with
// every byte outside printable ASCII written as \xNN.
std::string Cp936ToUtf8OrEscaped(const std::string& cp936);
