// One file over HTTP into a folder, through a temporary file that takes the target's place only
// when the transfer is complete and matches what the caller expects of it.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <functional>
#include <string>

#include "status_report.h"

namespace update {

struct DownloadExpectation {
    std::string sha256_hex;  // "" : not checked; either case
    int64_t size = -1;       // -1 : not checked
};

struct DownloadEvents {
    // After every read, the last (empty) one too; size is the announced length or 0.
    std::function<void(const std::string& local_path, int pos, int size)> on_progress;
    // Only for a file that took its target's place.
    std::function<void(const std::string& local_path)> on_downloaded;
    // The window's pending messages: before the first read, then before a read when 10 ms have
    // passed since (every block of a slow transfer).
    std::function<void()> pump_messages;
    std::function<bool()> cancel_requested;  // asked before the first read and after each: true stops
};

struct DownloadOutcome {
    bool placed = false;
    bool cancelled = false;
    std::string local_path;  // target_folder and the name taken from the URL
    std::string failure;     // why it was not placed, for the user; "" when placed
};

// Downloads url into target_folder (ending with "\", on the volume of the user's temporary
// folder) under the name the URL ends with; a name that is not safe is refused before any
// request. Requests bypass the cache. The data goes in blocks of 4,096 bytes straight to a
// temporary file of the user's temporary folder (GetTempFileNameA with "QVUP", which names it
// QVUxxxx.tmp). A transfer that broke, was cancelled, sent nothing, fewer or more bytes than the
// server announced, or differs from expect is deleted and the target stays byte for byte as it
// was; a good one replaces the target in one step. A log that cannot be written raises
// std::runtime_error; the temporary file is deleted then too.
// Statuses: 915 first; 976 and 917 when the server cannot be reached; 916 for an HTTP status of
// 300 or more; 964 when cancelled; 972 or 973 when the target cannot be replaced.
DownloadOutcome DownloadFile(HINTERNET connection, const std::string& url, const std::string& target_folder,
                             const DownloadExpectation& expect, const DownloadEvents& events, StatusReporter& status);

}  // namespace update
