// The COM class walk over a large class registry: ScanClsidServers against a bare walk that
// makes only the registry calls every walk needs (enumerate a class, open its InprocServer32
// key, read the default value), over the same scratch keys in the same run.
//
// Usage (under Wine): tools/wine-run.sh build/<folder>/bin/bench_com_class_walk.exe [classes [runs]]
// The classes go under HKLM\SOFTWARE\KestruneBench-<process id>\CLSID, never among the real
// classes, and are removed when the program ends.
#include <windows.h>

#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "com_scanners.h"
#include "registry_access.h"

namespace {

// The scratch root with everything below it, removed however the program leaves this scope.
class ScratchRoot {
public:
    ScratchRoot() : path_("SOFTWARE\\KestruneBench-" + std::to_string(GetCurrentProcessId())) { Remove(); }
    ~ScratchRoot() { Remove(); }
    ScratchRoot(const ScratchRoot&) = delete;
    ScratchRoot& operator=(const ScratchRoot&) = delete;

    std::string ClassesPath() const { return path_ + "\\CLSID\\"; }

private:
    void Remove() const { SHDeleteKeyA(HKEY_LOCAL_MACHINE, path_.c_str()); }
    std::string path_;
};

double Milliseconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double TimeMilliseconds(const std::function<void()>& run) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    run();
    QueryPerformanceCounter(&end);
    return Milliseconds(start, end);
}

// Classes "{index-...}", each with an InprocServer32 default value: a module with a drive in a
// folder that does not exist, as a machine's classes look once their program has gone.
bool CreateClasses(const std::string& classes_path, int count) {
    RegistryKey classes;
    HKEY created = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, classes_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(created);
    if (classes.Open(HKEY_LOCAL_MACHINE, classes_path.c_str(), KEY_ALL_ACCESS) != ERROR_SUCCESS) return false;
    for (int index = 0; index < count; ++index) {
        char clsid[40];
        const unsigned number = static_cast<unsigned>(index);
        std::snprintf(clsid, sizeof clsid, "{%08X-4B45-5354-8000-%012X}", number, number * 7919u);
        const std::string server_key = std::string(clsid) + "\\InprocServer32";
        const std::string server = "C:\\Program Files\\Bench Vendor " + std::to_string(index % 100) + "\\module" +
                                   std::to_string(index) + ".dll";
        HKEY key = nullptr;
        if (RegCreateKeyExA(classes.Get(), server_key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return false;
        const LONG status = RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                                           static_cast<DWORD>(server.size() + 1));
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) return false;
    }
    return true;
}

// The floor of any class walk: per class one enumeration, one open and one value read.
// Returns the number of server paths read.
int BareWalk(const std::string& classes_path) {
    HKEY base = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, classes_path.c_str(), 0, KEY_ALL_ACCESS, &base) != ERROR_SUCCESS) return 0;
    DWORD count = 0;
    RegQueryInfoKeyA(base, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr);
    int read = 0;
    for (DWORD index = 0; index < count; ++index) {
        char name[256] = {};
        DWORD name_length = 255;
        if (RegEnumKeyExA(base, index, name, &name_length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            continue;
        HKEY server = nullptr;
        if (RegOpenKeyExA(base, (std::string(name) + "\\InprocServer32\\").c_str(), 0, KEY_ALL_ACCESS, &server) !=
            ERROR_SUCCESS)
            continue;
        char path[256] = {};
        DWORD path_length = 255;
        if (RegQueryValueExA(server, "", nullptr, nullptr, reinterpret_cast<BYTE*>(path), &path_length) ==
                ERROR_SUCCESS &&
            path[0])
            ++read;
        RegCloseKey(server);
    }
    RegCloseKey(base);
    return read;
}

// The class walk as the analysis runs it; returns the number of classes found.
int ScannerWalk(const std::string& classes_path, const StringList& known_files) {
    StringList class_keys, appid_keys, typelib_keys, clsids, typelib_ids;
    ScanClsidServers(HKEY_LOCAL_MACHINE, "HKLM", classes_path, known_files, class_keys, appid_keys, typelib_keys,
                     clsids, typelib_ids, RegistryView::kDefault);
    return static_cast<int>(class_keys.size());
}

struct Walk {
    const char* name;
    std::function<int()> run;
    int expected;  // what one run must return, or the timing is of the wrong work
    std::vector<double> times;
};

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    if (count < 1 || runs < 1) {
        std::fprintf(stderr, "usage: bench_com_class_walk [classes (>= 1, default 10000) [runs (>= 1, default 5)]]\n");
        return 2;
    }

    const ScratchRoot scratch;
    const std::string classes_path = scratch.ClassesPath();
    bool created = false;
    const double create_ms = TimeMilliseconds([&] { created = CreateClasses(classes_path, count); });
    if (!created) {
        std::fprintf(stderr, "cannot create the scratch classes under HKLM\\%s\n", classes_path.c_str());
        return 1;
    }

    Walk walks[] = {
        {"bare enumerate/open/read walk", [&] { return BareWalk(classes_path); }, count, {}},
        {"ScanClsidServers, no known files", [&] { return ScannerWalk(classes_path, {}); }, 0, {}},
        {"ScanClsidServers, no match (long form tried)",
         [&] { return ScannerWalk(classes_path, {"absent.dll"}); }, 0, {}},
        {"ScanClsidServers, every class matches", [&] { return ScannerWalk(classes_path, {"module"}); }, count, {}},
    };
    // Interleaved, so that a slow phase of the machine does not fall on one walk alone.
    for (int run = 0; run < runs; ++run)
        for (Walk& walk : walks) {
            int result = 0;
            walk.times.push_back(TimeMilliseconds([&] { result = walk.run(); }));
            if (result != walk.expected) {
                std::fprintf(stderr, "%s: %d classes, expected %d\n", walk.name, result, walk.expected);
                return 1;
            }
        }

    std::printf("classes: %d (created in %.0f ms), runs: %d\n\n", count, create_ms, runs);
    std::printf("%-46s %10s %10s %10s %8s\n", "walk", "best ms", "median ms", "us/class", "x bare");
    const double bare = Median(walks[0].times);
    for (const Walk& walk : walks) {
        const double median = Median(walk.times);
        std::printf("%-46s %10.1f %10.1f %10.2f %8.2f\n", walk.name,
                    *std::min_element(walk.times.begin(), walk.times.end()), median, 1000.0 * median / count,
                    median / bare);
    }
    return 0;
}
