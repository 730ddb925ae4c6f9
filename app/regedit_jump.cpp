#include "regedit_jump.h"

#include <shellapi.h>

#include "registry_item.h"
#include "splitters.h"
#include "win32/handles.h"

namespace {

constexpr char kEditorClass[] = "RegEdit_RegEdit";
constexpr char kTreeClass[] = "SysTreeView32";
constexpr char kValueListClass[] = "SysListView32";
constexpr int kStepsToTopNode = 30;  // deeper than any tree the editor shows at start
constexpr DWORD kTreePauseMs = 300;  // lets the tree or list settle after a key press
// After a "\" the next key name must start a new type-ahead search. Windows' tree starts one
// on any key press; Wine's only after a pause of 450 ms, so the pause is longer than that.
constexpr DWORD kNextNamePauseMs = 500;
constexpr DWORD kStartWaitMs = 200;
// Keystroke messages carry a repeat count of 1, as a real key press does: Wine's type-ahead
// search ignores characters whose key data is 0.
constexpr LPARAM kKeyData = 1;

RegEditKeystroke KeyDown(WPARAM key, DWORD pause_after_ms = 0) { return {WM_KEYDOWN, key, pause_after_ms}; }

// Typed characters: a double-byte character goes as its lead and trail byte in two WM_CHAR
// messages, which the system joins into one character. A lead byte without its trail byte is
// no character and is not sent: the system would join it with whatever is typed next.
// A backslash opens the key typed so far, unless keys_open_on_backslash is false; the trail
// byte of a double-byte character is never taken for one.
void AppendTyping(const std::string& text, bool keys_open_on_backslash, RegEditKeystrokes& strokes) {
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(byte)) {
            if (i + 1 == text.size()) break;
            strokes.push_back({WM_CHAR, byte, 0});
            strokes.push_back({WM_CHAR, static_cast<unsigned char>(text[++i]), 0});
        } else if (byte == '\\' && keys_open_on_backslash) {
            strokes.push_back(KeyDown(VK_RIGHT, kNextNamePauseMs));
        } else {
            strokes.push_back({WM_CHAR, byte, 0});
        }
    }
}

// The tree's selection climbs to the top node, which is then opened; the path is typed below it.
RegEditKeystrokes TreeKeystrokes(const std::string& full_path) {
    RegEditKeystrokes strokes(kStepsToTopNode, KeyDown(VK_LEFT));
    strokes.back().pause_after_ms = kTreePauseMs;
    strokes.push_back(KeyDown(VK_RIGHT, kTreePauseMs));
    AppendTyping(full_path, true, strokes);
    return strokes;
}

// The value list gets the focus row with the Down key, then type-ahead selects the value.
RegEditKeystrokes ValueListKeystrokes(const std::string& value) {
    RegEditKeystrokes strokes;
    if (value.empty()) return strokes;
    strokes.push_back(KeyDown(VK_DOWN, kTreePauseMs));
    AppendTyping(value, false, strokes);
    return strokes;
}

HWND FindEditor() { return FindWindowA(kEditorClass, nullptr); }

HWND StartEditor() {
    SHELLEXECUTEINFOA start = {};
    start.cbSize = sizeof start;
    start.fMask = SEE_MASK_NOCLOSEPROCESS;
    start.lpVerb = "open";
    start.lpFile = "regedit.exe";
    start.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExA(&start)) {
        KernelHandle process(start.hProcess);
        if (process.IsOpen()) WaitForInputIdle(process.Get(), kStartWaitMs);
    }
    return FindEditor();
}

// The editor's tree and value list: direct children of its frame on Windows, one level deeper
// in some editors (Wine's sits them on a child pane), so the search goes down the children.
HWND FindDescendant(HWND parent, const char* window_class) {
    if (HWND direct = FindWindowExA(parent, nullptr, window_class, nullptr)) return direct;
    for (HWND child = FindWindowExA(parent, nullptr, nullptr, nullptr); child;
         child = FindWindowExA(parent, child, nullptr, nullptr))
        if (HWND found = FindDescendant(child, window_class)) return found;
    return nullptr;
}

void Send(HWND target, const RegEditKeystrokes& strokes) {
    for (const RegEditKeystroke& stroke : strokes) {
        SendMessageA(target, stroke.message, stroke.key, kKeyData);
        if (stroke.pause_after_ms) Sleep(stroke.pause_after_ms);
    }
}

// A missing window gets nothing, and nothing is waited for on its behalf.
void FocusAndSend(HWND editor, const char* window_class, const RegEditKeystrokes& strokes) {
    HWND target = FindDescendant(editor, window_class);
    if (!target) return;
    SetForegroundWindow(target);
    Send(target, strokes);
}

}  // namespace

std::string FullRegistryRootName(const std::string& root) {
    const RegistryRoot* found = FindRegistryRoot(root);
    return found ? found->editor_name : "";
}

std::optional<RegEditJumpPlan> PlanRegEditJump(const std::string& root, const std::string& key,
                                               const std::string& value) {
    const std::string root_name = FullRegistryRootName(root);
    if (root_name.empty() || key.empty()) return std::nullopt;
    RegEditJumpPlan plan;
    plan.full_path = root_name + (key[0] == '\\' ? "" : "\\") + key;
    plan.tree = TreeKeystrokes(plan.full_path);
    plan.value_list = ValueListKeystrokes(value);
    return plan;
}

void LocateInRegEdit(const std::string& root, const std::string& key, const std::string& value) {
    const std::optional<RegEditJumpPlan> plan = PlanRegEditJump(root, key, value);
    if (!plan) return;
    HWND editor = FindEditor();
    if (!editor) editor = StartEditor();
    if (!editor) return;
    ShowWindow(editor, SW_SHOWNORMAL);
    FocusAndSend(editor, kTreeClass, plan->tree);
    FocusAndSend(editor, kValueListClass, plan->value_list);
}
