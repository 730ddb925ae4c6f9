#include "update_folders.h"

#include <windows.h>

#include <algorithm>

namespace update {

namespace {

std::string WithSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperAscii(std::string text) {
    for (char& c : text) c = UpperAscii(c);
    return text;
}

}  // namespace

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length < MAX_PATH ? length : 0);
    return WithSeparator(folder.substr(0, folder.find_last_of('\\') == std::string::npos
                                              ? 0
                                              : folder.find_last_of('\\')));
}

std::string TempFolder() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof path, path);
    return WithSeparator(std::string(path, length <= MAX_PATH ? length : 0));
}

std::string CurrentFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, path);
    return WithSeparator(std::string(path, length < MAX_PATH ? length : 0));
}

std::string FileNameOf(const std::string& path) {
    const size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) { return UpperAscii(a) == UpperAscii(b); }

bool ContainsIgnoringCase(const std::string& text, const std::string& part) {
    return UpperAscii(text).find(UpperAscii(part)) != std::string::npos;
}

}  // namespace update
