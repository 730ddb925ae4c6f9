// A whole analysis on a full machine: 10,000 programs in the signature package, over 50,000
// folders in Program Files, 10,000 COM classes and 2,000 uninstall registrations in both registry
// views, and one program installed with a trace of every kind. Times each of the seven steps and
// the whole analysis as the window and qxcli run it (the analysis worker, in the machine's
// registry view, shortcuts read on this thread through the invoker), against a bare FindFirstFileA
// walk of the system drive (the folder step's counterpart) and a bare walk of the classes of both
// views (the COM step's); then the software page's list filled with the 10,000 programs, and the
// peak working set.
//
//   bench_whole_analysis [--rounds N] [--hdbtool PATH] [--setup-only] [--traces]
//     --rounds N     analyses and bare walks of each kind, interleaved (default 5); list fills: 3
//     --hdbtool      the Windows hdbtool.exe that builds the package (default: beside this program)
//     --setup-only   set the machine up (once; a marker keeps it) and stop
//     --traces       print what the first analysis found
// Run it in a Wine prefix of its own: it writes a machine's worth of folders and keys to C:.
#include <windows.h>
#include <objbase.h>
#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "category_files.h"
#include "file_system.h"
#include "machine_views.h"
#include "main_thread_invoker.h"
#include "tqx.h"
#include "trace_kinds.h"
#include "whole_analysis_list_fill.h"
#include "whole_analysis_programs.h"
#include "whole_analysis_setup.h"
#include "win32/handles.h"
#include "worker_launcher.h"

namespace {

constexpr int kSteps = TQXWorkerThread::kStepCount;
const char* const kStepNames[kSteps] = {"1 processes (with the safety picture)", "2 core files",
                                        "3 folders (program directories)",      "4 driver files and services",
                                        "5 COM/ActiveX classes",                "6 registry items",
                                        "7 shortcuts"};

double Now() { return NowMilliseconds(); }

double PeakWorkingSetMiB() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

std::string OwnFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string full = path;
    return full.substr(0, full.find_last_of('\\') + 1);
}

// ---- what the analysis reports, and when each step starts and ends ----

struct FoundTrace {
    TraceKind kind;
    std::string text;
};

std::vector<FoundTrace> g_traces;
std::string g_run_error;
double g_step_start[kSteps], g_step_end[kSteps];
int g_steps_started = 0;

void AddTrace(TraceKind kind, const char* text) { g_traces.push_back({kind, text}); }
int Ignore(const char*) { return 0; }
void OnRunError(const char* message) { g_run_error = message; }

// OnStep(-1, text) opens the next step (the last one opens the closing message), OnStep(n,
// nullptr) closes step n.
void OnStep(int step, const char* text) {
    const double now = Now();
    if (step < 0 && text) {
        if (g_steps_started < kSteps) g_step_start[g_steps_started] = now;
        ++g_steps_started;
    } else if (step >= 1 && step <= kSteps) {
        g_step_end[step - 1] = now;
    }
}

struct AnalysisTimes {
    double steps[kSteps];
    double whole;
};

// One analysis of the program at row, as qxcli's session runs it.
bool Analyse(TQX& engine, WorkerLauncher& launcher, MainThreadInvoker& invoker, int row, AnalysisTimes& times) {
    g_traces.clear();
    g_run_error.clear();
    g_steps_started = 0;
    engine.SoftwareType = "SW";
    engine.SelectedIndex = row;
    auto worker = std::make_unique<TQX_Thread_Analyzed>(engine, "SW", MachineView());
    worker->Invoker = &invoker;
    worker->OnStep = OnStep;
    worker->OnRunError = OnRunError;
    const double start = Now();
    if (launcher.Launch(std::move(worker)) != LaunchResult::kStarted) {
        std::fprintf(stderr, "the analysis worker did not start\n");
        return false;
    }
    launcher.WaitForRunEnd();
    times.whole = Now() - start;
    if (!g_run_error.empty() || g_steps_started < kSteps) {
        std::fprintf(stderr, "the analysis stopped: %s\n", g_run_error.c_str());
        return false;
    }
    for (int step = 0; step < kSteps; ++step) times.steps[step] = g_step_end[step] - g_step_start[step];
    return true;
}

// ---- the bare counterparts ----

struct WalkCount {
    long folders = 0, files = 0;
};

// Every folder below folder entered, nothing but the enumeration: the walk's tree, that is the
// whole drive without the Windows folder and without entering links.
void BareFolderWalk(const std::string& folder, WalkCount& count) {
    WIN32_FIND_DATAA entry;
    FindHandle search((folder + "*.*").c_str(), entry);
    for (bool more = search.IsOpen(); more; more = search.Next(entry)) {
        if (std::strcmp(entry.cFileName, ".") == 0 || std::strcmp(entry.cFileName, "..") == 0) continue;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ++count.files;
            continue;
        }
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
        if (folder.size() == 3 && _strnicmp(entry.cFileName, "Windows", 7) == 0) continue;
        ++count.folders;
        BareFolderWalk(folder + entry.cFileName + "\\", count);
    }
}

