#include <windows.h>

#include "check.h"
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
    TQX engine("C:\\App", "C:\\Temp");
    engine.OnSoftwareItem = engine.OnCleanInfo = CountCalls;
    engine.DirList = {"C:\\x"};
    engine.SWSoftwareList = {"line"};
    engine.Initialize();
    for (TQXCallback slot : {engine.OnSoftwareItem, engine.OnInstalledPath, engine.OnProcessRun, engine.OnCoreFile,
                             engine.OnRelatedDir, engine.OnAXCLSID, engine.OnSysFile, engine.OnNewReg,
                             engine.OnShellLink, engine.OnCleanInfo})
        CHECK(slot == nullptr);
    CHECK(engine.DirList.empty() && engine.SWSoftwareList.empty());
}

TEST(ClearSoftwareListTakesOnlyTheThreeCodes) {
    TQX engine("C:\\App", "C:\\Temp");
    engine.Initialize();
    engine.MWSoftwareList = {"m"};
    engine.SWSoftwareList = {"s"};
    engine.NMSoftwareList = {"n"};
    engine.ClearSoftwareList("XY");
    engine.ClearSoftwareList("mw");
    CHECK_EQ(engine.MWSoftwareList.size() + engine.SWSoftwareList.size() + engine.NMSoftwareList.size(), 3u);
    engine.ClearSoftwareList("SW");
    CHECK(engine.SWSoftwareList.empty() && !engine.MWSoftwareList.empty() && !engine.NMSoftwareList.empty());
    CHECK(engine.SoftwareListOf("NM") == &engine.NMSoftwareList && engine.SoftwareListOf("nm") == nullptr);
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
    SetFileAttributesA(JoinPath(engine.WorkDir, "SID_SW_LI.hdb").c_str(), FILE_ATTRIBUTE_READONLY);
    engine.SWSoftwareList = {"line"};
    engine.Finalize();
    CHECK(!DirectoryExists(engine.WorkDir));
    CHECK(engine.SWSoftwareList.empty());
}

TEST(UnpackDatabasePassesPackageErrorsOn) {
    ScopedTempFolder app, temp;
    TQX engine(app.Path(), temp.Path());
    engine.Initialize();
    WriteFile(engine.PackageFile, PackageOf("SID_SW_LI.hdb", "contents").substr(0, 12));
    CHECK_THROWS(EReadError, engine.UnpackDatabase(), "Stream read error");
}
