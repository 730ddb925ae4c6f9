// Downloads under Wine's real WinInet from tests/update/http_server.py into a scratch folder
// that is also the temporary folder: what gets placed, what stays, which statuses and events.
#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "check.h"
#include "http_download.h"
#include "signature_check.h"
#include "transport_fixture.h"
#include "win32/handles.h"

using update::DownloadEvents;
using update::DownloadExpectation;
using update::DownloadFile;
using update::DownloadOutcome;

namespace {

const std::string kOldContents = "the previous file\r\n";

// body.bin on the server: 10,000 bytes, two full blocks and 1,808 more.
const std::string& Body() {
    static const std::string body = [] {
        std::string bytes = Pattern(10000, 1);
        WriteFile(ServedPath("body.bin"), bytes);
        return bytes;
    }();
    return body;
}

std::string UpperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; });
    return text;
}

// {pos, size} of each progress event.
using Progress = std::vector<std::vector<int>>;

// One download with every event recorded.
struct Run {
    DownloadOutcome outcome;
    std::vector<ReportedStatus> statuses;
    Progress progress;
    std::vector<std::string> progress_paths, downloaded;
    int pumps = 0;
};

Run Download(const std::string& url, const std::string& folder, const DownloadExpectation& expect = {},
             int cancel_after_progress = -1) {
    update::InternetHandle session = OpenTestSession();
    StatusRecorder recorder;
    Run run;
    DownloadEvents events;
    events.on_progress = [&](const std::string& path, int pos, int size) {
        run.progress.push_back({pos, size});
        run.progress_paths.push_back(path);
    };
    events.on_downloaded = [&](const std::string& path) { run.downloaded.push_back(path); };
    events.pump_messages = [&] { ++run.pumps; };
    if (cancel_after_progress >= 0)
        events.cancel_requested = [&] { return static_cast<int>(run.progress.size()) >= cancel_after_progress; };
    run.outcome = DownloadFile(session.Get(), url, folder, expect, events, recorder.reporter);
    run.statuses = recorder.statuses;
    return run;
}

void CheckStatuses(const std::vector<ReportedStatus>& actual, const std::vector<ReportedStatus>& expected) {
    if (!(actual == expected))
        check::Fail(__FILE__, __LINE__,
                    "statuses:" + ShowStatuses(actual) + "\n      expected:" + ShowStatuses(expected));
}

// What holds after every download: the target is the new file when placed and the old one
// byte for byte otherwise, no temporary file is left, and "downloaded" fired for a placed file only.
void CheckTargetAndLeftovers(const Run& run, const ScratchTemporaryFolder& scratch, const std::string& new_contents) {
    const std::string& expected = run.outcome.placed ? new_contents : kOldContents;
    CHECK(ReadFile(run.outcome.local_path) == expected);
    CHECK_EQ(scratch.TemporaryDownloads(), std::vector<std::string>());
    CHECK_EQ(run.downloaded, run.outcome.placed ? std::vector<std::string>{run.outcome.local_path}
                                                : std::vector<std::string>());
}

}  // namespace

