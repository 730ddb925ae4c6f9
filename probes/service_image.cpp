#include "service_image.h"

#include "file_system.h"
#include "text_rules.h"

namespace {

bool StartsWithNoCase(const std::string& text, const std::string& upper_prefix) {
    return UpperCased(text.substr(0, upper_prefix.size())) == upper_prefix;
}

std::string WithWindowsFolderExpanded(std::string text, const std::string& windows_folder) {
    for (const std::string variable : {"%SYSTEMROOT%", "%WINDIR%"}) {
        std::size_t at = UpperCased(text).find(variable);
        while (at != std::string::npos) {
            text.replace(at, variable.size(), windows_folder);
            at = UpperCased(text).find(variable, at + windows_folder.size());
        }
    }
    return text;
}

// The file part of a command line (see ServiceImageFile).
std::string FileOfCommandLine(const std::string& command) {
    if (!command.empty() && command.front() == '"') {
        const std::size_t close = command.find('"', 1);
        return command.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    const std::string upper = UpperCased(command);
    for (std::size_t exe = upper.find(".EXE"); exe != std::string::npos; exe = upper.find(".EXE", exe + 1)) {
        const std::size_t end = exe + 4;
        if (end == upper.size() || upper[end] == ' ' || upper[end] == '\t') return command.substr(0, end);
    }
    return command;
}

// The Win32 form of the NT and device spellings that image paths use.
std::string Win32PathOf(const std::string& path, const std::string& windows_folder) {
    if (StartsWithNoCase(path, "\\??\\UNC\\") || StartsWithNoCase(path, "\\\\?\\UNC\\")) return "\\\\" + path.substr(8);
    if (path.compare(0, 4, "\\??\\") == 0 || path.compare(0, 4, "\\\\?\\") == 0) return path.substr(4);
    if (StartsWithNoCase(path, "\\SYSTEMROOT\\")) return JoinPath(windows_folder, path.substr(12));
    // A drive path, a network path, or one that starts with a variable left unexpanded.
    if (path.compare(0, 2, "\\\\") == 0 || (path.size() >= 2 && path[1] == ':') || path.front() == '%') return path;
    if (path.front() == '\\' || path.front() == '/') return windows_folder.substr(0, 2) + path;
    return JoinPath(windows_folder, path);
}

}  // namespace

std::string ServiceImageFile(const std::string& image_path, const std::string& windows_folder) {
    const std::string command = Trimmed(WithWindowsFolderExpanded(image_path, windows_folder));
    const std::string file = Trimmed(FileOfCommandLine(command));
    return file.empty() ? std::string() : Win32PathOf(file, windows_folder);
}
