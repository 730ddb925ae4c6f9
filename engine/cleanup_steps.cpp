#include "file_system.h"
#include "process_probes.h"
#include "removal.h"
#include "tqx.h"

// Each line keeps its prefix when the item is gone and says plainly when it is not, so the log
// never reports a failure as done; Tally counts both for the closing message.

namespace {

const char kSkippedPrefix[] = "已跳过受保护项目: ";
const char kPartialRegistryPrefix[] = "未能完全清理注册表: ";

}  // namespace

void TQX::ReportClean(const char* done_prefix, const char* failed_prefix, const RemovalOutcome& outcome,
                      const std::string& item) {
    std::string line;
    switch (outcome.result) {
        case RemovalResult::kRemoved: line = done_prefix + item; break;
        case RemovalResult::kRefused: line = kSkippedPrefix + item + " (" + outcome.reason + ")"; break;
        case RemovalResult::kPartial: line = kPartialRegistryPrefix + item; break;
        case RemovalResult::kFailed: line = failed_prefix + item; break;
    }
    (outcome.Removed() ? Tally.removed : Tally.not_removed)++;
    if (OnCleanInfo) OnCleanInfo(line.c_str());
}

bool TQX::SkipMarked(const std::string& item) {
    if (!SafetyGuard::IsMarked(item)) return false;
    ++Tally.not_removed;
    const std::string line = kSkippedPrefix + item;
    if (OnCleanInfo) OnCleanInfo(line.c_str());
    return true;
}

void TQX::CleanProcessRun() {
    for (const std::string& name : work_lists_.ProcessRunList)
        if (!SkipMarked(name)) ReportClean("结束运行中进程: ", "未能结束进程: ", EndProcess(Guard(), name), name);
}

void TQX::CleanSysFile() {
    for (const std::string& path : work_lists_.SysFileList) {
        if (SkipMarked(path) || !FileExists(path)) continue;
        ++Tally.not_removed;
        const std::string line = "未清理驱动文件(驱动可能仍在使用): " + path;
        if (OnCleanInfo) OnCleanInfo(line.c_str());
    }
}

void TQX::CleanCoreFile() {
    for (const std::string& path : work_lists_.CoreFileList)
        if (!SkipMarked(path) && FileExists(path))
            ReportClean("清理核心文件: ", "未能清理核心文件: ", RemoveFile(Guard(), path), path);
}

void TQX::CleanAXCLSID(RegistryView view) {
    for (const std::string& item : work_lists_.AXCLSIDList)
        if (!SkipMarked(item))
            ReportClean("清理组件注册表: ", "未能清理组件注册表: ", RemoveRegistryItem(Guard(), item, view), item);
}

void TQX::CleanNewReg(RegistryView view) {
    for (const std::string& item : work_lists_.NewRegList)
        if (!SkipMarked(item))
            ReportClean("清理注册表: ", "未能清理注册表: ", RemoveRegistryItem(Guard(), item, view), item);
}

void TQX::CleanRelatedDir() {
    for (const std::string& path : work_lists_.DirList)
        if (!SkipMarked(path) && DirectoryExists(path))
            ReportClean("清理相关目录: ", "未能完全清理相关目录: ", RemoveFolder(Guard(), path), path);
}

void TQX::CleanShellLink() {
    for (const std::string& path : work_lists_.ShellLinkList)
        if (!SkipMarked(path)) ReportClean("清理快捷方式:", "未能清理快捷方式:", RemoveFile(Guard(), path), path);
}
