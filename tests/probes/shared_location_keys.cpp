#include "shared_location_keys.h"

#include <sddl.h>
#include <shlwapi.h>

#include "check.h"

namespace {

// The fixtures do their own key handling so that they do not lean on the code under test.
class OpenKey {
public:
    OpenKey(HKEY root, const std::string& path, REGSAM access)
        : status_(RegOpenKeyExA(root, path.c_str(), 0, access, &key_)) {}
    ~OpenKey() {
        if (status_ == ERROR_SUCCESS) RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    LONG Status() const { return status_; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
    LONG status_;
};

LONG CreateAndClose(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    const LONG status = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) RegCloseKey(key);
    return status;
}

bool IsEmptyKey(HKEY root, const std::string& path) {
    OpenKey key(root, path, KEY_READ);
    DWORD sub_keys = 1, values = 1;
    return key.Status() == ERROR_SUCCESS &&
           RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &sub_keys, nullptr, nullptr, &values, nullptr,
                            nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           sub_keys == 0 && values == 0;
}

// Sets the key's access list; a null list grants everyone everything.
LONG SetAccessList(HKEY root, const std::string& path, ACL* access_list) {
    OpenKey key(root, path, WRITE_DAC);
    if (key.Status() != ERROR_SUCCESS) return key.Status();
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, access_list, FALSE);
    return RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, &descriptor);
}

}  // namespace

LONG CreatedParents::Create(HKEY root, const std::string& path) {
    root_ = root;
    for (std::size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
        const std::string prefix = path.substr(0, end);
        if (!KeyExists(root, prefix)) {
            const LONG status = CreateAndClose(root, prefix);
            if (status != ERROR_SUCCESS) return status;
            created_.push_back(prefix);
        }
        if (end == std::string::npos) return ERROR_SUCCESS;
    }
}

void CreatedParents::RemoveIfEmpty() const {
    for (auto path = created_.rbegin(); path != created_.rend(); ++path)
        if (IsEmptyKey(root_, *path)) RegDeleteKeyA(root_, path->c_str());
}

ScopedRegistryKey::ScopedRegistryKey(HKEY root, const std::string& path) : root_(root), path_(path) {
    SHDeleteKeyA(root_, path_.c_str());  // a leftover of an earlier run
    CHECK_EQ(parents_.Create(root_, path_), ERROR_SUCCESS);
}

ScopedRegistryKey::~ScopedRegistryKey() {
    SHDeleteKeyA(root_, path_.c_str());
    parents_.RemoveIfEmpty();
}

LONG ScopedRegistryKey::SetString(const std::string& name, const std::string& text) const {
    return SetStringValue(root_, path_, name, text);
}

ScopedRegistryValue::ScopedRegistryValue(HKEY root, const std::string& path, const std::string& name,
                                         const std::string& text)
    : root_(root), path_(path), name_(name) {
    CHECK_EQ(parents_.Create(root_, path_), ERROR_SUCCESS);
    CHECK_EQ(SetStringValue(root_, path_, name_, text), ERROR_SUCCESS);
}

ScopedRegistryValue::~ScopedRegistryValue() {
    OpenKey key(root_, path_, KEY_SET_VALUE);
    if (key.Status() == ERROR_SUCCESS) RegDeleteValueA(key.Get(), name_.c_str());
    parents_.RemoveIfEmpty();
}

LONG SetStringValue(HKEY root, const std::string& path, const std::string& name, const std::string& text) {
    const LONG created = CreateAndClose(root, path);
    if (created != ERROR_SUCCESS) return created;
    OpenKey key(root, path, KEY_SET_VALUE);
    if (key.Status() != ERROR_SUCCESS) return key.Status();
    return RegSetValueExA(key.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
}

bool KeyExists(HKEY root, const std::string& path) {
    return OpenKey(root, path, KEY_QUERY_VALUE).Status() == ERROR_SUCCESS;
}

bool ValueExists(HKEY root, const std::string& path, const std::string& name) {
    OpenKey key(root, path, KEY_QUERY_VALUE);
    return key.Status() == ERROR_SUCCESS &&
           RegQueryValueExA(key.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string CurrentUserHive() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::string();
    union {
        TOKEN_USER user;
        char bytes[256];
    } info;
    DWORD length = 0;
    std::string hive;
    char* text = nullptr;
    if (GetTokenInformation(token, TokenUser, &info, sizeof info, &length) &&
        ConvertSidToStringSidA(info.user.User.Sid, &text)) {
        hive = text;
        LocalFree(text);
    }
    CloseHandle(token);
    return hive;
}

ScopedFullAccessRefusal::ScopedFullAccessRefusal(HKEY root, const std::string& path) : root_(root), path_(path) {
    SID_IDENTIFIER_AUTHORITY world_authority = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    CHECK(AllocateAndInitializeSid(&world_authority, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone));
    alignas(DWORD) char list_bytes[256];
    ACL* access_list = reinterpret_cast<ACL*>(list_bytes);
    CHECK(InitializeAcl(access_list, sizeof list_bytes, ACL_REVISION));
    // Reading and the access list itself stay granted, so the key can be looked at and given back.
    CHECK(AddAccessAllowedAce(access_list, ACL_REVISION, KEY_READ | WRITE_DAC, everyone));
    CHECK_EQ(SetAccessList(root_, path_, access_list), ERROR_SUCCESS);
    FreeSid(everyone);
}

ScopedFullAccessRefusal::~ScopedFullAccessRefusal() { SetAccessList(root_, path_, nullptr); }
