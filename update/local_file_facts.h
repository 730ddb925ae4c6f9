// What the update's rules need to know about installed files; the Windows side reads them from
// the file system and version resources, the rules' tests give them directly.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "update_dates.h"
#include "version_text.h"

namespace update {

class LocalFileFacts {
public:
    virtual ~LocalFileFacts() = default;
    virtual int64_t Size(const std::string& path) const = 0;         // -1 when missing
    virtual uint32_t ByteSum(const std::string& path) const = 0;     // 0xFFFFFFFF when unreadable
    virtual FileVersion Version(const std::string& path) const = 0;  // invalid without a version block
    // Last modification in local time, to two seconds; nothing when the file is missing.
    virtual std::optional<UpdateTime> ModifiedTime(const std::string& path) const = 0;
    virtual std::string ShortDate(UpdateTime time) const = 0;        // the system's short date form
};

}  // namespace update
