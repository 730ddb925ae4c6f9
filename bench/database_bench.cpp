// The lookups over a catalogue of 10,000 programs: listing the catalogue and reading the
// records of the last program, the slowest case since a lookup decodes every line before it.
#include <benchmark/benchmark.h>

#include "category_files.h"
#include "category_record_reader.h"
#include "file_system.h"
#include "fixtures.h"
#include "record_codec.h"

namespace {

constexpr int kPrograms = 10000;
constexpr int kRegistryRecordsPerProgram = 5;

std::string Key(int i) { return "SWK" + std::to_string(100000 + i); }

struct LargeDatabase {
    ScopedTempFolder folder;
    LargeDatabase() {
        std::vector<std::string> catalogue, mapped, registry;
        for (int i = 0; i < kPrograms; ++i) {
            const std::string key = Key(i);
            catalogue.push_back(key + "|\xB2\xE2\xCA\xD4\xC8\xED\xBC\xFE " + std::to_string(i) + "|" +
                                (i % 3 ? "Video Players" : "File Compression") + "|1.0|5.1|" +
                                (i % 2 ? "6.1" : "-") + "|32\xCE\xBB");
            mapped.push_back(key + "|SID_SW_FL.hdb|SID_SW_RN.hdb");
            for (int r = 0; r < kRegistryRecordsPerProgram; ++r)
                registry.push_back(key + "|HKLM|SOFTWARE\\Vendor" + std::to_string(i) + "\\Product" + std::to_string(r));
        }
        WriteDatabaseFile(folder.Path(), "SID_SW_LI.hdb", catalogue);
        WriteDatabaseFile(folder.Path(), "SID_SW_MAPPED.hdb", mapped);
        WriteDatabaseFile(folder.Path(), "SID_SW_RN.hdb", registry);
    }
};

LargeDatabase& Database() {
    static LargeDatabase database;
    return database;
}

void BM_LoadSoftwareList(benchmark::State& state, const char* sub_type, const char* os) {
    StringList list;
    for (auto _ : state) {
        LoadSoftwareList(Database().folder.Path(), "SW", sub_type, list, os);
        benchmark::DoNotOptimize(list.data());
    }
    state.counters["rows"] = static_cast<double>(list.size());
}
BENCHMARK_CAPTURE(BM_LoadSoftwareList, all, "All", "All")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadSoftwareList, filtered, "Video Players", "|6.1|")->Unit(benchmark::kMillisecond);

void BM_GetCategoryFileOfLastProgram(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(GetCategoryFile(Database().folder.Path(), Key(kPrograms - 1), "SW", category::kRegistry));
}
BENCHMARK(BM_GetCategoryFileOfLastProgram)->Unit(benchmark::kMillisecond);

void BM_LoadCategoryRecordsOfLastProgram(benchmark::State& state) {
    const std::string path = JoinPath(Database().folder.Path(), "SID_SW_RN.hdb");
    StringList list;
    for (auto _ : state) LoadCategoryRecords(Key(kPrograms - 1), path, list);
    state.counters["records"] = static_cast<double>(list.size());
    state.counters["lines"] = kPrograms * kRegistryRecordsPerProgram;
}
BENCHMARK(BM_LoadCategoryRecordsOfLastProgram)->Unit(benchmark::kMillisecond);

// The lookups one analysis makes for a program, each category once and the processes twice: one
// lookup at a time, which decodes MAPPED anew each time, against one reader for the run.
const char* const kAnalysisLookups[] = {category::kInstallNames, category::kProcesses, category::kCoreFiles,
                                        category::kFolders,      category::kProcesses, category::kDrivers,
                                        category::kComServers,   category::kRegistry};

void BM_AnalysisLookupsOfLastProgramOneAtATime(benchmark::State& state) {
    const std::string folder = Database().folder.Path(), key = Key(kPrograms - 1);
    for (auto _ : state)
        for (const char* name_template : kAnalysisLookups) {
            StringList records;
            LoadCategoryRecords(key, GetCategoryFile(folder, key, "SW", name_template), records);
            benchmark::DoNotOptimize(records.data());
        }
}
BENCHMARK(BM_AnalysisLookupsOfLastProgramOneAtATime)->Unit(benchmark::kMillisecond);

void BM_AnalysisLookupsOfLastProgramThroughOneReader(benchmark::State& state) {
    const std::string folder = Database().folder.Path(), key = Key(kPrograms - 1);
    for (auto _ : state) {
        CategoryRecordReader reader(folder, "SW");
        for (const char* name_template : kAnalysisLookups) benchmark::DoNotOptimize(reader.RecordsOf(key, name_template).data());
    }
}
BENCHMARK(BM_AnalysisLookupsOfLastProgramThroughOneReader)->Unit(benchmark::kMillisecond);

void BM_DecryptRecord(benchmark::State& state) {
    const std::string line = EncryptRecord(Key(1) + "|HKLM|SOFTWARE\\Vendor1\\Product with a longer name", "SID_SW_RN.hdb");
    for (auto _ : state) benchmark::DoNotOptimize(DecryptRecord(line, "SID_SW_RN.hdb"));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(line.size() / 2));
}
BENCHMARK(BM_DecryptRecord);

}  // namespace

BENCHMARK_MAIN();
