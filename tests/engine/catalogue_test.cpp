#include <windows.h>

#include "category_files.h"
#include "check.h"
#include "engine_fixture.h"
#include "file_system.h"
#include "registry_fixture.h"
#include "scratch_folder.h"
#include "text_rules.h"

TEST(ListSoftwareFillsTheCacheOnceAndEmitsIt) {
    EngineFixture f;
    f.WriteFile("SID_SW_LI.hdb", {"S1|甲|Video Players|1|5.1|-|32位", "S2|乙|Photo Tools|1|6.1|-|32位"});
    f.WriteFile("SID_NM_LI.hdb", {"N1|丙|Web Browsers|1|5.1|6.1|64位"});

    CHECK(!f.engine.ListSoftware("SW", kFilterAll, kFilterAll));  // no slot
    f.ConnectAllSlots();
    CHECK(!f.engine.ListSoftware("XY", kFilterAll, kFilterAll));
    CHECK(!f.engine.ListSoftware("MW", kFilterAll, kFilterAll));  // no catalogue of that type

    CHECK(f.engine.ListSoftware("SW", "Video Players", kFilterAll));
    CHECK_EQ(Slots().texts["software"], StringList{"S1|甲|Video Players|1|5.1|-|32位"});
    // A filled cache is used unchanged, whatever the filters of the later call.
    CHECK(f.engine.ListSoftware("SW", kFilterAll, kFilterWindows7));
    CHECK_EQ(Slots().texts["software"].size(), 2u);
    CHECK_EQ(Slots().texts["software"][1], Slots().texts["software"][0]);

    CHECK(f.engine.ListSoftware("NM", kFilterAll, kFilterAll));
    CHECK_EQ(Slots().texts["software"].back(), std::string("N1|丙|Web Browsers|1|5.1|6.1|64位"));
    CHECK_EQ(f.engine.SoftwareListOf("SW")->size(), 1u);
    CHECK(f.engine.SoftwareListOf("MW")->empty());

    // Nothing passes: true, nothing emitted, the cache stays empty.
    f.engine.ClearSoftwareList("SW");
    Slots().texts.clear();
    CHECK(f.engine.ListSoftware("SW", "Web Browsers", kFilterAll));
    CHECK(Slots().texts["software"].empty() && f.engine.SoftwareListOf("SW")->empty());
}

TEST(ListInstallPathsProposesRegisteredFoldersOnce) {
    EngineFixture f;
    ScopedTempFolder install;
    const std::string uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    const std::string names[] = {"KestruneEngineTest-A-" + std::to_string(GetCurrentProcessId()),
                                 "KestruneEngineTest-B-" + std::to_string(GetCurrentProcessId())};
    // Two registrations of the same program name and folder, the second in other letter case.
    for (const std::string& name : names) {
        HKEY key;
        CHECK(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (uninstall + name).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr) == ERROR_SUCCESS);
        const std::string display = "Kestrune 引擎测试程序";
        const std::string location = &name == &names[0] ? install.Path() : UpperCased(install.Path());
        RegSetValueExA(key, "DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(display.c_str()),
                       static_cast<DWORD>(display.size() + 1));
        RegSetValueExA(key, "InstallLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(location.c_str()),
                       static_cast<DWORD>(location.size() + 1));
        RegCloseKey(key);
    }
    f.WriteProgram({{"IDN", {"Kestrune 引擎测试程序 2.0 专业版"}}});

    // Without its slot the step reads nothing: the identification file is never decoded.
    f.engine.ListInstallPaths(0, "SW", RegistryView::kDefault);
    CHECK(!FileExists(JoinPath(f.engine.WorkDir, "SID_SW_IDN.hdb.UPhdb")));

    f.ConnectAllSlots();
    f.engine.ListInstallPaths(5, "SW", RegistryView::kDefault);  // no such row
    f.engine.ListInstallPaths(0, "sw", RegistryView::kDefault);
    CHECK(Slots().texts["path"].empty());
    f.engine.ListInstallPaths(0, "SW", RegistryView::kDefault);
    CHECK_EQ(Slots().texts["path"].size(), 1u);
    if (!Slots().texts["path"].empty()) CHECK_EQ(UpperCased(Slots().texts["path"][0]), UpperCased(install.Path()));

    for (const std::string& name : names) RegDeleteKeyA(HKEY_LOCAL_MACHINE, (uninstall + name).c_str());
}

// A front end shows every line ListSoftware emits as a row, in order, and the analysis of row n
// must take the program of line n: a record that decodes to blanks must not shift the rows.
TEST(EveryEmittedLineIsTheRowTheAnalysisTakes) {
    EngineFixture f;
    f.ConnectAllSlots();
    ScratchFolder drive("C:\\", "KestruneCatalogueRows");
    const std::string first = drive / "first.dll", second = drive / "second.dll";
    drive.MakeFiles({"first.dll", "second.dll"});
    f.WriteFile("SID_SW_LI.hdb", {"KA1|甲|Photo Tools|1|5.1|6.1|32位", "   ", "KB2|乙|Photo Tools|1|5.1|6.1|32位"});
    f.WriteFile("SID_SW_CF.hdb", {"KA1|" + first, "KB2|" + second});
    f.WriteFile("SID_SW_MAPPED.hdb", {"KA1|SID_SW_CF.hdb", "KB2|SID_SW_CF.hdb"});
    CHECK(f.engine.ListSoftware("SW", kFilterAll, kFilterAll));

    const StringList rows = Slots().texts["software"];
    CHECK_EQ(rows, (StringList{"KA1|甲|Photo Tools|1|5.1|6.1|32位", "KB2|乙|Photo Tools|1|5.1|6.1|32位"}));
    const std::string core_file_of_row[] = {first, second};
    for (std::size_t row = 0; row < rows.size() && row < 2; ++row) {
        CONTEXT(rows[row]);
        Slots().texts["corefile"].clear();
        f.engine.AnalyzeCoreFile(static_cast<int>(row), "SW");
        CHECK_EQ(Slots().texts["corefile"], StringList{core_file_of_row[row]});
    }
}
