#include "batch_category_records.h"

#include <cstring>
#include <map>
#include <set>
#include <string_view>
#include <unordered_map>

#include "category_files.h"
#include "errors.h"
#include "file_system.h"
#include "record_codec.h"
#include "text_rules.h"

namespace {

// A category file's records up to its first damaged line, each as strstr sees it (up to its
// first zero byte) and trimmed; complete is false when a damaged line or file ended the reading.
struct DecodedRecords {
    StringList searchable;
    StringList trimmed;
    bool complete = true;
};

DecodedRecords DecodeRecords(const std::string& path) {
    DecodedRecords records;
    try {
        const std::string text = DecodedCategoryText(path);
        const std::string key_text = FileNameOf(path);
        ForEachTextLine(text, [&](const std::string& line) {
            const std::string plain = DecryptRecord(line, key_text);
            records.searchable.push_back(plain.c_str());
            records.trimmed.push_back(Trimmed(plain));
            return true;
        });
    } catch (const EDatabaseError&) {
        records.complete = false;
    }
    return records;
}

// The category file of each key as GetCategoryFile names it, "" for none.
StringList CategoryFilesOf(const std::string& work_folder, const std::string& type, const char* name_template,
                           const StringList& keys) {
    StringList files(keys.size());
    StringList mapped;
    try {
        if (!DirectoryExists(work_folder) || !IsSoftwareType(type) || !LoadMappedList(work_folder, type, mapped))
            return files;
    } catch (const EDatabaseError&) {
        return files;
    }
    const std::string category_name = CategoryName(name_template, type);
    const std::vector<std::size_t> first = FirstTextsContaining(keys, mapped);
    for (std::size_t key = 0; key < keys.size(); ++key)
        if (!keys[key].empty() && first[key] < mapped.size())
            files[key] = CategoryFileOfMappedLine(work_folder, mapped[first[key]], category_name);
    return files;
}

}  // namespace

std::vector<StringList> ReadCategoryRecordsOfKeys(const std::string& work_folder, const std::string& type,
                                                  const char* name_template, const StringList& keys) {
    std::vector<StringList> records(keys.size());
    const StringList files = CategoryFilesOf(work_folder, type, name_template, keys);
    std::map<std::string, std::vector<std::size_t>> keys_of_file;
    for (std::size_t key = 0; key < keys.size(); ++key)
        if (!keys[key].empty() && !files[key].empty()) keys_of_file[files[key]].push_back(key);

    for (const auto& [path, file_keys] : keys_of_file) {
        if (!FileExists(path)) continue;
        const DecodedRecords decoded = DecodeRecords(path);
        StringList needles;  // each key as strstr sees it
        for (std::size_t key : file_keys) needles.push_back(keys[key].c_str());
        const std::vector<std::size_t> first = FirstTextsContaining(needles, decoded.searchable);
        for (std::size_t n = 0; n < needles.size(); ++n) {
            StringList& run = records[file_keys[n]];
            std::size_t at = first[n];
            const auto in_run = [&] { return std::strstr(decoded.searchable[at].c_str(), needles[n].c_str()); };
            for (; at < decoded.searchable.size() && in_run(); ++at) run.push_back(decoded.trimmed[at]);
            // Reading on would meet the damaged line: the program's records cannot be read.
            if (!decoded.complete && at == decoded.searchable.size()) run.clear();
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
