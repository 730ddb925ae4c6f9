#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>

#include "category_files.h"
#include "com_scanners.h"
#include "command_path.h"
#include "directory_walk.h"
#include "file_system.h"
#include "known_folders.h"
#include "machine_views.h"
#include "matching.h"
#include "path_identity.h"
#include "pending_marks.h"
#include "process_probes.h"
#include "protected_names.h"
#include "record_path_variables.h"
#include "registry_items.h"
#include "scan_info.h"
#include "service_control.h"
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

// A found item the safety rules refuse is still reported, marked with the reason, so the user
// sees what the database asked for; the clean-up skips it.
std::string Shown(const SafetyVerdict& verdict, const std::string& item) {
    return verdict.allowed ? item : SafetyGuard::Marked(verdict, item);
}

void ReportChecked(TQXCallback slot, const SafetyVerdict& verdict, const std::string& item) {
    Report(slot, Shown(verdict, item));
}

// What a registry scan finds in every view the machine has, each item spelled as the machine view
// names it (a key of the 32-bit view under its Wow6432Node path): the machine view's items as
// found, then the other view's that are not the same keys seen again.
using ViewScan = std::function<void(RegistryView view, StringList& found)>;
StringList FoundInEveryView(RegistryView machine_view, const ViewScan& scan) {
    StringList items;
    bool machine_view_scanned = false;
    for (const RegistryView view : SearchViews(machine_view)) {
        StringList found;
        scan(view, found);
        if (!machine_view_scanned) {
            items = found;
            machine_view_scanned = true;
            continue;
        }
        const StringList seen = items;
        for (const std::string& item : found) {
            const std::string spelled = MachineSpelling(item, view);
            if (std::find(seen.begin(), seen.end(), spelled) == seen.end()) items.push_back(spelled);
        }
    }
    return items;
}

// The registry key an item names, checked when the item names a key rather than a value.
SafetyVerdict CheckRegistryItem(const SafetyGuard& guard, const std::string& item) {
    StringList fields;
    SplitByBar(item, fields);
    if (fields.size() != 2) return SafetyVerdict::Allow();
    return guard.CheckRegistryKey(fields[0], fields[1]);
}

}  // namespace

void TQX::AnalyzeProcessRun(int row, const std::string& type) {
    std::string key;
    if (!ProgramKeyAt(row, type, OnProcessRun, key)) return;
    StringList& upper_names = analysis_scratch_.ProcessUpperList;
    upper_names.clear();
    for (const std::string& record : ReadRecords(key, type, category::kProcesses)) {
        std::string name;
        if (!SecondField(record, name)) continue;
        // The system's own names would tie the program to the system's browser policies.
        if (!IsSystemProcessName(name)) upper_names.push_back(UpperCased(name));
        if (IsProcessRunning(name)) ReportChecked(OnProcessRun, Guard().CheckProcess(name, ProcessImagePath(name)), name);
        ScanInfoText::Set(name);
    }
}

void TQX::AnalyzeCoreFile(int row, const std::string& type) {
    std::string key;
    if (!ProgramKeyAt(row, type, OnCoreFile, key)) return;
    const std::string windows = WindowsFolder();
    for (const std::string& record : ReadRecords(key, type, category::kCoreFiles)) {
        std::string path;
        if (!SecondField(record, path) || path.empty()) continue;
        // A plain path is the system drive's; one that begins with a variable (%APPDATA%\...) is
        // every user's or the machine's folder.
        RecordPath parsed;
        std::string fault;
        if (!ParseRecordPath(path, parsed, fault)) continue;  // never written by hdbtool
        if (!parsed.variable) path[0] = windows[0];
        const StringList on_this_machine = parsed.variable ? ExpandRecordPath(path) : StringList{path};
        // On 64-bit Windows the copies in the other system and program folders too, each
        // reported as the machine names it.
        for (const std::string& candidate : on_this_machine)
            for (const std::string& copy : MachinePathsOf(candidate)) {
                if (!FileExists(copy)) continue;
                const std::string found = MachinePathOf(copy);
                Report(OnCoreFile, ShownFileTrace(Guard().CheckFile(found), found));
            }
        ScanInfoText::Set(path);
    }
}

