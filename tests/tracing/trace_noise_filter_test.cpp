#include <string>

#include "check.h"
#include "path_order.h"
#include "trace_noise_filter.h"

namespace {

enum class Item { kPath, kKey, kValue };

struct NoiseCase {
    Item item;
    const char* text;        // a path, a key, or "KEY" with value_name
    const char* value_name;  // kValue only
    const char* reason;      // empty: the item is a trace and stays
};

std::string ReasonFor(const TraceNoiseFilter& filter, const NoiseCase& row) {
    switch (row.item) {
        case Item::kPath:
            return filter.PathReason(row.text);
        case Item::kKey:
            return filter.KeyReason(row.text);
        case Item::kValue:
            break;
    }
    return filter.ValueReason(row.text, row.value_name);
}

}  // namespace

TEST(NoiseFilterTakesOutWhatWindowsAndWineChangeAndKeepsProgramTraces) {
    const NoiseCase cases[] = {
        // Taken out.
        {Item::kPath, "C:\\Windows\\Temp\\setup.tmp", "", "temporary files"},
        {Item::kPath, "c:\\windows\\TEMP", "", "temporary files"},
        {Item::kPath, "C:\\users\\bob\\AppData\\Local\\Temp\\is-1234\\setup.tmp", "", "temporary files"},
        {Item::kPath, "C:\\Documents and Settings\\bob\\Local Settings\\Temp\\a.tmp", "", "temporary files"},
        {Item::kPath, "C:\\Windows\\Prefetch\\SETUP.EXE-1A2B3C4D.pf", "", "prefetch"},
        {Item::kPath, "C:\\Windows\\setupapi.log", "", "log"},
        {Item::kPath, "C:\\Windows\\inf\\setupapi.dev.log", "", "log"},
        {Item::kPath, "C:\\Windows\\Logs\\CBS\\CBS.log", "", "log"},
        {Item::kPath, "C:\\users\\bob\\AppData\\Local\\Microsoft\\Windows\\INetCache\\IE\\x.htm", "", "cache"},
        {Item::kPath, "C:\\users\\bob\\AppData\\Local\\Microsoft\\Windows\\Explorer\\thumbcache_32.db", "", "cache"},
        {Item::kPath, "C:\\users\\bob\\AppData\\Roaming\\Microsoft\\Windows\\Recent\\readme.lnk", "", "recently used list"},
        {Item::kPath, "C:\\Config.Msi\\1a2b.rbf", "", "Windows Installer at work"},
        {Item::kKey, "HKCU|Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs\\.txt", "", "recently used list"},
        {Item::kKey, "HKU|S-1-5-21-1-2-3-1001\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSavePidlMRU\\exe",
         "", "recently used list"},
        {Item::kKey, "HKCU|Software\\Vendor\\Recent File MRU", "", "recently used list"},
        {Item::kKey, "HKCU|Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist\\{GUID}\\Count", "",
         "programs run (UserAssist)"},
        {Item::kKey, "HKCU|Software\\Microsoft\\Windows\\Shell\\Bags\\1\\Desktop", "", "shell bags"},
        {Item::kKey, "HKCU|Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartPage2\\ProgramsCache", "", "cache"},
        {Item::kKey, "HKCU|Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\MuiCache", "", "cache"},
        {Item::kKey, "HKLM|SOFTWARE\\Microsoft\\Cryptography\\RNG", "", "random seed"},
        {Item::kKey, "HKCU|Software\\Wine\\Fonts", "", "Wine's own settings"},
        {Item::kKey, "HKLM|SOFTWARE\\Wow6432Node\\Wine", "", "Wine's own settings"},
        {Item::kKey, "HKCU|Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\LastVisitedPidlMRU", "",
         "recently used list"},
        {Item::kKey, "HKLM|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell\\LastVisited", "", "timestamp"},
        {Item::kKey, "HKLM|SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Enum", "", "timestamp"},
        {Item::kKey, "HKLM|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\InProgress", "", "Windows Installer at work"},
        {Item::kKey, "HKCU|Software\\Microsoft\\RestartManager\\Session0000", "", "Windows Installer at work"},
        {Item::kKey, "HKU|S-1-5-21-1-2-3-1001", "", "user hive loaded meanwhile"},
        {Item::kValue, "HKCU|Software\\Vendor\\App", "RecentFileMRU", "recently used list"},
        {Item::kValue, "HKLM|SOFTWARE\\Microsoft\\Cryptography\\RNG", "Seed", "random seed"},
        // Kept: traces of a program, also where they look like noise.
        {Item::kPath, "C:\\Windows\\Installer\\1a2b3c.msi", "", ""},
        {Item::kPath, "C:\\Windows\\Templates\\vendor.dot", "", ""},
        {Item::kPath, "C:\\Windows\\System32\\vendor.dll", "", ""},
        {Item::kPath, "C:\\Windows\\System32\\vendor.log", "", ""},
        {Item::kPath, "C:\\Program Files\\Vendor\\Temp\\data.bin", "", ""},
        {Item::kPath, "C:\\Program Files\\Vendor\\app.log", "", ""},
        {Item::kPath, "D:\\Windows\\Temp\\x.tmp", "", ""},
        {Item::kKey, "HKLM|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products\\ABC", "", ""},
        {Item::kKey, "HKLM|SOFTWARE\\Classes\\Installer\\Products\\ABC", "", ""},
        {Item::kKey, "HKCU|Software\\Microsoft\\Installer\\Products\\ABC", "", ""},
        {Item::kKey, "HKLM|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vendor", "", ""},
        {Item::kKey, "HKLM|SOFTWARE\\Vendor\\Cache", "", ""},
        {Item::kKey, "HKLM|SYSTEM\\CurrentControlSet\\Services\\VendorSvc\\Parameters", "", ""},
        {Item::kKey, "HKCU|Software\\Winery", "", ""},
        {Item::kKey, "HKCU|Software\\Vendor\\Wine", "", ""},
        {Item::kKey, "HKCU", "", ""},
        // "MRU" whose "M" is the trail byte of a double-byte character, and a trail byte "\"
        // that would make "Software" a name of its own.
        {Item::kKey, "HKCU|Software\\Vendor\\\x81\x4DRU", "", ""},
        {Item::kKey, "HKCU|\x82\\Software\\Wine", "", ""},
        {Item::kValue, "HKCU|Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Vendor", ""},
        {Item::kValue, "HKCU|Software\\Vendor", "\x81\x4DRU", ""},
    };
    const TraceNoiseFilter filter("C:\\Windows");
    for (const NoiseCase& row : cases) {
        CONTEXT(std::string(row.text) + " " + row.value_name);
        CHECK_EQ(ReasonFor(filter, row), std::string(row.reason));
    }
}

