#include "package_verifier.h"

#include <map>
#include <memory>
#include <set>

#include "category_files.h"
#include "category_record_reader.h"
#include "code_page.h"
#include "dangerous_records.h"
#include "errors.h"
#include "file_system.h"
#include "key_collisions.h"
#include "lookup_run.h"
#include "program_index.h"
#include "record_layouts.h"
#include "stored_entries.h"
#include "text_rules.h"
#include "unpacked_package.h"

namespace {

// "SW" for a name beginning "SID_SW_", else empty.
std::string TypeOfFileName(const std::string& name) {
    if (name.size() < 8 || name.compare(0, 4, "SID_") != 0 || name[6] != '_') return "";
    const std::string type = name.substr(4, 2);
    return IsSoftwareType(type) ? type : "";
}

// The record category whose name (type filled in) a MAPPED field or file name contains.
const CategoryLayout* RecordCategoryOf(const std::string& name, const std::string& type) {
    for (const CategoryLayout& layout : RecordCategories())
        if (ContainsExact(name, CategoryName(layout.name_template, type))) return &layout;
    return nullptr;
}

struct VerifiedFile {
    DecodedFile decoded;
    std::string type;
    const CategoryLayout* category = nullptr;
};

class PackageVerifier {
public:
    PackageVerifier(const UnpackedPackage& package, const std::string& shown, FaultLog& faults)
        : package_(package), shown_(shown), faults_(faults), dangers_(faults) {}

    PackageSummary Run();

private:
    void DecodeFiles();
    void CheckLayouts(const VerifiedFile& file);
    void CheckType(const std::string& type);
    void ReadCatalogue(const std::string& type, const VerifiedFile& catalogue);
    void ReadMapped(const std::string& type, const VerifiedFile& mapped);
    void CheckCategoryFile(const std::string& type, const VerifiedFile& file);
    void CheckCollisions(const std::string& type);
    void CheckLookups(const std::string& type);
    const VerifiedFile* Find(const std::string& name) const;
    std::string Shown(const std::string& name) const { return Cp936ToUtf8OrEscaped(name); }

