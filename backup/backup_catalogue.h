// The backups kept below a root folder, and what one backup's manifest lists. A backup is known
// by its folder's name, "yyyy-mm-dd hh-mm-ss PROGRAM", which is also its ID; a name that could
// lead out of the root is never taken for one.
#pragma once

#include <string>
#include <vector>

#include "backup_store.h"

struct BackupSummary {
    std::string id;         // the folder's name
    std::string date_time;  // "yyyy-mm-dd hh:mm:ss"
    std::string program;    // the rest of the name
    int item_count = -1;    // the manifest's lines; -1 when the backup has no readable manifest
    unsigned long long total_bytes = 0;
};

// Newest first. Folders whose names do not begin with a date and time are not backups.
std::vector<BackupSummary> ListBackups(const std::string& root);

// The folder of backup id below root, with a trailing separator; empty, with the reason, when
// id is no folder's name there (a path, "..", a drive or a name that is not there).
std::string FindBackupFolder(const std::string& root, const std::string& id, std::string* failure);

struct ManifestLine {
    int number = 0;      // from 1
    BackupEntry entry;   // what the line says, when fault is empty
    std::string fault;   // why the line is no entry
};

// One line without its line end: "KIND<TAB>VIEW<TAB>STORED<TAB>OUTCOME<TAB>LOCATION". False with
// the fault when it is damaged.
bool ParseManifestLine(const std::string& text, BackupEntry& entry, std::string* fault);

// Every line of the folder's manifest.txt in order, damaged ones with their fault. False with
// the reason when the manifest cannot be read.
bool ReadManifest(const std::string& folder, std::vector<ManifestLine>& lines, std::string* failure);
