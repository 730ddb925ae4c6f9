#include "trace_noise_filter.h"

#include "path_order.h"
#include "splitters.h"
#include "text_rules.h"

namespace {

// The table. Patterns are as precise as the noise allows: a program's own folders and keys, and
// the Windows Installer's registrations of a product (Installer\UserData, Installer\Products,
// Classes\Installer\Products) and its cached package in <windows>\Installer, never match.
const std::vector<NoiseRule> kRules = {
    {NoiseKind::kKey, "**\\*MRU*\\**", "recently used list"},
    {NoiseKind::kValue, "**|*MRU*", "recently used list"},
    {NoiseKind::kKey, "**\\Explorer\\RecentDocs\\**", "recently used list"},
    {NoiseKind::kKey, "**\\Explorer\\ComDlg32\\**", "recently used list"},
    {NoiseKind::kPath, "**\\Microsoft\\Windows\\Recent\\**", "recently used list"},
    {NoiseKind::kKey, "**\\Explorer\\UserAssist\\**", "programs run (UserAssist)"},
    {NoiseKind::kKey, "**\\Shell\\Bags\\**", "shell bags"},
    {NoiseKind::kKey, "**\\Shell\\BagMRU\\**", "shell bags"},
    {NoiseKind::kKey, "**\\ShellNoRoam\\Bags\\**", "shell bags"},
    {NoiseKind::kKey, "**\\ShellNoRoam\\BagMRU\\**", "shell bags"},
    {NoiseKind::kKey, "**\\Explorer\\**\\*Cache*\\**", "cache"},
    {NoiseKind::kKey, "**\\MuiCache\\**", "cache"},
    {NoiseKind::kPath, "**\\Microsoft\\Windows\\INetCache\\**", "cache"},
    {NoiseKind::kPath, "**\\Microsoft\\Windows\\INetCookies\\**", "cache"},
    {NoiseKind::kPath, "**\\Temporary Internet Files\\**", "cache"},
    {NoiseKind::kPath, "**\\Thumbs.db", "cache"},
    {NoiseKind::kPath, "**\\Microsoft\\Windows\\Explorer\\thumbcache_*", "cache"},
    {NoiseKind::kPath, "**\\Microsoft\\Windows\\Explorer\\iconcache_*", "cache"},
    {NoiseKind::kKey, "HKLM\\SOFTWARE\\Microsoft\\Cryptography\\RNG\\**", "random seed"},
    {NoiseKind::kPath, "<windows>\\Prefetch\\**", "prefetch"},
    {NoiseKind::kPath, "<windows>\\Logs\\**", "log"},
    {NoiseKind::kPath, "<windows>\\Debug\\**", "log"},
    {NoiseKind::kPath, "<windows>\\*.log", "log"},
    {NoiseKind::kPath, "<windows>\\inf\\setupapi*.log", "log"},
    {NoiseKind::kPath, "<windows>\\Temp\\**", "temporary files"},
    {NoiseKind::kPath, "**\\AppData\\Local\\Temp\\**", "temporary files"},
    {NoiseKind::kPath, "**\\Local Settings\\Temp\\**", "temporary files"},
    {NoiseKind::kKey, "**\\Software\\Wine\\**", "Wine's own settings"},
    {NoiseKind::kKey, "HKLM\\SOFTWARE\\Wow6432Node\\Wine\\**", "Wine's own settings"},
    {NoiseKind::kKey, "**\\Explorer\\**\\LastVisited*\\**", "timestamp"},
    {NoiseKind::kKey, "HKLM\\SYSTEM\\*\\Services\\*\\Enum\\**", "timestamp"},
    {NoiseKind::kKey, "**\\Installer\\InProgress\\**", "Windows Installer at work"},
    {NoiseKind::kKey, "**\\Software\\Microsoft\\RestartManager\\**", "Windows Installer at work"},
    {NoiseKind::kPath, "<drive>\\Config.Msi\\**", "Windows Installer at work"},
    {NoiseKind::kKey, "HKU\\*", "user hive loaded meanwhile"},
};

constexpr char kAnyNames[] = "**";

// Names separated by "\" (and, for a key, the "|" after its root), upper-cased; a trail byte is
// never a separator and empty names are dropped.
std::vector<std::string> NamesOf(const std::string& text) {
    std::vector<std::string> names = SplitNames(text, "\\|");
    for (std::string& name : names) name = UpperCased(name);
    return names;
}

// The length of the character at text[i]: 2 for a double-byte one.
std::size_t CharacterLength(const std::string& text, std::size_t i) {
    return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

// A name against a name pattern with "*", both upper-cased, a whole character at a time so that
// "MRU" never starts on the trail byte of a double-byte character.
bool NameMatches(const std::string& name, std::size_t n, const std::string& pattern, std::size_t p) {
    if (p == pattern.size()) return n == name.size();
    if (pattern[p] == '*') {
        for (std::size_t at = n;; at += CharacterLength(name, at)) {
            if (NameMatches(name, at, pattern, p + 1)) return true;
            if (at >= name.size()) return false;
        }
    }
    if (n == name.size()) return false;
    const std::size_t length = CharacterLength(name, n);
    return name.compare(n, length, pattern, p, length) == 0 && NameMatches(name, n + length, pattern, p + length);
}

bool NamesMatch(const std::vector<std::string>& names, std::size_t n, const std::vector<std::string>& pattern,
                std::size_t p) {
    if (p == pattern.size()) return n == names.size();
    if (pattern[p] == kAnyNames) {
        for (std::size_t at = n; at <= names.size(); ++at)
            if (NamesMatch(names, at, pattern, p + 1)) return true;
        return false;
    }
    return n < names.size() && NameMatches(names[n], 0, pattern[p], 0) && NamesMatch(names, n + 1, pattern, p + 1);
}

bool NamesMatch(const std::vector<std::string>& names, const std::vector<std::string>& pattern) {
    return NamesMatch(names, 0, pattern, 0);
}

}  // namespace

const std::vector<NoiseRule>& TraceNoiseRules() { return kRules; }

TraceNoiseFilter::TraceNoiseFilter(const std::string& windows_folder) {
    const std::vector<std::string> windows = NamesOf(windows_folder);
    for (const NoiseRule& rule : kRules) {
        CompiledRule compiled{rule.kind, {}, {}, rule.reason};
        std::string pattern = rule.pattern;
        if (rule.kind == NoiseKind::kValue) {
            const std::size_t bar = pattern.rfind('|');
            compiled.value_name = UpperCased(pattern.substr(bar + 1));
            pattern.resize(bar);
        }
        for (const std::string& name : NamesOf(pattern)) {
            if (name == "<WINDOWS>")
                compiled.names.insert(compiled.names.end(), windows.begin(), windows.end());
            else if (name == "<DRIVE>")
                compiled.names.insert(compiled.names.end(), windows.begin(), windows.begin() + (windows.empty() ? 0 : 1));
            else
                compiled.names.push_back(name);
        }
        // Without a Windows folder a rule anchored on it would match from the drive's root.
        if ((pattern.find("<windows>") == 0 || pattern.find("<drive>") == 0) && windows.empty()) continue;
        rules_.push_back(std::move(compiled));
    }
}

std::string TraceNoiseFilter::PathReason(const std::string& path) const {
    const std::vector<std::string> names = NamesOf(path);
    for (const CompiledRule& rule : rules_)
        if (rule.kind == NoiseKind::kPath && NamesMatch(names, rule.names)) return rule.reason;
    return std::string();
}

std::string TraceNoiseFilter::KeyReason(const std::string& key) const {
    const std::vector<std::string> names = NamesOf(key);
    for (const CompiledRule& rule : rules_)
        if (rule.kind == NoiseKind::kKey && NamesMatch(names, rule.names)) return rule.reason;
    return std::string();
}

std::string TraceNoiseFilter::ValueReason(const std::string& key, const std::string& value_name) const {
    const std::vector<std::string> names = NamesOf(key);
    const std::string name = UpperCased(value_name);
    for (const CompiledRule& rule : rules_) {
        if (rule.kind == NoiseKind::kPath || !NamesMatch(names, rule.names)) continue;
        if (rule.kind == NoiseKind::kKey || NameMatches(name, 0, rule.value_name, 0)) return rule.reason;
    }
    return std::string();
}
