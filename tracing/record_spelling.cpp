#include "record_spelling.h"

#include <cstdio>
#include <vector>

#include "code_page.h"
#include "splitters.h"
#include "text_rules.h"

namespace {

// The positions of the backslashes that separate names (never a double-byte character's trail byte).
std::vector<std::size_t> SeparatorPositions(const std::string& path) {
    std::vector<std::size_t> positions;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(path[i])))
            ++i;
        else if (path[i] == '\\')
            positions.push_back(i);
    }
    return positions;
}

std::string WithoutTrailingBackslashes(const std::string& path) {
    std::size_t end = 0;  // just after the last character that is no separator
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            end = i + 2;
            ++i;
        } else if (path[i] != '\\') {
            end = i + 1;
        }
    }
    return path.substr(0, end);
}

// The names of a key path, as written.
std::vector<std::string> KeyNames(const std::string& key_path) {
    std::vector<std::string> names;
    std::size_t start = 0;
    for (const std::size_t separator : SeparatorPositions(key_path)) {
        names.push_back(key_path.substr(start, separator - start));
        start = separator + 1;
    }
    names.push_back(key_path.substr(start));
    return names;
}

bool NameIs(const std::vector<std::string>& names, std::size_t at, const char* upper_name) {
    return at < names.size() && UpperCased(names[at]) == upper_name;
}

// Where redirection put the 32-bit half's Wow6432Node in a key path below root, or -1: below
// HKLM\SOFTWARE and HKLM\SOFTWARE\Classes, a user's Software\Classes (and its <SID>_Classes
// hive), and the root of HKCR. Only when a name follows it.
int RedirectionNameAt(const std::string& root, const std::vector<std::string>& names) {
    constexpr char kWow[] = "WOW6432NODE";
    std::vector<std::size_t> candidates;
    if (root == "HKLM" && NameIs(names, 0, "SOFTWARE")) {
        candidates = {1, 2};
    } else if (root == "HKCU" && NameIs(names, 0, "SOFTWARE") && NameIs(names, 1, "CLASSES")) {
        candidates = {2};
    } else if (root == "HKU" && NameIs(names, 1, "SOFTWARE") && NameIs(names, 2, "CLASSES")) {
        candidates = {3};
    } else if (root == "HKU" && names.size() > 1) {
        const std::string hive = UpperCased(names[0]);
        if (hive.size() > 8 && hive.compare(hive.size() - 8, 8, "_CLASSES") == 0) candidates = {1};
    } else if (root == "HKCR") {
        candidates = {0};
    }
    for (const std::size_t at : candidates) {
        // HKLM\SOFTWARE\Wow6432Node, or HKLM\SOFTWARE\Classes\Wow6432Node.
        if (at == 2 && root == "HKLM" && !NameIs(names, 1, "CLASSES")) continue;
        if (NameIs(names, at, kWow) && at + 1 < names.size()) return static_cast<int>(at);
    }
    return -1;
}

// Part of a path that a folder variable stands for.
struct FolderVariable {
    std::string folder;
    std::string spelled;  // "%APPDATA%", or "%WINDIR%\System32" for SysWOW64
};

std::vector<FolderVariable> FolderVariables(const TraceMachineFacts& facts) {
    std::vector<FolderVariable> variables;
    const auto add = [&](const std::string& folder, const std::string& spelled) {
        if (!folder.empty()) variables.push_back({WithoutTrailingBackslashes(folder), spelled});
    };
    for (const std::string& folder : EveryProfilesFolder(facts.app_data, facts)) add(folder, "%APPDATA%");
    for (const std::string& folder : EveryProfilesFolder(facts.local_app_data, facts)) add(folder, "%LOCALAPPDATA%");
    for (const std::string& folder : EveryProfilesFolder(facts.profile, facts)) add(folder, "%USERPROFILE%");
    add(facts.common_files, "%COMMONPROGRAMFILES%");
    add(facts.common_files_x86, "%COMMONPROGRAMFILES%");
    add(facts.program_files, "%PROGRAMFILES%");
    add(facts.program_files_x86, "%PROGRAMFILES%");
    add(facts.program_data, "%PROGRAMDATA%");
    if (facts.windows_64bit && !facts.windows.empty())
        add(WithoutTrailingBackslashes(facts.windows) + "\\SysWOW64", "%WINDIR%\\System32");
    add(facts.windows, "%WINDIR%");
    return variables;
}

std::string Hex(unsigned char byte) {
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02X", byte);
    return text;
}

// A quote opens a run that only the same quote closes (as the record splitter reads it).
bool HasUnpairedQuote(const std::string& text) {
    char open = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsLeadByte(static_cast<unsigned char>(c)))
            ++i;
        else if (open && c == open)
            open = 0;
        else if (!open && (c == '"' || c == '\''))
            open = c;
    }
    return open != 0;
}

// A single-byte character of the text (never a trail byte).
bool HoldsCharacter(const std::string& text, char wanted) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(text[i])))
            ++i;
        else if (text[i] == wanted)
            return true;
    }
    return false;
}

