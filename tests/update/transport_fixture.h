// What the transport tests share: the data folder beside the test program (the folder the test
// server serves, and the signatures made at build time), the server's address, a scratch folder
// that is also the temporary folder, and a status reporter that records instead of showing.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>
#include <vector>

#include "fixtures.h"
#include "internet_handle.h"
#include "status_report.h"

// <test program's folder>\update_transport\<name>
std::string TestDataPath(const std::string& name);
// A file the test server serves: TestDataPath("served\" + name).
std::string ServedPath(const std::string& name);
// The test server's address (KESTRUNE_TEST_HTTP) followed by "/" and path; the test fails
// without a server.
std::string ServerUrl(const std::string& path);
// "http://127.0.0.1:PORT/" + path on a port where nothing listens.
std::string UnreachableUrl(const std::string& path);

// size bytes of every value, different for each seed.
std::string Pattern(size_t size, unsigned seed);

struct ReportedStatus {
    std::string text;
    int status_code;
    int error_code;
    bool operator==(const ReportedStatus& other) const {
        return text == other.text && status_code == other.status_code && error_code == other.error_code;
    }
};
std::string ShowStatuses(const std::vector<ReportedStatus>& statuses);

// A reporter with boxes and logging off whose statuses are kept.
struct StatusRecorder {
    StatusRecorder();
    update::StatusReporter reporter;
    std::vector<ReportedStatus> statuses;
};

// A scratch folder (with a trailing backslash in Folder()) that is also the process's temporary
// folder while it lives, so that downloads put their temporary files there.
class ScratchTemporaryFolder {
public:
    ScratchTemporaryFolder();
    ~ScratchTemporaryFolder();
    ScratchTemporaryFolder(const ScratchTemporaryFolder&) = delete;
    ScratchTemporaryFolder& operator=(const ScratchTemporaryFolder&) = delete;

    std::string Folder() const { return scratch_.Path() + "\\"; }
    std::string operator/(const std::string& name) const { return scratch_ / name; }
    // Names of the download's temporary files in the folder: "QVUP" gives them the prefix "QVU",
    // GetTempFileNameA takes three characters of it.
    std::vector<std::string> TemporaryDownloads() const;

private:
    ScopedTempFolder scratch_;
    std::string old_tmp_, old_temp_;
};

// The log file at path while it lives; then the default name again.
class LogFileAt {
public:
    explicit LogFileAt(const std::string& path) { update::SetLogFileName(path); }
    ~LogFileAt() { update::SetLogFileName("QV_update.LOG"); }
    LogFileAt(const LogFileAt&) = delete;
    LogFileAt& operator=(const LogFileAt&) = delete;
};

// A direct WinInet session, as the client opens one, without any proxy.
update::InternetHandle OpenTestSession();
