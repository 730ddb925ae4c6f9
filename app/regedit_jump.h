// Shows a registry key, and optionally selects one of its values, in the system's registry
// editor. The editor has no interface for this, so the jump types into its key tree and value
// list: the keystrokes are planned first (pure, testable) and then sent to the editor's windows.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// One message to a window of the editor, and how long to wait after it.
struct RegEditKeystroke {
    UINT message;  // WM_KEYDOWN or WM_CHAR
    WPARAM key;    // virtual key or character byte
    DWORD pause_after_ms;
};
using RegEditKeystrokes = std::vector<RegEditKeystroke>;

struct RegEditJumpPlan {
    std::string full_path;         // e.g. HKEY_LOCAL_MACHINE\SOFTWARE\Classes
    RegEditKeystrokes tree;        // to the key tree: up to the top node, then down the path
    RegEditKeystrokes value_list;  // to the value list: empty when no value is to be selected
};

// The full root name of a root abbreviation (HKLM, HKCU, HKU, HKCR; exact, case-sensitive),
// or empty for any other text.
std::string FullRegistryRootName(const std::string& root);

// What the jump sends, or nothing when there is nothing to show (unknown root, empty key).
std::optional<RegEditJumpPlan> PlanRegEditJump(const std::string& root, const std::string& key,
                                               const std::string& value);

// Opens (or reuses) the registry editor and walks it to the key and value. Reports nothing:
// without the editor's windows the messages go nowhere. Blocks the calling thread for the
// pauses of the plan (half a second per key level and a little more).
void LocateInRegEdit(const std::string& root, const std::string& key, const std::string& value);
