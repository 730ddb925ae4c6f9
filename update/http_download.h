// One file over HTTP into a folder, through a temporary file that takes the target's place only
// when the transfer is complete and matches what the control file says of it.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <functional>
#include <string>

#include "status_report.h"

namespace update {

struct DownloadExpectation {
    std::string sha256_hex;  // "" : not checked
    int64_t size = -1;       // -1 : not checked
};

struct DownloadEvents {
    std::function<void(const std::string& local_path, int pos, int size)> on_progress;
    std::function<void(const std::string& local_path)> on_downloaded;
    std::function<void()> pump_messages;     // the window's pending messages, once per block
    std::function<bool()> cancel_requested;  // true stops the transfer
};

struct DownloadOutcome {
    bool placed = false;
    bool cancelled = false;
    std::string local_path;  // target_folder and the name taken from the URL
    std::string failure;     // why it was not placed, for the user
};

// Requests bypass the cache. The data goes in blocks of 4,096 bytes straight to a "QVUP"
// temporary file in the user's temporary folder; a transfer that broke, was cut short, sent
// nothing, or differs from the expectation is deleted and the target stays as it was; a good
// one replaces the target in one step.
DownloadOutcome DownloadFile(HINTERNET connection, const std::string& url, const std::string& target_folder,
                             const DownloadExpectation& expect, const DownloadEvents& events, StatusReporter& status);

}  // namespace update
