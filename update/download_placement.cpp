#include "download_placement.h"

#include <windows.h>

namespace update {

namespace {

constexpr DWORD kGuardAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;

std::string WithErrorNumber(const std::string& text, DWORD error) {
    return text + " (error " + std::to_string(error) + ")";
}

}  // namespace

void DiscardDownload(const std::string& temporary, StatusReporter& status) {
    if (!DeleteFileA(temporary.c_str())) status.AppendLogLine("Unable to delete file " + temporary);
}

std::string PlaceDownload(const std::string& temporary, const std::string& target, StatusReporter& status) {
    const DWORD attributes = GetFileAttributesA(target.c_str());
    const bool target_exists = attributes != INVALID_FILE_ATTRIBUTES;
    const bool guarded = target_exists && (attributes & kGuardAttributes) != 0;
    if (guarded) SetFileAttributesA(target.c_str(), attributes & ~kGuardAttributes);
    // One rename: at every moment the target is either the old file or the complete new one.
    // A target on another drive (a program installed on D:) is copied there instead.
    if (MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) return "";
    const DWORD error = GetLastError();
    if (guarded) SetFileAttributesA(target.c_str(), attributes);
    DiscardDownload(temporary, status);
    if (target_exists) {
        status.Report(972, target, 19, 6);
        status.AppendLogLine("Unable to delete file " + target);
        return WithErrorNumber("cannot replace " + target + ", it stays as it was", error);
    }
    const std::string move = temporary + " to " + target;
    status.Report(973, move, 19, 7);
    status.AppendLogLine("Unable to rename file " + move);
    return WithErrorNumber("cannot move " + move, error);
}

}  // namespace update
