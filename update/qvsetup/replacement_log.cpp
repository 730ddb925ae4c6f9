#include "replacement_log.h"

#include <windows.h>

#include "cp936_text.h"
#include "replacement_program.h"
#include "win32/handles.h"

namespace update {

ReplacementLog::ReplacementLog(bool enabled) {
    if (!enabled) return;
    const std::string settings = RestartSettingsPath();
    char name[MAX_PATH] = {};
    GetPrivateProfileStringA("CONFIG", "LOGFILENAME", "", name, sizeof name, settings.c_str());
    const std::string log_name = name;
    if (log_name.empty()) return;
    // A name with a path character is a path; a plain name lives beside the settings file.
    const bool is_path = FindCharacter(log_name, '\\') != std::string::npos ||
                         FindCharacter(log_name, '/') != std::string::npos || FindCharacter(log_name, ':') != std::string::npos;
    path_ = is_path ? log_name : settings.substr(0, FindLastCharacter(settings, '\\') + 1) + log_name;
}

void ReplacementLog::Line(const std::string& text) const {
    if (path_.empty()) return;
    KernelHandle file(CreateFileA(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    const std::string line = text + "\r\n";
    DWORD written = 0;
    if (file.IsOpen()) WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace update
