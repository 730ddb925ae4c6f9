// The one text form of a registry location: "ROOT|key path|value name", split by SplitByBar.
// Two fields name a key with everything below it, three fields name one value of the key.
// Database records carry the program key as an extra first field in front of the item.
#pragma once

#include <windows.h>

#include <string>

#include "splitters.h"

// One of the four root abbreviations, the key it stands for, and the name the registry
// editor shows for it.
struct RegistryRoot {
    const char* abbreviation;  // "HKLM", "HKCU", "HKU", "HKCR"
    HKEY key;
    const char* editor_name;  // "HKEY_LOCAL_MACHINE" ...
};

// The root whose abbreviation is exactly text (case-sensitive, whole field); nullptr otherwise.
const RegistryRoot* FindRegistryRoot(const std::string& text);

struct RegistryItem {
    std::string root_text;
    HKEY root = nullptr;
    std::string key_path;  // as written: nothing trimmed
    bool names_value = false;
    std::string value_name;  // unquoted and trimmed; empty with names_value is the default value
};

// Why a text is not a registry item.
enum class RegistryItemFault {
    kNone,
    kMissingKeyPath,  // fewer than root and key path (an empty text included)
    kUnknownRoot,     // the root field is none of the four abbreviations
    kTooManyFields,   // more than root, key path and value name
};

// The value field as the notation reads it: when its first and last characters are both a
// double quote, both become blanks; then the field is trimmed. So "" names the default value
// and "x|y" names the value x|y.
std::string UnquotedValueName(const std::string& field);

// Parses "ROOT|key path[|value]". On failure item is left unchanged and fault, when given,
// says why.
bool ParseRegistryItem(const std::string& text, RegistryItem& item, RegistryItemFault* fault = nullptr);

// Parses a database record "program key|ROOT|key path[|value]" the same way.
bool ParseRegistryRecord(const std::string& record, std::string& program_key, RegistryItem& item,
                         RegistryItemFault* fault = nullptr);
