// One clean-up's backup: a folder <root>\<date-time> <program>\ that receives a copy of every
// item before it is deleted (files and folders with their attributes, registry keys and values
// as .reg files) and a manifest naming each item's kind, original location, view, stored copy
// and outcome. An item whose backup fails must not be deleted; the caller is told why.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "registry_view.h"

enum class BackupKind { kFile, kFolder, kRegistryKey, kRegistryValue };

struct BackupEntry {
    BackupKind kind;
    std::string location;  // path, or ROOT\key, or ROOT\key|value
    RegistryView view = RegistryView::kDefault;
    std::string stored;    // the copy's name inside the backup folder
    std::string outcome;   // "backed up", then what the clean-up did
};

// %ProgramData%\Kestrune\Backups (the all-users application data folder).
std::string DefaultBackupRoot();

class BackupStore {
public:
    // A new backup folder below root, named by the local time and the program; nothing on failure.
    static std::optional<BackupStore> Create(const std::string& root, const std::string& program,
                                             std::string* failure);

    const std::string& Folder() const { return folder_; }
    const std::vector<BackupEntry>& Entries() const { return entries_; }

    // Each returns the entry's index, or -1 with the reason in failure (nothing is kept then).
    // Files and folders are named as the machine names them (see AccessPathOf).
    int BackUpFile(const std::string& path, std::string* failure);
    int BackUpFolder(const std::string& path, std::string* failure);
    int BackUpRegistryKey(HKEY root, const std::string& root_name, const std::string& sub_key, RegistryView view,
                          std::string* failure);
    int BackUpRegistryValue(HKEY root, const std::string& root_name, const std::string& sub_key,
                            const std::string& value_name, RegistryView view, std::string* failure);
    // What the clean-up then did with the item ("removed", "not removed: ...").
    void NoteOutcome(int index, const std::string& outcome);
    // manifest.txt: one line per entry, "KIND<TAB>VIEW<TAB>STORED<TAB>OUTCOME<TAB>LOCATION".
    bool WriteManifest(std::string* failure) const;

private:
    explicit BackupStore(std::string folder) : folder_(std::move(folder)) {}
    std::string NextStoredName(const std::string& extension);
    int Add(BackupKind kind, const std::string& location, RegistryView view, const std::string& stored);

    std::string folder_;  // with a trailing backslash
    std::vector<BackupEntry> entries_;
};

const char* BackupKindName(BackupKind kind);

// The bytes of every file in the folder and below it.
unsigned long long FolderTreeBytes(const std::string& folder);

// Keeps the newest backups below root: at most keep_count of them and, beyond the newest, no more
// than max_bytes in all; the newest is never removed. Returns the folders removed.
std::vector<std::string> PruneBackups(const std::string& root, size_t keep_count, unsigned long long max_bytes);
