#include "registry_key_pattern.h"

#include "splitters.h"
#include "text_rules.h"

namespace {

constexpr char kHive[] = "<hive>";
constexpr char kClassesHive[] = "<classes-hive>";
constexpr char kControlSet[] = "<controlset>";
constexpr char kAnyName[] = "<name>";
constexpr char kWholeTree[] = "**";

constexpr char kClassesHiveSuffix[] = "_CLASSES";

bool IsClassesHiveName(const std::string& name) {
    const std::size_t suffix = sizeof kClassesHiveSuffix - 1;
    return name.size() > suffix && name.compare(name.size() - suffix, suffix, kClassesHiveSuffix) == 0;
}

bool IsControlSetName(const std::string& name) {
    if (name == "CURRENTCONTROLSET") return true;
    if (name.size() != 13 || name.compare(0, 10, "CONTROLSET") != 0) return false;
    for (std::size_t i = 10; i < name.size(); ++i)
        if (name[i] < '0' || name[i] > '9') return false;
    return true;
}

bool NameMatches(const std::string& name, const std::string& pattern) {
    if (pattern.empty() || pattern[0] != '<') return name == pattern;
    if (pattern == kAnyName) return true;
    if (pattern == kHive) return !IsClassesHiveName(name);
    if (pattern == kClassesHive) return IsClassesHiveName(name);
    return pattern == kControlSet && IsControlSetName(name);
}

std::string ShortRootName(const std::string& root) {
    const std::string upper = UpperCased(Trimmed(root));
    if (upper == "HKLM" || upper == "HKEY_LOCAL_MACHINE") return "HKLM";
    if (upper == "HKCU" || upper == "HKEY_CURRENT_USER") return "HKCU";
    if (upper == "HKU" || upper == "HKEY_USERS") return "HKU";
    if (upper == "HKCR" || upper == "HKEY_CLASSES_ROOT") return "HKCR";
    return "";
}

}  // namespace

KeyNames KeyNamesOf(const std::string& root, const std::string& key_path) {
    const std::string short_root = ShortRootName(root);
    if (short_root.empty()) return {};
    KeyNames names = {short_root};
    StringList parts;
    SplitByBackslash(key_path, parts);
    for (const std::string& part : parts) {
        const std::string name = UpperCased(Trimmed(part));
        if (!name.empty()) names.push_back(name);
    }
    return names;
}

KeyNames ParsedPattern(const std::string& text) {
    StringList parts;
    SplitByBackslash(text, parts);
    KeyNames names;
    for (const std::string& part : parts) names.push_back(part[0] == '<' ? part : UpperCased(part));
    return names;
}

KeyNames Joined(const KeyNames& prefix, const KeyNames& pattern) {
    KeyNames names = prefix;
    names.insert(names.end(), pattern.begin(), pattern.end());
    return names;
}

PatternMatch Match(const KeyNames& key, const KeyNames& pattern) {
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == kWholeTree) return key.size() > i ? PatternMatch::kBelowWholeTree : PatternMatch::kKeyOrAbove;
        if (i == key.size()) return PatternMatch::kKeyOrAbove;
        if (!NameMatches(key[i], pattern[i])) return PatternMatch::kNone;
    }
    return key.size() == pattern.size() ? PatternMatch::kKeyOrAbove : PatternMatch::kNone;
}

bool StartsWith(const KeyNames& key, const KeyNames& pattern) {
    if (key.size() < pattern.size()) return false;
    for (std::size_t i = 0; i < pattern.size(); ++i)
        if (!NameMatches(key[i], pattern[i])) return false;
    return true;
}

KeyNames Below(const KeyNames& key, std::size_t index) {
    return index < key.size() ? KeyNames(key.begin() + static_cast<std::ptrdiff_t>(index), key.end()) : KeyNames();
}
