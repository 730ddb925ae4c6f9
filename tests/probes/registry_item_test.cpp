#include "check.h"
#include "registry_item.h"

namespace {

struct ItemCase {
    std::string text;
    RegistryItemFault fault;
    HKEY root;
    std::string key_path;
    bool names_value;
    std::string value_name;
};

// An item that no case produces, to show that a failed parse leaves its output alone.
RegistryItem Untouched() {
    RegistryItem item;
    item.root_text = "untouched";
    item.key_path = "untouched";
    return item;
}

void CheckItem(const RegistryItem& item, const ItemCase& c) {
    if (c.fault != RegistryItemFault::kNone) {
        CHECK_EQ(item.root_text, std::string("untouched"));
        CHECK_EQ(item.key_path, std::string("untouched"));
        return;
    }
    CHECK(item.root == c.root);
    const RegistryRoot* root = FindRegistryRoot(item.root_text);
    CHECK(root && root->key == c.root);
    CHECK_EQ(item.key_path, c.key_path);
    CHECK_EQ(item.names_value, c.names_value);
    CHECK_EQ(item.value_name, c.value_name);
}

const RegistryItemFault kNone = RegistryItemFault::kNone;
const RegistryItemFault kMissingKeyPath = RegistryItemFault::kMissingKeyPath;
const RegistryItemFault kUnknownRoot = RegistryItemFault::kUnknownRoot;
const RegistryItemFault kTooManyFields = RegistryItemFault::kTooManyFields;

}  // namespace

TEST(RegistryItemsParseByTheNotation) {
    const HKEY hklm = HKEY_LOCAL_MACHINE;
    const ItemCase cases[] = {
        // The empty field vanishes, so B is the value name.
        {"HKLM|SOFTWARE\\A||B", kNone, hklm, "SOFTWARE\\A", true, "B"},
        // A trailing bar names the key, not a value.
        {"HKLM|SOFTWARE\\A|", kNone, hklm, "SOFTWARE\\A", false, ""},
        // Two double quotes: the default value.
        {"HKLM|SOFTWARE\\A|\"\"", kNone, hklm, "SOFTWARE\\A", true, ""},
        // Quotes keep a bar inside the value name; they go after the split.
        {"HKCU|Software\\A|\"x|y\"", kNone, HKEY_CURRENT_USER, "Software\\A", true, "x|y"},
        {"HKLM|A|\" spaced name \"", kNone, hklm, "A", true, "spaced name"},
        {"HKLM|A| \"x\" ", kNone, hklm, "A", true, "\"x\""},  // not enclosed: the quotes stay
        {"HKLM|A|\"", kNone, hklm, "A", true, ""},             // one quote is first and last: blank
        {"HKLM|A| name\t", kNone, hklm, "A", true, "name"},
        {"HKLM| SOFTWARE\\A ", kNone, hklm, " SOFTWARE\\A ", false, ""},  // the key path is as written
        {"HKU|S-1-5-21-7\\Software\\X|v", kNone, HKEY_USERS, "S-1-5-21-7\\Software\\X", true, "v"},
        {"HKCR|CLSID\\{00000000-0000-0000-0000-000000000001}", kNone, HKEY_CLASSES_ROOT,
         "CLSID\\{00000000-0000-0000-0000-000000000001}", false, ""},
        {"HKLM|SOFTWARE\\软件\\组件|名称", kNone, hklm, "SOFTWARE\\软件\\组件", true, "名称"},
        // A double-byte character whose trail byte is "|" does not end the key path.
        {"HKLM|SOFTWARE\\\x81|A|v", kNone, hklm, "SOFTWARE\\\x81|A", true, "v"},
        // Root texts are case-sensitive whole fields.
        {"hklm|SOFTWARE\\A", kUnknownRoot, nullptr, "", false, ""},
        {"Hkcu|Software", kUnknownRoot, nullptr, "", false, ""},
        {" HKLM|SOFTWARE", kUnknownRoot, nullptr, "", false, ""},
        {"HKEY_LOCAL_MACHINE|SOFTWARE", kUnknownRoot, nullptr, "", false, ""},
        {"HKLM", kMissingKeyPath, nullptr, "", false, ""},
        {"|HKLM||", kMissingKeyPath, nullptr, "", false, ""},
        {"", kMissingKeyPath, nullptr, "", false, ""},
        {"HKLM|A|B|C", kTooManyFields, nullptr, "", false, ""},
        {"HKLM|SOFTWARE\\Classes\\CLSID\\{X}|\"a|b\"|c", kTooManyFields, nullptr, "", false, ""},
    };
    for (const ItemCase& c : cases) {
        CONTEXT(check::Quote(c.text));
        RegistryItem item = Untouched();
        RegistryItemFault fault = c.fault == kNone ? kUnknownRoot : kNone;  // shows it is written
        CHECK_EQ(ParseRegistryItem(c.text, item, &fault), c.fault == kNone);
        CHECK_EQ(fault, c.fault);
        CheckItem(item, c);
        CHECK_EQ(ParseRegistryItem(c.text, item), c.fault == kNone);  // the fault is optional
    }
}

TEST(DatabaseRecordsCarryTheProgramKeyFirst) {
    const ItemCase cases[] = {
        {"K1|HKLM|SOFTWARE\\A|\"\"", kNone, HKEY_LOCAL_MACHINE, "SOFTWARE\\A", true, ""},
        {"K1||HKCU|Software\\A|", kNone, HKEY_CURRENT_USER, "Software\\A", false, ""},
        {"K1|HKLM", kMissingKeyPath, nullptr, "", false, ""},
        {"K1", kMissingKeyPath, nullptr, "", false, ""},
        {"K1|hkcu|Software", kUnknownRoot, nullptr, "", false, ""},
        {"HKLM|SOFTWARE\\A|B", kUnknownRoot, nullptr, "", false, ""},  // an item is not a record
        {"K1|HKLM|A|B|C", kTooManyFields, nullptr, "", false, ""},
    };
    for (const ItemCase& c : cases) {
        CONTEXT(check::Quote(c.text));
        RegistryItem item = Untouched();
        std::string program_key = "untouched";
        RegistryItemFault fault = c.fault == kNone ? kUnknownRoot : kNone;
        CHECK_EQ(ParseRegistryRecord(c.text, program_key, item, &fault), c.fault == kNone);
        CHECK_EQ(fault, c.fault);
        CHECK_EQ(program_key, std::string(c.fault == kNone ? "K1" : "untouched"));
        CheckItem(item, c);
    }
}

TEST(RootsNameTheirKeyAndTheRegistryEditorsName) {
    const struct {
        const char* text;
        HKEY key;
        const char* editor_name;
    } cases[] = {
        {"HKLM", HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
        {"HKCU", HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
        {"HKU", HKEY_USERS, "HKEY_USERS"},
        {"HKCR", HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
    };
    for (const auto& c : cases) {
        CONTEXT(c.text);
        const RegistryRoot* root = FindRegistryRoot(c.text);
        CHECK(root && root->key == c.key);
        CHECK(root && std::string(root->editor_name) == c.editor_name);
    }
    for (const char* unknown : {"", "hkcu", "HKCC", "HKLM ", "HKEY_USERS"}) {
        CONTEXT(unknown);
        CHECK(FindRegistryRoot(unknown) == nullptr);
    }
}