    const UnpackedPackage& package_;
    const std::string shown_;
    FaultLog& faults_;
    DangerousRecordCheck dangers_;
    std::vector<VerifiedFile> files_;
    ProgramIndex index_;
    PackageSummary summary_;
};

const VerifiedFile* PackageVerifier::Find(const std::string& name) const {
    for (const VerifiedFile& file : files_)
        if (file.decoded.name == name) return &file;
    return nullptr;
}

void PackageVerifier::DecodeFiles() {
    for (const std::string& name : package_.EntryNames()) {
        VerifiedFile file;
        file.decoded = package_.Decode(name);
        file.type = TypeOfFileName(name);
        if (file.type.empty()) {
            faults_.Add(Shown(name), "not a database file: names begin SID_MW_, SID_SW_ or SID_NM_");
        } else if (name == DatabaseFileName(MappedLayout(), file.type)) {
            file.category = &MappedLayout();
        } else if (name == DatabaseFileName(CatalogueLayout(), file.type)) {
            file.category = &CatalogueLayout();
        } else if (!(file.category = RecordCategoryOf(name, file.type))) {
            faults_.Add(Shown(name), "its name holds no category of type " + file.type);
        }
        if (!file.decoded.fault.empty()) faults_.Add(Shown(name), "damaged database file: " + Cp936ToUtf8OrEscaped(file.decoded.fault));
        for (const DecodedRecord& record : file.decoded.records) {
            if (!record.fault.empty()) faults_.Add(Place(Shown(name), record.line), Cp936ToUtf8OrEscaped(record.fault));
            ++summary_.records;
        }
        CheckLayouts(file);
        files_.push_back(std::move(file));
    }
    summary_.files = files_.size();
}

void PackageVerifier::CheckLayouts(const VerifiedFile& file) {
    if (!file.category) return;
    for (const DecodedRecord& record : file.decoded.records) {
        if (!record.fault.empty()) continue;
        StringList fields;
        SplitByBar(record.text, fields);
        const std::string place = Place(Shown(file.decoded.name), record.line);
        const std::string fault = LayoutFault(*file.category, fields);
        if (!fault.empty())
            faults_.Add(place, fault);
        else
            dangers_.Check(file.type, *file.category, place, fields);
    }
}

void PackageVerifier::ReadCatalogue(const std::string& type, const VerifiedFile& catalogue) {
    std::map<std::string, std::size_t> first_line;
    for (const DecodedRecord& record : catalogue.decoded.records) {
        if (!record.fault.empty()) continue;
        const std::string key = RecordOwner(record.text);
        const auto inserted = first_line.emplace(key, record.line);
        if (!inserted.second) {
            faults_.Add(Place(Shown(catalogue.decoded.name), record.line),
                        "program " + Quoted(key) + " is listed twice (first at line " +
                            std::to_string(inserted.first->second) + ")");
            continue;
        }
        index_.AddProgram(type, key, Place(Shown(catalogue.decoded.name), record.line));
        ++summary_.programs;
    }
}

void PackageVerifier::ReadMapped(const std::string& type, const VerifiedFile& mapped) {
    const std::string shown_file = Shown(mapped.decoded.name);
    std::set<std::string> seen;
    for (const DecodedRecord& record : mapped.decoded.records) {
        if (!record.fault.empty()) continue;
        const std::string place = Place(shown_file, record.line);
        StringList fields;
        SplitByBar(record.text, fields);
        if (fields.empty()) continue;
        const std::string& key = fields[0];
        if (!seen.insert(key).second) {
            faults_.Add(place, "second MAPPED line of program " + Quoted(key) + ": the lookups read only the first");
            continue;
        }
        if (!index_.HasProgram(type, key)) faults_.Add(place, "program " + Quoted(key) + " has no catalogue line");
        for (std::size_t i = 1; i < fields.size(); ++i) {
            const std::string& name = fields[i];
            const CategoryLayout* category = RecordCategoryOf(name, type);
            if (!category) {
                faults_.Add(place, "names " + Quoted(name) + ", which holds no category name of type " + type);
                continue;
            }
            if (!package_.Holds(name)) {
                faults_.Add(place, "names " + Quoted(name) + ", which is not in the package");
                continue;
            }
            const std::string earlier = index_.FileOf(type, key, *category);
            if (!earlier.empty()) {
                faults_.Add(place, std::string("names a second ") + category->code + " file " + Quoted(name) +
                                       ": the lookups read only the first, " + Quoted(earlier));
                continue;
            }
            index_.SetFile(type, key, *category, name);
        }
    }
    for (const std::string& key : index_.Programs(type))
        if (!seen.count(key))
            faults_.Add(index_.PlaceOf(type, key),
                        "program " + Quoted(key) + " has no MAPPED line: none of its records can be found");
}

// Each program's records on consecutive lines, every record reachable through its MAPPED line.
void PackageVerifier::CheckCategoryFile(const std::string& type, const VerifiedFile& file) {
    const std::string shown_file = Shown(file.decoded.name);
    if (!index_.IsNamed(type, file.decoded.name)) {
        faults_.Add(shown_file, "no MAPPED line names this file: its records are never read");
        return;
    }
    std::map<std::string, std::size_t> run_start;
    std::set<std::string> reported;
    std::string previous;
    for (const DecodedRecord& record : file.decoded.records) {
        if (!record.fault.empty()) {
            previous.clear();
            continue;
        }
        const std::string place = Place(shown_file, record.line);
        const std::string owner = RecordOwner(record.text);
        const auto started = run_start.emplace(owner, record.line);
        if (!started.second && owner != previous && reported.insert(owner).second)
            faults_.Add(place, "records of program " + Quoted(owner) +
                                   " are not consecutive: the lookups read only its first run, which begins at line " +
                                   std::to_string(started.first->second));
        if (index_.FileOf(type, owner, *file.category) != file.decoded.name && reported.insert(owner).second)
            faults_.Add(place, "record of program " + Quoted(owner) +
                                   " is never read: that program's MAPPED line does not name this file");
        previous = owner;
    }
}

void PackageVerifier::CheckCollisions(const std::string& type) {
    StringList keys = index_.Programs(type);
    std::set<std::pair<std::string, std::string>> reported;
    for (const VerifiedFile& file : files_) {
        if (file.type != type || !file.category || file.category == &CatalogueLayout()) continue;
        StringList records;
        std::vector<std::size_t> lines;
        for (const DecodedRecord& record : file.decoded.records)
            if (record.fault.empty()) {
                records.push_back(record.text);
                lines.push_back(record.line);
            }
        for (const KeyCollision& collision : FindKeyCollisions(keys, records)) {
            const std::string& key = keys[collision.key];
            const std::string owner = RecordOwner(records[collision.record]);
            if (!reported.emplace(key, owner).second) continue;
            faults_.Add(Place(Shown(file.decoded.name), lines[collision.record]),
                        "record of program " + Quoted(owner) + " contains the key " + Quoted(key) +
                            ": the lookups for " + Quoted(key) +
                            ", which match the key anywhere in a record, take this record wherever it stands "
                            "before or next to that program's own");
        }
    }
}

void PackageVerifier::CheckType(const std::string& type) {
    const VerifiedFile* mapped = Find(DatabaseFileName(MappedLayout(), type));
    const VerifiedFile* catalogue = Find(DatabaseFileName(CatalogueLayout(), type));
    if (!catalogue)
        faults_.Add(shown_, "type " + type + " has files but no " + DatabaseFileName(CatalogueLayout(), type));
    if (!mapped) faults_.Add(shown_, "type " + type + " has files but no " + DatabaseFileName(MappedLayout(), type));
    if (!catalogue || !mapped) return;
    ReadCatalogue(type, *catalogue);
    ReadMapped(type, *mapped);
    for (const VerifiedFile& file : files_)
        if (file.type == type && file.category && file.category != &MappedLayout() &&
            file.category != &CatalogueLayout())
            CheckCategoryFile(type, file);
    CheckCollisions(type);
}

// The strongest check: each program's own lookups must return exactly the records whose field 0
// is its key, from the file its MAPPED line names. Run on clean files only: all programs of a
// category are looked up in one reading of each file, and a program whose result differs is
// looked up again on its own, for the message that says how.
void PackageVerifier::CheckLookups(const std::string& type) {
    const StringList keys = index_.Programs(type);
    CategoryRecordReader reader(package_.Folder(), type);
    std::map<std::string, std::map<std::string, StringList>> records_by_owner;  // file -> owner -> records
    for (const CategoryLayout& category : RecordCategories()) {
        const StringList files = reader.CategoryFilesOfKeys(keys, category.name_template);
        const std::vector<StringList> found_records = reader.RecordsOfKeys(keys, category.name_template);
        for (std::size_t k = 0; k < keys.size(); ++k) {
            const std::string& key = keys[k];
            const std::string expected_file = index_.FileOf(type, key, category);
            auto owners = records_by_owner.find(expected_file);
            if (owners == records_by_owner.end()) {
                owners = records_by_owner.emplace(expected_file, std::map<std::string, StringList>()).first;
                if (const VerifiedFile* file = Find(expected_file))
                    for (const DecodedRecord& record : file->decoded.records)
                        owners->second[RecordOwner(record.text)].push_back(record.text);
            }
            const auto own = owners->second.find(key);
            const StringList expected = own == owners->second.end() ? StringList() : own->second;
            if (FileNameOf(files[k]) == expected_file && found_records[k] == expected) continue;

            const std::string what = "program " + Quoted(key) + ", lookup of " + category.code;
            const LookupResult found = RunLookup(package_.Folder(), type, key, category);
            if (!found.fault.empty()) {
                faults_.Add(shown_, what + " fails: " + found.fault);
                continue;
            }
            if (found.file_name != expected_file) {
                faults_.Add(shown_, what + " opens " + Quoted(found.file_name) + ", its MAPPED line names " +
                                        Quoted(expected_file));
                continue;
            }
            if (found.records == expected) continue;
            std::string difference;
            for (const std::string& record : found.records)
                if (difference.empty() && RecordOwner(record) != key)
                    difference = "takes the record " + Quoted(record) + " of another program";
            if (difference.empty())
                difference = "finds " + std::to_string(found.records.size()) + " of its " +
                             std::to_string(expected.size()) + " records";
            faults_.Add(Shown(expected_file), what + " " + difference);
        }
    }
}

PackageSummary PackageVerifier::Run() {
    DecodeFiles();
    if (files_.empty()) faults_.Add(shown_, "holds no database files");
    std::set<std::string> types;
    for (const VerifiedFile& file : files_)
        if (!file.type.empty()) types.insert(file.type);
    for (const char* type : kSoftwareTypes)
        if (types.count(type)) CheckType(type);

    bool decoded = true;
    for (const VerifiedFile& file : files_) decoded = decoded && file.decoded.Clean();
    if (decoded) {
        for (const char* type : kSoftwareTypes)
            if (types.count(type)) CheckLookups(type);
    } else {
        faults_.Add(shown_, "lookups not checked: some files do not decode");
    }
    return summary_;
}

}  // namespace

PackageSummary VerifyPackage(const std::string& package_path, FaultLog& faults) {
    const std::string shown = DisplayPath(package_path);
    if (!CheckStoredEntries(package_path, shown, faults)) return PackageSummary();
    std::unique_ptr<UnpackedPackage> package;
    try {
        package = std::make_unique<UnpackedPackage>(package_path);
    } catch (const EDatabaseError& error) {
        faults.Add(shown, Cp936ToUtf8OrEscaped(error.what()));
        return PackageSummary();
    }
    PackageVerifier verifier(*package, shown, faults);
    return verifier.Run();
}
