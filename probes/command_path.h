// The file a command text of the registry names: an uninstall command, an icon reference or a COM
// server path, as programs write them.
#pragma once

#include <string>

// The quoted path of a quoted text, else the text up to and with its ".exe" (arguments dropped)
// without an icon index (",0"); environment variables expanded; trimmed.
std::string CommandFilePath(const std::string& command);
