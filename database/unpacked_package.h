// A package unpacked as the program unpacks it, into a private temporary folder, and its
// database files decoded as the program decodes them: decompressed, split into lines, every line
// deciphered under the file's own name and trimmed.
#pragma once

#include <string>
#include <vector>

#include "splitters.h"
#include "temporary_folder.h"

struct DecodedRecord {
    std::size_t line = 0;  // 1-based line of the decoded text
    std::string text;      // the trimmed plain text, code page 936
    std::string fault;     // the decoding error (code page 936), empty when the line decoded
};

struct DecodedFile {
    std::string name;
    std::string fault;  // the file could not be decompressed (code page 936); then there are no records
    std::vector<DecodedRecord> records;
    bool Clean() const;  // no fault in the file or any line
};

class UnpackedPackage {
public:
    // Raises the database layer's errors when the program could not unpack the package.
    explicit UnpackedPackage(const std::string& package_path);

    // The unpacked files, as the program's working folder holds them.
    const std::string& Folder() const { return folder_; }
    // Every entry's file name once, in stored order.
    const StringList& EntryNames() const { return entry_names_; }
    bool Holds(const std::string& name) const;

    DecodedFile Decode(const std::string& name) const;

private:
    TemporaryFolder scratch_;
    std::string folder_;
    StringList entry_names_;
};
