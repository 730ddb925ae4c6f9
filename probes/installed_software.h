// Installed-software discovery: the folders in which Windows records that a program is
// installed, from the Windows Installer product registrations and the uninstall keys.
#pragma once

#include <windows.h>

#include <string>

#include "splitters.h"

// Adds, once each, the install folder of every registration whose display name is contained in
// field 1 of an identification record: first those of Windows Installer, then those found only
// in the uninstall keys. The output is not emptied first.
void FindInstallPaths(const StringList& records, StringList& output, BYTE Use64BitView);

// Appends the Windows Installer registrations (display name, install location) of every hive.
void ScanInstallerUserData(const StringList& user_sids, StringList& display_names, StringList& install_locations,
                           BYTE Use64BitView);

// Appends the registrations under HKLM's Uninstall key.
void ScanUninstallKeys(StringList& display_names, StringList& install_locations, BYTE Use64BitView);
