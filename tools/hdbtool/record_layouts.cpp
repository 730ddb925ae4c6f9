#include "record_layouts.h"

#include "category_files.h"
#include "fault_log.h"
#include "record_path_variables.h"

namespace {

const CategoryLayout kMapped{"MAPPED", category::kMapped, 2, "key, category file names"};
const CategoryLayout kCatalogue{"LI", category::kCatalogue, 7,
                                "key, name, sub-type, version, Windows version, Windows version, 32/64-bit"};

// Backslashes are searched character by character: the trail byte of a double-byte character
// may be 0x5C without being one.
bool ContainsBackslash(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(text[i])))
            ++i;
        else if (text[i] == '\\')
            return true;
    }
    return false;
}

bool IsFullPath(const std::string& path) {
    const char drive = path.size() > 3 ? path[0] : '\0';
    return ((drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z')) && path[1] == ':' && path[2] == '\\';
}

bool IsRegistryRoot(const std::string& root) {
    return root == "HKLM" || root == "HKCU" || root == "HKU" || root == "HKCR";
}

}  // namespace

const CategoryLayout& MappedLayout() { return kMapped; }
const CategoryLayout& CatalogueLayout() { return kCatalogue; }

const std::vector<CategoryLayout>& RecordCategories() {
    static const std::vector<CategoryLayout> categories = {
        {"IDN", category::kInstallNames, 2, "key, installed display name"},
        {"FL", category::kFolders, 2, "key, folder name"},
        {"PR", category::kProcesses, 2, "key, process file name"},
        {"CF", category::kCoreFiles, 2, "key, full path of a core file"},
        {"IS", category::kDrivers, 2, "key, driver file name"},
        {"RAXC", category::kComServers, 2, "key, COM server module name"},
        {"RN", category::kRegistry, 3, "key, root, key path, optional value name"},
    };
    return categories;
}

const CategoryLayout* FindSourceCategory(const std::string& code) {
    if (code == kCatalogue.code) return &kCatalogue;
    for (const CategoryLayout& layout : RecordCategories())
        if (code == layout.code) return &layout;
    return nullptr;
}

std::string DatabaseFileName(const CategoryLayout& layout, const std::string& type) {
    return CategoryName(layout.name_template, type) + ".hdb";
}

std::string LayoutFault(const CategoryLayout& layout, const StringList& fields) {
    const std::string code = layout.code;
    if (fields.size() < layout.field_count)
        return code + " record has " + std::to_string(fields.size()) + " field(s), its layout needs " +
               std::to_string(layout.field_count) + " (" + layout.fields + ")";
    const std::string& first = fields[1];
    if ((code == "FL" || code == "PR" || code == "IS" || code == "RAXC") && ContainsBackslash(first))
        return code + " field 1 " + Quoted(first) + " must be a plain name without a backslash";
    if (code == "CF") {
        RecordPath path;
        std::string fault;
        if (!ParseRecordPath(first, path, fault)) return "CF field 1 " + Quoted(first) + ": " + fault;
        if (!path.variable && !IsFullPath(first))
            return "CF field 1 " + Quoted(first) +
                   " must be a full path with a drive letter (C:\\...) or begin with a variable (%APPDATA%\\...)";
    }
    if (code == "RN" && !IsRegistryRoot(first))
        return "RN field 1 " + Quoted(first) + " must be a registry root: HKLM, HKCU, HKU or HKCR";
    if (code == "RN" && fields[2][0] == '\\')
        return "RN field 2 " + Quoted(fields[2]) + " must be a key path without a leading backslash";
    return "";
}
