#include <windows.h>

#include <algorithm>

#include "check.h"
#include "registry_fixture.h"
#include "registry_items.h"
#include "shared_location_keys.h"
#include "text_rules.h"

namespace {

const RegistryView kViews[] = {RegistryView::kDefault, RegistryView::k64Bit};
const char kSharedDllsPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
const char kInstallerFoldersPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders";

// Another machine's user: the records of the database carry whatever user they were written for.
const char kForeignSid[] = "S-1-5-21-1111111111-2222222222-3333333333-1001";

std::string ViewName(RegistryView view) { return view == RegistryView::k64Bit ? "64-bit view" : "default view"; }

// A key with a value "Name", another value "Other", a default value, and sub-keys two levels down.
void FillKey(const ScopedTestKey& test_key, const std::string& sub_path) {
    CHECK_EQ(test_key.SetString(sub_path, "Name", "n"), ERROR_SUCCESS);
    CHECK_EQ(test_key.SetString(sub_path, "Other", "o"), ERROR_SUCCESS);
    CHECK_EQ(test_key.SetString(sub_path, "", "default"), ERROR_SUCCESS);
    for (const char* below : {"\\A", "\\A\\Deeper\\Deepest", "\\B", "\\C"})
        CHECK_EQ(test_key.SetString(sub_path + below, "v", "x"), ERROR_SUCCESS);
}

}  // namespace

TEST(ExistenceOfDatabaseRecords) {
    const ScopedTestKey test_key(HKEY_LOCAL_MACHINE, "SOFTWARE");
    FillKey(test_key, "App");
    CHECK_EQ(test_key.CreateKey("NoDefault"), ERROR_SUCCESS);
    CHECK_EQ(test_key.CreateKey("Protected\\currentversion\\shareddlls\\Entry"), ERROR_SUCCESS);
    const std::string app = "K|HKLM|" + test_key / "App";
    const struct {
        std::string record;
        bool exists;
    } cases[] = {
        {app, true},
        {app + "|", true},  // a trailing bar names the key
        {app + "\\", true},
        {app + "\\A\\Deeper", true},
        {app + "|Name", true},
        {app + "|name", true},        // value names are not case-sensitive in the registry
        {app + "| Name\t", true},     // the value field is trimmed
        {app + "|\" Name \"", true},  // and unquoted
        {app + "|\"\"", true},        // the default value
        {"K|HKLM|" + test_key / "NoDefault|\"\"", false},
        {app + "|Missing", false},
        {app + "Missing", false},
        {"K|HKLM|" + test_key / "Protected\\currentversion\\shareddlls\\Entry", false},
        {"K|HKLM", false},                    // key text and root only
        {"HKLM|" + test_key / "App", false},  // an item is no record: its root field is the key path
        {"K|hklm|" + test_key / "App", false},
        {"K|HKCC|" + test_key / "App", false},
        {app + "|Name|extra", false},
        {"K|HKLM|\\", false},
        {"", false},
    };
    for (const RegistryView view : kViews) {
        for (const auto& c : cases) {
            CONTEXT(ViewName(view) + " " + check::Quote(c.record));
            CHECK_EQ(RegistryItemExists(c.record, view), c.exists);
        }
    }
}

