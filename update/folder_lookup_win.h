// The folders behind the control file's tokens on this machine.
#pragma once

#include <string>

#include "folder_tokens.h"

namespace update {

// WIN, SYS, APP (program_folder), TMP, DOC, PF and LAD. LAD throws std::runtime_error
// "Could not find Local Application Data folder location." when the shell has none.
FolderLookup WindowsFolderLookup(const std::string& program_folder);

// The user's temporary folder (GetTempPathA), ending in a backslash; "" when the system has none.
std::string TemporaryFolder();
// The user's documents folder (CSIDL_PERSONAL), ending in a backslash; "" when the shell has none.
std::string DocumentsFolder();

}  // namespace update
