#include "engine_fixture.h"

#include "category_files.h"
#include "check.h"
#include "file_system.h"
#include "trace_kinds.h"

namespace {

void Record(const char* slot, const char* text) {
    Slots().texts[slot].push_back(text);
    Slots().threads[slot] = GetCurrentThreadId();
}

int OnSoftwareItem(const char* text) {
    Record("software", text);
    return 0;
}
int OnInstalledPath(const char* text) {
    Record("path", text);
    return 0;
}
void OnTrace(TraceKind kind, const char* text) { Record(TraceKindOf(kind).name, text); }
int OnCleanInfo(const char* text) {
    Record("clean", text);
    return 0;
}

}  // namespace

SlotLog& Slots() {
    static SlotLog log;
    return log;
}

EngineFixture::EngineFixture() : engine(app.Path(), temp.Path()) {
    engine.Initialize();
    CreateDirectories(engine.WorkDir);
    Slots() = SlotLog();
}

EngineFixture::~EngineFixture() { engine.Finalize(); }

void EngineFixture::WriteFile(const std::string& name, const StringList& records) {
    WriteDatabaseFile(engine.WorkDir, name, records);
}

void EngineFixture::WriteProgram(const std::map<std::string, StringList>& records_by_category) {
    WriteFile("SID_SW_LI.hdb", {"SWK|测试程序|Photo Tools|1.0|5.1|6.1|32位"});
    std::string mapped = "SWK";
    for (const auto& category : records_by_category) {
        const std::string name = "SID_SW_" + category.first + ".hdb";
        mapped += "|" + name;
        StringList records;
        for (const std::string& record : category.second) records.push_back("SWK|" + record);
        WriteFile(name, records);
    }
    WriteFile("SID_SW_MAPPED.hdb", {mapped});
    engine.ClearSoftwareList("SW");
    const TQXCallback slot = engine.OnSoftwareItem;
    engine.OnSoftwareItem = [](const char*) { return 0; };
    CHECK(engine.ListSoftware("SW", kFilterAll, kFilterAll));
    engine.OnSoftwareItem = slot;
}

void EngineFixture::ConnectAllSlots() {
    engine.OnSoftwareItem = OnSoftwareItem;
    engine.OnInstalledPath = OnInstalledPath;
    ConnectTraceSlots<OnTrace>(engine);
    engine.OnCleanInfo = OnCleanInfo;
}
