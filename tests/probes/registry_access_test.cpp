#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>

#include <algorithm>
#include <iterator>
#include <map>

#include "check.h"
#include "matching.h"
#include "registry_access.h"
#include "registry_fixture.h"
#include "registry_item.h"
#include "user_sids.h"

namespace {

// "7kkk...": a name of length bytes that tells its length by its first character.
std::string NameOfLength(std::size_t length, char fill) {
    std::string name(length, fill);
    name[0] = static_cast<char>('0' + length % 10);
    return name;
}

// A name of count double-byte characters (two bytes each).
std::string ChineseNameOfCount(std::size_t count) {
    std::string name;
    for (std::size_t i = 0; i < count; ++i) name += "键";
    return name;
}

StringList SortedNames(StringList names) {
    std::sort(names.begin(), names.end());
    return names;
}

// The names a walk visits, in order.
StringList WalkedNames(bool (*walk)(HKEY, const std::string&, RegistryView, const KeyWalkVisitor&), HKEY root,
                       const std::string& path) {
    StringList names;
    CHECK(walk(root, path, RegistryView::kDefault, [&names](const RegistryKey& base, const std::string& name) {
        CHECK(base.IsOpen());
        names.push_back(name);
    }));
    return names;
}

std::string CurrentUserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::string();
    BYTE buffer[256];
    DWORD length = 0;
    std::string sid;
    if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &length)) {
        char* text = nullptr;
        if (ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text)) {
            sid = text;
            LocalFree(text);
        }
    }
    CloseHandle(token);
    return sid;
}

}  // namespace

TEST(The64BitViewAddsTheWow64KeyToEachMask) {
    const struct {
        RegistryView view;
        REGSAM full, query;
    } cases[] = {
        {RegistryView::kDefault, KEY_ALL_ACCESS, KEY_QUERY_VALUE},
        {RegistryView::k64Bit, KEY_ALL_ACCESS | KEY_WOW64_64KEY, KEY_QUERY_VALUE | KEY_WOW64_64KEY},
    };
    for (const auto& c : cases) {
        CONTEXT(c.view == RegistryView::k64Bit ? "64-bit view" : "default view");
        CHECK_EQ(FullAccessMask(c.view), c.full);
        CHECK_EQ(QueryAccessMask(c.view), c.query);
    }
}

TEST(BaseKeysOpenWithTheViewsMask) {
    ScopedTestKey test(HKEY_LOCAL_MACHINE, "SOFTWARE");
    CHECK_EQ(test.CreateKey("Base"), ERROR_SUCCESS);
    const struct {
        HKEY root;
        std::string path;
        RegistryView view;
        bool opens;
    } cases[] = {
        {HKEY_LOCAL_MACHINE, test / "Base", RegistryView::kDefault, true},
        // On 32-bit Windows the 64-bit view is accepted and changes nothing.
        {HKEY_LOCAL_MACHINE, test / "Base", RegistryView::k64Bit, true},
        {HKEY_LOCAL_MACHINE, test / "Base\\", RegistryView::kDefault, true},  // a trailing "\" is accepted
        {HKEY_USERS, "", RegistryView::kDefault, true},                       // the root itself
        {HKEY_LOCAL_MACHINE, test / "Missing", RegistryView::kDefault, false},
        {HKEY_CURRENT_USER, test / "Base", RegistryView::kDefault, false},  // another root
    };
    for (const auto& c : cases) {
        CONTEXT(c.path + (c.view == RegistryView::k64Bit ? " in the 64-bit view" : ""));
        RegistryKey key;
        const LONG status = OpenBaseKey(key, c.root, c.path, c.view);
        CHECK_EQ(status == ERROR_SUCCESS, c.opens);
        CHECK_EQ(key.IsOpen(), c.opens);
    }
}

