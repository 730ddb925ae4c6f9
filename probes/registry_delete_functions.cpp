#include "registry_delete_functions.h"

#include "module_cache.h"

namespace {

using RegDeleteTreeFunction = LONG(WINAPI*)(HKEY key, LPCSTR sub_key);
using RegDeleteKeyExFunction = LONG(WINAPI*)(HKEY key, LPCSTR sub_key, REGSAM access, DWORD reserved);

template <typename Function>
Function LookUpAdvapi(const char* name) {
    const HMODULE advapi = GetModuleHandleA("advapi32.dll");
    return advapi ? AsFunction<Function>(GetProcAddress(advapi, name)) : nullptr;
}

LONG NotImplemented() {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return 1;
}

}  // namespace

LONG DynRegDeleteTree(HKEY key, const char* sub_key) {
    static const auto delete_tree = LookUpAdvapi<RegDeleteTreeFunction>("RegDeleteTreeA");
    return delete_tree ? delete_tree(key, sub_key) : NotImplemented();
}

LONG DynRegDeleteKeyEx(HKEY key, const char* sub_key, REGSAM access, DWORD reserved) {
    static const auto delete_key_ex = LookUpAdvapi<RegDeleteKeyExFunction>("RegDeleteKeyExA");
    return delete_key_ex ? delete_key_ex(key, sub_key, access, reserved) : NotImplemented();
}
