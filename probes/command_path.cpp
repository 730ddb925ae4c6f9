#include "command_path.h"

#include <windows.h>

#include "text_rules.h"

std::string CommandFilePath(const std::string& command) {
    std::string path = Trimmed(command);
    if (!path.empty() && path.front() == '"') {
        const std::size_t close = path.find('"', 1);
        path = path.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    } else {
        const std::size_t exe = UpperCased(path).find(".EXE");
        if (exe != std::string::npos) path = path.substr(0, exe + 4);
        const std::size_t comma = path.rfind(',');
        if (comma != std::string::npos && path.find('\\', comma) == std::string::npos) path = path.substr(0, comma);
    }
    char expanded[MAX_PATH + 1] = {};
    const DWORD length = ExpandEnvironmentStringsA(path.c_str(), expanded, MAX_PATH);
    if (length > 0 && length <= MAX_PATH) path = expanded;
    return Trimmed(path);
}
