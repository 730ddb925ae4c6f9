// What DownloadFile costs over a bare InternetReadFile loop with the same 4,096-byte blocks, and
// that its memory stays flat: both fetch one large file from the local test server into the
// temporary folder, in alternating rounds; the best and median throughputs, their ratio and the
// process's peak working set before and after are printed.
//
//   head -c 52428800 /dev/urandom > /tmp/kestrune-bench/bench_50mb.bin
//   bash tests/update/with_http_server.sh /tmp/kestrune-bench --
//        bash tools/wine-run.sh <build>/bin/bench_update_download.exe [--rounds N] [FILE_NAME]
//   (one command line)
//
// FILE_NAME (default bench_50mb.bin) is fetched from $KESTRUNE_TEST_HTTP. DownloadFile runs
// twice per round: plain, and checked against the file's size and SHA-256 as the client does.
#include <windows.h>
#include <wininet.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "http_download.h"
#include "internet_handle.h"
#include "signature_check.h"
#include "win32/handles.h"

namespace {

constexpr DWORD kBlockSize = 4096;
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;

class Stopwatch {
public:
    Stopwatch() {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }
    double Seconds() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_, start_;
};

double PeakWorkingSetMiB() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

std::string TemporaryFolder() {
    char path[MAX_PATH + 1] = {};
    GetTempPathA(sizeof path, path);
    return path;
}

// The least a download must do: read the blocks and write them to a file. Returns the bytes.
long long BareDownload(HINTERNET session, const std::string& url, const std::string& path) {
    update::InternetHandle request(InternetOpenUrlA(session, url.c_str(), nullptr, 0, kRequestFlags, 0));
    KernelHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!request.IsOpen() || !file.IsOpen()) return -1;
    char block[kBlockSize];
    DWORD read = 0, written = 0;
    long long total = 0;
    while (InternetReadFile(request.Get(), block, kBlockSize, &read) && read > 0) {
        if (!WriteFile(file.Get(), block, read, &written, nullptr) || written != read) return -1;
        total += read;
    }
    return total;
}

// DownloadFile as the window calls it: a progress handler and a message pump per block.
bool ClientDownload(HINTERNET session, const std::string& url, const std::string& folder,
                    const update::DownloadExpectation& expect, std::string* failure) {
    update::StatusReporter status;
    status.error_boxes = false;
    update::DownloadEvents events;
    int last_pos = 0;
    events.on_progress = [&](const std::string&, int pos, int) { last_pos = pos; };
    events.pump_messages = [] {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    };
    events.cancel_requested = [] { return false; };
    const update::DownloadOutcome outcome = update::DownloadFile(session, url, folder, expect, events, status);
    *failure = outcome.failure;
    return outcome.placed;
}

struct Series {
    const char* name;
    std::vector<double> mib_per_second;
    double Best() const { return *std::max_element(mib_per_second.begin(), mib_per_second.end()); }
    double Median() const {
        std::vector<double> sorted = mib_per_second;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

}  // namespace

int main(int argc, char** argv) {
    int rounds = 5;
    std::string name = "bench_50mb.bin";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else
            name = argv[i];
    }
    const char* base = std::getenv("KESTRUNE_TEST_HTTP");
    if (!base) {
        std::fprintf(stderr, "KESTRUNE_TEST_HTTP is not set: run under tests/update/with_http_server.sh\n");
        return 2;
    }
    const std::string url = std::string(base) + "/" + name;
    const std::string folder = TemporaryFolder();
    const std::string bare_path = folder + "bench_bare_" + name;
    update::InternetHandle session(InternetOpenA("Kestrune bench", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!session.IsOpen()) return 2;

    const double peak_before = PeakWorkingSetMiB();
    // A first bare fetch warms the server's and the system's caches and gives size and digest.
    const long long size = BareDownload(session.Get(), url, bare_path);
    if (size <= 0) {
        std::fprintf(stderr, "cannot fetch %s\n", url.c_str());
        return 1;
    }
    const double mib = static_cast<double>(size) / (1024.0 * 1024.0);
    update::DownloadExpectation checked;
    checked.size = size;
    Stopwatch hash_watch;
    checked.sha256_hex = update::Sha256OfFile(bare_path);
    const double hash_mib_per_second = mib / hash_watch.Seconds();
    const double peak_after_warm_up = PeakWorkingSetMiB();

    Series bare{"bare InternetReadFile loop", {}};
    Series plain{"DownloadFile", {}};
    Series verified{"DownloadFile, size and SHA-256 checked", {}};
    for (int round = 0; round < rounds; ++round) {
        Stopwatch bare_watch;
        if (BareDownload(session.Get(), url, bare_path) != size) return 1;
        bare.mib_per_second.push_back(mib / bare_watch.Seconds());
        for (Series* series : {&plain, &verified}) {
            std::string failure;
            const update::DownloadExpectation expect = series == &verified ? checked : update::DownloadExpectation();
            Stopwatch watch;
            if (!ClientDownload(session.Get(), url, folder, expect, &failure)) {
                std::fprintf(stderr, "DownloadFile failed: %s\n", failure.c_str());
                return 1;
            }
            series->mib_per_second.push_back(mib / watch.Seconds());
        }
    }
    const double peak_after = PeakWorkingSetMiB();
    DeleteFileA(bare_path.c_str());
    DeleteFileA((folder + name).c_str());

    std::printf("%s: %.1f MiB, %d rounds, 4,096-byte blocks\n", url.c_str(), mib, rounds);
    for (const Series* series : {&bare, &plain, &verified})
        std::printf("  %-40s best %6.1f MiB/s  median %6.1f MiB/s  (%3.0f %% / %3.0f %% of the bare loop's)\n",
                    series->name, series->Best(), series->Median(), 100.0 * series->Best() / bare.Best(),
                    100.0 * series->Median() / bare.Median());
    std::printf("  %-40s %7.1f MiB/s (reading the file in 4,096-byte blocks)\n", "SHA-256 alone", hash_mib_per_second);
    std::printf("  peak working set: %.1f MiB before, %.1f MiB after the first fetch, %.1f MiB after all %d\n",
                peak_before, peak_after_warm_up, peak_after, 1 + 3 * rounds);
    return 0;
}
