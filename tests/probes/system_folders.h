// The folders of the prefix that tests plant in and check: the Windows and system folders and
// the current user's profile.
#pragma once

#include <string>

std::string WindowsFolder();
std::string SystemFolder();
std::string ProfileFolder();