TEST(DownloadPlacesOnlyCompleteMatchingFiles) {
    Body();
    const std::string sha256 = update::Sha256OfFile(ServedPath("body.bin"));
    CHECK_EQ(sha256.size(), size_t(64));
    const Progress whole = {{4096, 10000}, {8192, 10000}, {10000, 10000}, {10000, 10000}};
    const Progress whole_unannounced = {{4096, 0}, {8192, 0}, {10000, 0}, {10000, 0}};
    struct Case {
        const char* name;
        std::string path;  // on the server
        std::string local_name;
        DownloadExpectation expect;
        std::string failure;  // "" : placed
        std::vector<ReportedStatus> statuses;  // after "Download : <url>"
        Progress progress;
    };
    const Case cases[] = {
        {"announced length", "body.bin", "body.bin", {}, "", {}, whole},
        {"no length announced", "nolength/body.bin", "body.bin", {}, "", {}, whole_unannounced},
        {"expected size and SHA-256, hex in upper case", "body.bin", "body.bin", {UpperCase(sha256), 10000}, "", {},
         whole},
        {"query names the file", "body.bin?id=7", "id=7", {}, "", {}, whole},
        {"not found", "404/body.bin", "body.bin", {}, "HTTP status 404", {{"Http status : 404", 6, 404}}, {}},
        {"empty body", "empty/body.bin", "body.bin", {}, "the server sent no data", {}, {{0, 0}}},
        {"cut short", "cut/5000/body.bin", "body.bin", {}, "the server sent 5000 of 10000 announced bytes", {},
         {{4096, 10000}, {5000, 10000}, {5000, 10000}}},
        {"SHA-256 differs", "body.bin", "body.bin", {std::string(64, '0'), -1}, "SHA-256 differs from the control file",
         {}, whole},
        {"size differs", "body.bin", "body.bin", {"", 9999}, "the file has 10000 bytes, the control file says 9999", {},
         whole},
    };
    for (const Case& row : cases) {
        CONTEXT(row.name);
        ScratchTemporaryFolder scratch;
        WriteFile(scratch / row.local_name, kOldContents);
        const std::string url = ServerUrl(row.path);
        const Run run = Download(url, scratch.Folder(), row.expect);

        CHECK_EQ(run.outcome.failure, row.failure);
        CHECK_EQ(run.outcome.placed, row.failure.empty());
        CHECK(!run.outcome.cancelled);
        CHECK_EQ(run.outcome.local_path, scratch / row.local_name);
        CheckTargetAndLeftovers(run, scratch, Body());
        std::vector<ReportedStatus> statuses = {{"Download : " + url, 3, 0}};
        statuses.insert(statuses.end(), row.statuses.begin(), row.statuses.end());
        CheckStatuses(run.statuses, statuses);
        CHECK_EQ(run.progress, row.progress);
        // The window's messages before the first read, and never more than once per read.
        CHECK_EQ(run.pumps > 0, !row.progress.empty());
        CHECK(run.pumps <= static_cast<int>(row.progress.size()));
        for (const std::string& path : run.progress_paths) CHECK_EQ(path, run.outcome.local_path);
    }
}

TEST(DownloadCancelledKeepsTheOldFile) {
    Body();
    struct Case {
        const char* name;
        int cancel_after_progress;
        size_t progress_events;
        std::vector<ReportedStatus> statuses;  // after "Download : <url>"
    };
    const Case cases[] = {
        {"cancelled before the first block", 0, 0, {}},
        {"cancelled after the first block", 1, 1, {{"OnlineUpdate process cancelled", 0, 0}}},
    };
    for (const Case& row : cases) {
        CONTEXT(row.name);
        ScratchTemporaryFolder scratch;
        WriteFile(scratch / "body.bin", kOldContents);
        const std::string url = ServerUrl("slow/20/body.bin");
        const Run run = Download(url, scratch.Folder(), {}, row.cancel_after_progress);

        CHECK(run.outcome.cancelled);
        CHECK(!run.outcome.placed);
        CHECK_EQ(run.outcome.failure, "cancelled");
        CHECK_EQ(run.progress.size(), row.progress_events);
        CheckTargetAndLeftovers(run, scratch, Body());
        std::vector<ReportedStatus> statuses = {{"Download : " + url, 3, 0}};
        statuses.insert(statuses.end(), row.statuses.begin(), row.statuses.end());
        CheckStatuses(run.statuses, statuses);
    }
}

