// The folders of this machine that no clean-up may take, whatever a record or an install location
// says: the Windows folder and its system folders, the Program Files and Common Files roots,
// ProgramData, the Users roots, every profile's root and known shell folders (All Users, Public
// and Default included), the temporary folder and the uninstaller's own folder. A folder strictly
// inside one of them may go; the folder itself, and every folder above it, never.
#pragma once

#include <string>

#include "splitters.h"

// Canonical forms (see path_identity.h) of the protected folders, read from the system now.
StringList ReadProtectedFolders();

// The Windows folder, canonical.
std::string CanonicalWindowsFolder();

// The system folders inside which a file of Windows' own may lie (System32, SysWOW64, drivers,
// the Windows folder itself, ...), canonical.
StringList ReadSystemFileFolders();
