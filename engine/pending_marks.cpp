#include "pending_marks.h"

#include "machine_views.h"
#include "restart_deletion.h"

namespace {

const char kPendingReason[] = "重启后删除";

}  // namespace

std::string ShownFileTrace(const SafetyVerdict& verdict, const std::string& path) {
    if (!verdict.allowed) return SafetyGuard::Marked(verdict, path);
    if (IsPendingDeletionAtRestart(AccessPathOf(path))) return SafetyGuard::Marked(SafetyVerdict::Refuse(kPendingReason), path);
    return path;
}

bool IsMarkedPendingDeletion(const std::string& text) {
    return text.compare(0, sizeof(kPendingReason) + 2, std::string("<") + kPendingReason + "> ") == 0;
}
