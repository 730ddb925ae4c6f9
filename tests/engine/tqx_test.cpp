#include <windows.h>

#include "category_files.h"
#include "check.h"
#include "cleanup_selection.h"
#include "engine_fixture.h"
#include "errors.h"
#include "file_system.h"
#include "fixtures.h"
#include "package_writer.h"
#include "tqx.h"

namespace {

int CountCalls(const char*) { return 0; }

std::string PackageOf(const std::string& name, const std::string& contents) {
    std::string package;
    AppendStoredFile(package, name, contents);
    return package;
}

}  // namespace

TEST(ConstructorFormsTheThreePaths) {
    for (const auto& folders : {std::make_pair("C:\\App", "C:\\Temp"), std::make_pair("C:\\App\\", "C:\\Temp\\")}) {
        CONTEXT(folders.first);
        TQX engine(folders.first, folders.second);
        CHECK_EQ(engine.AppDir, std::string("C:\\App\\"));
        CHECK_EQ(engine.PackageFile, std::string("C:\\App\\REZ.hdb3"));
        CHECK_EQ(engine.WorkDir, std::string("C:\\Temp\\SID_UP"));
        CHECK_EQ(engine.SelectedIndex, -1);
        CHECK(!engine.Analyzing && !engine.Uninstalling);
        CHECK(engine.SoftwareType.empty() && engine.SoftwareSubType.empty() && engine.SoftwareOS.empty());
    }
}

TEST(InitializeEmptiesSlotsAndLists) {
    EngineFixture f;
    f.ConnectAllSlots();
    f.WriteProgram({});
    CleanupSelection selection;
    selection.related_dirs = {"C:\\x"};
    FillCleanupLists(f.engine, selection);
    f.engine.Initialize();
    for (TQXCallback slot : {f.engine.OnSoftwareItem, f.engine.OnInstalledPath, f.engine.OnProcessRun,
                             f.engine.OnCoreFile, f.engine.OnRelatedDir, f.engine.OnAXCLSID, f.engine.OnSysFile,
                             f.engine.OnNewReg, f.engine.OnShellLink, f.engine.OnCleanInfo})
        CHECK(slot == nullptr);
    CHECK(f.engine.WorkLists().DirList.empty() && f.engine.SoftwareListOf("SW")->empty());
}

TEST(ClearSoftwareListTakesOnlyTheThreeCodes) {
    EngineFixture f;
    f.ConnectAllSlots();
    const StringList types = {"MW", "SW", "NM"};
    for (const std::string& type : types) {
        f.WriteFile("SID_" + type + "_LI.hdb", {type + "1|程序|Photo Tools|1.0|5.1|6.1|32位"});
        CHECK(f.engine.ListSoftware(type, kFilterAll, kFilterAll));
    }
    const auto filled = [&f](const std::string& type) { return !f.engine.SoftwareListOf(type)->empty(); };
    f.engine.ClearSoftwareList("XY");
    f.engine.ClearSoftwareList("mw");
    CHECK(filled("MW") && filled("SW") && filled("NM"));
    f.engine.ClearSoftwareList("SW");
    CHECK(!filled("SW") && filled("MW") && filled("NM"));
    CHECK_EQ(*f.engine.SoftwareListOf("NM"), StringList{"NM1|程序|Photo Tools|1.0|5.1|6.1|32位"});
    CHECK(f.engine.SoftwareListOf("nm") == nullptr);
}

TEST(UnpackDatabaseAndFinalizeOwnTheWorkingFolder) {
    ScopedTempFolder app, temp;
    TQX engine(app.Path(), temp.Path());
    engine.Initialize();

    // No package: false, and a working folder left by another instance stays untouched.
    CreateDirectories(engine.WorkDir);
    WriteFile(JoinPath(engine.WorkDir, "other.hdb"), "x");
    CHECK(!engine.UnpackDatabase());
    CHECK(FileExists(JoinPath(engine.WorkDir, "other.hdb")));

    WriteFile(engine.PackageFile, PackageOf("SID_SW_LI.hdb", "contents"));
    CHECK(engine.UnpackDatabase());
    CHECK(!FileExists(JoinPath(engine.WorkDir, "other.hdb")));
    CHECK_EQ(ReadFile(JoinPath(engine.WorkDir, "SID_SW_LI.hdb")), std::string("contents"));

    // Finalize removes read-only and hidden files and nested folders.
    const std::string nested = JoinPath(engine.WorkDir, "a\\b");
    CreateDirectories(nested);
    WriteFile(JoinPath(nested, "locked.UPhdb"), "y");
    SetFileAttributesA(JoinPath(nested, "locked.UPhdb").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    WriteDatabaseFile(engine.WorkDir, "SID_SW_LI.hdb", {"line"});
    engine.OnSoftwareItem = CountCalls;
    CHECK(engine.ListSoftware("SW", "All", "All"));
    SetFileAttributesA(JoinPath(engine.WorkDir, "SID_SW_LI.hdb").c_str(), FILE_ATTRIBUTE_READONLY);
    engine.Finalize();
    CHECK(!DirectoryExists(engine.WorkDir));
    CHECK(engine.SoftwareListOf("SW")->empty());
}

TEST(UnpackDatabasePassesPackageErrorsOn) {
    ScopedTempFolder app, temp;
    TQX engine(app.Path(), temp.Path());
    engine.Initialize();
    WriteFile(engine.PackageFile, PackageOf("SID_SW_LI.hdb", "contents").substr(0, 12));
    CHECK_THROWS(EReadError, engine.UnpackDatabase(), "Stream read error");
}
