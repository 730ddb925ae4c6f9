// What tracing leaves out: the files, keys and values that Windows and Wine change on their own
// while an installer runs (recently used lists, caches, logs, temporary files, random seeds,
// timestamps, Wine's own settings) and that are never a program's trace. One table of rules;
// README.md lists the same table. Portable: it works on the texts alone.
#pragma once

#include <string>
#include <vector>

enum class NoiseKind {
    kPath,   // a file or folder: "C:\Windows\Temp\setup.tmp"
    kKey,    // a key with its values: "HKCU|Software\Wine\Fonts"
    kValue,  // a value alone: "HKCU|Software\Vendor|FileMRU"
};

// A pattern is a path of names separated by "\"; a name may hold "*" (any run of characters
// within one name), "**" alone stands for any number of names (none included), and letter case
// does not count. A registry key's root is its first name ("HKLM", "HKCU", "HKU" then the hive).
// Path patterns may start with <windows> (the Windows folder, "C:\Windows") or <drive> (its
// drive, "C:"). A value pattern is "KEY PATTERN|VALUE NAME PATTERN". A key rule also takes out
// every value of the keys it matches.
struct NoiseRule {
    NoiseKind kind;
    const char* pattern;
    const char* reason;  // the RULE of the filtered line "RULE: ITEM"
};

const std::vector<NoiseRule>& TraceNoiseRules();

class TraceNoiseFilter {
public:
    // windows_folder: the machine's Windows folder ("C:\Windows"), for <windows> and <drive>.
    explicit TraceNoiseFilter(const std::string& windows_folder);

    // The reason of the first rule that takes the item out; empty when the item stays.
    std::string PathReason(const std::string& path) const;
    std::string KeyReason(const std::string& key) const;  // "ROOT|key path"
    std::string ValueReason(const std::string& key, const std::string& value_name) const;

private:
    struct CompiledRule {
        NoiseKind kind;
        std::vector<std::string> names;  // upper-cased, placeholders replaced
        std::string value_name;          // kValue: the value name's pattern, upper-cased
        const char* reason;
    };
    std::vector<CompiledRule> rules_;
};
