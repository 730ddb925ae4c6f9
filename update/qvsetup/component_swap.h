// Putting downloaded components in place of the program's files so that the program is never
// left half updated: every replaced file is kept as NAME.qvbak until all new ones are in, and put
// back when any of them cannot be.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace update {

// Receives a line for each step and each failure.
using SwapNote = std::function<void(const std::string&)>;

// Copies folder\NAME to program_folder\NAME for each name (both folders end with a backslash; a
// name given twice counts once). True when all are in place and the kept files are removed;
// otherwise every file of program_folder is as it was before.
bool SwapComponents(const std::string& folder, const std::string& program_folder,
                    const std::vector<std::string>& names, const SwapNote& note);

}  // namespace update
