#include "code_page.h"

#include <cstdio>

#include "code_page_platform.h"

std::size_t Utf8CharacterLength(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return 1;
    std::size_t length;
    unsigned long code;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        code = code << 6 | (byte(at + i) & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF) return 0;
    return length;
}

bool IsValidUtf8(const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8CharacterLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

bool Utf8ToCp936(const std::string& utf8, std::string& cp936) {
    if (!IsValidUtf8(utf8)) return false;
    std::string back;
    return code_page_platform::ConvertUtf8ToCp936(utf8, cp936) && code_page_platform::ConvertCp936ToUtf8(cp936, back) &&
           back == utf8;
}

bool Cp936ToUtf8(const std::string& cp936, std::string& utf8) {
    std::string back;
    return code_page_platform::ConvertCp936ToUtf8(cp936, utf8) && IsValidUtf8(utf8) &&
           code_page_platform::ConvertUtf8ToCp936(utf8, back) && back == cp936;
}

std::string Cp936ToUtf8OrEscaped(const std::string& cp936) {
    std::string utf8;
    if (Cp936ToUtf8(cp936, utf8)) return utf8;
    std::string escaped;
    for (unsigned char c : cp936) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            escaped += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            escaped += hex;
        }
    }
    return escaped;
}
