// The database package: a plain sequence of entries to the end of the file, each
// folder length (1 byte), folder name, name length (1 byte), file name,
// unpacked size (int32 LE), data length (int32 LE), data (one zlib stream).
#pragma once

#include <cstdint>
#include <string>

#include "input_file.h"

struct PackageEntry {
    std::string folder;  // relative folder, may be empty
    std::string name;    // file name
    std::int32_t unpacked_size = 0;
    std::string data;    // the compressed bytes
};

// Reads a package's entries one by one.
class TPackageReader {
public:
    // Raises EFileOpenError when the package cannot be opened.
    explicit TPackageReader(const std::string& path);
    TPackageReader(const TPackageReader&) = delete;
    TPackageReader& operator=(const TPackageReader&) = delete;

    // False at the end of the file. Raises EReadError when the file ends inside an entry or its
    // data length is below 1 or beyond the file, and EZlibError when its lengths break the limits
    // of length_limits.h; either before the entry's data is read.
    bool Next(PackageEntry& entry);

private:
    InputFile file_;
};

// A stored file name must be a plain name; a stored folder a relative path without "..".
// Raises EUnsafeEntryName otherwise.
void CheckPackageEntryNames(const PackageEntry& entry);
