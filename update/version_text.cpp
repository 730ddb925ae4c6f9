#include "version_text.h"

#include <vector>

namespace update {

namespace {

// The value of a part: a decimal number that fits its 16 bits, or false.
bool PartValue(const std::string& part, uint32_t& value) {
    if (part.empty() || part.size() > 5) return false;
    value = 0;
    for (const char c : part) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    return value <= 0xFFFF;
}

}  // namespace

FileVersion ParseVersionText(const std::string& text) {
    const char separator = text.find(',') != std::string::npos ? ',' : '.';
    std::vector<std::string> parts(1);
    for (const char c : text) {
        if (c == separator)
            parts.emplace_back();
        else if (c != ' ')
            parts.back() += c;
    }
    FileVersion version;
    if (parts.size() > 4) return version;
    uint32_t numbers[4] = {0, 0, 0, 0};
    // An empty second or third part reads as 0; the first and the fourth must be numbers.
    for (size_t i = 0; i < parts.size(); ++i)
        if (!PartValue(parts[i], numbers[i]) && (i == 0 || i == 3 || !parts[i].empty())) return version;
    version.high = static_cast<int32_t>(numbers[0] << 16 | numbers[1]);
    version.low = static_cast<int32_t>(numbers[2] << 16 | numbers[3]);
    version.valid = true;
    return version;
}

bool IsNewerVersion(const FileVersion& candidate, const FileVersion& installed) {
    return candidate.high > installed.high || (candidate.high == installed.high && candidate.low > installed.low);
}

std::string VersionText(const FileVersion& version) {
    const auto high = static_cast<uint32_t>(version.high), low = static_cast<uint32_t>(version.low);
    return std::to_string(high >> 16) + "." + std::to_string(high & 0xFFFF) + "." + std::to_string(low >> 16) + "." +
           std::to_string(low & 0xFFFF);
}

}  // namespace update
