#include "fixtures.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

#include "file_system.h"
#include "package_writer.h"
#include "record_codec.h"

ScopedTempFolder::ScopedTempFolder() {
    static std::atomic<int> counter{0};
    const char* base = std::getenv("TEMP");
    if (!base) base = std::getenv("TMPDIR");
#ifdef _WIN32
    if (!base) base = "C:\\windows\\temp";
#else
    if (!base) base = "/tmp";
#endif
    path_ = JoinPath(base, "kestrune-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    DeleteFolderTree(path_);
    if (!CreateDirectories(path_)) throw std::runtime_error("cannot create " + path_);
}

ScopedTempFolder::~ScopedTempFolder() { DeleteFolderTree(path_); }

std::string ScopedTempFolder::operator/(const std::string& name) const { return JoinPath(path_, name); }

void WriteFile(const std::string& path, const std::string& contents) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw std::runtime_error("cannot write " + path);
    std::fwrite(contents.data(), 1, contents.size(), file);
    std::fclose(file);
}

std::string ReadFile(const std::string& path) {
    std::string contents;
    if (!ReadWholeFile(path, contents)) throw std::runtime_error("cannot read " + path);
    return contents;
}

std::string EncipheredText(const std::vector<std::string>& records, const std::string& key_text) {
    std::string text;
    for (const std::string& record : records) text += EncryptRecord(record, key_text) + "\r\n";
    return text;
}

void WriteDatabaseFile(const std::string& folder, const std::string& name, const std::vector<std::string>& records) {
    WriteFile(JoinPath(folder, name), CompressHdb(EncipheredText(records, name)));
}

PackageEntry StoredEntry(const std::string& folder, const std::string& name, const std::string& contents) {
    PackageEntry entry;
    entry.folder = folder;
    entry.name = name;
    entry.unpacked_size = static_cast<std::int32_t>(contents.size());
    entry.data = ZlibCompress(contents);
    return entry;
}

std::string PackageOf(const std::vector<PackageEntry>& entries) {
    std::string package;
    for (const PackageEntry& entry : entries) AppendPackageEntry(package, entry);
    return package;
}