TEST(SharedDllsItemsAreNeverPresentNorDeleted) {
    // A real reference count in the system's own key, in any letter case of the path.
    const std::string dll = "C:\\KestruneTest-" + std::to_string(GetCurrentProcessId()) + ".dll";
    const ScopedRegistryValue count(HKEY_LOCAL_MACHINE, kSharedDllsPath, dll, "1");
    const std::string path_cases[] = {
        kSharedDllsPath,
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SHAREDDLLS",
        "software\\microsoft\\windows\\currentversion\\shareddlls",
    };
    for (const RegistryView view : kViews) {
        for (const std::string& path : path_cases) {
            CONTEXT(ViewName(view) + " " + path);
            CHECK(ValueExists(HKEY_LOCAL_MACHINE, path, dll));
            CHECK(!RegistryItemExists("K|HKLM|" + path + "|" + dll, view));
            CHECK(!DeleteRegistryItem("HKLM|" + path + "|" + dll, view));
            CHECK(ValueExists(HKEY_LOCAL_MACHINE, kSharedDllsPath, dll));
        }
    }

    // A key below such a path: the whole key would go with it.
    const ScopedTestKey test_key(HKEY_LOCAL_MACHINE, "SOFTWARE");
    const std::string protected_key = test_key / "CurrentVersion\\SharedDlls\\Entry";
    CHECK_EQ(test_key.SetString("CurrentVersion\\SharedDlls\\Entry", "v", "x"), ERROR_SUCCESS);
    for (const RegistryView view : kViews) {
        CONTEXT(ViewName(view));
        CHECK(!DeleteRegistryItem("HKLM|" + protected_key, view));
        CHECK(!DeleteRegistryItem("HKLM|" + protected_key + "|v", view));
        CHECK(ValueExists(HKEY_LOCAL_MACHINE, protected_key, "v"));
    }

    // Nor is a key above the reference counts deleted: they would go with it.
    for (const RegistryView view : kViews) {
        for (const char* holder : {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "software\\MICROSOFT\\",
                                   "SOFTWARE"}) {
            CONTEXT(ViewName(view) + " " + holder);
            CHECK(!DeleteRegistryItem(std::string("HKLM|") + holder, view));
            CHECK(ValueExists(HKEY_LOCAL_MACHINE, kSharedDllsPath, dll));
        }
    }
}

TEST(DeletingAKeyRemovesEverythingBelowIt) {
    for (const RegistryView view : kViews) {
        for (const char* ending : {"", "|", "\\"}) {
            CONTEXT(ViewName(view) + " item ending " + check::Quote(ending));
            const ScopedTestKey test_key(HKEY_LOCAL_MACHINE, "SOFTWARE");
            FillKey(test_key, "App");
            CHECK_EQ(test_key.SetString("Sibling", "v", "x"), ERROR_SUCCESS);
            CHECK(DeleteRegistryItem("HKLM|" + test_key / "App" + ending, view));
            CHECK(!test_key.KeyExists("App"));
            CHECK(ValueExists(HKEY_LOCAL_MACHINE, test_key / "Sibling", "v"));
        }
    }
}

TEST(DeletingAValueLeavesTheKeyAndItsOtherValues) {
    const struct {
        const char* value_field;
        const char* deleted;
    } cases[] = {
        {"Name", "Name"},
        {" name ", "Name"},
        {"\"Name\"", "Name"},
        {"\"\"", ""},  // the default value
    };
    for (const RegistryView view : kViews) {
        for (const auto& c : cases) {
            CONTEXT(ViewName(view) + " " + check::Quote(c.value_field));
            const ScopedTestKey test_key(HKEY_LOCAL_MACHINE, "SOFTWARE");
            FillKey(test_key, "App");
            const std::string app = test_key / "App";
            CHECK(DeleteRegistryItem("HKLM|" + app + "|" + c.value_field, view));
            CHECK(!ValueExists(HKEY_LOCAL_MACHINE, app, c.deleted));
            for (const char* kept : {"Name", "Other", ""})
                if (std::string(kept) != c.deleted) CHECK(ValueExists(HKEY_LOCAL_MACHINE, app, kept));
            CHECK(test_key.KeyExists("App\\A\\Deeper\\Deepest"));
        }
    }
}

TEST(DeletionSaysWhetherTheItemIsGone) {
    const ScopedTestKey test_key(HKEY_LOCAL_MACHINE, "SOFTWARE");
    FillKey(test_key, "App");
    const std::string app = test_key / "App";
    const struct {
        std::string item;
        bool gone;
    } cases[] = {
        // Not there to begin with: gone.
        {"HKLM|" + test_key / "Missing", true},
        {"HKLM|" + test_key / "Missing\\Deeper", true},
        {"HKLM|" + test_key / "Missing|Name", true},
        {"HKLM|" + app + "|Missing", true},
        // Malformed: nothing deleted.
        {"HKLM|" + app + "|Name|extra", false},  // four fields
        {"hklm|" + app, false},
        {"HKEY_LOCAL_MACHINE|" + app, false},
        {"HKLM", false},
        {"HKLM|\\", false},
        {"", false},
    };
    for (const RegistryView view : kViews) {
        for (const auto& c : cases) {
            CONTEXT(ViewName(view) + " " + check::Quote(c.item));
            CHECK_EQ(DeleteRegistryItem(c.item, view), c.gone);
            CHECK(ValueExists(HKEY_LOCAL_MACHINE, app, "Name"));
            CHECK(test_key.KeyExists("App\\A\\Deeper\\Deepest"));
        }
    }
}

