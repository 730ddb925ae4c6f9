// Installed files as Windows reports them: size and time from the file system, the version from
// the version resource (its fixed file-information block), the short date in the user's format.
// A folder counts as a missing file.
#pragma once

#include "local_file_facts.h"

namespace update {

class WindowsFileFacts : public LocalFileFacts {
public:
    int64_t Size(const std::string& path) const override;
    uint32_t ByteSum(const std::string& path) const override;
    FileVersion Version(const std::string& path) const override;
    std::optional<UpdateTime> ModifiedTime(const std::string& path) const override;
    std::string ShortDate(UpdateTime time) const override;
};

}  // namespace update
