#include "database_layout.h"

#include <set>
#include <utility>

#include "category_files.h"
#include "key_collisions.h"
#include "package_writer.h"
#include "record_codec.h"

namespace {

constexpr char kLineBreak[] = "\r\n";

bool HasRecords(const ProgramSource& program, const CategoryLayout& category) {
    for (const SourceRecord& record : program.records)
        if (record.category == &category) return true;
    return false;
}

void AddRecords(const std::vector<const ProgramSource*>& programs, const CategoryLayout& category,
                const std::string& type, std::vector<DatabaseFile>& files) {
    DatabaseFile file{DatabaseFileName(category, type), {}, {}};
    for (const ProgramSource* program : programs)
        for (const SourceRecord& record : program->records)
            if (record.category == &category) {
                file.records.push_back(record.text);
                file.places.push_back(record.place);
            }
    if (!file.records.empty()) files.push_back(std::move(file));
}

// Per program, the names of the category files holding its records.
DatabaseFile MappedFile(const std::vector<const ProgramSource*>& programs, const std::string& type) {
    DatabaseFile file{DatabaseFileName(MappedLayout(), type), {}, {}};
    for (const ProgramSource* program : programs) {
        std::string line = program->key;
        for (const CategoryLayout& category : RecordCategories())
            if (HasRecords(*program, category)) line += "|" + DatabaseFileName(category, type);
        file.records.push_back(line);
        file.places.push_back(program->key_place);
    }
    return file;
}

}  // namespace

std::vector<DatabaseFile> LayOutDatabase(const std::vector<ProgramSource>& programs) {
    std::vector<DatabaseFile> files;
    for (const char* type : kSoftwareTypes) {
        std::vector<const ProgramSource*> of_type;
        for (const ProgramSource& program : programs)
            if (program.type == type) of_type.push_back(&program);
        if (of_type.empty()) continue;
        files.push_back(MappedFile(of_type, type));
        AddRecords(of_type, CatalogueLayout(), type, files);
        for (const CategoryLayout& category : RecordCategories()) AddRecords(of_type, category, type, files);
    }
    return files;
}

void CheckKeyCollisions(const std::vector<ProgramSource>& programs, const std::vector<DatabaseFile>& files,
                        FaultLog& faults) {
    for (const char* type : kSoftwareTypes) {
        StringList keys, key_places;
        for (const ProgramSource& program : programs)
            if (program.type == type) {
                keys.push_back(program.key);
                key_places.push_back(program.key_place);
            }
        const std::string prefix = CategoryName("SID_XX_", type);
        std::set<std::pair<std::size_t, std::string>> reported;  // one message per key and other program
        // Every file the lookups search by key: MAPPED and the category files, not the catalogue.
        for (const DatabaseFile& file : files) {
            if (file.name.compare(0, prefix.size(), prefix) != 0) continue;
            if (file.name == DatabaseFileName(CatalogueLayout(), type)) continue;
            for (const KeyCollision& collision : FindKeyCollisions(keys, file.records)) {
                const std::string& key = keys[collision.key];
                const std::string& record = file.records[collision.record];
                const std::string owner = RecordOwner(record);
                if (!reported.emplace(collision.key, owner).second) continue;
                const std::string& place = file.places[collision.record];
                const std::string what = owner.find(key) != std::string::npos
                                             ? "is part of the key \"" + owner + "\" (" + place + ")"
                                             : "occurs in the " + file.name + " record " + Quoted(record) +
                                                   " of program \"" + owner + "\" (" + place + ")";
                faults.Add(key_places[collision.key],
                           "key \"" + key + "\" " + what +
                               ": the lookups match the key anywhere in a record and would take that record for "
                               "this program's");
            }
        }
    }
}

std::string PackDatabase(const std::vector<DatabaseFile>& files) {
    std::string package;
    for (const DatabaseFile& file : files) {
        std::string text;
        for (const std::string& record : file.records) text += EncryptRecord(record, file.name) + kLineBreak;
        AppendStoredFile(package, file.name, CompressHdb(text));
    }
    return package;
}
