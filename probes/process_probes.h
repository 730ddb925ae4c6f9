// Process lookup and termination by executable name (same name, trimmed, any ASCII case).
#pragma once

#include <string>

bool IsProcessRunning(const std::string& name);

// Ends the first running process of that name and waits briefly for it to go. True when no
// process of that name ran or the one found has ended; false when it could not be ended.
bool KillProcessByName(const std::string& name);
