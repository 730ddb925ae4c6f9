// The clean-up's destructive steps. Each asks the safety guard first, acts, then looks again, so
// that its outcome is the truth about the machine: an item that is still there afterwards (a
// delete-pending file, a key of which only part went) is never reported as removed.
#pragma once

#include <windows.h>

#include <string>

#include "registry_view.h"
#include "safety_guard.h"

enum class RemovalResult {
    kRemoved,   // it was there and is gone (or it was never there)
    kRefused,   // the guard refused it; nothing was touched
    kFailed,    // it is still there
    kPartial,   // a registry key of which something, but not all, was deleted
};

struct RemovalOutcome {
    RemovalResult result = RemovalResult::kFailed;
    std::string reason;  // the guard's reason when refused

    bool Removed() const { return result == RemovalResult::kRemoved; }
};

RemovalOutcome RemoveFile(const SafetyGuard& guard, const std::string& path);
// The folder with everything in it; a folder that is a junction or link is removed as a link.
RemovalOutcome RemoveFolder(const SafetyGuard& guard, const std::string& path);
// "ROOT|key path" or "ROOT|key path|value", in the view given (registry_items.h).
RemovalOutcome RemoveRegistryItem(const SafetyGuard& guard, const std::string& item, RegistryView view);
// The first running process of that name.
RemovalOutcome EndProcess(const SafetyGuard& guard, const std::string& name);
