// Registry access shared by every probe: the access masks of a view, and the key-scan
// convention (open a base key, count, enumerate names into a 255-byte buffer, read values).
// Nothing here raises an error: a key that cannot be opened, a name that cannot be enumerated
// and a value that cannot be read simply give nothing.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "registry_view.h"
#include "win32/handles.h"

// Enumerated names go into a buffer of this many bytes, and its length is given as this.
constexpr DWORD kNameBufferLength = 255;

// access with KEY_WOW64_64KEY added in the 64-bit view, KEY_WOW64_32KEY in the 32-bit one.
REGSAM ViewAccess(REGSAM access, RegistryView view);
// Scans and deletion: KEY_ALL_ACCESS in the view.
inline REGSAM FullAccessMask(RegistryView view) { return ViewAccess(KEY_ALL_ACCESS, view); }
// Existence queries: KEY_QUERY_VALUE in the view.
inline REGSAM QueryAccessMask(RegistryView view) { return ViewAccess(KEY_QUERY_VALUE, view); }

// Opens root\path with the view's full-access mask; an empty path opens the root itself.
// Returns the Win32 status (0 on success); on failure key stays closed.
LONG OpenBaseKey(RegistryKey& key, HKEY root, const std::string& path, RegistryView view);

// The number of sub-keys or of values of an open key; 0 when it cannot be queried.
DWORD CountSubKeys(const RegistryKey& key);
DWORD CountValues(const RegistryKey& key);

// The name at index, enumerated into a zero-filled 255-byte buffer whose length is given as 255.
// A failed enumeration gives an empty name, also where the system leaves part of a name that
// did not fit in the buffer: names of 255 bytes or more come back empty.
std::string SubKeyNameAt(const RegistryKey& key, DWORD index);
std::string ValueNameAt(const RegistryKey& key, DWORD index);

// The size probe: true when the key holds a value of that name, of any type ("" is the default
// value).
bool HasValue(const RegistryKey& key, const std::string& value_name);

// Reads a value into a zero-filled buffer of 255 bytes, in one call when it fits (false when the
// value is absent, text unchanged). The text is the data up to the first zero byte, whatever the
// value's type. A value longer than 255 bytes is read whole, with more calls; when those fail
// the value still counts as present and its text is empty.
bool ReadValueText(const RegistryKey& key, const std::string& value_name, std::string& text);

// One step of a key walk: the open base key and the name found at the current index.
using KeyWalkVisitor = std::function<void(const RegistryKey& base, const std::string& name)>;

// Walks the sub-key names (or value names) of root\base_path: opens the base key with the view's
// full-access mask, counts, and visits each index in order. Names that could not be enumerated
// (empty) are passed over: they match nothing, and an empty sub-key name would stand for the
// base key itself. Keys the visitor opens below the base are its own, closed before it returns.
// False, with nothing visited, when the base key cannot be opened.
bool WalkSubKeyNames(HKEY root, const std::string& base_path, RegistryView view, const KeyWalkVisitor& visit);
bool WalkValueNames(HKEY root, const std::string& base_path, RegistryView view, const KeyWalkVisitor& visit);
