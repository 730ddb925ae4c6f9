#include "splitters.h"

namespace {

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// Advances past one character: two bytes for a lead byte followed by another byte.
std::size_t NextCharacter(const std::string& text, std::size_t i) {
    return (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? i + 2 : i + 1;
}

bool SplitBy(const std::string& text, char separator, StringList& fields) {
    fields.clear();
    std::size_t i = 0;
    const std::size_t end = text.size();
    while (i < end) {
        while (i < end && IsLineBreak(text[i])) ++i;
        const std::size_t start = i;
        while (i < end) {
            const char c = text[i];
            if (c == separator || IsLineBreak(c)) break;
            if (c == '"' || c == '\'') {
                // A quoted run holds everything up to its own closing quote.
                i = NextCharacter(text, i);
                while (i < end && text[i] != c) i = NextCharacter(text, i);
                if (i < end) ++i;
                continue;
            }
            i = NextCharacter(text, i);
        }
        if (i > end) i = end;
        if (i > start) fields.push_back(text.substr(start, i - start));
        if (i < end) ++i;  // the one ending character
    }
    return !fields.empty();
}

}  // namespace

bool SplitByBar(const std::string& text, StringList& fields) { return SplitBy(text, '|', fields); }

bool SplitByBackslash(const std::string& text, StringList& fields) { return SplitBy(text, '\\', fields); }
