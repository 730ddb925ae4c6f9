// What the safety rules cost a whole analysis. Runs the seven analysis steps of one program of a
// signature package (the shortcut step included) in rounds, and in the same rounds the safety
// work alone: reading the machine's picture and checking again every item the analysis reported.
// The analysis without the rules is the first figure less the second.
//
//   bench_analysis_safety PACKAGE KEY [--rounds N]
//     PACKAGE  a signature package (a Windows path; Z: is the Linux root under Wine)
//     KEY      the program's key in the SW catalogue, e.g. SWQUILLMOSS (install it first)
#include <objbase.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "file_system.h"
#include "process_probes.h"
#include "safety_guard.h"
#include "tqx.h"

namespace {

StringList g_reported[4];  // processes, files (core and driver), folders, registry items

int Ignore(const char*) { return 0; }
int AddProcess(const char* text) { g_reported[0].push_back(SafetyGuard::Unmarked(text)); return 0; }
int AddFile(const char* text) { g_reported[1].push_back(SafetyGuard::Unmarked(text)); return 0; }
int AddFolder(const char* text) { g_reported[2].push_back(SafetyGuard::Unmarked(text)); return 0; }
int AddRegistry(const char* text) { g_reported[3].push_back(SafetyGuard::Unmarked(text)); return 0; }


int FindRow(TQX& engine, const std::string& key) {
    const StringList* catalogue = engine.SoftwareListOf("SW");
    for (std::size_t row = 0; catalogue && row < catalogue->size(); ++row)
        if ((*catalogue)[row].compare(0, key.size() + 1, key + "|") == 0) return static_cast<int>(row);
    return -1;
}

void Analyse(TQX& engine, int row) {
    for (StringList& list : g_reported) list.clear();
    engine.PrepareSafety(row, "SW");
    engine.AnalyzeProcessRun(row, "SW");
    engine.AnalyzeCoreFile(row, "SW");
    engine.AnalyzeRelatedDir(row, "SW");
    engine.AnalyzeSysFile(row, "SW");
    engine.AnalyzeAXCLSID(row, "SW", RegistryView::kDefault);
    engine.AnalyzeNewReg(row, "SW", RegistryView::kDefault);
    engine.AnalyzeShellLink();
}

// The guard's share: its picture of the machine, and one check per reported item.
void SafetyChecks(TQX& engine) {
    const SafetyGuard& guard = engine.Safety;
    for (const std::string& name : g_reported[0]) guard.CheckProcess(name, ProcessImagePath(name));
    for (const std::string& file : g_reported[1]) guard.CheckFile(file);
    for (const std::string& folder : g_reported[2]) guard.CheckFolder(folder);
    for (const std::string& item : g_reported[3]) {
        StringList fields;
        SplitByBar(item, fields);
        if (fields.size() == 2) guard.CheckRegistryKey(fields[0], fields[1]);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_analysis_safety PACKAGE KEY [--rounds N]\n");
        return 2;
    }
    const int rounds = argc >= 5 && std::strcmp(argv[3], "--rounds") == 0 ? std::max(1, std::atoi(argv[4])) : 5;
    CoInitialize(nullptr);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string work = IncludeTrailingSeparator(temp) + "kestrune-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectories(work);
    int status = 0;
    {
        TQX engine(work, work);
        engine.Initialize();
        engine.PackageFile = argv[1];
        engine.OnSoftwareItem = Ignore;
        engine.OnInstalledPath = Ignore;
        engine.OnProcessRun = AddProcess;
        engine.OnCoreFile = AddFile;
        engine.OnSysFile = AddFile;
        engine.OnRelatedDir = AddFolder;
        engine.OnAXCLSID = AddRegistry;
        engine.OnNewReg = AddRegistry;
        engine.OnShellLink = Ignore;
        engine.OnCleanInfo = Ignore;
        try {
            if (!engine.UnpackDatabase() || !engine.ListSoftware("SW", "All", "All")) throw std::runtime_error("no package");
            const int row = FindRow(engine, argv[2]);
            if (row < 0) throw std::runtime_error("no such program");
            engine.SelectedIndex = row;
            engine.SoftwareType = "SW";
            std::vector<double> whole, picture, checks;
            for (int round = 0; round < rounds; ++round) {
                double start = NowMilliseconds();
                Analyse(engine, row);
                whole.push_back(NowMilliseconds() - start);
                start = NowMilliseconds();
                engine.PrepareSafety(row, "SW");
                picture.push_back(NowMilliseconds() - start);
                start = NowMilliseconds();
                SafetyChecks(engine);
                checks.push_back(NowMilliseconds() - start);
            }
            std::size_t items = 0;
            for (const StringList& list : g_reported) items += list.size();
            std::printf("whole analysis of %s (%zu items reported), median of %d rounds:\n", argv[2], items, rounds);
            std::printf("  with the safety rules:    %8.1f ms\n", Median(whole));
            const double share = Median(picture) + Median(checks);
            std::printf("  the safety rules' share:  %8.1f ms (reading the machine %.1f ms, checks %.1f ms)\n", share,
                        Median(picture), Median(checks));
            std::printf("  without the safety rules: %8.1f ms\n", Median(whole) - share);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "bench_analysis_safety: %s\n", error.what());
            status = 1;
        }
        engine.Finalize();
    }
    DeleteFolderTree(work);
    CoUninitialize();
    return status;
}
