#include <windows.h>

#include <functional>

#include "category_files.h"
#include "com_scanners.h"
#include "directory_walk.h"
#include "file_system.h"
#include "matching.h"
#include "process_probes.h"
#include "registry_items.h"
#include "scan_info.h"
#include "shell_link.h"
#include "text_rules.h"
#include "tqx.h"

namespace {

std::string WindowsFolder() {
    char buffer[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
    return length > 0 && length <= MAX_PATH ? std::string(buffer, length) : std::string("C:\\Windows");
}

// Field 1 of a record; records shorter than their category's layout are passed over.
bool SecondField(const std::string& record, std::string& field) {
    StringList fields;
    SplitByBar(record, fields);
    if (fields.size() < 2) return false;
    field = fields[1];
    return true;
}

void Report(TQXCallback slot, const std::string& text) { slot(text.c_str()); }

}  // namespace

void TQX::AnalyzeProcessRun(int row, const std::string& type) {
    std::string key;
    if (!ProgramKeyAt(row, type, OnProcessRun, key)) return;
    ProcessUpperList.clear();
    for (const std::string& record : ReadRecords(key, type, category::kProcesses)) {
        std::string name;
        if (!SecondField(record, name)) continue;
        ProcessUpperList.push_back(UpperCased(name));
        if (IsProcessRunning(name)) Report(OnProcessRun, name);
        ScanInfoText::Set(name);
    }
}

void TQX::AnalyzeCoreFile(int row, const std::string& type) {
    std::string key;
    if (!ProgramKeyAt(row, type, OnCoreFile, key)) return;
    const std::string windows = WindowsFolder();
    for (const std::string& record : ReadRecords(key, type, category::kCoreFiles)) {
        std::string path;
        if (!SecondField(record, path)) continue;
        path[0] = windows[0];  // the record's drive letter becomes the system drive's
        if (FileExists(path)) Report(OnCoreFile, path);
        ScanInfoText::Set(path);
    }
}

void TQX::AnalyzeRelatedDir(int row, const std::string& type) {
    std::string key;
    if (!ProgramKeyAt(row, type, OnRelatedDir, key)) return;
    DirUpperList.clear();
    const StringList folder_records = ReadRecords(key, type, category::kFolders);
    const StringList process_records = ReadRecords(key, type, category::kProcesses);
    StringList directories;
    FindProgramDirectories(WindowsFolder().substr(0, 3), folder_records, process_records, directories);
    for (const std::string& directory : directories) {
        DirUpperList.push_back(UpperCased(directory));
        Report(OnRelatedDir, directory);
        ScanInfoText::Set(directory);
    }
}

void TQX::AnalyzeSysFile(int row, const std::string& type) {
    std::string key;
    if (!ProgramKeyAt(row, type, OnSysFile, key)) return;
    const std::string drivers = IncludeTrailingSeparator(WindowsFolder()) + "System32\\drivers\\";
    for (const std::string& record : ReadRecords(key, type, category::kDrivers)) {
        std::string name;
        if (!SecondField(record, name)) continue;
        const std::string path = drivers + name;
        if (FileExists(path)) Report(OnSysFile, path);
        ScanInfoText::Set(path);
    }
}

void TQX::AnalyzeAXCLSID(int row, const std::string& type, bool use_64bit_view) {
    std::string key;
    if (!ProgramKeyAt(row, type, OnAXCLSID, key)) return;
    const StringList records = ReadRecords(key, type, category::kComServers);
    CLSIDList.clear();
    ComRegistrations found;
    ScanComRegistrations(records, CLSIDList, found, use_64bit_view);
    for (const StringList* list : {&found.class_keys, &found.appid_keys, &found.typelib_keys, &found.interface_keys,
                                   &found.bho_keys, &found.preapproved_keys, &found.stats_keys})
        for (const std::string& item : *list) {
            Report(OnAXCLSID, item);
            ScanInfoText::Set(item);
        }
}

void TQX::AnalyzeNewReg(int row, const std::string& type, bool use_64bit_view) {
    std::string key;
    if (!ProgramKeyAt(row, type, OnNewReg, key)) return;
    for (const std::string& record : ReadRecords(key, type, category::kRegistry)) {
        StringList fields;
        SplitByBar(record, fields);
        if (fields.size() < 2) continue;
        // What the report shows: the record without its program key.
        std::string shown = fields[1];
        shown += '|';
        for (std::size_t i = 2; i < fields.size(); ++i) shown += (i > 2 ? "|" : "") + fields[i];
        ScanInfoText::Set(shown);
        if (RegistryItemExists(record, use_64bit_view)) Report(OnNewReg, shown);
    }
    const std::function<void(StringList&)> scans[] = {
        [&](StringList& found) { ScanElevationPolicy(ProcessUpperList, DirUpperList, found, use_64bit_view); },
        [&](StringList& found) { ScanApprovedShellExtensions(CLSIDList, found, use_64bit_view); },
        [&](StringList& found) { ScanIeToolbars(CLSIDList, found, use_64bit_view); },
        [&](StringList& found) { ScanInstallerFolders(DirUpperList, found, use_64bit_view); },
    };
    for (const auto& scan : scans) {
        StringList found;
        scan(found);
        for (const std::string& item : found) Report(OnNewReg, item);
    }
}

void TQX::AnalyzeShellLink() {
    if (!OnShellLink || DirList.empty()) return;
    const std::string drive_root = WindowsFolder().substr(0, 3);
    std::string search_folder = drive_root + "Users\\";
    if (!DirectoryExists(search_folder)) {
        search_folder = drive_root + "Documents and Settings\\";
        if (!DirectoryExists(search_folder)) return;
    }
    StringList shortcuts;
    FindFilesByExtension(search_folder, ".lnk", shortcuts);
    for (const std::string& shortcut : shortcuts) {
        std::string working_directory, target;
        ResolveShellLink(Trimmed(shortcut), working_directory, target);
        for (const std::string& directory : DirList) {
            // Path and target need no separator after the folder; a working directory does, so
            // C:\FooBar is not taken for C:\Foo.
            if (TextContains(shortcut, directory) || (!target.empty() && TextContains(target, directory)) ||
                (!working_directory.empty() &&
                 TextContains(IncludeTrailingSeparator(working_directory), IncludeTrailingSeparator(directory)))) {
                Report(OnShellLink, shortcut);
                break;
            }
        }
    }
}
