// Registry keys and values written out in the registry editor's own .reg format ("Windows
// Registry Editor Version 5.00", UTF-16LE), so that what a clean-up removes can be put back with
// the system's own regedit, with or without Kestrune.
#pragma once

#include <windows.h>

#include <string>

#include "registry_view.h"

// One key with all its values and subkeys, or one value of a key, as .reg text (without the
// header). root_name is the full root name the file shows ("HKEY_LOCAL_MACHINE" ...). False with
// the reason when the key or value cannot be read; nothing is appended then.
bool ExportRegistryKey(HKEY root, const std::string& root_name, const std::string& sub_key, RegistryView view,
                       std::wstring& text, std::string* failure);
bool ExportRegistryValue(HKEY root, const std::string& root_name, const std::string& sub_key,
                         const std::string& value_name, RegistryView view, std::wstring& text, std::string* failure);

// The whole file: the header, a comment naming the view, the exported text; UTF-16LE with its
// byte-order mark. False with the reason when it cannot be written.
bool WriteRegFile(const std::string& path, RegistryView view, const std::wstring& body, std::string* failure);
