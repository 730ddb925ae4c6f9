// Registry backups read back: a .reg file in the registry editor's 5.00 format (UTF-16LE with its
// byte-order mark, as the backups are written) is parsed whole first, and only a file that parses
// is written into the registry, in the view its backup was taken in. A restore only ever adds:
// files that delete keys or values ("[-KEY]", "name"=-) are refused as malformed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "registry_view.h"

struct RegValue {
    std::wstring name;  // empty: the key's default value, "@"
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

struct RegSection {
    HKEY root = nullptr;
    std::wstring path;     // as the file names it: "HKEY_CURRENT_USER\Software\X"
    std::wstring sub_key;  // below the root: "Software\X"
    std::vector<RegValue> values;
};

struct RegFile {
    std::vector<RegSection> sections;
};

// The file's text after the byte-order mark. False with "line N: what is wrong"; file is left
// unchanged then.
bool ParseRegText(const std::wstring& text, RegFile& file, std::string* failure);
// Reads and parses a file; anything but UTF-16LE with a byte-order mark is refused.
bool ReadRegFile(const std::string& path, RegFile& file, std::string* failure);

// Whether the file holds exactly the item a manifest line names (code page 936, as written by the
// backup): "ROOT\key" as its first section, every other section below it; or "ROOT\key|name" as
// its one section holding one value. False with what it holds instead.
bool RegFileHoldsKey(const RegFile& file, const std::string& location, std::string* failure);
bool RegFileHoldsValue(const RegFile& file, const std::string& location, std::string* failure);

// Whether the section's key, or that value of it, is in the registry now, in the view. A key
// that exists but may not be opened counts as present.
bool RegKeyPresent(const RegSection& section, RegistryView view);
bool RegValuePresent(const RegSection& section, const RegValue& value, RegistryView view);

// Creates every section's key and writes its values, in the view. False with the first key or
// value that could not be written and the system's error number; what came before it stays.
bool ImportRegFile(const RegFile& file, RegistryView view, std::string* failure);
