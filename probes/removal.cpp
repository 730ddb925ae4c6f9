#include "removal.h"

#include "file_system.h"
#include "machine_views.h"
#include "process_probes.h"
#include "registry_item.h"
#include "registry_items.h"
#include "restart_deletion.h"

namespace {

RemovalOutcome Outcome(RemovalResult result) { return {result, std::string()}; }

RemovalOutcome Refused(const SafetyVerdict& verdict) { return {RemovalResult::kRefused, verdict.reason}; }

RemovalOutcome Done(bool gone) { return Outcome(gone ? RemovalResult::kRemoved : RemovalResult::kFailed); }

RemovalOutcome NotBackedUp(const std::string& reason) { return {RemovalResult::kNotBackedUp, reason}; }

// What is still there after the delete is in use: it goes at the next restart when it can be
// scheduled, and is reported as not removed when it cannot.
RemovalOutcome DeletedOrScheduled(bool gone, bool (*schedule)(const std::string&, std::string*),
                                  const std::string& path) {
    if (gone) return Outcome(RemovalResult::kRemoved);
    std::string why;
    if (schedule(path, &why)) return Outcome(RemovalResult::kScheduled);
    return {RemovalResult::kFailed, why};
}

}  // namespace

RemovalOutcome RemoveFile(const SafetyGuard& guard, const std::string& path, RemovalBackup* backup) {
    const SafetyVerdict verdict = guard.CheckFile(path);
    if (!verdict.allowed) return Refused(verdict);
    const std::string access = AccessPathOf(path);
    std::string why;
    if (backup && FileExists(access) && !backup->BackUpFile(path, &why)) return NotBackedUp(why);
    return DeletedOrScheduled(DeleteFileAlways(access), ScheduleDeletionAtRestart, access);
}

RemovalOutcome RemoveFolder(const SafetyGuard& guard, const std::string& path, RemovalBackup* backup) {
    const SafetyVerdict verdict = guard.CheckFolder(path);
    if (!verdict.allowed) return Refused(verdict);
    const std::string access = AccessPathOf(path);
    std::string why;
    if (backup && DirectoryExists(access) && !backup->BackUpFolder(path, &why)) return NotBackedUp(why);
    return DeletedOrScheduled(DeleteFolderTree(access), ScheduleTreeDeletionAtRestart, access);
}

RemovalOutcome RemoveRegistryItem(const SafetyGuard& guard, const std::string& text, RegistryView view,
                                  RemovalBackup* backup) {
    RegistryItem item;
    if (!ParseRegistryItem(text, item)) return Outcome(RemovalResult::kFailed);
    if (!item.names_value) {
        const SafetyVerdict verdict = guard.CheckRegistryKey(item.root_text, item.key_path);
        if (!verdict.allowed) return Refused(verdict);
    }
    std::string why;
    if (backup && !backup->BackUpRegistryItem(text, view, &why)) return NotBackedUp(why);
    bool partly = false;
    if (DeleteRegistryItem(text, view, &partly)) return Outcome(RemovalResult::kRemoved);
    return Outcome(partly ? RemovalResult::kPartial : RemovalResult::kFailed);
}

std::string ServiceTraceText(const ServiceEntry& service) { return service.name + " (" + service.image_path + ")"; }

RemovalOutcome RemoveService(const SafetyGuard& guard, const ServiceEntry& service, RemovalBackup* backup) {
    const SafetyVerdict verdict = guard.CheckFile(service.image_file);
    if (!verdict.allowed) return Refused(verdict);
    std::string why;
    const std::string key = "HKLM|SYSTEM\\CurrentControlSet\\Services\\" + service.name;
    if (backup && !backup->BackUpRegistryItem(key, RegistryView::kDefault, &why)) return NotBackedUp(why);
    std::string stop_failure;
    const bool stopped = StopServiceNamed(service.name, kServiceStopTimeoutMs, &stop_failure);
    if (!DeleteServiceNamed(service.name, &why)) return {RemovalResult::kFailed, why};
    return stopped ? Outcome(RemovalResult::kRemoved) : RemovalOutcome{RemovalResult::kScheduled, stop_failure};
}

RemovalOutcome EndProcess(const SafetyGuard& guard, const std::string& name) {
    const SafetyVerdict verdict = guard.CheckProcess(name, ProcessImagePath(name));
    if (!verdict.allowed) return Refused(verdict);
    return Done(KillProcessByName(name));
}
