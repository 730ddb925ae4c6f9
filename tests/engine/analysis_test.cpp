#include <windows.h>
#include <objbase.h>

#include "check.h"
#include "engine_fixture.h"
#include "scratch_folder.h"
#include "shortcut_writer.h"
#include "file_system.h"
#include "registry_fixture.h"
#include "system_folders.h"
#include "text_rules.h"

namespace {

std::string ThisProgramName() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return FileNameOf(path);
}

}  // namespace

TEST(AnalysisStepsReportTheTracesThatExist) {
    EngineFixture f;
    f.ConnectAllSlots();
    ScratchFolder drive("C:\\", "KestruneEngineAnalysis");
    const std::string program_folder = drive.Path() + "\\Vendor\\星澜Player";
    CreateDirectories(program_folder);
    ::WriteFile(program_folder + "\\core.dll", "x");
    const std::string driver = "kestrune-engine-" + std::to_string(GetCurrentProcessId()) + ".sys";
    const std::string driver_path = WindowsFolder() + "\\System32\\drivers\\" + driver;
    ::WriteFile(driver_path, "driver");
    ScopedTestKey key(HKEY_LOCAL_MACHINE, "SOFTWARE");
    key.SetString("Settings", "Path", "x");

    // The core file is recorded on another drive: the system drive's letter takes its place.
    const std::string core_record = "D" + program_folder.substr(1) + "\\core.dll";
    f.WriteProgram({
        {"PR", {" " + ThisProgramName(), "notrunning-kestrune.exe", "short-record-ignored|x"}},
        {"CF", {core_record, "C:\\nowhere-kestrune\\missing.dll"}},
        {"FL", {"星澜PLAYER"}},
        {"IS", {driver, "missing-kestrune.sys"}},
        {"RN", {"HKLM", "HKLM|" + key.Path(), "HKLM|" + key.Path() + "\\Settings|\"Path\"", "HKLM|" + key.Path() + "|Nope"}},
    });
    const std::string row_type = "SW";
    f.engine.AnalyzeProcessRun(0, row_type);
    f.engine.AnalyzeCoreFile(0, row_type);
    f.engine.AnalyzeRelatedDir(0, row_type);
    f.engine.AnalyzeSysFile(0, row_type);
    f.engine.AnalyzeAXCLSID(0, row_type, false);
    f.engine.AnalyzeNewReg(0, row_type, false);

    // Surrounding blanks still match; this program stands for the uninstaller, which never ends
    // itself, so it is reported marked.
    CHECK_EQ(Slots().texts["process"],
             StringList{SafetyGuard::Marked(SafetyVerdict::Refuse("本程序自身"), " " + ThisProgramName())});
    CHECK_EQ(f.engine.ProcessUpperList.size(), 3u);  // every process record, running or not
    CHECK_EQ(f.engine.ProcessUpperList[1], std::string("NOTRUNNING-KESTRUNE.EXE"));
    CHECK_EQ(Slots().texts["corefile"], StringList{program_folder + "\\core.dll"});
    CHECK_EQ(Slots().texts["dir"], StringList{program_folder});
    CHECK_EQ(f.engine.DirUpperList, StringList{UpperCased(program_folder)});
    CHECK_EQ(Slots().texts["driver"], StringList{driver_path});
    CHECK(Slots().texts["com"].empty());  // no component records
    CHECK_EQ(Slots().texts["reg"], (StringList{"HKLM|" + key.Path(), "HKLM|" + key.Path() + "\\Settings|\"Path\""}));
    DeleteFileAlways(driver_path);
}

TEST(AnalysisStepsDoNothingWithoutTheirSlot) {
    EngineFixture f;
    f.WriteProgram({{"PR", {"a.exe"}}});
    f.engine.ProcessUpperList = {"stale"};
    f.engine.AnalyzeProcessRun(0, "SW");
    CHECK_EQ(f.engine.ProcessUpperList, StringList{"stale"});
    f.ConnectAllSlots();
    f.engine.AnalyzeProcessRun(0, "NM");  // a type without a cache row
    CHECK_EQ(f.engine.ProcessUpperList, StringList{"stale"});
}

TEST(ShortcutStepMatchesPathTargetAndWorkingFolder) {
    CHECK(SUCCEEDED(CoInitialize(nullptr)));
    {
        EngineFixture f;
        f.ConnectAllSlots();
        ScratchFolder base("C:\\Users", "KestruneEngineLinks");
        const std::string program = base.Path() + "\\Foo", neighbour = base.Path() + "\\FooBar";
        const std::string links = base.Path() + "\\links", elsewhere = WindowsFolder() + "\\notepad.exe";
        for (const std::string& folder : {program, neighbour, links}) CreateDirectories(folder);
        ::WriteFile(program + "\\foo.exe", "x");
        ::WriteFile(neighbour + "\\bar.exe", "x");
        const struct {
            std::string path, target, working;
            bool reported;
        } cases[] = {
            {links + "\\by target.lnk", program + "\\foo.exe", neighbour, true},
            {links + "\\by working folder.lnk", elsewhere, program, true},
            // A target needs no separator after the folder, a working folder does.
            {links + "\\target in FooBar.lnk", neighbour + "\\bar.exe", links, true},
            {links + "\\working in FooBar.lnk", elsewhere, neighbour, false},
            {links + "\\UPPER.LNK", elsewhere, UpperCased(program), true},
        };
        for (const auto& c : cases) CHECK(WriteShortcut(c.path, c.target, c.working));
        // A shortcut inside the folder is reported by its own path, even one that cannot be read.
        ::WriteFile(program + "\\inside.lnk", "not a shortcut");

        f.engine.AnalyzeShellLink();  // DirList empty: nothing at all
        CHECK(Slots().texts["shortcut"].empty());

        f.engine.DirList = {program};
        f.engine.AnalyzeShellLink();
        const StringList& reported = Slots().texts["shortcut"];
        for (const auto& c : cases) {
            CONTEXT(c.path);
            bool found = false;
            for (const std::string& path : reported) found = found || path == c.path;
            CHECK_EQ(found, c.reported);
        }
        bool inside = false;
        for (const std::string& path : reported) inside = inside || path == program + "\\inside.lnk";
        CHECK(inside);
        CHECK_EQ(reported.size(), 5u);  // each shortcut once
    }
    CoUninitialize();
}