TEST(EveryNoiseRuleHasAPatternAndAReason) {
    for (const NoiseRule& rule : TraceNoiseRules()) {
        CONTEXT(rule.pattern);
        CHECK(rule.pattern[0] != '\0');
        CHECK(rule.reason[0] != '\0');
        CHECK((rule.kind == NoiseKind::kValue) == (std::string(rule.pattern).find('|') != std::string::npos));
    }
}

TEST(PathsCompareWithoutLetterCaseInTreeOrder) {
    struct OrderCase {
        const char* first;
        const char* second;
        int order;  // -1: first comes first, 0: the same item
    };
    const OrderCase cases[] = {
        {"C:\\Program Files", "c:\\PROGRAM FILES", 0},
        {"C:\\A", "C:\\A\\B", -1},
        {"C:\\A\\B", "C:\\A B", -1},
        {"C:\\A\\Z", "C:\\A-B", -1},
        {"HKLM|SOFTWARE", "HKLM|SOFTWARE\\A", -1},
        {"HKCU", "HKCU|Software", -1},
        {"HKCU|Software", "HKCU\\Software", -1},
        // A trail byte is neither folded nor a separator.
        {"C:\\\x81\x41", "C:\\\x81\x61", -1},
        {"C:\\\x82\\", "C:\\\x82\\\\x", -1},
        {"C:\\\x82\\x", "C:\\\x82\x41", 1},
    };
    for (const OrderCase& row : cases) {
        CONTEXT(std::string(row.first) + " / " + row.second);
        const int order = ComparePaths(row.first, row.second);
        CHECK_EQ(order < 0 ? -1 : order > 0 ? 1 : 0, row.order);
        const int reverse = ComparePaths(row.second, row.first);
        CHECK_EQ(reverse < 0 ? -1 : reverse > 0 ? 1 : 0, -row.order);
    }
    CHECK(IsSameOrBelow("C:\\Out\\sig.txt", "c:\\out\\"));
    CHECK(IsSameOrBelow("C:\\Out", "C:\\OUT"));
    CHECK(!IsSameOrBelow("C:\\Output\\sig.txt", "C:\\Out"));
    // The trail byte "\" of the folder's last character is no trailing separator.
    CHECK(!IsSameOrBelow("C:\\\x82\\x", "C:\\\x82\\\\"));
    CHECK(IsSameOrBelow("C:\\\x82\\\\x", "C:\\\x82\\\\"));
}
