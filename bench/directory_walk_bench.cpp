// What the program-directory walk costs over a bare FindFirstFileA walk of the same tree.
// Builds a scratch tree of 52,840 folders under C:\KestruneBenchTree, walks it in alternating
// rounds with names that match nothing (so the probe walk visits every folder and tests every
// known file name in each): as before, with FindFirstFileA on one thread, with and without file
// names; then with the quick search (basic information, large fetches); then with that on one
// thread per processor. Prints best and median times and each walk's ratio to the bare walk,
// and removes the tree.
//
//   bench_directory_walk [--keep] [--rounds N]
//     --keep      leave the tree in place; a later run reuses a complete tree instead of building it
//     --rounds N  walks of each kind (default 3)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "directory_walk.h"
#include "file_system.h"
#include "subtree_pool.h"
#include "win32/handles.h"

namespace {

const char kTreeRoot[] = "C:\\KestruneBenchTree";
// Written last, so a tree cut short by an interrupted run is never taken for a complete one.
const char kCompleteMarker[] = "C:\\KestruneBenchTree\\tree-complete.txt";
// 40 folders, each with 40 folders (and one file), each with 32 empty folders.
const int kFanOut[] = {40, 40, 32};

struct TreeSize {
    long folders = 0, files = 0;
};

class Stopwatch {
public:
    Stopwatch() {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }
    double Milliseconds() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_, start_;
};

std::string FolderName(int index) {
    char name[16];
    std::snprintf(name, sizeof name, "Folder%02d", index);
    return name;
}

bool MakeFile(const std::string& path) {
    KernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsOpen();
}

bool BuildLevel(const std::string& folder, int level, TreeSize& size) {
    if (level == 3) return true;
    if (level == 2 && MakeFile(folder + "\\readme.txt")) ++size.files;
    for (int i = 0; i < kFanOut[level]; ++i) {
        const std::string child = folder + "\\" + FolderName(i);
        if (!CreateDirectoryA(child.c_str(), nullptr)) {
            std::fprintf(stderr, "cannot create %s (error %lu)\n", child.c_str(), GetLastError());
            return false;
        }
        ++size.folders;
        if (!BuildLevel(child, level + 1, size)) return false;
    }
    return true;
}

// The comparison: every folder entered, nothing but the enumeration itself.
void BareWalk(const std::string& folder, TreeSize& size) {
    WIN32_FIND_DATAA entry;
    FindHandle search((folder + "\\*.*").c_str(), entry);
    for (bool more = search.IsOpen(); more; more = search.Next(entry)) {
        if (std::strcmp(entry.cFileName, ".") == 0 || std::strcmp(entry.cFileName, "..") == 0) continue;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ++size.files;
        } else if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            ++size.folders;
            BareWalk(folder + "\\" + entry.cFileName, size);
        }
    }
}

struct Timings {
    std::vector<double> milliseconds;
    double Best() const { return *std::min_element(milliseconds.begin(), milliseconds.end()); }
    double Median() const {
        std::vector<double> sorted = milliseconds;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

}  // namespace

int main(int argc, char** argv) {
    bool keep = false;
    int rounds = 3;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--keep") == 0) {
            keep = true;
        } else if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc && std::atoi(argv[i + 1]) > 0) {
            rounds = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: bench_directory_walk [--keep] [--rounds N]\n");
            return 2;
        }
    }

    if (FileExists(kCompleteMarker)) {
        std::printf("reusing the tree under %s\n", kTreeRoot);
    } else {
        DeleteFolderTree(kTreeRoot);
        TreeSize built;
        const Stopwatch building;
        if (!CreateDirectories(kTreeRoot) || !BuildLevel(kTreeRoot, 0, built) || !MakeFile(kCompleteMarker)) {
            DeleteFolderTree(kTreeRoot);
            return 1;
        }
        std::printf("built %ld folders and %ld files under %s in %.1f s\n", built.folders, built.files, kTreeRoot,
                    building.Milliseconds() / 1000.0);
    }

    // Names as a folder record and the process records of a program would give them.
    const StringList directory_names = {"NoSuchProgram", "No Such Vendor"};
    const StringList file_names = {"nosuch.exe", "nosuchsvc.exe", "nosuchtray.exe"};
    WalkOptions plain;
    plain.threads = 1;
    plain.search = SearchMethod::kPlain;
    WalkOptions quick = plain;
    quick.search = SearchMethod::kQuickest;
    const WalkOptions threaded;  // quick search, one thread per processor
    struct ProbeWalk {
        const char* name;
        StringList files;
        WalkOptions options;
        Timings timings;
    };
    ProbeWalk probes[] = {
        {"FindFirstFileA, 1 thread, 2 names, 3 files", file_names, plain, {}},
        {"FindFirstFileA, 1 thread, 2 names, no files", {}, plain, {}},
        {"large fetch, 1 thread, 2 names, 3 files", file_names, quick, {}},
        {"large fetch, threads, 2 names, 3 files", file_names, threaded, {}},
    };
    Timings bare;
    TreeSize walked;
    std::size_t found = 0;
    for (int round = 0; round < rounds; ++round) {
        walked = TreeSize();
        const Stopwatch bare_watch;
        BareWalk(kTreeRoot, walked);
        bare.milliseconds.push_back(bare_watch.Milliseconds());
        for (ProbeWalk& probe : probes) {
            StringList output;
            const Stopwatch watch;
            WalkForProgramDirectories(kTreeRoot, directory_names, probe.files, output, probe.options);
            probe.timings.milliseconds.push_back(watch.Milliseconds());
            found += output.size();
        }
    }

    std::printf("tree: %ld folders, %ld files; %d rounds of each walk, alternating; %u threads\n", walked.folders,
                walked.files, rounds, WalkThreadCount());
    std::printf("%-46s %10s %10s %10s %8s %8s\n", "walk", "best ms", "median ms", "us/folder", "x best", "x median");
    const auto print_row = [&](const char* walk, const Timings& timings) {
        std::printf("%-46s %10.1f %10.1f %10.1f %8.2f %8.2f\n", walk, timings.Best(), timings.Median(),
                    1000.0 * timings.Best() / static_cast<double>(walked.folders), timings.Best() / bare.Best(),
                    timings.Median() / bare.Median());
    };
    print_row("bare FindFirstFileA walk", bare);
    for (const ProbeWalk& probe : probes) print_row(probe.name, probe.timings);
    std::printf("ratios are to the bare walk's best and median; folders found: %lu (expected 0)\n",
                static_cast<unsigned long>(found));

    if (keep) {
        std::printf("tree kept under %s\n", kTreeRoot);
    } else {
        const Stopwatch removing;
        DeleteFolderTree(kTreeRoot);
        std::printf("removed the tree in %.1f s\n", removing.Milliseconds() / 1000.0);
    }
    return found == 0 ? 0 : 1;
}