TEST(DownloadReplacesReadOnlyHiddenTarget) {
    ScratchTemporaryFolder scratch;
    const std::string target = scratch / "body.bin";
    WriteFile(target, kOldContents);
    CHECK(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    const Run run = Download(ServerUrl("body.bin"), scratch.Folder());

    CHECK_EQ(run.outcome.failure, "");
    CHECK(run.outcome.placed);
    CheckTargetAndLeftovers(run, scratch, Body());
}

TEST(DownloadLeavesTargetInUse) {
    ScratchTemporaryFolder scratch;
    LogFileAt log(scratch / "update.log");
    const std::string target = scratch / "body.bin";
    WriteFile(target, kOldContents);
    // Open as a running program's file is: others may read and write it, not delete it.
    KernelHandle in_use(CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    CHECK(in_use.IsOpen());
    const std::string url = ServerUrl("body.bin");
    const Run run = Download(url, scratch.Folder());
    in_use.Reset();

    CHECK(!run.outcome.placed);
    CHECK_EQ(run.outcome.failure.rfind("cannot replace " + target + ", it stays as it was (error ", 0), size_t(0));
    CheckTargetAndLeftovers(run, scratch, Body());
    CheckStatuses(run.statuses, {{"Download : " + url, 3, 0}, {"Cannot delete file : " + target, 19, 6}});
    CHECK_EQ(ReadFile(scratch / "update.log"), "Unable to delete file " + target + "\r\n");
}

TEST(DownloadIntoMissingFolderFails) {
    ScratchTemporaryFolder scratch;
    LogFileAt log(scratch / "update.log");
    const std::string url = ServerUrl("body.bin");
    const Run run = Download(url, scratch / "missing\\");

    CHECK(!run.outcome.placed);
    CHECK_EQ(run.outcome.failure.rfind("cannot move ", 0), size_t(0));
    CHECK_EQ(scratch.TemporaryDownloads(), std::vector<std::string>());
    CHECK(run.downloaded.empty());
    CHECK_EQ(run.statuses.size(), size_t(2));
    if (run.statuses.size() == 2) {
        CONTEXT(run.statuses[1].text);
        CHECK_EQ(run.statuses[1].text.rfind("Cannot rename file : " + scratch.Folder() + "QVU", 0), size_t(0));
        CHECK_EQ(run.statuses[1].status_code, 19);
        CHECK_EQ(run.statuses[1].error_code, 7);
    }
    const std::string log_text = ReadFile(scratch / "update.log");
    CHECK_EQ(log_text.rfind("Unable to rename file " + scratch.Folder() + "QVU", 0), size_t(0));
    CHECK(log_text.find(" to " + scratch.Folder() + "missing\\body.bin\r\n") != std::string::npos);
}

TEST(DownloadFromUnreachableServerReportsSystemError) {
    ScratchTemporaryFolder scratch;
    const std::string url = UnreachableUrl("body.bin");
    const Run run = Download(url, scratch.Folder());

    CHECK(!run.outcome.placed);
    CHECK_EQ(run.outcome.failure.rfind("cannot reach " + url + ": ", 0), size_t(0));
    CHECK(run.outcome.failure.find(" (error 120") != std::string::npos);
    CHECK_EQ(run.statuses.size(), size_t(3));
    if (run.statuses.size() == 3) {
        CheckStatuses({run.statuses[0], run.statuses[2]},
                      {{"Download : " + url, 3, 0}, {"File not found : " + url, 2, 1}});
        // The system's own text for the WinInet error, not a made-up one.
        CHECK_EQ(run.statuses[1].text.rfind("System error : ", 0), size_t(0));
        CHECK(run.statuses[1].text.size() > std::string("System error : ").size());
        CHECK(run.statuses[1].text.find("System error : error ") == std::string::npos);
        CHECK_EQ(run.statuses[1].status_code, 1);
        CHECK(run.statuses[1].error_code > 12000 && run.statuses[1].error_code < 12200);
    }
    CHECK(run.progress.empty());
    CHECK_EQ(scratch.TemporaryDownloads(), std::vector<std::string>());
}

TEST(DownloadRefusesUnsafeNamesWithoutRequest) {
    struct Case {
        const char* path;
        const char* failure;
    };
    const Case cases[] = {
        {"CON", "file name refused: CON"},
        {"files/lpt1.txt", "file name refused: lpt1.txt"},
        {"files/..", "file name refused: .."},
        {"files/", "file name refused: (none)"},
        {"files/a:b", "file name refused: a:b"},
        {"files/name.", "file name refused: name."},
    };
    ScratchTemporaryFolder scratch;
    for (const Case& row : cases) {
        CONTEXT(row.path);
        // Nothing listens there: a request would add a system error and "File not found".
        const std::string url = UnreachableUrl(row.path);
        const Run run = Download(url, scratch.Folder());
        CHECK(!run.outcome.placed);
        CHECK_EQ(run.outcome.failure, row.failure);
        CheckStatuses(run.statuses, {{"Download : " + url, 3, 0}});
        CHECK(run.progress.empty());
    }
    CHECK_EQ(scratch.TemporaryDownloads(), std::vector<std::string>());
}

TEST(DownloadStoppedByLogErrorLeavesNoTemporaryFile) {
    ScratchTemporaryFolder scratch;
    LogFileAt log(scratch / "update.log");
    WriteFile(scratch / "body.bin", kOldContents);
    update::InternetHandle session = OpenTestSession();
    StatusRecorder recorder;
    recorder.reporter.logging = true;
    DownloadEvents events;
    int progress_events = 0;
    // The log becomes unwritable during the transfer; the cancel's status then cannot be logged.
    events.on_progress = [&](const std::string&, int, int) {
        ++progress_events;
        update::SetLogFileName(scratch / "gone\\update.log");
    };
    events.cancel_requested = [&] { return progress_events > 0; };
    CHECK_THROWS(std::runtime_error,
                 DownloadFile(session.Get(), ServerUrl("body.bin"), scratch.Folder(), {}, events, recorder.reporter),
                 nullptr);
    CHECK_EQ(progress_events, 1);
    CHECK_EQ(ReadFile(scratch / "body.bin"), kOldContents);
    CHECK_EQ(scratch.TemporaryDownloads(), std::vector<std::string>());
}
