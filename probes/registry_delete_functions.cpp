#include "registry_delete_functions.h"

#include "module_cache.h"

namespace {

using RegDeleteTreeFunction = LONG(WINAPI*)(HKEY key, LPCSTR sub_key);
using RegDeleteKeyExFunction = LONG(WINAPI*)(HKEY key, LPCSTR sub_key, REGSAM access, DWORD reserved);

// Each lookup is recorded; the once-per-process initialisation below keeps both at 1 at most.
volatile LONG delete_tree_lookups = 0;
volatile LONG delete_key_ex_lookups = 0;

template <typename Function>
Function LookUpAdvapi(const char* name, volatile LONG& lookups) {
    InterlockedIncrement(&lookups);
    const HMODULE advapi = GetModuleHandleA("advapi32.dll");
    return advapi ? AsFunction<Function>(GetProcAddress(advapi, name)) : nullptr;
}

LONG NotImplemented() {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return 1;
}

}  // namespace

LONG DynRegDeleteTree(HKEY key, const char* sub_key) {
    static const auto delete_tree = LookUpAdvapi<RegDeleteTreeFunction>("RegDeleteTreeA", delete_tree_lookups);
    return delete_tree ? delete_tree(key, sub_key) : NotImplemented();
}

LONG DynRegDeleteKeyEx(HKEY key, const char* sub_key, REGSAM access, DWORD reserved) {
    static const auto delete_key_ex =
        LookUpAdvapi<RegDeleteKeyExFunction>("RegDeleteKeyExA", delete_key_ex_lookups);
    return delete_key_ex ? delete_key_ex(key, sub_key, access, reserved) : NotImplemented();
}

LONG DynRegDeleteTreeLookups() { return delete_tree_lookups; }

LONG DynRegDeleteKeyExLookups() { return delete_key_ex_lookups; }
