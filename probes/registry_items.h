// Operations on single registry items: presence of a database record on this machine,
// deletion of a chosen item, fitting per-user paths to the local hives, and the Windows
// Installer folder list. Items under the SharedDlls reference counts are never touched.
#pragma once

#include <windows.h>

#include <string>

#include "registry_view.h"
#include "splitters.h"

// A database record "program key|ROOT|key path[|value]" that exists on this machine. In the
// default view the key must open with full access, in the 64-bit view for reading. Records of
// fewer than three or more than four fields, or with a root that is none of the four: false.
bool RegistryItemExists(const std::string& record, RegistryView view);

// The same look-up, telling a key that is there but refuses us from one that is not there.
enum class RegistryPresence { kAbsent, kPresent, kInaccessible };
RegistryPresence LookUpRegistryRecord(const std::string& record, RegistryView view);

// Deletes "ROOT|key path" (the key with everything below it) or "ROOT|key path|value".
// The default view deletes sub-keys from the highest index down and then the key; the 64-bit
// view uses RegDeleteTreeA and RegDeleteKeyExA, and deletes no key where they are missing.
// True when the item is gone afterwards (also when it was not there); false when the system
// refused, the item is protected (a key that Windows or every program needs, the shared-DLL
// counts) or malformed (a root other than the four, more than three fields), or something below
// the key stayed; then partly, when given, says whether some of the key went. A user path counts
// as gone only when no local hive still holds it.
bool DeleteRegistryItem(const std::string& item, RegistryView view, bool* partly = nullptr);

// The key path with its first component replaced by the first local hive under which the key
// opens with trial_access; unchanged when the path holds no "S-" or no hive has the key.
std::string RetargetUserSid(const std::string& key_path, RegistryView view, REGSAM trial_access);

// Adds once each HKLM Installer\Folders value whose trimmed name contains one of the trimmed
// directories, as the item "HKLM|SOFTWARE\...\Installer\Folders|<name>". The names end in "\",
// so a directory matches its own folder and every folder below it.
void ScanInstallerFolders(const StringList& directories, StringList& output, RegistryView view);