void TQX::AnalyzeRelatedDir(int row, const std::string& type) {
    // Whatever happens below, no folder of an earlier run may lead the shortcut step.
    work_lists_.DirList.clear();
    std::string key;
    if (!ProgramKeyAt(row, type, OnRelatedDir, key)) return;
    StringList& upper_folders = analysis_scratch_.DirUpperList;
    upper_folders.clear();
    const StringList folder_records = ReadRecords(key, type, category::kFolders);
    const StringList process_records = ReadRecords(key, type, category::kProcesses);
    StringList directories;
    FindProgramDirectories(WindowsFolder().substr(0, 3), folder_records, process_records, directories);
    for (const std::string& directory : directories) {
        // Copies of the program's folders in Kestrune's own backups are not the program's.
        if (InBackups(directory)) continue;
        const SafetyVerdict verdict = Guard().CheckFolder(directory);
        if (verdict.allowed) upper_folders.push_back(UpperCased(directory));
        // The shortcut step reads the folders as reported and passes the marked ones over.
        const std::string shown = ShownFileTrace(verdict, directory);
        AddOnce(work_lists_.DirList, shown);
        Report(OnRelatedDir, shown);
        ScanInfoText::Set(directory);
    }
}

void TQX::AnalyzeSysFile(int row, const std::string& type) {
    analysis_scratch_.DriverFileList.clear();
    std::string key;
    if (!ProgramKeyAt(row, type, OnSysFile, key)) return;
    const std::string drivers = IncludeTrailingSeparator(WindowsFolder()) + "System32\\drivers\\";
    for (const std::string& record : ReadRecords(key, type, category::kDrivers)) {
        std::string name;
        if (!SecondField(record, name)) continue;
        const std::string path = drivers + name;
        for (const std::string& copy : MachinePathsOf(path)) {
            if (!FileExists(copy)) continue;
            const std::string found = MachinePathOf(copy);
            const SafetyVerdict verdict = Guard().CheckFile(found);
            if (verdict.allowed) analysis_scratch_.DriverFileList.push_back(found);
            Report(OnSysFile, ShownFileTrace(verdict, found));
        }
        ScanInfoText::Set(path);
    }
}

void TQX::AnalyzeServices() {
    const TQXAnalysisScratch& earlier = analysis_scratch_;
    if (!OnService || (earlier.DriverFileList.empty() && earlier.DirUpperList.empty())) return;
    for (const ServiceEntry& service :
         ServicesOfProgram(ListServices(nullptr), earlier.DriverFileList, earlier.DirUpperList)) {
        // A service run by one of Windows' own files (a shared host) is never the program's.
        Report(OnService, Shown(Guard().CheckFile(service.image_file), ServiceTraceText(service)));
        ScanInfoText::Set(service.name);
    }
}

void TQX::AnalyzeAXCLSID(int row, const std::string& type, RegistryView view) {
    std::string key;
    if (!ProgramKeyAt(row, type, OnAXCLSID, key)) return;
    const StringList records = ReadRecords(key, type, category::kComServers);
    StringList& clsids = analysis_scratch_.CLSIDList;
    clsids.clear();
    // A class served by one of Windows' own files is never reported nor deleted.
    const auto server_allowed = [this](const std::string& server_path) {
        return Guard().CheckFile(CommandFilePath(server_path)).allowed;
    };
    const auto scan = [&](RegistryView search_view, StringList& items) {
        StringList view_clsids;
        ComRegistrations found;
        ScanComRegistrations(records, view_clsids, found, search_view, server_allowed);
        for (const std::string& clsid : view_clsids) AddOnce(clsids, clsid);
        for (const StringList* list : {&found.class_keys, &found.appid_keys, &found.typelib_keys,
                                       &found.interface_keys, &found.bho_keys, &found.preapproved_keys,
                                       &found.stats_keys})
            items.insert(items.end(), list->begin(), list->end());
    };
    for (const std::string& item : FoundInEveryView(view, scan)) {
        StringList fields;
        SplitByBar(item, fields);
        const SafetyVerdict verdict =
            fields.size() >= 2 ? Guard().CheckRegistryKey(fields[0], fields[1]) : SafetyVerdict::Allow();
        ReportChecked(OnAXCLSID, verdict, item);
        ScanInfoText::Set(item);
    }
}

