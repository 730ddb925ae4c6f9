// Installed-software discovery: the folders in which Windows records that a program is
// installed, from the Windows Installer product registrations and the uninstall keys.
#pragma once

#include <windows.h>

#include <string>

#include "registry_view.h"
#include "splitters.h"

// Adds, once each, the install folder of every registration whose display name is contained in
// field 1 of an identification record: first those of Windows Installer, then those found only
// in the uninstall keys, then the users' own uninstall keys (every loaded hive, HKCU's
// included), then the uninstall keys' registrations without InstallLocation, whose folder is the
// one of their UninstallString or DisplayIcon program unless that is a protected folder, one
// above it, or inside the Windows folder. For each record and each of the two sources only the first matching
// display name counts; its location proposes nothing when it is a bare drive root or empty (a
// folder that no longer exists). Records without field 1 are passed over. The output is not
// emptied first.
void FindInstallPaths(const StringList& records, StringList& output, RegistryView view);

// Both scans append a registration only when both its display name and its install location are
// non-empty after trimming: the trimmed display name, and the trimmed location, in its long form
// when it names a drive path (":\"; empty when that folder does not exist). Entry i of the one
// list belongs to entry i of the other.

// Appends the Windows Installer registrations (display name, install location) of every hive
// listed, from HKLM's Installer\UserData\<hive>\Products\<product>\InstallProperties.
void ScanInstallerUserData(const StringList& user_sids, StringList& display_names, StringList& install_locations,
                           RegistryView view);

// Appends the registrations under HKLM's Uninstall key.
void ScanUninstallKeys(StringList& display_names, StringList& install_locations, RegistryView view);
// Appends the registrations under the Uninstall key of every hive listed (HKU\<hive>\Software\...),
// a missing InstallLocation read from the folder of the UninstallString or DisplayIcon program.
void ScanUserUninstallKeys(const StringList& user_sids, StringList& display_names, StringList& install_locations,
                           RegistryView view);
