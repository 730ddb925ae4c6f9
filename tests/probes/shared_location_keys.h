// Fixtures for probes that read well-known, shared registry locations (the Uninstall key, the
// Windows Installer registrations, the installer folder list): keys and values at exact paths,
// removed at scope exit also when a check has failed, together with the parent keys that had to
// be created for them once nothing else is left in those.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The keys of a path that did not exist before Create, removed deepest first by RemoveIfEmpty.
class CreatedParents {
public:
    // Creates root\path with its missing parents; returns the system's status.
    LONG Create(HKEY root, const std::string& path);
    // Deletes each created key that holds neither sub-keys nor values any more.
    void RemoveIfEmpty() const;

private:
    HKEY root_ = nullptr;
    std::vector<std::string> created_;  // shallowest first
};

// A key at root\path, removed with everything below it.
class ScopedRegistryKey {
public:
    ScopedRegistryKey(HKEY root, const std::string& path);
    ~ScopedRegistryKey();
    ScopedRegistryKey(const ScopedRegistryKey&) = delete;
    ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;

    const std::string& Path() const { return path_; }
    // A string value of the key (with its terminating zero); returns the system's status.
    LONG SetString(const std::string& name, const std::string& text) const;

private:
    HKEY root_;
    std::string path_;
    CreatedParents parents_;
};

// A string value named name in root\path, a key other programs may share: only the value is
// removed, and the key too when it was created for it and is empty then.
class ScopedRegistryValue {
public:
    ScopedRegistryValue(HKEY root, const std::string& path, const std::string& name, const std::string& text);
    ~ScopedRegistryValue();
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

private:
    HKEY root_;
    std::string path_, name_;
    CreatedParents parents_;
};

// A string value with its terminating zero in root\path (the key is created when missing).
LONG SetStringValue(HKEY root, const std::string& path, const std::string& name, const std::string& text);
bool KeyExists(HKEY root, const std::string& path);
bool ValueExists(HKEY root, const std::string& path, const std::string& name);

// The hive of the user running the tests under HKEY_USERS ("S-1-5-21-..."); empty when none.
std::string CurrentUserHive();

// The system refuses full access to root\path while this lives: its access list grants everyone
// only reading and changing the access list, so a deletion that opens the key with full access
// is refused. The key gets full access back at scope exit.
class ScopedFullAccessRefusal {
public:
    ScopedFullAccessRefusal(HKEY root, const std::string& path);
    ~ScopedFullAccessRefusal();
    ScopedFullAccessRefusal(const ScopedFullAccessRefusal&) = delete;
    ScopedFullAccessRefusal& operator=(const ScopedFullAccessRefusal&) = delete;

private:
    HKEY root_;
    std::string path_;
};
