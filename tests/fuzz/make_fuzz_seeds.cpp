// Makes the fuzz targets' seeds from real packages: each package whole, each database file it
// holds, and the first record lines of each file with the file's name as their key.
// Usage: make_fuzz_seeds SEED_FOLDER PACKAGE...
#include <cstdio>
#include <string>

#include "category_files.h"
#include "errors.h"
#include "file_codec.h"
#include "file_system.h"
#include "package_reader.h"

namespace {

constexpr std::size_t kRecordSeedsPerFile = 3;

void WriteSeed(const std::string& folder, const std::string& name, const std::string& contents) {
    CreateDirectories(folder);
    AtomicFileWriter writer(JoinPath(folder, name));
    writer.Write(contents.data(), contents.size());
    writer.Commit();
}

std::string ReadAll(const std::string& path) {
    std::string contents;
    if (!ReadWholeFile(path, contents)) throw EFileOpenError(path);
    return contents;
}

void AddSeedsOf(const std::string& package, const std::string& seeds, const std::string& label) {
    WriteSeed(JoinPath(seeds, "package_reader"), label + ".hdb3", ReadAll(package));
    const std::string work = JoinPath(seeds, "unpacked");
    UnpackPackage(package, work);

    TPackageReader reader(package);
    PackageEntry entry;
    while (reader.Next(entry)) {
        const std::string database_file = JoinPath(work, entry.name);
        WriteSeed(JoinPath(seeds, "hdb_codec"), label + "-" + entry.name, ReadAll(database_file));
        DecompressHdb(database_file, database_file + ".text");
        StringList lines;
        SplitTextLines(ReadAll(database_file + ".text"), lines);
        for (std::size_t i = 0; i < lines.size() && i < kRecordSeedsPerFile; ++i)
            WriteSeed(JoinPath(seeds, "record_codec"), label + "-" + entry.name + "-" + std::to_string(i),
                      entry.name + "\n" + lines[i]);
    }
    DeleteFolderTree(work);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: make_fuzz_seeds SEED_FOLDER PACKAGE...\n", stderr);
        return 2;
    }
    try {
        for (int i = 2; i < argc; ++i) AddSeedsOf(argv[i], argv[1], "package" + std::to_string(i - 1));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_fuzz_seeds: %s\n", error.what());
        return 1;
    }
    return 0;
}
