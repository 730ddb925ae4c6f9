// Putting downloaded components in place of the program's files so that the program is never
// left half updated: every replaced file is kept until all new ones are in, and put back when
// any of them cannot be.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace update {

// Copies folder\NAME to program_folder\NAME for each name (both folders end with a backslash).
// True when all are in place; otherwise every file is as it was before. note receives a line
// for each step and each failure.
bool SwapComponents(const std::string& folder, const std::string& program_folder,
                    const std::vector<std::string>& names, const std::function<void(const std::string&)>& note);

}  // namespace update
