#include "comparison_rule.h"

#include "rules_statuses.h"

namespace update {

Comparison CompareWithInstalled(const std::string& new_version, const std::string& local_path, int32_t new_checksum,
                                int32_t new_size, const LocalFileFacts& files, const StatusSink& status) {
    if (new_version.empty() && new_size == 0 && new_checksum == -1) return {true, new_version};
    if (local_path.empty()) return {true, new_version};
    if (new_checksum != -1) {
        const auto sum = static_cast<int32_t>(files.ByteSum(local_path));
        status(kStatusVersionCheck,
               "Checksum compare of " + local_path + ":" + std::to_string(sum) + ":" + std::to_string(new_checksum),
               kCodeProgress, 0);
        return {sum != new_checksum, new_version};
    }
    if (new_size > 0) {
        const int64_t size = files.Size(local_path);
        return {size > 0 && size != new_size, new_version};
    }
    const FileVersion local = files.Version(local_path);
    const FileVersion candidate = ParseVersionText(new_version);
    status(kStatusVersionCheck,
           "Version compare of " + local_path + ":" + (local.valid ? VersionText(local) : "") + " with " + new_version +
               ":" + (candidate.valid ? VersionText(candidate) : ""),
           kCodeProgress, 0);
    if (!local.valid || !candidate.valid) return {false, new_version};
    return {IsNewerVersion(candidate, local), VersionText(candidate)};
}

bool IsNewerThanInstalled(const std::string& new_version, const std::string& local_path, int32_t new_checksum,
                          int32_t new_size, const LocalFileFacts& files, const StatusSink& status) {
    return CompareWithInstalled(new_version, local_path, new_checksum, new_size, files, status).newer;
}

}  // namespace update