// Per class of both views: one enumeration, one open of its server key (InprocServer32, else
// LocalServer32) and one read of its default value. Returns the server paths read.
long BareClassWalk() {
    long read = 0;
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        RegistryKey classes;
        if (classes.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\CLSID", KEY_READ | view) != ERROR_SUCCESS) continue;
        char name[256];
        for (DWORD index = 0;; ++index) {
            DWORD length = sizeof name;
            if (RegEnumKeyExA(classes.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            RegistryKey server;
            if (server.Open(classes.Get(), (std::string(name) + "\\InprocServer32").c_str(), KEY_READ | view) !=
                    ERROR_SUCCESS &&
                server.Open(classes.Get(), (std::string(name) + "\\LocalServer32").c_str(), KEY_READ | view) !=
                    ERROR_SUCCESS)
                continue;
            char path[MAX_PATH + 1] = {};
            DWORD path_length = MAX_PATH;
            if (RegQueryValueExA(server.Get(), "", nullptr, nullptr, reinterpret_cast<BYTE*>(path), &path_length) ==
                ERROR_SUCCESS)
                ++read;
        }
    }
    return read;
}

int RowOfKey(const TQX& engine, const std::string& key) {
    const StringList* catalogue = engine.SoftwareListOf("SW");
    for (std::size_t row = 0; catalogue && row < catalogue->size(); ++row)
        if ((*catalogue)[row].compare(0, key.size() + 1, key + "|") == 0) return static_cast<int>(row);
    return -1;
}

struct Options {
    int rounds = 5;
    std::string hdbtool;
    bool setup_only = false;
    bool print_traces = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    options.hdbtool = OwnFolder() + "hdbtool.exe";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc && std::atoi(argv[i + 1]) > 0)
            options.rounds = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--hdbtool") == 0 && i + 1 < argc)
            options.hdbtool = argv[++i];
        else if (std::strcmp(argv[i], "--setup-only") == 0)
            options.setup_only = true;
        else if (std::strcmp(argv[i], "--traces") == 0)
            options.print_traces = true;
        else
            return false;
    }
    return true;
}

// The chosen program's running process: a copy of this program that idles until ended.
class ChosenProcess {
public:
    bool Start() {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        std::string line = "\"" + bench_world::ChosenProcessPath() + "\" --idle";
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return false;
        process_.Reset(process.hProcess);
        CloseHandle(process.hThread);
        return true;
    }
    ~ChosenProcess() {
        if (process_.IsOpen()) {
            TerminateProcess(process_.Get(), 0);
            WaitForSingleObject(process_.Get(), 5000);
        }
    }

private:
    KernelHandle process_;
};

void PrintRow(const char* name, const std::vector<double>& times, const std::vector<double>* bare = nullptr) {
    std::printf("  %-40s %10.1f %10.1f", name, Median(times), Best(times));
    if (bare) std::printf("   x%.2f of the bare walk", Median(times) / Median(*bare));
    std::printf("\n");
}

