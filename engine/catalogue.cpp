#include <algorithm>

#include "category_files.h"
#include "installed_software.h"
#include "machine_views.h"
#include "matching.h"
#include "tqx.h"

bool TQX::ListSoftware(const std::string& type, const std::string& sub_type, const std::string& os) {
    StringList* cache = CacheOf(type);
    if (!cache || !OnSoftwareItem) return false;
    // A filled cache is used as it is: new filters take effect after ClearSoftwareList.
    bool result = true;
    if (cache->empty()) {
        result = LoadSoftwareList(WorkDir, type, sub_type, *cache, os);
        // A record that decodes to nothing names no program and is left out: every line is a
        // row of the front ends, and row n is the line the analysis takes for it.
        cache->erase(std::remove(cache->begin(), cache->end(), std::string()), cache->end());
    }
    for (const std::string& line : *cache) OnSoftwareItem(line.c_str());
    return result;
}

void TQX::ListInstallPaths(int row, const std::string& type, RegistryView view) {
    std::string key;
    if (!ProgramKeyAt(row, type, OnInstalledPath, key)) return;
    const StringList identification = ReadRecords(key, type, category::kInstallNames);
    Safety.Refresh(identification);
    // On 64-bit Windows the registrations of both views: the machine view's as they are, then
    // what only the other view adds.
    StringList folders;
    for (const RegistryView search_view : SearchViews(view)) {
        StringList found;
        FindInstallPaths(identification, found, search_view);
        if (folders.empty())
            folders = found;
        else
            for (const std::string& folder : found) AddOnce(folders, folder);
    }
    for (const std::string& folder : folders) {
        // A protected folder is proposed marked: the user sees it, the clean-up leaves it.
        const SafetyVerdict verdict = Safety.CheckFolder(folder);
        const std::string shown = verdict.allowed ? folder : SafetyGuard::Marked(verdict, folder);
        OnInstalledPath(shown.c_str());
    }
}

const SafetyGuard& TQX::Guard() {
    if (!Safety.IsReady()) PrepareSafety(SelectedIndex, SoftwareType);
    return Safety;
}

void TQX::PrepareSafety(int row, const std::string& type) {
    const StringList* cache = SoftwareListOf(type);
    StringList identification;
    if (cache && row >= 0 && row < static_cast<int>(cache->size())) {
        StringList fields;
        if (SplitByBar((*cache)[row], fields)) identification = ReadRecords(fields[0], type, category::kInstallNames);
    }
    Safety.Refresh(identification);
}

bool TQX::ProgramKeyAt(int row, const std::string& type, TQXCallback slot, std::string& key) const {
    const StringList* cache = SoftwareListOf(type);
    if (!cache || !slot || row < 0 || row >= static_cast<int>(cache->size())) return false;
    StringList fields;
    if (!SplitByBar((*cache)[row], fields)) return false;
    key = fields[0];
    return true;
}

void TQX::BeginRecordRun(const std::string& type) { run_records_.reset(new CategoryRecordReader(WorkDir, type)); }

void TQX::EndRecordRun() { run_records_.reset(); }

StringList TQX::ReadRecords(const std::string& key, const std::string& type, const char* name_template) {
    if (run_records_ && run_records_->Reads(WorkDir, type)) return run_records_->RecordsOf(key, name_template);
    return CategoryRecordReader(WorkDir, type).RecordsOf(key, name_template);
}
