#include "backup_restore.h"

#include <windows.h>

#include <vector>

#include "backup_catalogue.h"
#include "file_system.h"
#include "machine_views.h"
#include "reg_import.h"
#include "win32/error_text.h"
#include "win32/handles.h"

namespace {

// Whether something is at the path; a file waiting to be deleted answers "access denied" and is
// still there.
bool PathTaken(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    const DWORD error = GetLastError();
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

// A file of the backup copied to target, never over anything there, with the copy's attributes
// (read-only, hidden, system ...).
bool CopyBack(const std::string& copy, const std::string& target, std::string* failure) {
    const DWORD attributes = GetFileAttributesA(copy.c_str());
    if (!CopyFileA(copy.c_str(), target.c_str(), TRUE)) {
        *failure = ErrorText("cannot copy " + copy + " to " + target);
        return false;
    }
    SetFileAttributesA(target.c_str(), attributes);
    return true;
}

// A folder tree of the backup copied back into target: what is missing is made, with the
// attributes of every file and folder; what is there already is left and listed. A failure does
// not stop the rest; the first is kept.
class TreeRestore {
public:
    explicit TreeRestore(bool dry_run) : dry_run_(dry_run) {}

    void Copy(const std::string& copy, const std::string& target) {
        const bool there = PathTaken(target);
        if (there && !DirectoryExists(target)) {
            existing.push_back(target);
            return;
        }
        if (!there) {
            if (!dry_run_ && !CreateDirectoryA(target.c_str(), nullptr)) return Note(ErrorText("cannot create " + target));
            ++made;
        }
        WIN32_FIND_DATAA data;
        FindHandle search(JoinPath(copy, "*").c_str(), data);
        if (!search.IsOpen()) Note(ErrorText("cannot read " + copy));
        for (bool more = search.IsOpen(); more; more = search.Next(data)) {
            const std::string name = data.cFileName;
            if (name == "." || name == ".." || (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
            const std::string from = JoinPath(copy, name), to = JoinPath(target, name);
            std::string reason;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                Copy(from, to);
            else if (PathTaken(to))
                existing.push_back(to);
            else if (dry_run_ || CopyBack(from, to, &reason))
                ++made;
            else
                Note(reason);
        }
        // A folder made here gets its attributes once its contents are in.
        if (!there && !dry_run_) SetFileAttributesA(target.c_str(), GetFileAttributesA(copy.c_str()));
    }

    int made = 0;                       // files and folders (that would be) made
    std::vector<std::string> existing;  // left as they are
    std::string failure;

private:
    void Note(const std::string& reason) {
        if (failure.empty()) failure = reason;
    }

    bool dry_run_;
};

class Restorer {
public:
    Restorer(const std::string& folder, bool dry_run, const RestoreReport& report)
        : folder_(folder), dry_run_(dry_run), report_(report) {}

    void Restore(const ManifestLine& line) {
        if (!line.fault.empty())
            return Failed("manifest.txt 第 " + std::to_string(line.number) + " 行", line.fault);
        switch (line.entry.kind) {
            case BackupKind::kFile: return RestoreFile(line.entry);
            case BackupKind::kFolder: return RestoreFolder(line.entry);
            case BackupKind::kRegistryKey:
            case BackupKind::kRegistryValue: return RestoreRegistry(line.entry);
        }
    }

    void Failed(const std::string& item, const std::string& reason) {
        Report(dry_run_ ? "将无法恢复: " : "未能恢复: ", item + " (" + reason + ")");
        ++counts.not_restored;
    }

    void Finish() {
        const std::string restored = std::to_string(counts.restored), left = std::to_string(counts.not_restored);
        report_(dry_run_ ? "预演完成: 将恢复 " + restored + " 项, 将不覆盖 " + left + " 项"
                         : "恢复完成: 已恢复 " + restored + " 项, 未恢复 " + left + " 项");
    }

    RestoreCounts counts;

private:
    void Report(const char* prefix, const std::string& item) { report_(prefix + item); }
    void Restored(const char* done_prefix, const std::string& item) {
        Report(dry_run_ ? "将恢复: " : done_prefix, item);
        ++counts.restored;
    }
    void ThereAlready(const std::string& item) {
        ReportThere(item);
        ++counts.not_restored;
    }
    void ReportThere(const std::string& item) { Report(dry_run_ ? "已存在, 将不覆盖: " : "已存在, 未覆盖: ", item); }

    // Files and folders are recorded as the machine names them and put back where this process
    // reaches them (AccessPathOf).
    void RestoreFile(const BackupEntry& entry) {
        const std::string copy = folder_ + entry.stored, target = AccessPathOf(entry.location);
        std::string reason;
        if (!FileExists(copy)) return Failed(entry.location, "the backup has no " + entry.stored);
        if (PathTaken(target)) return ThereAlready(entry.location);
        const size_t parent = LastSeparator(target);
        if (!dry_run_ && !CreateDirectories(target.substr(0, parent)))
            return Failed(entry.location, ErrorText("cannot create the folder " + target.substr(0, parent)));
        if (!dry_run_ && !CopyBack(copy, target, &reason)) return Failed(entry.location, reason);
        Restored("已恢复文件: ", entry.location);
    }

    // A folder that is there (one whose deletion stopped part way) gets back what it is missing.
    void RestoreFolder(const BackupEntry& entry) {
        const std::string copy = folder_ + entry.stored, target = AccessPathOf(entry.location);
        if (!DirectoryExists(copy)) return Failed(entry.location, "the backup has no " + entry.stored);
        if (!dry_run_ && !CreateDirectories(target.substr(0, LastSeparator(target))))
            return Failed(entry.location, ErrorText("cannot create the folder above it"));
        TreeRestore tree(dry_run_);
        tree.Copy(copy, target);
        if (!tree.failure.empty()) return Failed(entry.location, tree.failure);
        if (tree.made == 0) return ThereAlready(entry.location);
        Restored("已恢复目录: ", entry.location);
        for (const std::string& path : tree.existing) ReportThere(path);
    }

    void RestoreRegistry(const BackupEntry& entry) {
        // Registry locations are spelled as the 64-bit view names them (Wow6432Node for the 32-bit
        // half), so the location alone says where an item lives.
        const std::string item = entry.location;
        RegFile file;
        std::string reason;
        if (!ReadRegFile(folder_ + entry.stored, file, &reason)) return Failed(item, entry.stored + ": " + reason);
        const bool key = entry.kind == BackupKind::kRegistryKey;
        if (!(key ? RegFileHoldsKey(file, entry.location, &reason) : RegFileHoldsValue(file, entry.location, &reason)))
            return Failed(item, entry.stored + ": " + reason);
        const RegSection& section = file.sections[0];
        if (key ? RegKeyPresent(section, entry.view) : RegValuePresent(section, section.values[0], entry.view))
            return ThereAlready(item);
        if (!dry_run_ && !ImportRegFile(file, entry.view, &reason)) return Failed(item, reason);
        Restored("已恢复注册表: ", item);
    }

    std::string folder_;
    bool dry_run_;
    const RestoreReport& report_;
};

}  // namespace

RestoreCounts RestoreBackup(const std::string& folder, bool dry_run, const RestoreReport& report) {
    Restorer restorer(IncludeTrailingSeparator(folder), dry_run, report);
    std::vector<ManifestLine> lines;
    std::string failure;
    if (!ReadManifest(folder, lines, &failure)) restorer.Failed(WithoutTrailingSeparators(folder), failure);
    // The last removed comes back first: a folder before the files taken from it, a key before its values.
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) restorer.Restore(*line);
    restorer.Finish();
    return restorer.counts;
}
