#include "file_system.h"
#include "process_probes.h"
#include "registry_items.h"
#include "tqx.h"

// Each line keeps its prefix when the item is gone and says plainly when it is not, so the log
// never reports a failure as done.

void TQX::ReportClean(const char* done_prefix, const char* failed_prefix, bool removed, const std::string& item) {
    const std::string line = (removed ? done_prefix : failed_prefix) + item;
    OnCleanInfo(line.c_str());
}

void TQX::CleanProcessRun() {
    for (const std::string& name : ProcessRunList)
        ReportClean("结束运行中进程: ", "未能结束进程: ", KillProcessByName(name), name);
}

void TQX::CleanCoreFile() {
    for (const std::string& path : CoreFileList)
        if (FileExists(path)) ReportClean("清理核心文件: ", "未能清理核心文件: ", DeleteFileAlways(path), path);
}

void TQX::CleanAXCLSID(bool use_64bit_view) {
    for (const std::string& item : AXCLSIDList)
        ReportClean("清理组件注册表: ", "未能清理组件注册表: ", DeleteRegistryItem(item, use_64bit_view), item);
}

void TQX::CleanNewReg(bool use_64bit_view) {
    for (const std::string& item : NewRegList)
        ReportClean("清理注册表: ", "未能清理注册表: ", DeleteRegistryItem(item, use_64bit_view), item);
}

void TQX::CleanRelatedDir() {
    for (const std::string& path : DirList)
        if (DirectoryExists(path)) ReportClean("清理相关目录: ", "未能完全清理相关目录: ", DeleteFolderTree(path), path);
}

void TQX::CleanShellLink() {
    for (const std::string& path : ShellLinkList)
        ReportClean("清理快捷方式:", "未能清理快捷方式:", DeleteFileAlways(path), path);
}
