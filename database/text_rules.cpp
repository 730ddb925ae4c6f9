#include "text_rules.h"

#include "splitters.h"

std::string Trimmed(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
    return text.substr(begin, end - begin);
}

std::string UpperCased(std::string text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsLeadByte(static_cast<unsigned char>(c))) {
            ++i;  // the trail byte (0x40 to 0xFE) may look like a letter but is half of a character
        } else if (c >= 'a' && c <= 'z') {
            text[i] = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

bool ContainsExact(const std::string& text, const std::string& needle) {
    return !needle.empty() && text.find(needle) != std::string::npos;
}
