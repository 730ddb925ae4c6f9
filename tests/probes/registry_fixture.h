// A throwaway key in the real registry, "<parent>\KestruneTest-<pid>", removed with everything
// below it when the fixture goes out of scope, also when a check has failed.
#pragma once

#include <windows.h>

#include <string>

class ScopedTestKey {
public:
    // parent is "Software" under HKEY_CURRENT_USER or "SOFTWARE" under HKEY_LOCAL_MACHINE.
    ScopedTestKey(HKEY root, const std::string& parent);
    ~ScopedTestKey();
    ScopedTestKey(const ScopedTestKey&) = delete;
    ScopedTestKey& operator=(const ScopedTestKey&) = delete;

    HKEY Root() const { return root_; }
    const std::string& Path() const { return path_; }
    // Path of a key below the test key.
    std::string operator/(const std::string& sub_path) const { return path_ + "\\" + sub_path; }

    // Creates the key below the test key; returns the system's status.
    LONG CreateKey(const std::string& sub_path) const;
    // Creates the key if need be and sets a value of the given type and bytes; returns the status.
    LONG SetValue(const std::string& sub_path, const std::string& name, DWORD type, const std::string& data) const;
    // A string value with its terminating zero.
    LONG SetString(const std::string& sub_path, const std::string& name, const std::string& text) const;
    bool KeyExists(const std::string& sub_path) const;

private:
    HKEY root_;
    std::string path_;
};
