// What the restore tests compare before a clean-up and after a restore: files and folder trees
// with their bytes and attributes, registry keys with every value's type and data, each read in
// a given registry view; and the small helpers that plant and remove them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Sorted lines "relative path|attributes|bytes" for the file or folder at path and everything
// below it (attributes: read-only, hidden, system, directory); empty when nothing is there.
std::vector<std::string> DiskSnapshot(const std::string& path);

// Sorted lines "key" and "key|name|type|hex data" for root\path and every key below it, opened
// with view_flag (0, KEY_WOW64_64KEY or KEY_WOW64_32KEY); empty when the key is not there.
std::vector<std::string> KeySnapshot(HKEY root, const std::wstring& path, REGSAM view_flag);

// Keys and values in the view (0, KEY_WOW64_64KEY or KEY_WOW64_32KEY); a key is made with its
// parents, and removed with everything below it.
void CreateKey(HKEY root, const std::wstring& path, REGSAM view_flag);
void DeleteKeyTree(HKEY root, const std::wstring& path, REGSAM view_flag);
LONG SetValue(HKEY root, const std::wstring& path, REGSAM view_flag, const std::wstring& name, DWORD type,
              const std::vector<BYTE>& data);
void DeleteValue(HKEY root, const std::wstring& path, REGSAM view_flag, const std::wstring& name);

// A string value's bytes with the terminating zero.
std::vector<BYTE> Utf16(const std::wstring& text);

std::string FileBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
