// The folders Windows names for this machine and its users: shell folders, folder variables of
// the environment, the user profiles, and what a record's leading path variable stands for.
#pragma once

#include <string>

#include "splitters.h"

// A shell folder by its CSIDL, empty when the system has none.
std::string ShellFolder(int csidl);
// An environment variable's value, empty when it is not set.
std::string EnvironmentVariable(const char* name);
// The text with its environment variables expanded; the text itself when that fails.
std::string ExpandedText(const std::string& text);
// The root folder of every user profile of the profile list (ProfileImagePath), as written.
StringList UserProfileRoots();

// A record's path on this machine: a plain path as it is; a path that begins with a known
// variable once for a machine folder (%PROGRAMFILES%: the 64-bit Program Files on 64-bit
// Windows) and once per user profile for a per-user one (%APPDATA% ...), below each profile as
// below the current user's. Empty for a path that does not parse (record_path_variables.h).
StringList ExpandRecordPath(const std::string& path);
