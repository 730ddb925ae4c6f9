#include <windows.h>

#include <memory>

#include "check.h"
#include "file_system.h"
#include "fixtures.h"
#include "installed_software.h"
#include "shared_location_keys.h"
#include "text_rules.h"

namespace {

const char kUninstallPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kUserDataPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData";

// Our display names carry the process id, so no other registration in the shared prefix matches
// the records of these tests.
const std::string& Tag() {
    static const std::string tag = "Kx" + std::to_string(GetCurrentProcessId());
    return tag;
}

std::string Named(const std::string& suffix) { return Tag() + " " + suffix; }

// A registration's two values; without_display_name leaves the display name out.
struct Registration {
    std::string display_name;
    std::string install_location;
    bool without_display_name = false;
};

// Registrations written in the order given, which is also the order in which they are enumerated:
// the key names sort as they are numbered.
class ScopedRegistrations {
public:
    // Under the Uninstall key, or with hive set under that hive's Windows Installer products.
    explicit ScopedRegistrations(const std::vector<Registration>& registrations, const std::string& hive = "") {
        for (const Registration& registration : registrations) {
            char number[8];
            wsprintfA(number, "%03u", static_cast<unsigned>(keys_.size()));
            const std::string name = "KestruneTest" + std::to_string(GetCurrentProcessId()) + "-" + number;
            const std::string path = hive.empty() ? std::string(kUninstallPath) + "\\" + name
                                                  : std::string(kUserDataPath) + "\\" + hive + "\\Products\\" +
                                                        name + "\\InstallProperties";
            keys_.push_back(std::make_unique<ScopedRegistryKey>(HKEY_LOCAL_MACHINE, path));
            if (!registration.without_display_name)
                CHECK_EQ(keys_.back()->SetString("DisplayName", registration.display_name), ERROR_SUCCESS);
            CHECK_EQ(keys_.back()->SetString("InstallLocation", registration.install_location), ERROR_SUCCESS);
        }
    }

private:
    std::vector<std::unique_ptr<ScopedRegistryKey>> keys_;
};

// Installed program folders: two with long names, so that their short forms differ.
struct ProgramFolders {
    ScopedTempFolder temp;
    const std::string first = temp / "Foo Player Folder";
    const std::string second = temp / "Second Program Folder";
    ProgramFolders() {
        CHECK(CreateDirectories(first));
        CHECK(CreateDirectories(second));
    }
};

std::string ShortForm(const std::string& path) {
    char buffer[MAX_PATH] = {};
    CHECK(GetShortPathNameA(path.c_str(), buffer, MAX_PATH) > 0);
    return buffer;
}

StringList Found(const StringList& records, StringList output = {}) {
    FindInstallPaths(records, output, RegistryView::kDefault);
    return output;
}

}  // namespace

TEST(DiscoveryProposesTheFolderOfTheFirstMatchingRegistration) {
    const ProgramFolders folders;
    const std::string missing = "C:\\KestruneMissing-" + std::to_string(GetCurrentProcessId()) + "\\Foo";
    const std::string network = "\\\\server\\share\\" + Tag();
    const std::string upper_case_first = UpperCased(folders.first);
    const struct {
        const char* what;
        std::vector<Registration> registrations;
        StringList records;
        StringList expected;
    } cases[] = {
        {"a drive root proposes nothing, and the later registration is not tried",
         {{Named("Drive"), "C:\\"}, {Named("Drive Tool"), folders.first}},
         {"k|" + Named("Drive Tool")},
         {}},
        {"an empty location is ignored, so a later registration of that name matches",
         {{Named("Empty"), " \t "}, {Named("Empty"), folders.first}},
         {"k|" + Named("Empty")},
         {folders.first}},
        {"registrations without a display name leave the two lists side by side",
         {{"", folders.second, true}, {"  ", folders.second}, {Named("Aligned"), folders.first}},
         {"k|" + Named("Aligned")},
         {folders.first}},
        {"a location without a drive path is kept as written, trimmed",
         {{Named("Network"), "  " + network + " "}, {Named("Relative"), "Programs\\Foo"}},
         {"k|" + Named("Network"), "k|" + Named("Relative")},
         {network, "Programs\\Foo"}},
        {"a folder that no longer exists proposes nothing and ends the search",
         {{Named("Gone"), missing}, {Named("Gone"), folders.first}},
         {"k|" + Named("Gone")},
         {}},
        {"a drive path is proposed in its long form",
         {{Named("Short"), " " + ShortForm(folders.first) + " "}},
         {"k|" + Named("Short")},
         {folders.first}},
        {"the same folder twice, once in other letter case, is listed once",
         {{Named("One"), folders.first}, {Named("Two"), upper_case_first}},
         {"k|" + Named("One"), "k|" + Named("Two")},
         {folders.first}},
        {"a display name in several records gives its folder once; a record without a name text is passed over",
         {{Named("Multi"), folders.first}},
         {"lonely", "a|" + Named("Multi Suite"), "b|Pro " + Named("Multi") + "|x"},
         {folders.first}},
    };
    for (const auto& c : cases) {
        CONTEXT(c.what);
        const ScopedRegistrations registrations(c.registrations);
        CHECK_EQ(Found(c.records), c.expected);
    }
}