TEST(DeletionTheSystemRefusesIsReportedAsFailure) {
    // Wine lets a key be deleted whatever its access list says, but it does refuse to open a key
    // with full access when the list does not grant it, and the deletion opens with full access.
    for (const RegistryView view : kViews) {
        CONTEXT(ViewName(view));
        const ScopedTestKey test_key(HKEY_LOCAL_MACHINE, "SOFTWARE");
        FillKey(test_key, "App");
        CHECK_EQ(test_key.SetString("App\\B\\Locked", "v", "x"), ERROR_SUCCESS);
        const ScopedFullAccessRefusal refusal(HKEY_LOCAL_MACHINE, test_key / "App\\B\\Locked");
        // The existence test asks for full access too in the default view, for reading only in the
        // 64-bit view.
        CHECK_EQ(RegistryItemExists("K|HKLM|" + test_key / "App\\B\\Locked", view), view == RegistryView::k64Bit);

        CHECK(!DeleteRegistryItem("HKLM|" + test_key / "App\\B\\Locked|v", view));
        CHECK(ValueExists(HKEY_LOCAL_MACHINE, test_key / "App\\B\\Locked", "v"));
        CHECK(!DeleteRegistryItem("HKLM|" + test_key / "App\\B\\Locked", view));
        CHECK(test_key.KeyExists("App\\B\\Locked"));
    }

    // In the default view a refused sub-key is passed over: everything else goes, and the keys
    // above the refused one stay.
    const ScopedTestKey test_key(HKEY_LOCAL_MACHINE, "SOFTWARE");
    FillKey(test_key, "App");
    CHECK_EQ(test_key.SetString("App\\B\\Locked", "v", "x"), ERROR_SUCCESS);
    const ScopedFullAccessRefusal refusal(HKEY_LOCAL_MACHINE, test_key / "App\\B\\Locked");
    CHECK(!DeleteRegistryItem("HKLM|" + test_key / "App", RegistryView::kDefault));
    CHECK(test_key.KeyExists("App\\B\\Locked"));
    CHECK(!test_key.KeyExists("App\\A") && !test_key.KeyExists("App\\C"));
}

TEST(UserPathsAreFittedToTheLocalHive) {
    const std::string hive = CurrentUserHive();
    CHECK(!hive.empty());
    const ScopedTestKey user_key(HKEY_USERS, hive + "\\Software");
    const std::string in_hive = user_key.Path().substr(hive.size() + 1);  // Software\KestruneTest-n
    const std::string relative = in_hive + "\\App";
    FillKey(user_key, "App");

    const struct {
        std::string path;
        std::string fitted;
    } cases[] = {
        {std::string(kForeignSid) + "\\" + relative, hive + "\\" + relative},
        {hive + "\\" + relative, hive + "\\" + relative},
        // Whatever the first name is, once the path holds "S-"; separators are normalised.
        {"S-\\\\" + relative + "\\", hive + "\\" + relative},
        // No local hive has the key: unchanged, as written.
        {std::string(kForeignSid) + "\\" + relative + "\\\\Missing\\",
         std::string(kForeignSid) + "\\" + relative + "\\\\Missing\\"},
        // No "S-" (case-sensitive): tested as written, though the user's hive has the key.
        {"NoSuchHive\\" + relative, "NoSuchHive\\" + relative},
        {"s-1-5-21-1\\" + relative, "s-1-5-21-1\\" + relative},
    };
    for (const RegistryView view : kViews) {
        for (const REGSAM trial : {REGSAM{KEY_QUERY_VALUE}, REGSAM{KEY_ALL_ACCESS}}) {
            const REGSAM access = trial | (view == RegistryView::k64Bit ? KEY_WOW64_64KEY : 0);
            for (const auto& c : cases) {
                CONTEXT(ViewName(view) + " " + c.path);
                CHECK_EQ(RetargetUserSid(c.path, view, access), c.fitted);
                const bool found = c.fitted.compare(0, hive.size(), hive) == 0;
                CHECK_EQ(RegistryItemExists("K|HKU|" + c.path, view), found);
                CHECK_EQ(RegistryItemExists("K|HKU|" + c.path + "|Name", view), found);
            }
        }
    }

    // The deletion fits the path again: the items are removed under the local hive.
    for (const RegistryView view : kViews) {
        CONTEXT(ViewName(view));
        const std::string item = "HKU|" + std::string(kForeignSid) + "\\" + relative;
        FillKey(user_key, "App");
        CHECK(DeleteRegistryItem(item + "|Name", view));
        CHECK(!ValueExists(HKEY_USERS, user_key / "App", "Name"));
        CHECK(ValueExists(HKEY_USERS, user_key / "App", "Other"));
        CHECK(DeleteRegistryItem(item, view));
        CHECK(!user_key.KeyExists("App"));
    }

    // A key under the local hive that refuses full access is passed over by the deletion's fitting,
    // but it is still there, and the deletion says so.
    CHECK_EQ(user_key.SetString("Locked", "v", "x"), ERROR_SUCCESS);
    const ScopedFullAccessRefusal refusal(HKEY_USERS, user_key / "Locked");
    for (const RegistryView view : kViews) {
        CONTEXT(ViewName(view));
        CHECK(!DeleteRegistryItem("HKU|" + std::string(kForeignSid) + "\\" + in_hive + "\\Locked", view));
        CHECK(user_key.KeyExists("Locked"));
    }
}

