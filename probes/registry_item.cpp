#include "registry_item.h"

#include "text_rules.h"

namespace {

// Fields root, key path and optional value name, starting at fields[first].
RegistryItemFault ParseFields(const StringList& fields, std::size_t first, RegistryItem& item) {
    const std::size_t count = fields.size() > first ? fields.size() - first : 0;
    if (count < 2) return RegistryItemFault::kMissingKeyPath;
    if (count > 3) return RegistryItemFault::kTooManyFields;
    const RegistryRoot* root = FindRegistryRoot(fields[first]);
    if (!root) return RegistryItemFault::kUnknownRoot;

    item.root_text = root->abbreviation;
    item.root = root->key;
    item.key_path = fields[first + 1];
    item.names_value = count == 3;
    item.value_name = item.names_value ? UnquotedValueName(fields[first + 2]) : std::string();
    return RegistryItemFault::kNone;
}

bool Report(RegistryItemFault found, RegistryItemFault* fault) {
    if (fault) *fault = found;
    return found == RegistryItemFault::kNone;
}

}  // namespace

const RegistryRoot* FindRegistryRoot(const std::string& text) {
    // Built on first use: the HKEY constants are casts, not constants, and items may be parsed
    // from other files' static initialisers.
    static const RegistryRoot roots[] = {
        {"HKLM", HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
        {"HKCU", HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
        {"HKU", HKEY_USERS, "HKEY_USERS"},
        {"HKCR", HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
    };
    for (const RegistryRoot& root : roots)
        if (text == root.abbreviation) return &root;
    return nullptr;
}

std::string UnquotedValueName(const std::string& field) {
    std::string name = field;
    if (!name.empty() && name.front() == '"' && name.back() == '"') {
        name.front() = ' ';
        name.back() = ' ';
    }
    return Trimmed(name);
}

bool ParseRegistryItem(const std::string& text, RegistryItem& item, RegistryItemFault* fault) {
    StringList fields;
    SplitByBar(text, fields);
    RegistryItem parsed;
    const RegistryItemFault found = ParseFields(fields, 0, parsed);
    if (found == RegistryItemFault::kNone) item = parsed;
    return Report(found, fault);
}

bool ParseRegistryRecord(const std::string& record, std::string& program_key, RegistryItem& item,
                         RegistryItemFault* fault) {
    StringList fields;
    SplitByBar(record, fields);
    RegistryItem parsed;
    const RegistryItemFault found = ParseFields(fields, 1, parsed);
    if (found == RegistryItemFault::kNone) {
        program_key = fields[0];
        item = parsed;
    }
    return Report(found, fault);
}
