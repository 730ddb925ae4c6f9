#include "uninstall_registration.h"

#include <windows.h>

#include "check.h"

UninstallRegistration::UninstallRegistration(const std::string& name, const std::string& display_name)
    : path_("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name + "-" +
            std::to_string(GetCurrentProcessId())) {
    Set("DisplayName", display_name);
}

UninstallRegistration::~UninstallRegistration() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, path_.c_str()); }

void UninstallRegistration::Set(const std::string& value_name, const std::string& text) const {
    HKEY key = nullptr;
    CHECK_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
             ERROR_SUCCESS);
    if (!key) return;
    CHECK_EQ(RegSetValueExA(key, value_name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1)),
             ERROR_SUCCESS);
    RegCloseKey(key);
}
