// Which programs of a listed catalogue this machine has registered as installed, read from
// copies of what it needs: the software page reads them on a thread of their own.
#pragma once

#include <string>
#include <vector>

#include "registry_view.h"
#include "splitters.h"

// For each catalogue line (as the engine lists them, "KEY|..."), whether a display name of the
// registrations TQX::ListInstallPaths reads (Windows Installer and the uninstall keys, in every
// view SearchViews gives), whatever their folders, is contained in one of its identification
// records, read from the type's files in work_folder, as ListInstallPaths matches them. The
// registrations are read once. Empty for an empty catalogue. Touches nothing but the registry
// and those files.
std::vector<bool> InstalledMarksOf(const std::string& work_folder, const std::string& type,
                                   const StringList& catalogue, RegistryView view);