TEST(EnumeratedNamesFitA255ByteBufferOrComeBackEmpty) {
    ScopedTestKey test(HKEY_CURRENT_USER, "Software");
    // Names of 254 bytes fit with their terminating zero; 255 bytes and more do not, and
    // the system leaves a cut-off part in the buffer that must not pass for a name.
    const std::string names[] = {
        NameOfLength(254, 'k'), NameOfLength(255, 'k'), NameOfLength(256, 'k'), NameOfLength(300, 'k'),
        ChineseNameOfCount(127),  // 254 bytes
        ChineseNameOfCount(128),  // 256 bytes
    };
    StringList fitting_keys, fitting_values;
    for (const std::string& name : names) {
        CONTEXT("name of " + std::to_string(name.size()) + " bytes");
        const bool fits = name.size() <= 254;
        // The registry refuses key names beyond its own limit; value names may be longer.
        const LONG created = test.CreateKey("Keys\\" + name);
        if (fits) CHECK_EQ(created, ERROR_SUCCESS);
        if (created == ERROR_SUCCESS && fits) fitting_keys.push_back(name);
        CHECK_EQ(test.SetString("Values", name, "data"), ERROR_SUCCESS);
        if (fits) fitting_values.push_back(name);
    }

    RegistryKey keys, values;
    CHECK_EQ(OpenBaseKey(keys, HKEY_CURRENT_USER, test / "Keys", RegistryView::kDefault), ERROR_SUCCESS);
    CHECK_EQ(OpenBaseKey(values, HKEY_CURRENT_USER, test / "Values", RegistryView::kDefault), ERROR_SUCCESS);
    CHECK(CountSubKeys(keys) >= 3);  // 254, 255 and the Chinese names at least
    CHECK_EQ(CountValues(values), static_cast<DWORD>(std::size(names)));

    StringList enumerated_keys, enumerated_values;
    for (DWORD index = 0; index < CountSubKeys(keys); ++index) {
        const std::string name = SubKeyNameAt(keys, index);
        if (!name.empty()) enumerated_keys.push_back(name);
    }
    for (DWORD index = 0; index < CountValues(values); ++index) {
        const std::string name = ValueNameAt(values, index);
        if (!name.empty()) enumerated_values.push_back(name);
    }
    CHECK_EQ(SortedNames(enumerated_keys), SortedNames(fitting_keys));
    CHECK_EQ(SortedNames(enumerated_values), SortedNames(fitting_values));
    CHECK_EQ(SortedNames(WalkedNames(WalkSubKeyNames, HKEY_CURRENT_USER, test / "Keys")), SortedNames(fitting_keys));
    CHECK_EQ(SortedNames(WalkedNames(WalkValueNames, HKEY_CURRENT_USER, test / "Values")),
             SortedNames(fitting_values));

    // Beyond the last index the enumeration fails: empty.
    CHECK_EQ(SubKeyNameAt(keys, CountSubKeys(keys)), std::string());
    CHECK_EQ(ValueNameAt(values, CountValues(values)), std::string());
    // A key that is not open counts nothing and names nothing.
    RegistryKey closed;
    CHECK_EQ(CountSubKeys(closed), 0u);
    CHECK_EQ(CountValues(closed), 0u);
    CHECK_EQ(SubKeyNameAt(closed, 0), std::string());
}

