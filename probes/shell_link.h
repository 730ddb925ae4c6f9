// Reading a shortcut (.lnk) through the shell's IShellLinkA. Needs COM initialised on the
// calling thread.
#pragma once

#include <string>

// The long forms of the shortcut's working directory and target. Both start empty; each stays
// empty when the shortcut cannot be read (COM not initialised, no such file, not a shortcut, a
// path of MAX_PATH characters or more) or what it names no longer exists.
void ResolveShellLink(const std::string& shortcut_path, std::string& working_directory, std::string& target);
