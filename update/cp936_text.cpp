#include "cp936_text.h"

namespace update {

namespace {

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

}  // namespace

size_t CharacterLength(const std::string& text, size_t at) {
    return at + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[at])) &&
                   IsTrailByte(static_cast<unsigned char>(text[at + 1]))
               ? 2
               : 1;
}

size_t FindCharacter(const std::string& text, char c, size_t from) {
    for (size_t at = from; at < text.size(); at += CharacterLength(text, at))
        if (text[at] == c) return at;
    return std::string::npos;
}

size_t FindLastCharacter(const std::string& text, char c) {
    size_t last = std::string::npos;
    for (size_t at = 0; at < text.size(); at += CharacterLength(text, at))
        if (text[at] == c) last = at;
    return last;
}

bool EndsWithCharacter(const std::string& text, char c) {
    size_t last = std::string::npos;
    for (size_t at = 0; at < text.size(); at += CharacterLength(text, at)) last = at;
    // A last character of two bytes is never c.
    return last != std::string::npos && last + 1 == text.size() && text[last] == c;
}

std::string UpperAscii(const std::string& text) {
    std::string upper = text;
    for (size_t at = 0; at < upper.size(); at += CharacterLength(upper, at))
        if (upper[at] >= 'a' && upper[at] <= 'z') upper[at] = static_cast<char>(upper[at] - 'a' + 'A');
    return upper;
}

}  // namespace update
