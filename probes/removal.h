// The clean-up's destructive steps. Each asks the safety guard first, acts, then looks again, so
// that its outcome is the truth about the machine: an item that is still there afterwards (a
// delete-pending file, a key of which only part went) is never reported as removed.
#pragma once

#include <windows.h>

#include <string>

#include "registry_view.h"
#include "safety_guard.h"
#include "service_control.h"

enum class RemovalResult {
    kRemoved,   // it was there and is gone (or it was never there)
    kRefused,   // the guard refused it; nothing was touched
    kFailed,    // it is still there
    kPartial,   // a registry key of which something, but not all, was deleted
    kNotBackedUp,  // no copy could be kept; nothing was touched
    kScheduled,    // held open: it is deleted at the next restart (its copy is kept)
};

struct RemovalOutcome {
    RemovalResult result = RemovalResult::kFailed;
    std::string reason;  // the guard's reason when refused, the backup's when not backed up

    bool Removed() const { return result == RemovalResult::kRemoved; }
};

// Keeps a copy of an item just before it is deleted. An item that is there but cannot be copied
// is not deleted. Each returns false with the reason.
class RemovalBackup {
public:
    virtual ~RemovalBackup() = default;
    virtual bool BackUpFile(const std::string& path, std::string* failure) = 0;
    virtual bool BackUpFolder(const std::string& path, std::string* failure) = 0;
    // Nothing to copy (true) when the key or value is not there.
    virtual bool BackUpRegistryItem(const std::string& item, RegistryView view, std::string* failure) = 0;
};

// With a backup, the item is copied after the guard allowed it and before it is deleted. A file or
// folder that a process holds open is scheduled for deletion at the next restart instead. Paths
// are the machine's names for them; the file operations reach them through AccessPathOf.
RemovalOutcome RemoveFile(const SafetyGuard& guard, const std::string& path, RemovalBackup* backup = nullptr);
// The folder with everything in it; a folder that is a junction or link is removed as a link.
RemovalOutcome RemoveFolder(const SafetyGuard& guard, const std::string& path, RemovalBackup* backup = nullptr);
// "ROOT|key path" or "ROOT|key path|value", in the view given (registry_items.h).
RemovalOutcome RemoveRegistryItem(const SafetyGuard& guard, const std::string& item, RegistryView view,
                                  RemovalBackup* backup = nullptr);
// The first running process of that name.
RemovalOutcome EndProcess(const SafetyGuard& guard, const std::string& name);

// How long a service is given to stop before it is deleted all the same.
constexpr DWORD kServiceStopTimeoutMs = 15000;
// The text by which a report names a service, and by which a clean-up finds it again.
std::string ServiceTraceText(const ServiceEntry& service);
// Through the service control manager: stopped, its registry key kept in the backup, deleted. One
// that will not stop is deleted all the same and goes when its process ends, at the latest at
// the next restart (kScheduled, with the reason).
RemovalOutcome RemoveService(const SafetyGuard& guard, const ServiceEntry& service, RemovalBackup* backup = nullptr);
