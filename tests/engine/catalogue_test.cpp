#include <windows.h>

#include "category_files.h"
#include "check.h"
#include "engine_fixture.h"
#include "file_system.h"
#include "registry_fixture.h"
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
    CHECK_EQ(f.engine.SWSoftwareList.size(), 1u);
    CHECK(f.engine.MWSoftwareList.empty());

    // Nothing passes: true, nothing emitted, the cache stays empty.
    f.engine.ClearSoftwareList("SW");
    Slots().texts.clear();
    CHECK(f.engine.ListSoftware("SW", "Web Browsers", kFilterAll));
    CHECK(Slots().texts["software"].empty() && f.engine.SWSoftwareList.empty());
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
    f.engine.ListInstallPaths(0, "SW", false);
    CHECK(!FileExists(JoinPath(f.engine.WorkDir, "SID_SW_IDN.hdb.UPhdb")));

    f.ConnectAllSlots();
    f.engine.ListInstallPaths(5, "SW", false);  // no such row
    f.engine.ListInstallPaths(0, "sw", false);
    CHECK(Slots().texts["path"].empty());
    f.engine.ListInstallPaths(0, "SW", false);
    CHECK_EQ(Slots().texts["path"].size(), 1u);
    if (!Slots().texts["path"].empty()) CHECK_EQ(UpperCased(Slots().texts["path"][0]), UpperCased(install.Path()));

    for (const std::string& name : names) RegDeleteKeyA(HKEY_LOCAL_MACHINE, (uninstall + name).c_str());
}
