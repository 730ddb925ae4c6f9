#include "registry_display.h"

#include "registry_item.h"
#include "safety_guard.h"
#include "splitters.h"
#include "text_rules.h"

namespace {

const char kValueLabel[] = "  值: ";
const char kModuleLabel[] = "  模块: ";
const char kDefaultValueName[] = "(默认)";

// The label and the value's name ("" for the default value), then whatever follows the name.
std::string ValueText(const std::string& name, const std::string& after = "") {
    return kValueLabel + (name.empty() ? std::string(kDefaultValueName) : name) + after;
}

// The value field as the notation reads it. The log may have appended a reason to a quoted name
// ("\"Skin Color\" (拒绝访问)"): the name loses its quotes and the reason follows it.
std::string ShownValueField(const std::string& field) {
    const std::string trimmed = Trimmed(field);
    if (!trimmed.empty() && trimmed.front() == '"' && trimmed.back() != '"') {
        const std::size_t closing = trimmed.rfind("\" (");
        if (closing != std::string::npos && closing > 0)
            return ValueText(UnquotedValueName(trimmed.substr(0, closing + 1)), trimmed.substr(closing + 1));
    }
    return ValueText(UnquotedValueName(field));
}

// A registry item starts at position: a root abbreviation and its "|".
bool RegistryItemStartsAt(const std::string& line, std::size_t position) {
    for (const char* root : {"HKLM|", "HKCU|", "HKU|", "HKCR|"})
        if (line.compare(position, std::char_traits<char>::length(root), root) == 0) return true;
    return false;
}

// The first "|" from position on that is no trail byte of a double-byte character.
std::size_t FindBar(const std::string& text, std::size_t position) {
    for (std::size_t i = position; i < text.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(text[i])))
            ++i;
        else if (text[i] == '|')
            return i;
    }
    return std::string::npos;
}

// The backups name a value "HKEY_...\key|value name" ("|" alone for the default value), followed
// by " (reason)" when it could not be put back.
bool BackupValueStartsAt(const std::string& line, std::size_t position) {
    for (const char* root : {"HKEY_LOCAL_MACHINE\\", "HKEY_CURRENT_USER\\", "HKEY_USERS\\", "HKEY_CLASSES_ROOT\\"})
        if (line.compare(position, std::char_traits<char>::length(root), root) == 0)
            return FindBar(line, position) != std::string::npos;
    return false;
}

std::string ReadableBackupValue(const std::string& location) {
    const std::size_t bar = FindBar(location, 0);
    const std::string key = location.substr(0, bar), after_bar = location.substr(bar + 1);
    if (after_bar.compare(0, 2, " (") == 0) return key + ValueText("", after_bar);
    return key + ValueText(after_bar);
}

}  // namespace

std::string ReadableRegistryItem(const std::string& text, RegistryThirdField third_field) {
    const std::string item = SafetyGuard::Unmarked(text);
    const std::string mark = text.substr(0, text.size() - item.size());
    StringList fields;
    SplitByBar(item, fields);
    const RegistryRoot* root = fields.size() == 2 || fields.size() == 3 ? FindRegistryRoot(fields[0]) : nullptr;
    if (!root) return text;
    std::string shown = mark + root->editor_name + (fields[1].front() == '\\' ? "" : "\\") + fields[1];
    if (fields.size() == 3 && third_field == RegistryThirdField::kValueName) return shown + ShownValueField(fields[2]);
    if (fields.size() == 3) return shown + kModuleLabel + Trimmed(fields[2]);
    return shown;
}

std::string ReadableCleanLogLine(const std::string& line) {
    // A blank is never the trail byte of a double-byte character, so the item is found whole.
    for (std::size_t blank = line.find(' '); blank != std::string::npos; blank = line.find(' ', blank + 1)) {
        const std::string head = line.substr(0, blank + 1), item = line.substr(blank + 1);
        if (RegistryItemStartsAt(line, blank + 1))
            return head + ReadableRegistryItem(item, RegistryThirdField::kValueName);
        if (BackupValueStartsAt(line, blank + 1)) return head + ReadableBackupValue(item);
    }
    return line;
}
