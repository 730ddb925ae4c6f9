#include <optional>
#include <string>

#include "check.h"
#include "regedit_jump.h"

namespace {

// A keystroke list as one readable line: typed bytes as they are, keys in brackets, and the
// pause after a message as "+ms".
std::string Render(const RegEditKeystrokes& strokes) {
    std::string text;
    for (const RegEditKeystroke& stroke : strokes) {
        if (stroke.message == WM_CHAR) {
            text += static_cast<char>(stroke.key);
        } else if (stroke.message == WM_KEYDOWN) {
            text += stroke.key == VK_LEFT ? "[Left]" : stroke.key == VK_RIGHT ? "[Right]" : stroke.key == VK_DOWN ? "[Down]" : "[?]";
        } else {
            text += "[message " + std::to_string(stroke.message) + "]";
        }
        if (stroke.pause_after_ms) text += "+" + std::to_string(stroke.pause_after_ms);
    }
    return text;
}

// Every walk starts at the top of the tree: 29 Left keys, the 30th with the pause, then the
// top node is opened.
std::string TopOfTree() {
    std::string text;
    for (int i = 0; i < 29; ++i) text += "[Left]";
    return text + "[Left]+300[Right]+300";
}

}  // namespace

TEST(RootAbbreviationsMapExactly) {
    const struct {
        const char* root;
        const char* full;
    } cases[] = {
        {"HKLM", "HKEY_LOCAL_MACHINE"}, {"HKCU", "HKEY_CURRENT_USER"}, {"HKU", "HKEY_USERS"},
        {"HKCR", "HKEY_CLASSES_ROOT"},  {"hklm", ""},                  {"Hkcu", ""},
        {"HKLM ", ""},                  {"HKEY_LOCAL_MACHINE", ""},    {"HKCC", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        CONTEXT(c.root);
        CHECK_EQ(FullRegistryRootName(c.root), std::string(c.full));
    }
}

TEST(NothingIsSentForAnUnknownRootOrAnEmptyKey) {
    const struct {
        const char* root;
        const char* key;
    } cases[] = {{"hklm", "SOFTWARE"}, {"HKCC", "System"}, {"", "SOFTWARE"}, {"HKLM", ""}, {"HKCU", ""}};
    for (const auto& c : cases) {
        CONTEXT(std::string(c.root) + "|" + c.key);
        CHECK(!PlanRegEditJump(c.root, c.key, "Value").has_value());
    }
}

TEST(TheTreeIsWalkedDownTheFullPath) {
    const struct {
        const char* root;
        const char* key;
        const char* full_path;
        const char* typed;  // what follows the walk to the top node
    } cases[] = {
        // Every character is sent, the last one included; each "\" opens the key typed so far
        // and waits long enough for the next name to start a new type-ahead search.
        {"HKLM", "SOFTWARE\\Classes", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes",
         "HKEY_LOCAL_MACHINE[Right]+500SOFTWARE[Right]+500Classes"},
        // A key that starts with "\" is not given a second one.
        {"HKCU", "\\Software\\X", "HKEY_CURRENT_USER\\Software\\X",
         "HKEY_CURRENT_USER[Right]+500Software[Right]+500X"},
        {"HKU", ".DEFAULT", "HKEY_USERS\\.DEFAULT", "HKEY_USERS[Right]+500.DEFAULT"},
        {"HKCR", "CLSID\\{0}\\", "HKEY_CLASSES_ROOT\\CLSID\\{0}\\",
         "HKEY_CLASSES_ROOT[Right]+500CLSID[Right]+500{0}[Right]+500"},
        // A double-byte character goes as lead and trail byte; a trail byte "\" opens nothing.
        {"HKLM", "Soft\\\x95\\Key", "HKEY_LOCAL_MACHINE\\Soft\\\x95\\Key",
         "HKEY_LOCAL_MACHINE[Right]+500Soft[Right]+500\x95\\Key"},
        // A lead byte without its trail byte is no character and is not typed.
        {"HKLM", "Soft\x81", "HKEY_LOCAL_MACHINE\\Soft\x81", "HKEY_LOCAL_MACHINE[Right]+500Soft"},
    };
    for (const auto& c : cases) {
        CONTEXT(c.full_path);
        const std::optional<RegEditJumpPlan> plan = PlanRegEditJump(c.root, c.key, "");
        CHECK(plan.has_value());
        if (!plan) continue;
        CHECK_EQ(plan->full_path, std::string(c.full_path));
        CHECK_EQ(Render(plan->tree), TopOfTree() + c.typed);
        CHECK(plan->value_list.empty());
    }
}

TEST(AValueNameIsTypedIntoTheValueListAfterTheDownKey) {
    const struct {
        const char* value;
        const char* typed;
    } cases[] = {
        {"DisplayName", "[Down]+300DisplayName"},
        // In a value name "\" is an ordinary character.
        {"a\\b", "[Down]+300a\\b"},
        {"\xb0\xe6\xb1\xbe", "[Down]+300\xb0\xe6\xb1\xbe"},
    };
    for (const auto& c : cases) {
        CONTEXT(c.value);
        const std::optional<RegEditJumpPlan> plan = PlanRegEditJump("HKLM", "SOFTWARE\\Quillmoss", c.value);
        CHECK(plan.has_value());
        if (!plan) continue;
        CHECK_EQ(Render(plan->tree), TopOfTree() + "HKEY_LOCAL_MACHINE[Right]+500SOFTWARE[Right]+500Quillmoss");
        CHECK_EQ(Render(plan->value_list), std::string(c.typed));
    }
}

TEST(TypedBytesAreSentUnsigned) {
    // A byte above 0x7F must not reach the editor as a sign-extended WPARAM.
    const std::optional<RegEditJumpPlan> plan = PlanRegEditJump("HKLM", "\xb0\xe6", "");
    CHECK(plan.has_value());
    if (!plan) return;
    const RegEditKeystrokes& tree = plan->tree;
    CHECK(tree.size() >= 2);
    if (tree.size() < 2) return;
    CHECK_EQ(tree[tree.size() - 2].message, UINT{WM_CHAR});
    CHECK_EQ(tree[tree.size() - 2].key, WPARAM{0xb0});
    CHECK_EQ(tree.back().key, WPARAM{0xe6});
}
