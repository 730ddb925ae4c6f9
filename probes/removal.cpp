#include "removal.h"

#include "file_system.h"
#include "process_probes.h"
#include "registry_item.h"
#include "registry_items.h"

namespace {

RemovalOutcome Outcome(RemovalResult result) { return {result, std::string()}; }

RemovalOutcome Refused(const SafetyVerdict& verdict) { return {RemovalResult::kRefused, verdict.reason}; }

RemovalOutcome Done(bool gone) { return Outcome(gone ? RemovalResult::kRemoved : RemovalResult::kFailed); }

RemovalOutcome NotBackedUp(const std::string& reason) { return {RemovalResult::kNotBackedUp, reason}; }

}  // namespace

RemovalOutcome RemoveFile(const SafetyGuard& guard, const std::string& path, RemovalBackup* backup) {
    const SafetyVerdict verdict = guard.CheckFile(path);
    if (!verdict.allowed) return Refused(verdict);
    std::string why;
    if (backup && FileExists(path) && !backup->BackUpFile(path, &why)) return NotBackedUp(why);
    return Done(DeleteFileAlways(path));
}

RemovalOutcome RemoveFolder(const SafetyGuard& guard, const std::string& path, RemovalBackup* backup) {
    const SafetyVerdict verdict = guard.CheckFolder(path);
    if (!verdict.allowed) return Refused(verdict);
    std::string why;
    if (backup && DirectoryExists(path) && !backup->BackUpFolder(path, &why)) return NotBackedUp(why);
    return Done(DeleteFolderTree(path));
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

RemovalOutcome EndProcess(const SafetyGuard& guard, const std::string& name) {
    const SafetyVerdict verdict = guard.CheckProcess(name, ProcessImagePath(name));
    if (!verdict.allowed) return Refused(verdict);
    return Done(KillProcessByName(name));
}