TEST(ValuesReadAsTextUpToTheirFirstZeroByte) {
    ScopedTestKey test(HKEY_CURRENT_USER, "Software");
    const std::string long_text(1000, 'L');
    const struct {
        const char* name;
        DWORD type;
        std::string data;
        std::string text;
    } cases[] = {
        {"", REG_SZ, std::string("default\0", 8), "default"},
        {"String", REG_SZ, std::string("alpha\0", 6), "alpha"},
        {"Chinese", REG_SZ, std::string("软件名称\0", 9), "软件名称"},
        {"Expand", REG_EXPAND_SZ, std::string("%TEMP%\\x\0", 9), "%TEMP%\\x"},
        {"Empty", REG_SZ, std::string("\0", 1), ""},
        {"Dword", REG_DWORD, std::string("CBA\0", 4), "CBA"},
        {"Binary", REG_BINARY, std::string("ab\0cd", 5), "ab"},
        {"Multi", REG_MULTI_SZ, std::string("one\0two\0\0", 9), "one"},
        // The buffer holds 255 bytes: these fit, end exactly there, or go beyond and are read whole.
        {"Text254", REG_SZ, std::string(254, 'x') + '\0', std::string(254, 'x')},
        {"Text255", REG_SZ, std::string(255, 'y') + '\0', std::string(255, 'y')},
        {"Binary255", REG_BINARY, std::string(255, 'b'), std::string(255, 'b')},  // no zero at all
        {"Binary256", REG_BINARY, std::string(256, 'c'), std::string(256, 'c')},
        {"Long", REG_SZ, long_text + '\0', long_text},
    };
    for (const auto& c : cases) {
        CONTEXT(c.name);
        CHECK_EQ(test.SetValue("Values", c.name, c.type, c.data), ERROR_SUCCESS);
        RegistryKey key;
        CHECK_EQ(OpenBaseKey(key, HKEY_CURRENT_USER, test / "Values", RegistryView::kDefault), ERROR_SUCCESS);
        CHECK(HasValue(key, c.name));
        std::string text = "left over";
        CHECK(ReadValueText(key, c.name, text));
        CHECK_EQ(text, c.text);
    }
}

TEST(AbsentValuesFailTheSizeProbe) {
    ScopedTestKey test(HKEY_CURRENT_USER, "Software");
    CHECK_EQ(test.SetString("Values", "Present", "here"), ERROR_SUCCESS);
    const std::string long_name = NameOfLength(300, 'v');
    CHECK_EQ(test.SetString("Values", long_name, "long name"), ERROR_SUCCESS);
    RegistryKey key;
    CHECK_EQ(OpenBaseKey(key, HKEY_CURRENT_USER, test / "Values", RegistryView::kDefault), ERROR_SUCCESS);
    // Names that cannot be enumerated into the buffer can still be read by name.
    std::string text;
    CHECK(ReadValueText(key, long_name, text));
    CHECK_EQ(text, std::string("long name"));

    for (const std::string& absent : {std::string("Absent"), std::string(""), std::string("Presen"),
                                      NameOfLength(299, 'v')}) {
        CONTEXT(check::Quote(absent));
        CHECK(!HasValue(key, absent));
        std::string unchanged = "unchanged";
        CHECK(!ReadValueText(key, absent, unchanged));
        CHECK_EQ(unchanged, std::string("unchanged"));
    }
    RegistryKey closed;
    CHECK(!HasValue(closed, "Present"));
}

TEST(WalksVisitEachNameWithTheBaseKeyOpen) {
    ScopedTestKey test(HKEY_LOCAL_MACHINE, "SOFTWARE");
    CHECK_EQ(test.SetString("Walk\\Alpha", "Name", "alpha"), ERROR_SUCCESS);
    CHECK_EQ(test.SetString("Walk\\Beta", "Name", "beta"), ERROR_SUCCESS);
    CHECK_EQ(test.SetString("Walk\\软件", "Name", "软件"), ERROR_SUCCESS);
    CHECK_EQ(test.SetString("Walk", "First", "1"), ERROR_SUCCESS);
    CHECK_EQ(test.SetString("Walk", "Second", "2"), ERROR_SUCCESS);

    // A scanner opens each sub-key relative to the base key it is handed.
    std::map<std::string, std::string> found;
    CHECK(WalkSubKeyNames(HKEY_LOCAL_MACHINE, test / "Walk", RegistryView::kDefault,
                          [&found](const RegistryKey& base, const std::string& name) {
                              RegistryKey sub;
                              std::string text;
                              if (sub.Open(base.Get(), name.c_str(), KEY_READ) == ERROR_SUCCESS &&
                                  ReadValueText(sub, "Name", text))
                                  found[name] = text;
                          }));
    const std::map<std::string, std::string> expected = {{"Alpha", "alpha"}, {"Beta", "beta"}, {"软件", "软件"}};
    CHECK(found == expected);
    CHECK_EQ(SortedNames(WalkedNames(WalkValueNames, HKEY_LOCAL_MACHINE, test / "Walk")),
             (StringList{"First", "Second"}));

    // A base key that cannot be opened gives nothing.
    int visits = 0;
    const auto count = [&visits](const RegistryKey&, const std::string&) { ++visits; };
    CHECK(!WalkSubKeyNames(HKEY_LOCAL_MACHINE, test / "Missing", RegistryView::kDefault, count));
    CHECK(!WalkValueNames(HKEY_LOCAL_MACHINE, test / "Missing", RegistryView::kDefault, count));
    CHECK_EQ(visits, 0);
}

