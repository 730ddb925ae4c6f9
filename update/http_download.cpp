#include "http_download.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "download_placement.h"
#include "folder_lookup_win.h"
#include "internet_handle.h"
#include "signature_check.h"
#include "url_file_name.h"
#include "win32/handles.h"

namespace update {

namespace {

constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
static_assert(kRequestFlags == 0x84000100, "every request bypasses the cache");
constexpr DWORD kBlockSize = 4096;
// The window gets its messages before a read unless it had them less than this long ago: before
// every block of a slow transfer, about a hundred times a second on a fast one. A PeekMessage per
// 4 KB block on a local network costs a third of the transfer's time under Wine.
constexpr DWORD kPumpIntervalMs = 10;

std::string WithErrorNumber(const std::string& text, DWORD error) {
    return text + " (error " + std::to_string(error) + ")";
}

bool QueryNumber(HINTERNET request, DWORD query, DWORD* value) {
    DWORD size = sizeof *value;
    return HttpQueryInfoA(request, query | HTTP_QUERY_FLAG_NUMBER, value, &size, nullptr) != FALSE;
}

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

// Deletes the temporary file unless the download has placed or discarded it: a log that cannot
// be written raises an error on the way, and the file must not stay behind then either.
class TemporaryFileGuard {
public:
    explicit TemporaryFileGuard(const char* path) : path_(path) {}
    ~TemporaryFileGuard() {
        if (path_) DeleteFileA(path_);
    }
    TemporaryFileGuard(const TemporaryFileGuard&) = delete;
    TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;
    void Release() { path_ = nullptr; }

private:
    const char* path_;
};

struct Transfer {
    int64_t bytes = 0;
    bool cancelled = false;
    std::string broke;  // why reading or writing stopped early
    std::string sha256;
};

// Reads the body block by block into the temporary file, firing the events per block.
Transfer Receive(HINTERNET request, const std::string& temporary, const std::string& local_path, DWORD announced,
                 bool hash, const DownloadEvents& events, StatusReporter& status) {
    Transfer transfer;
    KernelHandle file(
        CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) {
        transfer.broke = WithErrorNumber("cannot open the temporary file " + temporary, GetLastError());
        return transfer;
    }
    std::optional<Sha256Hasher> hasher;
    if (hash) hasher.emplace();
    const int size = static_cast<int>(std::min<DWORD>(announced, INT_MAX));
    char block[kBlockSize];
    DWORD read = 1, last_pump = 0;
    bool pumped = false;
    transfer.cancelled = events.cancel_requested && events.cancel_requested();
    while (read > 0 && !transfer.cancelled) {
        if (events.pump_messages && (!pumped || GetTickCount() - last_pump >= kPumpIntervalMs)) {
            events.pump_messages();
            last_pump = GetTickCount();
            pumped = true;
        }
        if (!InternetReadFile(request, block, kBlockSize, &read)) {
            transfer.broke = WithErrorNumber("the transfer broke after " + std::to_string(transfer.bytes) + " bytes",
                                             GetLastError());
            break;
        }
        DWORD written = 0;
        if (read > 0 && (!WriteFile(file.Get(), block, read, &written, nullptr) || written != read)) {
            transfer.broke = WithErrorNumber("cannot write the temporary file " + temporary, GetLastError());
            break;
        }
        if (hasher) hasher->Add(block, read);
        transfer.bytes += read;
        if (events.on_progress)
            events.on_progress(local_path, static_cast<int>(std::min<int64_t>(transfer.bytes, INT_MAX)), size);
        transfer.cancelled = events.cancel_requested && events.cancel_requested();
        if (transfer.cancelled) status.Report(964, "", 0, 0);
    }
    if (hasher) transfer.sha256 = hasher->HexDigest();
    return transfer;
}

// Why a finished transfer does not count, or "".
std::string Verdict(const Transfer& transfer, bool length_known, DWORD announced, const DownloadExpectation& expect) {
    if (transfer.cancelled) return "cancelled";
    if (!transfer.broke.empty()) return transfer.broke;
    if (transfer.bytes == 0) return "the server sent no data";
    if (length_known && transfer.bytes != announced)
        return "the server sent " + std::to_string(transfer.bytes) + " of " + std::to_string(announced) +
               " announced bytes";
    if (expect.size >= 0 && transfer.bytes != expect.size)
        return "the file has " + std::to_string(transfer.bytes) + " bytes, the control file says " +
               std::to_string(expect.size);
    if (expect.sha256_hex.empty()) return "";
    if (transfer.sha256.empty()) return "SHA-256 cannot be computed on this system";
    if (transfer.sha256 != LowerCase(expect.sha256_hex)) return "SHA-256 differs from the control file";
    return "";
}

}  // namespace

DownloadOutcome DownloadFile(HINTERNET connection, const std::string& url, const std::string& target_folder,
                             const DownloadExpectation& expect, const DownloadEvents& events, StatusReporter& status) {
    DownloadOutcome outcome;
    status.Report(915, url, 3, 0);
    const std::string name = LocalFileNameFromUrl(url);
    outcome.local_path = target_folder + name;
    if (!IsSafeLocalFileName(name)) {
        outcome.failure = "file name refused: " + (name.empty() ? std::string("(none)") : name);
        return outcome;
    }

    InternetHandle request(InternetOpenUrlA(connection, url.c_str(), nullptr, 0, kRequestFlags, 0));
    if (!request.IsOpen()) {
        const DWORD error = GetLastError();
        status.ReportSystemError();
        status.Report(917, url, 2, 1);
        outcome.failure = WithErrorNumber("cannot reach " + url + ": " + InternetErrorText(error), error);
        return outcome;
    }
    DWORD http_status = 0;
    if (!QueryNumber(request.Get(), HTTP_QUERY_STATUS_CODE, &http_status)) {
        outcome.failure = WithErrorNumber("the answer to " + url + " has no HTTP status", GetLastError());
        return outcome;
    }
    if (http_status >= 300) {
        status.Report(916, std::to_string(http_status), 6, static_cast<int>(http_status));
        outcome.failure = "HTTP status " + std::to_string(http_status);
        return outcome;
    }

    const std::string temporary_folder = TemporaryFolder();
    char temporary[MAX_PATH] = {};
    if (temporary_folder.empty() || !GetTempFileNameA(temporary_folder.c_str(), "QVUP", 0, temporary)) {
        outcome.failure =
            WithErrorNumber("cannot create a temporary file in \"" + temporary_folder + "\"", GetLastError());
        return outcome;
    }
    TemporaryFileGuard guard(temporary);
    DWORD announced = 0;
    const bool length_known = QueryNumber(request.Get(), HTTP_QUERY_CONTENT_LENGTH, &announced);
    const Transfer transfer = Receive(request.Get(), temporary, outcome.local_path, length_known ? announced : 0,
                                      !expect.sha256_hex.empty(), events, status);
    request.Reset();
    outcome.cancelled = transfer.cancelled;
    outcome.failure = Verdict(transfer, length_known, announced, expect);
    guard.Release();
    if (!outcome.failure.empty()) {
        DiscardDownload(temporary, status);
        return outcome;
    }
    outcome.failure = PlaceDownload(temporary, outcome.local_path, status);
    if (!outcome.failure.empty()) return outcome;
    outcome.placed = true;
    if (events.on_downloaded) events.on_downloaded(outcome.local_path);
    return outcome;
}

}  // namespace update
