#include "user_sids.h"

#include "matching.h"
#include "registry_access.h"

void EnumUserSids(StringList& list, RegistryView view) {
    WalkSubKeyNames(HKEY_USERS, std::string(), view, [&list](const RegistryKey&, const std::string& name) {
        const std::string hive = Trimmed(name);
        if (!hive.empty()) AddOnce(list, hive);
    });
}
