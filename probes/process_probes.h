// Process lookup and termination by executable name: the bare file name the process snapshot
// gives, compared by the same-name rule after both are trimmed (any ASCII letter case, blanks
// around it ignored). A name that holds a folder never matches.
#pragma once

#include <string>

bool IsProcessRunning(const std::string& name);

// The full path of the image of the first running process of that name; empty when none runs or
// the system does not tell.
std::string ProcessImagePath(const std::string& name);

// Ends the first running process of that name (further instances keep running) and waits a
// few seconds at most for it to go. True when no process of that name ran or the one found has
// ended; false when it could not be opened, terminated, or did not end in time, and for the
// system's own processes, which are never ended.
bool KillProcessByName(const std::string& name);
