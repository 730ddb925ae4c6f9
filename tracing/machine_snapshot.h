// A snapshot of what an installer can leave on the machine: every file and folder of the system
// drive, the registry where programs register (HKLM\SOFTWARE in the 64-bit view, the services'
// keys, every loaded user hive) and the services the service control manager knows. Two of them,
// before and after an installer ran, give its trace (snapshot_diff.h).
//
// Paths and key names are kept end to end in one text buffer, entries in sorted vectors that
// point into it (path_order.h gives the order), so that a machine with hundreds of thousands of
// files and keys costs little more than their names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "service_control.h"

// Where a text lies in a TextPool.
struct TextRef {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// Texts (names, paths, value data) stored one after another.
class TextPool {
public:
    TextRef Add(std::string_view text);
    std::string_view View(TextRef text) const { return std::string_view(bytes_).substr(text.offset, text.length); }
    std::size_t Size() const { return bytes_.size(); }

private:
    std::string bytes_;
};

struct SnapshotFile {
    TextRef path;  // "C:\Program Files\Vendor\app.exe"
    bool is_folder = false;
    std::uint64_t size = 0;
    std::uint64_t write_time = 0;  // FILETIME as one number
};

struct SnapshotValue {
    TextRef name;  // empty for the default value
    unsigned long type = 0;
    TextRef data;  // the bytes as the registry gives them to an ANSI program
};

struct SnapshotKey {
    TextRef path;  // "HKLM|SOFTWARE\Vendor", "HKCU|Software\Vendor", "HKU|SID\Software\Vendor"
    std::uint32_t first_value = 0, value_count = 0;  // its values, sorted by name
};

struct MachineSnapshot {
    std::string windows_folder;  // "C:\Windows"
    TextPool texts;
    std::vector<SnapshotFile> files;  // in path order
    std::vector<SnapshotKey> keys;    // in path order
    std::vector<SnapshotValue> values;
    std::vector<ServiceEntry> services;  // by name, letter case aside
    std::string services_failure;        // why the services could not be listed; empty when they were

    std::string_view Text(TextRef text) const { return texts.View(text); }
    // nullptr when the snapshot has no such entry (letter case aside).
    const SnapshotFile* FindFile(std::string_view path) const;
    const SnapshotKey* FindKey(std::string_view key) const;
    const SnapshotValue* FindValue(const SnapshotKey& key, std::string_view name) const;
    const ServiceEntry* FindService(std::string_view name) const;
    // The key's string value (REG_SZ, REG_EXPAND_SZ) up to its first zero byte; empty when absent.
    std::string StringValue(const SnapshotKey& key, std::string_view name) const;
};

// Told what the snapshot reads now: each part, and each folder in the first two levels of the
// drive ("C:\Program Files\Vendor"). Its result is not used.
using SnapshotProgress = int (*)(const char* text);

// Reads the machine; never throws for what it cannot read: a folder or key that cannot be opened
// is kept without its contents, the services' failure is kept in services_failure.
MachineSnapshot TakeMachineSnapshot(SnapshotProgress progress = nullptr);
