// hdbtool's commands. Each prints what it found (UTF-8) and returns the process exit code:
// 0 when all is well, 1 on any fault.
#pragma once

#include <string>

#include "splitters.h"

// Builds the package from the source tree; OUT is replaced only by a complete, verified package.
int RunBuild(const std::string& source_root, const std::string& package_path);

// Prints every decoded record of every file, or of the named files only.
int RunDump(const std::string& package_path, const StringList& file_names);

// Checks the package and prints each fault, or a one-line summary.
int RunVerify(const std::string& package_path);
