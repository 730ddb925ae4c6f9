#include "url_file_name.h"

#include "cp936_text.h"

namespace update {

namespace {

std::string AfterLast(const std::string& text, char separator) {
    const size_t at = FindLastCharacter(text, separator);
    return at == std::string::npos ? text : text.substr(at + 1);
}

// Windows opens a device for its name whatever extension follows and whatever blanks precede it.
bool IsDeviceName(const std::string& name) {
    std::string stem = UpperAscii(name.substr(0, name.find('.')));
    stem.erase(stem.find_last_not_of(' ') + 1);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (stem == device) return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

bool IsForbiddenCharacter(const std::string& name, size_t at) {
    if (CharacterLength(name, at) == 2) return false;
    const auto c = static_cast<unsigned char>(name[at]);
    // A lead byte without its trail byte is no character at all.
    return c < 0x20 || c == 0x7F || c >= 0x81 || std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos;
}

}  // namespace

std::string LocalFileNameFromUrl(const std::string& url) {
    return AfterLast(AfterLast(AfterLast(url, '/'), '\\'), '?');
}

bool IsSafeLocalFileName(const std::string& name) {
    if (name.empty() || name == "." || name == ".." || EndsWithCharacter(name, '.') || EndsWithCharacter(name, ' '))
        return false;
    for (size_t at = 0; at < name.size(); at += CharacterLength(name, at))
        if (IsForbiddenCharacter(name, at)) return false;
    return !IsDeviceName(name);
}

}  // namespace update