TEST(ItemsLocateRealKeysAndValues) {
    ScopedTestKey test(HKEY_LOCAL_MACHINE, "SOFTWARE");
    CHECK_EQ(test.SetString("Item", "x|y", "barred"), ERROR_SUCCESS);
    CHECK_EQ(test.SetString("Item", "", "default"), ERROR_SUCCESS);
    CHECK_EQ(test.SetString("Item", "B", "plain"), ERROR_SUCCESS);
    const std::string key = "HKLM|" + (test / "Item");
    const struct {
        std::string text;
        std::string value;
    } cases[] = {
        {key + "|\"x|y\"", "barred"},
        {key + "|\"\"", "default"},
        {key + "||B", "plain"},
    };
    for (const auto& c : cases) {
        CONTEXT(c.text);
        RegistryItem item;
        CHECK(ParseRegistryItem(c.text, item));
        RegistryKey opened;
        CHECK_EQ(OpenBaseKey(opened, item.root, item.key_path, RegistryView::kDefault), ERROR_SUCCESS);
        std::string text;
        CHECK(ReadValueText(opened, item.value_name, text));
        CHECK_EQ(text, c.value);
    }
}

TEST(EnumUserSidsAddsEveryHiveOnce) {
    const std::string user_sid = CurrentUserSid();
    CHECK(user_sid.compare(0, 2, "S-") == 0);

    // The list is not emptied, and a hive already listed in another letter case is not added.
    std::string listed_sid = user_sid;
    listed_sid[0] = 's';
    StringList hives = {"Earlier entry", listed_sid};
    EnumUserSids(hives, RegistryView::kDefault);
    CHECK_EQ(hives[0], std::string("Earlier entry"));
    CHECK_EQ(hives[1], listed_sid);
    CHECK(std::count(hives.begin(), hives.end(), user_sid) == 0);

    // Every sub-key of HKEY_USERS is there, the default user's hive included, not only SIDs.
    HKEY users = nullptr;
    CHECK_EQ(RegOpenKeyExA(HKEY_USERS, nullptr, 0, KEY_READ, &users), ERROR_SUCCESS);
    char name[256];
    DWORD hive_count = 0;
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(users, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        CONTEXT(name);
        CHECK(std::find(hives.begin(), hives.end(), std::string(name)) != hives.end() ||
              std::string(name) == user_sid);
        ++hive_count;
    }
    RegCloseKey(users);
    CHECK_EQ(hives.size(), hive_count + 1);  // with "Earlier entry"; the user's SID was listed already
    CHECK(IsListedIn(hives, ".DEFAULT"));

    // A second run adds nothing; nor does the 64-bit view, which is the same here.
    const StringList first_run = hives;
    EnumUserSids(hives, RegistryView::kDefault);
    EnumUserSids(hives, RegistryView::k64Bit);
    CHECK_EQ(hives, first_run);

    StringList fresh;
    EnumUserSids(fresh, RegistryView::kDefault);
    CHECK_EQ(fresh.size(), static_cast<std::size_t>(hive_count));
    CHECK(std::find(fresh.begin(), fresh.end(), user_sid) != fresh.end());
}
