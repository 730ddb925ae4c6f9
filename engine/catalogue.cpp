#include "category_files.h"
#include "installed_software.h"
#include "tqx.h"

bool TQX::ListSoftware(const std::string& type, const std::string& sub_type, const std::string& os) {
    StringList* cache = SoftwareListOf(type);
    if (!cache || !OnSoftwareItem) return false;
    // A filled cache is used as it is: new filters take effect after ClearSoftwareList.
    bool result = true;
    if (cache->empty()) result = LoadSoftwareList(WorkDir, type, sub_type, *cache, os);
    for (const std::string& line : *cache) OnSoftwareItem(line.c_str());
    return result;
}

void TQX::ListInstallPaths(int row, const std::string& type, bool use_64bit_view) {
    std::string key;
    if (!ProgramKeyAt(row, type, OnInstalledPath, key)) return;
    StringList folders;
    FindInstallPaths(ReadRecords(key, type, category::kInstallNames), folders, use_64bit_view);
    for (const std::string& folder : folders) OnInstalledPath(folder.c_str());
}

bool TQX::ProgramKeyAt(int row, const std::string& type, TQXCallback slot, std::string& key) {
    const StringList* cache = SoftwareListOf(type);
    if (!cache || !slot || row < 0 || row >= static_cast<int>(cache->size())) return false;
    StringList fields;
    if (!SplitByBar((*cache)[row], fields)) return false;
    key = fields[0];
    return true;
}

StringList TQX::ReadRecords(const std::string& key, const std::string& type, const char* name_template) {
    StringList records;
    LoadCategoryRecords(key, GetCategoryFile(WorkDir, key, type, name_template), records);
    return records;
}