// Why the text cannot stand in a record's field; in_quotes: the field is a quoted value name.
std::string TextProblem(const std::string& cp936, bool in_quotes) {
    if (cp936.empty()) return "empty";
    for (const unsigned char c : cp936)
        if (c < 0x20 || c == 0x7F) return "holds a control character";
    std::string utf8;
    if (!Cp936ToUtf8(cp936, utf8)) return "not code page 936 text";
    if (HoldsCharacter(cp936, '?'))
        return "holds '?', which stands for a character without a code page 936 form where Windows converted the name";
    if (in_quotes && HoldsCharacter(cp936, '"')) return "the value name holds a double quote";
    if (!in_quotes && HoldsCharacter(cp936, '|')) return "holds a bar, the field separator";
    if (!in_quotes && HasUnpairedQuote(cp936)) return "holds an unpaired quote, which would join the fields after it";
    if (cp936.front() == ' ' || cp936.back() == ' ') return "begins or ends with a blank";
    return "";
}

}  // namespace

std::vector<std::string> EveryProfilesFolder(const std::string& own_folder, const TraceMachineFacts& facts) {
    if (own_folder.empty()) return {};
    std::vector<std::string> folders{WithoutTrailingBackslashes(own_folder)};
    const std::string own_profile = WithoutTrailingBackslashes(facts.profile);
    const bool in_profile = IsSamePath(own_folder, own_profile) || IsInsideFolder(own_folder, own_profile);
    if (!in_profile) return folders;  // XP's folders redirected elsewhere, for example
    const std::string below = folders[0].substr(own_profile.size());
    for (const std::string& profile : facts.other_profiles)
        if (!profile.empty()) folders.push_back(WithoutTrailingBackslashes(profile) + below);
    return folders;
}

std::string LastPathName(const std::string& path) {
    const std::string trimmed = WithoutTrailingBackslashes(path);
    const std::vector<std::size_t> separators = SeparatorPositions(trimmed);
    return separators.empty() ? trimmed : trimmed.substr(separators.back() + 1);
}

std::string ParentPath(const std::string& path) {
    const std::string trimmed = WithoutTrailingBackslashes(path);
    const std::vector<std::size_t> separators = SeparatorPositions(trimmed);
    return separators.empty() ? std::string() : trimmed.substr(0, separators.back());
}

bool IsSamePath(const std::string& path, const std::string& other) {
    return UpperCased(WithoutTrailingBackslashes(path)) == UpperCased(WithoutTrailingBackslashes(other));
}

bool IsInsideFolder(const std::string& path, const std::string& folder) {
    const std::string upper_folder = UpperCased(WithoutTrailingBackslashes(folder));
    const std::string upper_path = UpperCased(WithoutTrailingBackslashes(path));
    return !upper_folder.empty() && upper_path.size() > upper_folder.size() + 1 &&
           upper_path.compare(0, upper_folder.size(), upper_folder) == 0 && upper_path[upper_folder.size()] == '\\';
}

bool CoreFileRecordPath(const std::string& path, const TraceMachineFacts& facts, std::string& record,
                        std::string& problem) {
    const FolderVariable* deepest = nullptr;
    const std::vector<FolderVariable> variables = FolderVariables(facts);
    for (const FolderVariable& variable : variables)
        if (IsInsideFolder(path, variable.folder) && (!deepest || variable.folder.size() > deepest->folder.size()))
            deepest = &variable;
    if (deepest) {
        record = deepest->spelled + path.substr(deepest->folder.size());
        return true;
    }
    // The analysis puts the system drive's letter in front of every plain path.
    const bool full_path = path.size() > 3 && path[1] == ':' && path[2] == '\\';
    if (!full_path) {
        problem = "not a full path";
        return false;
    }
    if (!facts.windows.empty() && UpperCased(path.substr(0, 1)) != UpperCased(facts.windows.substr(0, 1))) {
        problem = "not on the system drive, the only drive the analysis looks at";
        return false;
    }
    record = path;
    return true;
}

std::string RegistryRecordKey(const std::string& traced_key) {
    const std::size_t bar = traced_key.find('|');
    if (bar == std::string::npos) return traced_key;
    const std::string root = traced_key.substr(0, bar);
    const std::vector<std::string> names = KeyNames(traced_key.substr(bar + 1));
    const int redirected = RedirectionNameAt(root, names);
    if (redirected < 0) return traced_key;
    std::string key_path;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (static_cast<int>(i) != redirected) key_path += (key_path.empty() ? "" : "\\") + names[i];
    return root + "|" + key_path;
}

std::string FieldProblem(const std::string& cp936) { return TextProblem(cp936, false); }

std::string ValueNameProblem(const std::string& cp936) { return cp936.empty() ? "" : TextProblem(cp936, true); }

std::string CommentText(const std::string& cp936) {
    std::string one_line;
    for (const unsigned char c : cp936) one_line += c < 0x20 || c == 0x7F ? Hex(c) : std::string(1, static_cast<char>(c));
    return Cp936ToUtf8OrEscaped(one_line);
}
