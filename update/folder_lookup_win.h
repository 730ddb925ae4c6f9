// The folders behind the control file's tokens on this machine.
#pragma once

#include <string>

#include "folder_tokens.h"

namespace update {

// WIN, SYS, APP (program_folder), TMP, DOC, PF and LAD. LAD throws std::runtime_error
// "Could not find Local Application Data folder location." when the shell has none.
FolderLookup WindowsFolderLookup(const std::string& program_folder);

}  // namespace update
