#include "http_download.h"

#include "internet_handle.h"
#include "signature_check.h"
#include "url_file_name.h"
#include "win32/handles.h"

namespace update {

namespace {

constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
constexpr DWORD kBlockSize = 4096;
static_assert(kRequestFlags == 0x84000100, "the request bypasses the cache");

std::string TemporaryFolder() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof path, path);
    return length && length <= MAX_PATH ? path : ".\\";
}

DWORD NumberHeader(HINTERNET request, DWORD query, DWORD fallback) {
    DWORD value = 0, size = sizeof value;
    return HttpQueryInfoA(request, query | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr) ? value : fallback;
}

std::string ErrorNumber(DWORD error) { return " (error " + std::to_string(error) + ")"; }

// The transfer proper: from the open request into the open temporary file.
struct Received {
    int64_t bytes = 0;
    bool had_data = false;
    bool cancelled = false;
    std::string broke;  // why reading or writing stopped
    std::string sha256;
};

Received Receive(HINTERNET request, HANDLE file, const std::string& local_path, DWORD announced,
                 bool hash, const DownloadEvents& events, StatusReporter& status) {
    Received received;
    Sha256Hasher hasher;
    char buffer[kBlockSize];
    DWORD read = 1;
    received.cancelled = events.cancel_requested && events.cancel_requested();
    while (read > 0 && !received.cancelled) {
        if (events.pump_messages) events.pump_messages();
        if (!InternetReadFile(request, buffer, kBlockSize, &read)) {
            received.broke = "the connection broke after " + std::to_string(received.bytes) + " bytes" +
                             ErrorNumber(GetLastError());
            break;
        }
        DWORD written = 0;
        if (read > 0 && (!WriteFile(file, buffer, read, &written, nullptr) || written != read)) {
            received.broke = "cannot write the temporary file" + ErrorNumber(GetLastError());
            break;
        }
        if (hash) hasher.Add(buffer, read);
        received.bytes += read;
        if (events.on_progress) events.on_progress(local_path, static_cast<int>(received.bytes), static_cast<int>(announced));
        received.cancelled = events.cancel_requested && events.cancel_requested();
        if (received.cancelled) status.Report(964, "", 0, 0);
        if (read > 0) received.had_data = true;
    }
    if (hash) received.sha256 = hasher.HexDigest();
    return received;
}

// Why a complete transfer still does not count, or "".
std::string Mismatch(const Received& received, DWORD announced, const DownloadExpectation& expect) {
    if (!received.broke.empty()) return received.broke;
    if (!received.had_data) return "the server sent no data";
    if (announced > 0 && received.bytes != announced)
        return "the server sent " + std::to_string(received.bytes) + " of " + std::to_string(announced) +
               " announced bytes";
    if (expect.size >= 0 && received.bytes != expect.size)
        return "the file has " + std::to_string(received.bytes) + " bytes, the control file says " +
               std::to_string(expect.size);
    if (!expect.sha256_hex.empty() && received.sha256 != expect.sha256_hex)
        return "SHA-256 differs from the control file";
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
        outcome.failure = "file name refused: \"" + name + "\"";
        return outcome;
    }
    InternetHandle request(InternetOpenUrlA(connection, url.c_str(), nullptr, 0, kRequestFlags, 0));
    if (!request.IsOpen()) {
        const DWORD error = GetLastError();
        status.ReportSystemError();
        status.Report(917, url, 2, 1);
        outcome.failure = "cannot reach " + url + ErrorNumber(error);
        return outcome;
    }
    const DWORD http_status = NumberHeader(request.Get(), HTTP_QUERY_STATUS_CODE, 0);
    if (http_status >= 300) {
        status.Report(916, std::to_string(http_status), 6, static_cast<int>(http_status));
        outcome.failure = "HTTP status " + std::to_string(http_status);
        return outcome;
    }
    char temporary[MAX_PATH] = {};
    if (!GetTempFileNameA(TemporaryFolder().c_str(), "QVUP", 0, temporary)) {
        outcome.failure = "cannot create a temporary file" + ErrorNumber(GetLastError());
        return outcome;
    }
    const DWORD announced = NumberHeader(request.Get(), HTTP_QUERY_CONTENT_LENGTH, 0);
    Received received;
    {
        KernelHandle file(CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsOpen())
            received.broke = "cannot open the temporary file" + ErrorNumber(GetLastError());
        else
            received = Receive(request.Get(), file.Get(), outcome.local_path, announced, !expect.sha256_hex.empty(),
                               events, status);
    }
    request.Reset();
    outcome.cancelled = received.cancelled;
    outcome.failure = received.cancelled ? "cancelled" : Mismatch(received, announced, expect);
    if (!outcome.failure.empty()) {
        if (!DeleteFileA(temporary)) status.AppendLogLine(std::string("Unable to delete file ") + temporary);
        return outcome;
    }
    // The old file keeps its place until the new one takes it, in one step.
    const DWORD attributes = GetFileAttributesA(outcome.local_path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)))
        SetFileAttributesA(outcome.local_path.c_str(), attributes & ~(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    if (!MoveFileExA(temporary, outcome.local_path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const DWORD error = GetLastError();
        if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(outcome.local_path.c_str(), attributes);
        status.Report(972, outcome.local_path, 19, 6);
        status.AppendLogLine("Unable to delete file " + outcome.local_path);
        DeleteFileA(temporary);
        outcome.failure = "cannot replace " + outcome.local_path + ErrorNumber(error);
        return outcome;
    }
    outcome.placed = true;
    if (events.on_downloaded) events.on_downloaded(outcome.local_path);
    return outcome;
}

}  // namespace update
