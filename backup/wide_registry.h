// The registry by wide names: .reg files are UTF-16, and a key or value name read from one is
// opened, created and written as it is, never through code page 936 (which lacks characters).
#pragma once

#include <windows.h>

#include <string>

#include "win32/ansi_text.h"

// A registry key opened or created by its wide name; closed when it goes out of scope. Both
// return the Win32 status; on failure the key stays empty.
class WideRegistryKey {
public:
    WideRegistryKey() = default;
    ~WideRegistryKey() { Close(); }
    WideRegistryKey(const WideRegistryKey&) = delete;
    WideRegistryKey& operator=(const WideRegistryKey&) = delete;

    LONG Open(HKEY parent, const std::wstring& sub_key, REGSAM access) {
        Close();
        return RegOpenKeyExW(parent, sub_key.c_str(), 0, access, &key_);
    }
    LONG Create(HKEY parent, const std::wstring& sub_key, REGSAM access) {
        Close();
        return RegCreateKeyExW(parent, sub_key.c_str(), 0, nullptr, 0, access, nullptr, &key_, nullptr);
    }
    void Close() {
        if (key_) RegCloseKey(key_);
        key_ = nullptr;
    }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};
