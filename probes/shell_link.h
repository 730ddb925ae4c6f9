// Reading a shortcut (.lnk) through the shell's IShellLinkA. Needs COM initialised on the
// calling thread.
#pragma once

#include <string>

// The long forms of the shortcut's working directory and target; each is empty when it cannot
// be read or no longer exists.
void ResolveShellLink(const std::string& shortcut_path, std::string& working_directory, std::string& target);
