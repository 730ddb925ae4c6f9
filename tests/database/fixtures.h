// Fixtures for database tests: a throwaway folder and database files written from plain records.
#pragma once

#include <string>
#include <vector>

#include "package_reader.h"

// A fresh empty folder in the temporary folder, removed with everything in it at scope exit.
class ScopedTempFolder {
public:
    ScopedTempFolder();
    ~ScopedTempFolder();
    ScopedTempFolder(const ScopedTempFolder&) = delete;
    ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const;

private:
    std::string path_;
};

void WriteFile(const std::string& path, const std::string& contents);
std::string ReadFile(const std::string& path);

// Record lines enciphered under key_text, joined by CR LF.
std::string EncipheredText(const std::vector<std::string>& records, const std::string& key_text);

// Writes folder/name as a database file holding the records enciphered under name.
void WriteDatabaseFile(const std::string& folder, const std::string& name, const std::vector<std::string>& records);

// A package entry storing contents under folder and name, its unpacked size announced truly.
PackageEntry StoredEntry(const std::string& folder, const std::string& name, const std::string& contents);

// The entries in package form, one after another.
std::string PackageOf(const std::vector<PackageEntry>& entries);
