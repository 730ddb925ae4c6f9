// The records of the category files for one run: an analysis, a clean-up, one listing of marks.
// MAPPED is decoded once and each category file at most once, line by line as far as a lookup
// needs; both are kept while the reader lives and dropped with it. Every lookup returns what
// the one-off lookups of category_files.h return (GetCategoryFile names the file: the first
// MAPPED line that contains the key; LoadCategoryRecords takes the first run of records that
// contain the key), and raises the same errors for damaged lines. One thread at a time.
#pragma once

#include <cstddef>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "splitters.h"

// A category file's lines, each decoded the first time a lookup reaches it.
class DecodedCategoryFile {
public:
    // Reads the file's decoded text; a damaged file fails its first line.
    explicit DecodedCategoryFile(const std::string& path);
    // Line index decoded; false past the last line or at a damaged one (Failure says which).
    bool Decode(std::size_t index);
    // The line as strstr sees it (up to its first zero byte), and trimmed.
    const std::string& Searchable(std::size_t index) const { return searchable_[index]; }
    const std::string& Trimmed(std::size_t index) const { return trimmed_[index]; }
    // The error of the damaged line that stopped decoding, null when none did.
    const std::exception_ptr& Failure() const { return failure_; }

private:
    std::string text_, key_text_;
    std::size_t next_offset_ = 0;
    StringList searchable_, trimmed_;
    std::exception_ptr failure_;
};

class CategoryRecordReader {
public:
    CategoryRecordReader(std::string work_folder, std::string type);
    CategoryRecordReader(const CategoryRecordReader&) = delete;
    CategoryRecordReader& operator=(const CategoryRecordReader&) = delete;

    bool Reads(const std::string& work_folder, const std::string& type) const {
        return work_folder == work_folder_ && type == type_;
    }
    // The program's records of one category: empty without a file for it.
    StringList RecordsOf(const std::string& key, const char* name_template);
    // The records of keys[i] at index i, in one pass over MAPPED and each file. A key whose
    // records a damaged line stands in the way of gets none (with a damaged MAPPED, every key).
    std::vector<StringList> RecordsOfKeys(const StringList& keys, const char* name_template);
    // The category file each key's MAPPED line names, as a path; "" for none. Raises MAPPED's error.
    StringList CategoryFilesOfKeys(const StringList& keys, const char* name_template);

private:
    // MAPPED's lines; null when there is none. Raises MAPPED's error each time it is asked.
    const StringList* MappedLines();
    std::string CategoryFileOfLine(std::size_t mapped_line, const char* name_template) const;
    DecodedCategoryFile& FileAt(const std::string& path);

    const std::string work_folder_, type_;
    bool mapped_read_ = false, mapped_present_ = false;
    StringList mapped_;
    std::exception_ptr mapped_failure_;
    std::map<std::string, std::unique_ptr<DecodedCategoryFile>> files_;
};

// For each needle, the index of the first text that contains it byte for byte (texts.size()
// when none does; an empty needle is in every text). One pass over the texts, looking up each
// of their substrings that has the length of a needle.
std::vector<std::size_t> FirstTextsContaining(const StringList& needles, const StringList& texts);
