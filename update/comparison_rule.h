// Whether a new file or update is newer than what is installed: by checksum when one is given,
// else by size when one is given, else by version.
#pragma once

#include <cstdint>
#include <string>

#include "local_file_facts.h"
#include "status_sink.h"

namespace update {

struct Comparison {
    bool newer = false;
    // The new version text, in its four-number form when a version comparison read both the new
    // and the installed version; later messages show this form.
    std::string new_version;
};

// Nothing to compare by, or no local path: newer. A checksum is newer when it differs from the
// local file's (a missing file differs); a size when the local file is not empty and differs;
// a version when both are valid and the new one is higher. Checksum and version comparisons
// report "Version check : %s".
Comparison CompareWithInstalled(const std::string& new_version, const std::string& local_path, int32_t new_checksum,
                                int32_t new_size, const LocalFileFacts& files, const StatusSink& status);
bool IsNewerThanInstalled(const std::string& new_version, const std::string& local_path, int32_t new_checksum,
                          int32_t new_size, const LocalFileFacts& files, const StatusSink& status);

}  // namespace update
