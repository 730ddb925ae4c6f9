#include "update_folders.h"

#include <windows.h>

#include "cp936_text.h"
#include "file_system.h"

namespace update {

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string program(path, length < MAX_PATH ? length : 0);
    const size_t separator = LastSeparator(program);
    return separator == std::string::npos ? "" : program.substr(0, separator + 1);
}

std::string CurrentFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, path);
    return length && length < MAX_PATH ? IncludeTrailingSeparator(path) : "";
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) { return UpperAscii(a) == UpperAscii(b); }

bool ContainsIgnoringCase(const std::string& text, const std::string& part) {
    return UpperAscii(text).find(UpperAscii(part)) != std::string::npos;
}

}  // namespace update
