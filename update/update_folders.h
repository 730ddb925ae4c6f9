// The folders an update run works in, each with a trailing backslash.
#pragma once

#include <string>

namespace update {

std::string ProgramFolder();     // of the running executable
std::string TempFolder();        // GetTempPathA
std::string CurrentFolder();     // the process's current directory
std::string FileNameOf(const std::string& path);  // after the last "\" or "/"
bool EqualsIgnoringCase(const std::string& a, const std::string& b);  // ASCII letters
bool ContainsIgnoringCase(const std::string& text, const std::string& part);

}  // namespace update
