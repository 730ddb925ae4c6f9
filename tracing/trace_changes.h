// What an installation changed on the machine: the difference between a snapshot taken before
// an installer ran and one taken after it, with the noise that Windows and Wine make on their own
// taken out. The tracer writes a signature source from it. Texts are ANSI (code page 936).
#pragma once

#include <string>
#include <vector>

// A file or folder, by its full path as the machine spells it ("C:\Program Files\Vendor\app.exe").
struct TracedPath {
    std::string path;
    bool is_folder = false;
};

// A registry value that appeared, or whose data changed, in a key that existed before.
struct TracedValue {
    std::string key;   // "ROOT|key path", spelled as TracedChanges::added_keys are
    std::string name;  // empty for the key's default value
    unsigned long type = 0;  // REG_SZ, REG_DWORD ...
    std::string data;  // REG_SZ/REG_EXPAND_SZ/REG_MULTI_SZ as text (MULTI_SZ joined by "\n"), numbers in decimal, others in hex
    bool changed = false;  // false: the value is new
};

// A service registration that appeared.
struct TracedService {
    std::string name;
    std::string display_name;
    std::string image_path;  // as the service control manager gives it
    unsigned long service_type = 0;  // SERVICE_KERNEL_DRIVER, SERVICE_WIN32_OWN_PROCESS ...
};

// A shortcut (.lnk) that appeared, with what it points at.
struct TracedShortcut {
    std::string path;
    std::string target;  // empty when the shortcut cannot be read
};

// A new uninstall registration ("ROOT|...\Uninstall\NAME") and what it says about the program.
struct TracedRegistration {
    std::string key;
    std::string display_name;
    std::string display_version;
    std::string install_location;
    std::string uninstall_string;
    std::string display_icon;
};

struct TracedChanges {
    // Every new folder and file, parents before their contents, in path order.
    std::vector<TracedPath> added_paths;
    // Files that existed before and were rewritten (size or last write time differ).
    std::vector<std::string> changed_files;
    // Only the outermost new key of each new branch: "HKLM|SOFTWARE\Vendor" stands for all below it.
    // HKLM keys are spelled physically in the 64-bit view ("HKLM|SOFTWARE\Wow6432Node\Vendor" for
    // the 32-bit half), the current user's as "HKCU|...", other loaded users' as "HKU|SID\...".
    std::vector<std::string> added_keys;
    // Values that appeared or changed in keys that existed before.
    std::vector<TracedValue> values;
    std::vector<TracedService> added_services;
    std::vector<TracedShortcut> added_shortcuts;
    std::vector<TracedRegistration> registrations;
    // What the noise filter took out, one "RULE: ITEM" line each, so a maintainer can see it.
    std::vector<std::string> filtered;
};