int Measure(const Options& options) {
    ChosenProcess process;
    if (!process.Start()) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", bench_world::ChosenProcessPath().c_str(), GetLastError());
        return 1;
    }
    const double peak_at_start = PeakWorkingSetMiB();
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string work = IncludeTrailingSeparator(temp) + "kestrune-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectories(work);
    int status = 0;
    {
        TQX engine(OwnFolder(), work);
        engine.Initialize();
        engine.PackageFile = bench_world::kPackage;
        engine.OnSoftwareItem = Ignore;
        engine.OnInstalledPath = Ignore;
        engine.OnCleanInfo = Ignore;
        ConnectTraceSlots<AddTrace>(engine);
        MainThreadInvoker invoker;
        WorkerLauncher launcher(engine);
        try {
            double start = Now();
            if (!engine.UnpackDatabase()) throw std::runtime_error("no package at " + engine.PackageFile);
            const double unpack_ms = Now() - start;
            start = Now();
            engine.ListSoftware("SW", kFilterAll, kFilterAll);
            const double catalogue_ms = Now() - start;
            const std::string key = bench_world::ProgramAt(bench_world::kChosenProgram).key;
            const int row = RowOfKey(engine, key);
            if (row < 0) throw std::runtime_error("the package has no program " + key);
            const double peak_before = PeakWorkingSetMiB();

            std::vector<double> steps[kSteps], whole, bare_folders, bare_classes;
            std::vector<FoundTrace> first_traces;
            WalkCount walked;
            long classes_read = 0;
            for (int round = 0; round < options.rounds; ++round) {
                AnalysisTimes times;
                if (!Analyse(engine, launcher, invoker, row, times)) throw std::runtime_error("the analysis failed");
                for (int step = 0; step < kSteps; ++step) steps[step].push_back(times.steps[step]);
                whole.push_back(times.whole);
                if (round == 0) first_traces = g_traces;
                walked = WalkCount();
                start = Now();
                BareFolderWalk(std::string(1, MachineWindowsFolder()[0]) + ":\\", walked);
                bare_folders.push_back(Now() - start);
                start = Now();
                classes_read = BareClassWalk();
                bare_classes.push_back(Now() - start);
            }
            const double peak_after = PeakWorkingSetMiB();

            std::printf("\npackage: %d programs, unpacked in %.0f ms, SW catalogue listed in %.0f ms\n",
                        bench_world::kProgramCount, unpack_ms, catalogue_ms);
            std::printf("analysis of %s (%s, row %d), %s registry view%s, %d rounds\n", key.c_str(),
                        bench_world::ProgramAt(bench_world::kChosenProgram).name.c_str(), row,
                        MachineView() == RegistryView::k64Bit ? "64-bit" : "own",
                        MachineView() == RegistryView::k64Bit ? " (both views searched)" : "", options.rounds);
            int counts[kTraceKindCount] = {};
            for (const FoundTrace& trace : first_traces) ++counts[static_cast<int>(trace.kind)];
            std::printf("traces found:");
            for (int kind = 0; kind < kTraceKindCount; ++kind) std::printf(" %s %d", kTraceKinds[kind].name, counts[kind]);
            std::printf("\n\n  %-40s %10s %10s\n", "", "median ms", "best ms");
            for (int step = 0; step < kSteps; ++step)
                PrintRow(kStepNames[step], steps[step], step == 2 ? &bare_folders : step == 4 ? &bare_classes : nullptr);
            PrintRow("whole analysis (worker start to end)", whole);
            std::printf("  %-40s %10.1f %10.1f   %ld folders, %ld files\n", "bare FindFirstFileA walk of the drive",
                        Median(bare_folders), Best(bare_folders), walked.folders, walked.files);
            std::printf("  %-40s %10.1f %10.1f   %ld classes with a server\n", "bare class walk, both views",
                        Median(bare_classes), Best(bare_classes), classes_read);
            if (options.print_traces)
                for (const FoundTrace& trace : first_traces)
                    std::printf("    %s\t%s\n", kTraceKinds[static_cast<int>(trace.kind)].name, trace.text.c_str());

            std::vector<double> fill, list, marks, rows, paint, block;
            int shown_rows = 0;
            for (int round = 0; round < 3; ++round) {
                ListFillTimes times;
                if (!TimeListFill(engine, "SW", times)) throw std::runtime_error("no window for the list");
                fill.push_back(times.fill_ms);
                list.push_back(times.list_ms);
                marks.push_back(times.marks_ms);
                rows.push_back(times.rows_ms);
                paint.push_back(times.paint_ms);
                block.push_back(times.longest_block_ms);
                shown_rows = times.rows;
            }
            std::printf("\nsoftware page list, %d rows (3 fills, the first into an empty list)\n", shown_rows);
            std::printf("  %-40s %10s %10s\n", "", "median ms", "best ms");
            PrintRow("fill (as RefillList)", fill);
            PrintRow("  catalogue listed through slot 1", list);
            PrintRow("  rows into the list view", rows);
            PrintRow("first paint after the fill", paint);
            PrintRow("installed marks shown (own thread)", marks);
            PrintRow("longest the message loop was blocked", block);
            std::printf("  first fill: %.1f ms (list %.1f, rows %.1f), marks after %.1f ms, blocked %.1f ms\n",
                        fill[0], list[0], rows[0], marks[0], block[0]);

            std::printf("\npeak working set: %.1f MiB at start, %.1f MiB with the package open and listed, "
                        "%.1f MiB after %d analyses, %.1f MiB after the list fills\n",
                        peak_at_start, peak_before, peak_after, options.rounds, PeakWorkingSetMiB());
        } catch (const std::exception& error) {
            std::fprintf(stderr, "bench_whole_analysis: %s\n", error.what());
            status = 1;
        }
        launcher.WaitForRunEnd();
        engine.Finalize();
    }
    DeleteFolderTree(work);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--idle") == 0) {
        Sleep(10 * 60 * 1000);  // the chosen program's process: ended by the benchmark, or gone in 10 minutes
        return 0;
    }
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: bench_whole_analysis [--rounds N] [--hdbtool PATH] [--setup-only] [--traces]\n");
        return 2;
    }
    CoInitialize(nullptr);
    std::string summary;
    int status = 0;
    if (bench_world::MachineIsSetUp(summary)) {
        std::printf("machine set up before:\n%s", summary.c_str());
    } else if (bench_world::SetUpMachine(options.hdbtool, summary)) {
        std::printf("%s", summary.c_str());
    } else {
        std::fprintf(stderr, "the set-up failed; run again to retry it\n");
        status = 1;
    }
    if (status == 0 && !options.setup_only) status = Measure(options);
    CoUninitialize();
    return status;
}
