// The programs Windows records as installed, with the folders that belong to each: its
// InstallLocation and the folders of its UninstallString and DisplayIcon executables, from the
// uninstall keys of HKLM (both registry views), of the current user and of every loaded user
// hive, and from Windows Installer's product registrations.
#pragma once

#include <string>
#include <vector>

#include "splitters.h"

struct ProgramRegistration {
    std::string display_name;  // trimmed
    StringList folders;        // canonical (path_identity.h), never a drive root
};

std::vector<ProgramRegistration> ReadProgramRegistrations();

// The executable's folder of an UninstallString or DisplayIcon text (command_path.h); empty when
// it names no drive path.
std::string ExecutableFolderOf(const std::string& command);
