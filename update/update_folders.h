// The folders an update run works in, each with a trailing backslash.
#pragma once

#include <string>

namespace update {

std::string ProgramFolder();     // of the running executable
std::string CurrentFolder();     // the process's current directory
bool EqualsIgnoringCase(const std::string& a, const std::string& b);  // ASCII letters
bool ContainsIgnoringCase(const std::string& text, const std::string& part);

}  // namespace update
