// Paths in records that name a folder by a variable, so that one record fits every machine and
// every user: "%APPDATA%\Quillmoss\settings.dat". A variable can only begin a path; the per-user
// ones are expanded for every user profile on the machine, the others once.
#pragma once

#include <string>

enum class PathVariableScope { kPerUser, kMachine };

struct PathVariable {
    const char* name;  // upper-case, without the percent signs
    PathVariableScope scope;
};

// %APPDATA%, %LOCALAPPDATA%, %USERPROFILE%, %PROGRAMDATA%, %PROGRAMFILES%, %COMMONPROGRAMFILES%,
// %WINDIR% and %SYSTEMROOT%.
constexpr PathVariable kPathVariables[] = {
    {"APPDATA", PathVariableScope::kPerUser},        {"LOCALAPPDATA", PathVariableScope::kPerUser},
    {"USERPROFILE", PathVariableScope::kPerUser},    {"PROGRAMDATA", PathVariableScope::kMachine},
    {"PROGRAMFILES", PathVariableScope::kMachine},   {"COMMONPROGRAMFILES", PathVariableScope::kMachine},
    {"WINDIR", PathVariableScope::kMachine},         {"SYSTEMROOT", PathVariableScope::kMachine},
};

struct RecordPath {
    const PathVariable* variable = nullptr;  // null: a plain full path
    std::string rest;                        // after the variable: "" or "\..."
};

// Reads a record's path. False, with what is wrong, for a variable that is not one of the known
// ones (letter case aside), a percent sign anywhere but in a leading variable, or a variable not
// followed by a backslash or the end.
bool ParseRecordPath(const std::string& path, RecordPath& parsed, std::string& fault);
