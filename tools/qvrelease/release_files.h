// Whole files as the release tool reads and writes them. A rewrite goes to a temporary file
// beside the target and is renamed over it: readers see the old file or the new one, never half.
#pragma once

#include <string>

// Throws std::runtime_error naming the file when it cannot be read.
std::string FileBytes(const std::string& path);
// Throws std::runtime_error naming the file; the target is untouched when writing fails.
void ReplaceFileInOneStep(const std::string& path, const std::string& bytes);
// The size of a regular file, or -1 when path names none.
long long RegularFileSize(const std::string& path);
std::string PathInFolder(const std::string& folder, const std::string& name);
