// Folder tokens such as {APP} in the control file's values, replaced by the folders they name.
#pragma once

#include <functional>
#include <string>

namespace update {

// The folder of an upper-cased token name; "" for a name it does not know.
using FolderLookup = std::function<std::string(const std::string& upper_name)>;

// Each "{NAME}" becomes its folder: with a backslash appended unless it ends in one, then, for a
// folder longer than three characters whose second character is ":", without it again;
// otherwise with "." appended (so D:\ becomes D:\. and an unknown name "."). The scan goes on
// at the start of the inserted text; text outside braces stays. The value is read as code page
// 936 characters: the second byte of a double-byte character opens and closes no token. May
// throw what lookup throws.
std::string ExpandFolderTokens(const std::string& value, const FolderLookup& lookup);

}  // namespace update