void TQX::AnalyzeNewReg(int row, const std::string& type, RegistryView view) {
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
        const auto look_up = [&](RegistryView search_view, StringList& found) {
            const RegistryPresence presence = LookUpRegistryRecord(record, search_view);
            if (presence == RegistryPresence::kInaccessible)
                found.push_back(SafetyGuard::Marked(SafetyVerdict::Refuse("存在但无法访问"), shown));
            else if (presence == RegistryPresence::kPresent)
                found.push_back(shown);
        };
        for (const std::string& item : FoundInEveryView(view, look_up)) {
            if (SafetyGuard::IsMarked(item))
                Report(OnNewReg, item);
            else
                ReportChecked(OnNewReg, CheckRegistryItem(Guard(), item), item);
        }
    }
    const TQXAnalysisScratch& earlier = analysis_scratch_;
    const ViewScan scans[] = {
        [&](RegistryView search_view, StringList& found) {
            ScanElevationPolicy(earlier.ProcessUpperList, earlier.DirUpperList, found, search_view);
        },
        [&](RegistryView search_view, StringList& found) {
            ScanApprovedShellExtensions(earlier.CLSIDList, found, search_view);
        },
        [&](RegistryView search_view, StringList& found) { ScanIeToolbars(earlier.CLSIDList, found, search_view); },
        [&](RegistryView search_view, StringList& found) {
            ScanInstallerFolders(earlier.DirUpperList, found, search_view);
        },
    };
    for (const ViewScan& scan : scans)
        for (const std::string& item : FoundInEveryView(view, scan))
            ReportChecked(OnNewReg, CheckRegistryItem(Guard(), item), item);
}

void TQX::AnalyzeShellLink() { AnalyzeShellLink(ListShortcutFiles()); }

StringList TQX::ListShortcutFiles() const {
    StringList shortcuts;
    if (!OnShellLink || work_lists_.DirList.empty()) return shortcuts;
    const std::string drive_root = WindowsFolder().substr(0, 3);
    std::string search_folder = drive_root + "Users\\";
    if (!DirectoryExists(search_folder)) {
        search_folder = drive_root + "Documents and Settings\\";
        if (!DirectoryExists(search_folder)) return shortcuts;
    }
    FindFilesByExtension(search_folder, ".lnk", shortcuts);
    // The all-users Start menu and desktop lie outside the users' folders since Vista (ProgramData).
    for (const int folder_id : {CSIDL_COMMON_STARTMENU, CSIDL_COMMON_DESKTOPDIRECTORY}) {
        char folder[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathA(nullptr, folder_id, nullptr, SHGFP_TYPE_CURRENT, folder))) continue;
        const std::string canonical = CanonicalPath(folder);
        if (!canonical.empty() && !IsStrictlyInside(canonical, CanonicalPath(search_folder)))
            FindFilesByExtension(folder, ".lnk", shortcuts);
    }
    return shortcuts;
}

void TQX::AnalyzeShellLink(const StringList& shortcut_files) {
    if (!OnShellLink || work_lists_.DirList.empty()) return;
    for (const std::string& shortcut : shortcut_files) {
        std::string working_directory, target;
        ResolveShellLink(Trimmed(shortcut), working_directory, target);
        for (const std::string& listed : work_lists_.DirList) {
            // A folder waiting for the restart is still the program's; a refused one is not.
            if (SafetyGuard::IsMarked(listed) && !IsMarkedPendingDeletion(listed)) continue;
            const std::string directory = SafetyGuard::Unmarked(listed);
            // Path and target need no separator after the folder; a working directory does, so
            // C:\FooBar is not taken for C:\Foo.
            if (TextContains(shortcut, directory) || (!target.empty() && TextContains(target, directory)) ||
                (!working_directory.empty() &&
                 TextContains(IncludeTrailingSeparator(working_directory), IncludeTrailingSeparator(directory)))) {
                Report(OnShellLink, ShownFileTrace(SafetyVerdict::Allow(), shortcut));
                break;
            }
        }
    }
}