TEST(InstallerFoldersAreFoundForTheFolderAndItsParents) {
    const std::string base = "C:\\KestruneTest-" + std::to_string(GetCurrentProcessId());
    const std::string bar = base + "\\Foo\\Bar\\";
    const std::string foo = base + "\\Foo\\";
    const std::string other = base + "\\Other\\";
    const ScopedRegistryValue bar_value(HKEY_LOCAL_MACHINE, kInstallerFoldersPath, bar, "");
    const ScopedRegistryValue foo_value(HKEY_LOCAL_MACHINE, kInstallerFoldersPath, foo, "");
    const ScopedRegistryValue other_value(HKEY_LOCAL_MACHINE, kInstallerFoldersPath, other, "");
    const ScopedRegistryValue spaced_value(HKEY_LOCAL_MACHINE, kInstallerFoldersPath, " " + base + "\\Spaced\\ ", "");
    const auto item = [](const std::string& folder) {
        return std::string("HKLM|") + kInstallerFoldersPath + "|" + folder;
    };

    const struct {
        const char* what;
        StringList directories;
        StringList expected;  // as a set: the order is the system's order of the values
    } cases[] = {
        {"a folder and the folders below it", {base + "\\Foo"}, {item(bar), item(foo)}},
        {"the folder itself, in other letter case",
         {" c:\\kestrunetest-" + std::to_string(GetCurrentProcessId()) + "\\foo\\bar "},
         {item(bar)}},
        {"a value matched by two directories is added once",
         {base + "\\Foo", base + "\\Foo\\Bar"},
         {item(bar), item(foo)}},
        {"a folder below the value's folder does not match it", {bar + "Baz"}, {}},
        {"the value name is trimmed", {base + "\\Spaced"}, {item(base + "\\Spaced\\")}},
        {"a value already in the output, in other letter case, is not added again", {base + "\\Other"}, {}},
        {"no directories", {}, {}},
    };
    for (const RegistryView view : kViews) {
        for (const auto& c : cases) {
            CONTEXT(ViewName(view) + " " + c.what);
            StringList output = {"kept", UpperCased(item(other))};
            ScanInstallerFolders(c.directories, output, view);
            CHECK_EQ(output.size(), 2 + c.expected.size());
            CHECK_EQ(StringList(output.begin(), output.begin() + 2), (StringList{"kept", UpperCased(item(other))}));
            for (const std::string& expected : c.expected)
                CHECK(std::find(output.begin(), output.end(), expected) != output.end());
        }
    }

    // What the scan reports, the deletion removes.
    StringList found;
    ScanInstallerFolders({base + "\\Other"}, found, RegistryView::kDefault);
    CHECK_EQ(found, StringList{item(other)});
    CHECK(DeleteRegistryItem(found.front(), RegistryView::kDefault));
    CHECK(!ValueExists(HKEY_LOCAL_MACHINE, kInstallerFoldersPath, other));
    CHECK(ValueExists(HKEY_LOCAL_MACHINE, kInstallerFoldersPath, foo));
}
