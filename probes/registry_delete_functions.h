// RegDeleteTreeA and RegDeleteKeyExA, which Windows XP lacks, resolved from advapi32 at run time.
// Each is looked up once per process, on its first call.
#pragma once

#include <windows.h>

// RegDeleteTreeA(key, sub_key): sub_key null removes every sub-key and value of key itself.
// Returns the system function's result (0 on success); when the function is missing: 1, with
// the last error set to 120 (ERROR_CALL_NOT_IMPLEMENTED), and nothing is deleted.
LONG DynRegDeleteTree(HKEY key, const char* sub_key);

// RegDeleteKeyExA(key, sub_key, access, reserved); missing function as above.
LONG DynRegDeleteKeyEx(HKEY key, const char* sub_key, REGSAM access, DWORD reserved);
