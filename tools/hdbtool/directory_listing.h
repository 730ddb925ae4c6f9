// The entries of one folder, for reading the signature source tree. Portable: dirent on both
// platforms (MinGW-w64 provides it over the ANSI find functions).
#pragma once

#include "splitters.h"

// The names of the folder's files and subfolders, each list in byte order, without "." and "..".
// False when the folder cannot be read.
bool ListFolder(const std::string& folder, StringList& files, StringList& folders);
