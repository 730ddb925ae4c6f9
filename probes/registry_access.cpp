#include "registry_access.h"

#include <algorithm>
#include <vector>

namespace {

using EnumerateName = LONG (*)(HKEY key, DWORD index, char* name, DWORD* length);

LONG EnumerateSubKey(HKEY key, DWORD index, char* name, DWORD* length) {
    return RegEnumKeyExA(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
}

LONG EnumerateValue(HKEY key, DWORD index, char* name, DWORD* length) {
    return RegEnumValueA(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
}

std::string NameAt(const RegistryKey& key, DWORD index, EnumerateName enumerate) {
    // One byte beyond the length given, so the text always ends inside the buffer.
    char name[kNameBufferLength + 1] = {};
    DWORD length = kNameBufferLength;
    // On a name that does not fit, the system may leave a cut-off part of it in the buffer;
    // that part is not the name, so a failure gives the empty name.
    if (enumerate(key.Get(), index, name, &length) != ERROR_SUCCESS) return std::string();
    return std::string(name);
}

bool Walk(HKEY root, const std::string& base_path, RegistryView view, DWORD (*count)(const RegistryKey&),
          EnumerateName enumerate, const KeyWalkVisitor& visit) {
    RegistryKey base;
    if (OpenBaseKey(base, root, base_path, view) != ERROR_SUCCESS) return false;
    const DWORD total = count(base);
    for (DWORD index = 0; index < total; ++index) {
        const std::string name = NameAt(base, index, enumerate);
        if (!name.empty()) visit(base, name);
    }
    return true;
}

}  // namespace

REGSAM ViewAccess(REGSAM access, RegistryView view) {
    switch (view) {
        case RegistryView::k64Bit:
            return access | KEY_WOW64_64KEY;
        case RegistryView::k32Bit:
            return access | KEY_WOW64_32KEY;
        case RegistryView::kDefault:
            break;
    }
    return access;
}

LONG OpenBaseKey(RegistryKey& key, HKEY root, const std::string& path, RegistryView view) {
    return key.Open(root, path.c_str(), FullAccessMask(view));
}

DWORD CountSubKeys(const RegistryKey& key) {
    DWORD count = 0;
    if (RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return count;
}

DWORD CountValues(const RegistryKey& key) {
    DWORD count = 0;
    if (RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return count;
}

std::string SubKeyNameAt(const RegistryKey& key, DWORD index) { return NameAt(key, index, EnumerateSubKey); }

std::string ValueNameAt(const RegistryKey& key, DWORD index) { return NameAt(key, index, EnumerateValue); }

bool HasValue(const RegistryKey& key, const std::string& value_name) {
    DWORD size = 0;
    return RegQueryValueExA(key.Get(), value_name.c_str(), nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
}

bool ReadValueText(const RegistryKey& key, const std::string& value_name, std::string& text) {
    // One zero byte beyond the length given ends the text whatever the data holds.
    std::vector<char> buffer(kNameBufferLength + 1, '\0');
    DWORD length = kNameBufferLength;
    const auto query = [&] {
        return RegQueryValueExA(key.Get(), value_name.c_str(), nullptr, nullptr,
                                reinterpret_cast<BYTE*>(buffer.data()), &length);
    };
    // Most values fit the name buffer and are read in this one call.
    LONG status = query();
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return false;
    // A longer value is read into a buffer of its size; it may grow meanwhile, so a few more
    // tries follow it.
    for (int attempt = 0; status == ERROR_MORE_DATA && attempt < 3; ++attempt) {
        buffer.assign(std::max(length, kNameBufferLength) + 1, '\0');
        length = static_cast<DWORD>(buffer.size() - 1);
        status = query();
    }
    text = status == ERROR_SUCCESS ? std::string(buffer.data()) : std::string();
    return true;
}

bool WalkSubKeyNames(HKEY root, const std::string& base_path, RegistryView view, const KeyWalkVisitor& visit) {
    return Walk(root, base_path, view, CountSubKeys, EnumerateSubKey, visit);
}

bool WalkValueNames(HKEY root, const std::string& base_path, RegistryView view, const KeyWalkVisitor& visit) {
    return Walk(root, base_path, view, CountValues, EnumerateValue, visit);
}
