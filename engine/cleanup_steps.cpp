#include <algorithm>

#include "file_system.h"
#include "path_identity.h"
#include "pending_marks.h"
#include "process_probes.h"
#include "removal.h"
#include "service_control.h"
#include "tqx.h"

// Each line keeps its prefix when the item is gone and says plainly when it is not, so the log
// never reports a failure as done; Tally counts both for the closing message.

namespace {

const char kSkippedPrefix[] = "已跳过受保护项目: ";
const char kPartialRegistryPrefix[] = "未能完全清理注册表: ";
const char kNotBackedUpPrefix[] = "未能备份, 未清理: ";
const char kScheduledPrefix[] = "重启后删除: ";
const char kAlreadyScheduledPrefix[] = "已安排重启后删除: ";

std::string WithReason(const std::string& item, const std::string& reason) {
    return reason.empty() ? item : item + " (" + reason + ")";
}

}  // namespace

void TQX::ReportClean(const char* done_prefix, const char* failed_prefix, const RemovalOutcome& outcome,
                      const std::string& item) {
    std::string line;
    switch (outcome.result) {
        case RemovalResult::kRemoved: line = done_prefix + item; break;
        case RemovalResult::kRefused: line = kSkippedPrefix + item + " (" + outcome.reason + ")"; break;
        case RemovalResult::kPartial: line = kPartialRegistryPrefix + item; break;
        case RemovalResult::kFailed: line = failed_prefix + WithReason(item, outcome.reason); break;
        case RemovalResult::kNotBackedUp: line = kNotBackedUpPrefix + WithReason(item, outcome.reason); break;
        case RemovalResult::kScheduled: line = kScheduledPrefix + WithReason(item, outcome.reason); break;
    }
    if (backup_) backup_->NoteOutcome(line);
    if (outcome.result == RemovalResult::kScheduled)
        ++Tally.scheduled;
    else
        (outcome.Removed() ? Tally.removed : Tally.not_removed)++;
    if (OnCleanInfo) OnCleanInfo(line.c_str());
}

bool TQX::InBackups(const std::string& path) const {
    if (BackupRoot.empty()) return false;
    const std::string canonical = CanonicalPath(path), root = CanonicalPath(BackupRoot);
    return canonical == root || IsStrictlyInside(canonical, root);
}

bool TQX::SkipMarked(const std::string& item) {
    if (IsMarkedPendingDeletion(item)) {
        // An earlier clean-up already scheduled it; the restart completes that one.
        ++Tally.scheduled;
        const std::string line = kAlreadyScheduledPrefix + SafetyGuard::Unmarked(item);
        if (OnCleanInfo) OnCleanInfo(line.c_str());
        return true;
    }
    const bool backup = InBackups(item);
    if (!backup && !SafetyGuard::IsMarked(item)) return false;
    ++Tally.not_removed;
    const std::string line = kSkippedPrefix + item + (backup ? " (Kestrune 的备份)" : "");
    if (OnCleanInfo) OnCleanInfo(line.c_str());
    return true;
}

void TQX::CleanProcessRun() {
    for (const std::string& name : work_lists_.ProcessRunList)
        if (!SkipMarked(name)) ReportClean("结束运行中进程: ", "未能结束进程: ", EndProcess(Guard(), name), name);
}

void TQX::CleanServices() {
    if (work_lists_.ServiceList.empty()) return;
    const std::vector<ServiceEntry> services = ListServices(nullptr);
    for (const std::string& item : work_lists_.ServiceList) {
        if (SkipMarked(item)) continue;
        // The row names the service as the analysis saw it; one that is gone since needs nothing.
        const auto service = std::find_if(services.begin(), services.end(),
                                          [&](const ServiceEntry& entry) { return ServiceTraceText(entry) == item; });
        if (service != services.end())
            ReportClean("清理系统服务: ", "未能清理系统服务: ", RemoveService(Guard(), *service, backup_.get()), item);
    }
}

void TQX::CleanSysFile() {
    for (const std::string& path : work_lists_.SysFileList)
        if (!SkipMarked(path) && FileExists(path))
            ReportClean("清理驱动文件: ", "未能清理驱动文件: ", RemoveFile(Guard(), path, backup_.get()), path);
}

void TQX::CleanCoreFile() {
    for (const std::string& path : work_lists_.CoreFileList)
        if (!SkipMarked(path) && FileExists(path))
            ReportClean("清理核心文件: ", "未能清理核心文件: ", RemoveFile(Guard(), path, backup_.get()), path);
}

void TQX::CleanAXCLSID(RegistryView view) {
    for (const std::string& item : work_lists_.AXCLSIDList)
        if (!SkipMarked(item))
            ReportClean("清理组件注册表: ", "未能清理组件注册表: ", RemoveRegistryItem(Guard(), item, view, backup_.get()), item);
}

void TQX::CleanNewReg(RegistryView view) {
    for (const std::string& item : work_lists_.NewRegList)
        if (!SkipMarked(item))
            ReportClean("清理注册表: ", "未能清理注册表: ", RemoveRegistryItem(Guard(), item, view, backup_.get()), item);
}

void TQX::CleanRelatedDir() {
    for (const std::string& path : work_lists_.DirList)
        if (!SkipMarked(path) && DirectoryExists(path))
            ReportClean("清理相关目录: ", "未能完全清理相关目录: ", RemoveFolder(Guard(), path, backup_.get()), path);
}

void TQX::CleanShellLink() {
    for (const std::string& path : work_lists_.ShellLinkList)
        if (!SkipMarked(path)) ReportClean("清理快捷方式:", "未能清理快捷方式:", RemoveFile(Guard(), path, backup_.get()), path);
}

void TQX::BeginBackup(int row, const std::string& type) {
    EndBackup();  // a run that stopped early still leaves its manifest
    const StringList* cache = SoftwareListOf(type);
    StringList fields;
    std::string program = "program";
    if (cache && row >= 0 && row < static_cast<int>(cache->size()) && SplitByBar((*cache)[row], fields) &&
        fields.size() > 1)
        program = fields[1];
    backup_.reset(new CleanupBackup(BackupRoot, program));
    last_backup_folder_ = backup_->Folder();
    if (!backup_->Failure().empty() && OnCleanInfo) {
        const std::string line = "无法创建备份目录, 本次不删除任何文件或注册表项: " + backup_->Failure();
        OnCleanInfo(line.c_str());
    }
}

void TQX::EndBackup() {
    if (!backup_) return;
    std::string failure;
    if (!backup_->Finish(&failure) && OnCleanInfo) {
        const std::string line = "未能写入备份清单: " + failure;
        OnCleanInfo(line.c_str());
    }
    backup_.reset();
}
