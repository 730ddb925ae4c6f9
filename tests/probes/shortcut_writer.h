// Writes a real shortcut through the shell's IShellLinkA and IPersistFile, for tests that read
// shortcuts. COM must be initialised on the calling thread.
#pragma once

#include <string>

bool WriteShortcut(const std::string& path, const std::string& target, const std::string& working_directory);
