#include "category_files.h"

#include <cstring>
#include <functional>

#include "errors.h"
#include "file_codec.h"
#include "file_system.h"
#include "record_codec.h"
#include "text_rules.h"

namespace {

constexpr const char kDatabaseExtension[] = ".hdb";
constexpr const char kDecodedExtension[] = ".UPhdb";

// The decoded text of a database file. Its lines are visited one by one rather than split into a
// list: a text of nothing but line breaks would cost a string per byte.
std::string LoadText(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text)) throw EFileOpenError(path);
    return text;
}

// Decompresses a fixed file (MAPPED or LI) anew and returns its text; false when it is missing.
bool LoadFixedFileText(const std::string& work_folder, const std::string& type, const char* name_template,
                       std::string& text, std::string& key_text) {
    if (!DirectoryExists(work_folder) || !IsSoftwareType(type)) return false;
    const std::string base = IncludeTrailingSeparator(work_folder) + CategoryName(name_template, type);
    const std::string database_file = base + kDatabaseExtension;
    const std::string decoded_file = base + kDecodedExtension;
    if (!FileExists(database_file)) return false;
    DeleteFileAlways(decoded_file);
    DecompressHdb(database_file, decoded_file);
    text = LoadText(decoded_file);
    key_text = FileNameOf(database_file);
    return true;
}

bool PassesFilters(const std::string& record, const std::string& sub_type, const std::string& os) {
    const bool any_sub_type = sub_type == kFilterAll, any_os = os == kFilterAll;
    if (any_sub_type) return any_os || ContainsExact(record, os);
    return ContainsExact(record, sub_type) && (any_os || ContainsExact(record, os));
}

}  // namespace

bool IsSoftwareType(const std::string& type) { return type == "MW" || type == "SW" || type == "NM"; }

std::string CategoryName(const std::string& name_template, const std::string& type) {
    std::string name = name_template;
    for (std::size_t at = name.find("XX"); at != std::string::npos; at = name.find("XX", at + type.size()))
        name.replace(at, 2, type);
    return name;
}

bool NextTextLine(const std::string& text, std::size_t& offset, std::string& line) {
    if (offset >= text.size()) return false;
    std::size_t end = offset;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    line.assign(text, offset, end - offset);
    if (end < text.size()) end += (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
    offset = end;
    return true;
}

void ForEachTextLine(const std::string& text, const std::function<bool(const std::string& line)>& visit) {
    std::size_t offset = 0;
    std::string line;
    while (NextTextLine(text, offset, line))
        if (!visit(line)) return;
}

void SplitTextLines(const std::string& text, StringList& lines) {
    lines.clear();
    ForEachTextLine(text, [&](const std::string& line) {
        lines.push_back(line);
        return true;
    });
}

bool LoadMappedList(const std::string& work_folder, const std::string& type, StringList& list) {
    std::string text, key_text;
    if (!LoadFixedFileText(work_folder, type, category::kMapped, text, key_text)) return false;
    list.clear();
    ForEachTextLine(text, [&](const std::string& line) {
        list.push_back(Trimmed(DecryptRecord(line, key_text)));
        return true;
    });
    return true;
}

bool LoadSoftwareList(const std::string& work_folder, const std::string& type, const std::string& sub_type,
                      StringList& list, const std::string& os) {
    std::string text, key_text;
    if (!LoadFixedFileText(work_folder, type, category::kCatalogue, text, key_text)) return false;
    list.clear();
    ForEachTextLine(text, [&](const std::string& line) {
        std::string record = Trimmed(DecryptRecord(line, key_text));
        if (PassesFilters(record, sub_type, os)) list.push_back(std::move(record));
        return true;
    });
    return true;
}

std::string DecodedCategoryText(const std::string& category_path) {
    const std::string decoded_file = category_path + kDecodedExtension;
    if (!FileExists(decoded_file)) DecompressHdb(category_path, decoded_file);
    return LoadText(decoded_file);
}

bool LoadCategoryRecords(const std::string& key, const std::string& category_path, StringList& list) {
    if (key.empty() || category_path.empty() || !FileExists(category_path)) return false;
    const std::string text = DecodedCategoryText(category_path);
    list.clear();
    const std::string key_text = FileNameOf(category_path);
    ForEachTextLine(text, [&](const std::string& line) {
        const std::string plain = DecryptRecord(line, key_text);
        if (std::strstr(plain.c_str(), key.c_str())) {
            list.push_back(Trimmed(plain));
            return true;
        }
        return list.empty();  // once the program's run has ended, the rest is another's
    });
    return true;
}

std::string GetCategoryFile(const std::string& work_folder, const std::string& key, const std::string& type,
                            const std::string& name_template) {
    if (!DirectoryExists(work_folder) || !IsSoftwareType(type)) return "";
    const std::string category_name = CategoryName(name_template, type);
    StringList mapped;
    if (!LoadMappedList(work_folder, type, mapped)) return "";
    for (const std::string& line : mapped)
        if (ContainsExact(line, key)) return CategoryFileOfMappedLine(work_folder, line, category_name);
    return "";
}

std::string CategoryFileOfMappedLine(const std::string& work_folder, const std::string& mapped_line,
                                     const std::string& category_name) {
    StringList fields;
    SplitByBar(mapped_line, fields);
    for (const std::string& field : fields)
        if (ContainsExact(field, category_name)) return IncludeTrailingSeparator(work_folder) + field;
    return "";
}
