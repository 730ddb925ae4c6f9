#include "registry_fixture.h"

#include <shlwapi.h>

#include "check.h"
#include "splitters.h"

namespace {

// The fixture does its own key handling so that it does not lean on the code under test.
// Keys are created one name at a time, relative to the one above: Wine's ANSI registry calls
// refuse a sub-key path of more than 255 characters as a whole.
LONG CreateKeyPath(HKEY root, const std::string& path, HKEY* kept = nullptr) {
    StringList names;
    SplitByBackslash(path, names);
    HKEY parent = root;
    LONG status = ERROR_SUCCESS;
    for (const std::string& name : names) {
        HKEY key = nullptr;
        status = RegCreateKeyExA(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (parent != root) RegCloseKey(parent);
        if (status != ERROR_SUCCESS) return status;
        parent = key;
    }
    if (kept)
        *kept = parent;
    else if (parent != root)
        RegCloseKey(parent);
    return status;
}

}  // namespace

ScopedTestKey::ScopedTestKey(HKEY root, const std::string& parent)
    : root_(root), path_(parent + "\\KestruneTest-" + std::to_string(GetCurrentProcessId())) {
    SHDeleteKeyA(root_, path_.c_str());  // a leftover of an earlier run with the same id
    CHECK_EQ(CreateKeyPath(root_, path_), ERROR_SUCCESS);
}

ScopedTestKey::~ScopedTestKey() { SHDeleteKeyA(root_, path_.c_str()); }

LONG ScopedTestKey::CreateKey(const std::string& sub_path) const { return CreateKeyPath(root_, *this / sub_path); }

LONG ScopedTestKey::SetValue(const std::string& sub_path, const std::string& name, DWORD type,
                             const std::string& data) const {
    HKEY key = nullptr;
    const std::string path = sub_path.empty() ? path_ : *this / sub_path;
    LONG status = CreateKeyPath(root_, path, &key);
    if (status != ERROR_SUCCESS) return status;
    status = RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                            static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return status;
}

LONG ScopedTestKey::SetString(const std::string& sub_path, const std::string& name, const std::string& text) const {
    return SetValue(sub_path, name, REG_SZ, std::string(text.c_str(), text.size() + 1));
}

bool ScopedTestKey::KeyExists(const std::string& sub_path) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root_, (*this / sub_path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}
