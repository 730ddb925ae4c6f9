#include "engine_fixture.h"

#include "category_files.h"
#include "check.h"
#include "file_system.h"

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
int OnProcessRun(const char* text) {
    Record("process", text);
    return 0;
}
int OnCoreFile(const char* text) {
    Record("corefile", text);
    return 0;
}
int OnAXCLSID(const char* text) {
    Record("com", text);
    return 0;
}
int OnSysFile(const char* text) {
    Record("driver", text);
    return 0;
}
int OnNewReg(const char* text) {
    Record("reg", text);
    return 0;
}
int OnShellLink(const char* text) {
    Record("shortcut", text);
    return 0;
}
int OnCleanInfo(const char* text) {
    Record("clean", text);
    return 0;
}

TQX* g_engine = nullptr;
int OnRelatedDir(const char* text) {
    Record("dir", text);
    g_engine->DirList.push_back(text);  // as the window does: the shortcut step reads them
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
    g_engine = &engine;
}

EngineFixture::~EngineFixture() {
    engine.Finalize();
    g_engine = nullptr;
}

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
    engine.OnProcessRun = OnProcessRun;
    engine.OnCoreFile = OnCoreFile;
    engine.OnRelatedDir = OnRelatedDir;
    engine.OnAXCLSID = OnAXCLSID;
    engine.OnSysFile = OnSysFile;
    engine.OnNewReg = OnNewReg;
    engine.OnShellLink = OnShellLink;
    engine.OnCleanInfo = OnCleanInfo;
}
