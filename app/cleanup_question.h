// The question "执行清除" asks before a clean-up starts: for which program, how many items of
// each report list the clean-up removes, which processes it ends, and what it passes over.
#pragma once

#include <string>
#include <vector>

#include "splitters.h"

// One report list as the question names it.
struct ListToClean {
    const char* caption;      // its tab's caption, "相关目录" ...
    const StringList* items;  // the engine's work list its rows went to
};

// Marked items ("<reason> item") are left by the clean-up: they are counted apart. Lists with
// nothing to remove are not named. Empty when nothing at all would be removed.
std::string CleanupQuestion(const std::string& program, const std::vector<ListToClean>& lists,
                            const StringList& processes);