TEST(TheNameTextMustContainTheDisplayName) {
    const ProgramFolders folders;
    const std::string record = "k|" + Named("Foo Player");
    const struct {
        std::string display_name;
        bool matches;
    } cases[] = {
        {Named("Foo"), true},
        {Named("Foo Player"), true},
        {UpperCased(Named("foo player")), true},
        {"  " + Named("foo player") + "  ", true},
        {Named("Foo Player 2"), false},
        {Named("Player Foo"), false},
    };
    for (const auto& c : cases) {
        CONTEXT(c.display_name);
        const ScopedRegistrations registrations({{c.display_name, folders.first}});
        CHECK_EQ(Found({record}), c.matches ? StringList{folders.first} : StringList{});
    }
}

TEST(WindowsInstallerFoldersComeBeforeUninstallFolders) {
    const std::string hive = CurrentUserHive();
    CHECK(!hive.empty());
    const ProgramFolders folders;
    const ScopedRegistrations installer({{Named("Beta"), folders.second}}, hive);
    const ScopedRegistrations uninstall({{Named("Alpha"), folders.first},
                                         {Named("Beta"), UpperCased(folders.second)}});
    const StringList records = {"a|" + Named("Alpha"), "b|" + Named("Beta")};
    // Beta's folder comes first although its record is second, and the uninstall registration
    // of the same folder (in other letter case) adds nothing.
    CHECK_EQ(Found(records), (StringList{folders.second, folders.first}));

    // The output is not emptied first, and what it holds is not added again.
    const StringList kept = {"X:\\Kept", UpperCased(folders.first)};
    StringList expected = kept;
    expected.push_back(folders.second);
    CHECK_EQ(Found(records, kept), expected);
}

TEST(ScansAppendDisplayNamesAndLocationsSideBySide) {
    const std::string hive = CurrentUserHive();
    const ProgramFolders folders;
    const std::string product_without_properties = std::string(kUserDataPath) + "\\" + hive + "\\Products\\" +
                                                   "KestruneTest" + std::to_string(GetCurrentProcessId()) + "-bare";
    const ScopedRegistryKey bare_product(HKEY_LOCAL_MACHINE, product_without_properties);
    const ScopedRegistrations installer({{(" " + Named("Installed") + " "), ShortForm(folders.first)}},
                                        hive);
    const ScopedRegistrations uninstall({{Named("Listed"), "\\\\host\\Listed"}});

    const struct {
        const char* what;
        void (*scan)(const std::string& hive, StringList& names, StringList& locations);
        std::string name;
        std::string location;
    } cases[] = {
        {"Windows Installer, with a hive that does not exist listed first",
         [](const std::string& hive, StringList& names, StringList& locations) {
             ScanInstallerUserData({"NoSuchHive", hive}, names, locations, RegistryView::kDefault);
         },
         Named("Installed"), folders.first},
        {"uninstall keys",
         [](const std::string&, StringList& names, StringList& locations) {
             ScanUninstallKeys(names, locations, RegistryView::kDefault);
         },
         Named("Listed"), "\\\\host\\Listed"},
    };
    for (const auto& c : cases) {
        CONTEXT(c.what);
        StringList names = {"kept"}, locations = {"kept"};
        c.scan(hive, names, locations);
        CHECK_EQ(names.size(), locations.size());
        CHECK_EQ(names.front(), std::string("kept"));
        StringList ours;
        for (std::size_t i = 0; i < names.size() && i < locations.size(); ++i)
            if (names[i].find(Tag()) != std::string::npos) ours = {names[i], locations[i]};
        CHECK_EQ(ours, (StringList{c.name, c.location}));
    }
}

// After Windows Installer and the machine's uninstall keys: a per-user install (HKCU's own
// uninstall key), then a registration without InstallLocation, whose folder is its uninstaller's
// or icon's, but never a protected folder nor anything in the Windows folder.
TEST(PerUserInstallsAndUninstallerFoldersComeAfterTheOtherSources) {
    const ProgramFolders folders;
    const std::string key_name = "KestruneTest" + std::to_string(GetCurrentProcessId());
    const auto registration = [&](HKEY root, const std::string& suffix, const char* value, const std::string& text) {
        auto key = std::make_unique<ScopedRegistryKey>(root, std::string(kUninstallPath) + "\\" + key_name + suffix);
        CHECK_EQ(key->SetString("DisplayName", Named(suffix)), ERROR_SUCCESS);
        CHECK_EQ(key->SetString(value, text), ERROR_SUCCESS);
        return key;
    };
    const auto per_user = registration(HKEY_CURRENT_USER, "Gamma", "InstallLocation", folders.second);
    const auto by_uninstaller =
        registration(HKEY_LOCAL_MACHINE, "Delta", "UninstallString", "\"" + folders.first + "\\uninst.exe\" /S");
    const auto in_windows = registration(HKEY_LOCAL_MACHINE, "Epsilon", "UninstallString", "C:\\windows\\unins000.exe");
    const auto installer_cache =
        registration(HKEY_LOCAL_MACHINE, "Zeta", "DisplayIcon", "C:\\windows\\Installer\\{1234}\\icon.exe,0");
    const auto by_msiexec = registration(HKEY_LOCAL_MACHINE, "Eta", "UninstallString", "MsiExec.exe /X{1234}");
    const auto at_a_root = registration(HKEY_LOCAL_MACHINE, "Theta", "DisplayIcon", "C:\\setup.exe");

    StringList records;
    for (const char* name : {"Delta", "Gamma", "Epsilon", "Zeta", "Eta", "Theta"}) records.push_back("k|" + Named(name));
    // Delta's record comes first, but the per-user source is read before the uninstaller folders.
    CHECK_EQ(Found(records), (StringList{folders.second, folders.first}));
}
