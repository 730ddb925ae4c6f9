#include "category_record_reader.h"

#include <cstring>
#include <set>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "category_files.h"
#include "errors.h"
#include "file_system.h"
#include "record_codec.h"
#include "text_rules.h"

DecodedCategoryFile::DecodedCategoryFile(const std::string& path) : key_text_(FileNameOf(path)) {
    try {
        text_ = DecodedCategoryText(path);
    } catch (const EDatabaseError&) {
        failure_ = std::current_exception();
    }
}

bool DecodedCategoryFile::Decode(std::size_t index) {
    std::string line;
    while (searchable_.size() <= index) {
        if (failure_ || !NextTextLine(text_, next_offset_, line)) return false;
        try {
            const std::string plain = DecryptRecord(line, key_text_);
            searchable_.push_back(plain.c_str());
            trimmed_.push_back(::Trimmed(plain));
        } catch (const EDatabaseError&) {
            failure_ = std::current_exception();
            return false;
        }
    }
    return true;
}

CategoryRecordReader::CategoryRecordReader(std::string work_folder, std::string type)
    : work_folder_(std::move(work_folder)), type_(std::move(type)) {}

const StringList* CategoryRecordReader::MappedLines() {
    if (!mapped_read_) {
        mapped_read_ = true;
        try {
            mapped_present_ = LoadMappedList(work_folder_, type_, mapped_);
        } catch (const EDatabaseError&) {
            mapped_failure_ = std::current_exception();
        }
    }
    if (mapped_failure_) std::rethrow_exception(mapped_failure_);
    return mapped_present_ ? &mapped_ : nullptr;
}

std::string CategoryRecordReader::CategoryFileOfLine(std::size_t mapped_line, const char* name_template) const {
    return CategoryFileOfMappedLine(work_folder_, mapped_[mapped_line], CategoryName(name_template, type_));
}

DecodedCategoryFile& CategoryRecordReader::FileAt(const std::string& path) {
    std::unique_ptr<DecodedCategoryFile>& file = files_[path];
    if (!file) file.reset(new DecodedCategoryFile(path));
    return *file;
}

StringList CategoryRecordReader::RecordsOf(const std::string& key, const char* name_template) {
    StringList records;
    if (key.empty() || !DirectoryExists(work_folder_) || !IsSoftwareType(type_)) return records;
    const StringList* mapped = MappedLines();
    if (!mapped) return records;
    std::string path;
    for (std::size_t line = 0; line < mapped->size(); ++line)
        if (ContainsExact((*mapped)[line], key)) {
            path = CategoryFileOfLine(line, name_template);
            break;
        }
    if (path.empty() || !FileExists(path)) return records;
    DecodedCategoryFile& file = FileAt(path);
    // The first run of records that contain the key; a damaged line before its end fails it.
    for (std::size_t line = 0;; ++line) {
        if (!file.Decode(line)) {
            if (file.Failure()) std::rethrow_exception(file.Failure());
            break;
        }
        if (std::strstr(file.Searchable(line).c_str(), key.c_str()))
            records.push_back(file.Trimmed(line));
        else if (!records.empty())
            break;
    }
    return records;
}

StringList CategoryRecordReader::CategoryFilesOfKeys(const StringList& keys, const char* name_template) {
    StringList files(keys.size());
    const StringList* mapped = nullptr;
    if (!DirectoryExists(work_folder_) || !IsSoftwareType(type_) || !(mapped = MappedLines())) return files;
    const std::vector<std::size_t> first_lines = FirstTextsContaining(keys, *mapped);
    for (std::size_t key = 0; key < keys.size(); ++key)
        if (!keys[key].empty() && first_lines[key] < mapped->size())
            files[key] = CategoryFileOfLine(first_lines[key], name_template);
    return files;
}

std::vector<StringList> CategoryRecordReader::RecordsOfKeys(const StringList& keys, const char* name_template) {
    std::vector<StringList> records(keys.size());
    StringList files;
    try {
        files = CategoryFilesOfKeys(keys, name_template);
    } catch (const EDatabaseError&) {
        return records;
    }
    std::map<std::string, std::vector<std::size_t>> keys_of_file;
    for (std::size_t key = 0; key < keys.size(); ++key)
        if (!files[key].empty()) keys_of_file[files[key]].push_back(key);

    for (const auto& [path, file_keys] : keys_of_file) {
        if (!FileExists(path)) continue;
        DecodedCategoryFile& file = FileAt(path);
        std::size_t count = 0;
        while (file.Decode(count)) ++count;
        StringList searchable, needles;  // each key as strstr sees it
        for (std::size_t line = 0; line < count; ++line) searchable.push_back(file.Searchable(line));
        for (std::size_t key : file_keys) needles.push_back(keys[key].c_str());
        const std::vector<std::size_t> first = FirstTextsContaining(needles, searchable);
        for (std::size_t n = 0; n < needles.size(); ++n) {
            StringList& run = records[file_keys[n]];
            std::size_t at = first[n];
            for (; at < count && std::strstr(searchable[at].c_str(), needles[n].c_str()); ++at)
                run.push_back(file.Trimmed(at));
            // Reading on would meet the damaged line: the program's records cannot be read.
            if (file.Failure() && at == count) run.clear();
        }
    }
    return records;
}

std::vector<std::size_t> FirstTextsContaining(const StringList& needles, const StringList& texts) {
    std::vector<std::size_t> first(needles.size(), texts.size());
    std::unordered_map<std::string_view, std::vector<std::size_t>> waiting;  // needle text -> needles
    std::set<std::size_t> lengths;
    for (std::size_t needle = 0; needle < needles.size(); ++needle) {
        if (needles[needle].empty()) {
            if (!texts.empty()) first[needle] = 0;
            continue;
        }
        waiting[needles[needle]].push_back(needle);
        lengths.insert(needles[needle].size());
    }
    for (std::size_t index = 0; index < texts.size() && !waiting.empty(); ++index) {
        const std::string_view text = texts[index];
        for (std::size_t at = 0; at < text.size(); ++at) {
            for (const std::size_t length : lengths) {
                if (at + length > text.size()) break;
                const auto found = waiting.find(text.substr(at, length));
                if (found == waiting.end()) continue;
                for (const std::size_t needle : found->second) first[needle] = index;
                waiting.erase(found);
            }
        }
    }
    return first;
}
