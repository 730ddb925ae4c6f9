#include "ini_text.h"

#include <fstream>
#include <set>

#include "cp936_text.h"

namespace update {

namespace {

constexpr size_t kLongestValue = 2047;
// A control file is a few kilobytes; a larger one is not read beyond this.
constexpr std::streamsize kLongestFile = 1 << 20;

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Unquoted(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::string Slot(const std::string& section, const std::string& key) {
    return UpperAscii(Trimmed(section)) + "\n" + UpperAscii(Trimmed(key));
}

// At most longest bytes, without splitting a double-byte character.
std::string Truncated(const std::string& value, size_t longest) {
    size_t end = 0;
    while (end < value.size() && end + CharacterLength(value, end) <= longest) end += CharacterLength(value, end);
    return value.substr(0, end);
}

}  // namespace

IniText IniText::Parse(const std::string& bytes) {
    IniText ini;
    std::string section;
    // A section that appears again adds nothing: lookups stop at its first appearance.
    std::set<std::string> sections_seen;
    bool repeated_section = false;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        line = Trimmed(line);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            const size_t close = FindLastCharacter(line, ']');
            if (close == std::string::npos) continue;  // no section header, and no key either
            section = line.substr(1, close - 1);
            repeated_section = !sections_seen.insert(UpperAscii(Trimmed(section))).second;
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos || repeated_section) continue;
        ini.values_.emplace(Slot(section, line.substr(0, equals)),
                            Truncated(Unquoted(Trimmed(line.substr(equals + 1))), kLongestValue));
    }
    return ini;
}

IniText IniText::Load(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string bytes(static_cast<size_t>(kLongestFile), '\0');
    file.read(&bytes[0], kLongestFile);
    bytes.resize(static_cast<size_t>(file.gcount()));
    return Parse(bytes);
}

const std::string* IniText::Find(const std::string& section, const std::string& key) const {
    const auto found = values_.find(Slot(section, key));
    return found == values_.end() ? nullptr : &found->second;
}

std::string IniText::String(const std::string& section, const std::string& key, const std::string& fallback) const {
    const std::string* value = Find(section, key);
    return value ? *value : fallback;
}

bool ParseIniInteger(const std::string& text, int32_t& value) {
    size_t at = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) at = 1;
    int base = 10;
    if (text.compare(at, 2, "0x") == 0 || text.compare(at, 2, "0X") == 0) {
        base = 16;
        at += 2;
    } else if (text.compare(at, 1, "$") == 0) {
        base = 16;
        at += 1;
    }
    if (at == text.size()) return false;
    uint64_t number = 0;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        number = number * base + digit;
        if (number > 0xFFFFFFFFull) return false;
    }
    // Hexadecimal spells the 32 bits (0xFFFFFFFF is -1); decimal must fit a signed 32-bit number.
    if (base == 16) {
        const auto bits = static_cast<uint32_t>(number);
        value = static_cast<int32_t>(negative ? 0u - bits : bits);
        return true;
    }
    if (number > (negative ? 2147483648ull : 2147483647ull)) return false;
    value = static_cast<int32_t>(negative ? -static_cast<int64_t>(number) : static_cast<int64_t>(number));
    return true;
}

int32_t IniText::Integer(const std::string& section, const std::string& key, int32_t fallback) const {
    const std::string* text = Find(section, key);
    int32_t value = 0;
    return text && ParseIniInteger(*text, value) ? value : fallback;
}

bool IniText::YesNo(const std::string& section, const std::string& key) const { return Integer(section, key, 0) == 1; }

std::string MessageText(const std::string& value) {
    std::string text;
    for (size_t at = 0; at < value.size();) {
        const size_t length = CharacterLength(value, at);
        if (length == 1 && value[at] == '\\' && at + 1 < value.size() && value[at + 1] == 'n') {
            text += "\r\n";
            at += 2;
        } else {
            text.append(value, at, length);
            at += length;
        }
    }
    return text;
}

}  // namespace update
