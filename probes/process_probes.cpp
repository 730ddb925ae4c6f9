#include "process_probes.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cstring>

#include "matching.h"
#include "module_cache.h"
#include "protected_names.h"
#include "win32/handles.h"

namespace {

// The ANSI entry record; its size field must say 296 (304 in a 64-bit build) for
// Process32First to fill it.
static_assert(sizeof(PROCESSENTRY32) == (sizeof(void*) == 4 ? 296 : 304), "ANSI process entry");

// How long an ended process may take to go before the clean-up calls it a failure.
constexpr DWORD kExitWaitMilliseconds = 3000;

// The executable name of a snapshot entry, read up to its first zero byte and trimmed.
std::string ExecutableNameOf(const PROCESSENTRY32& entry) {
    return Trimmed(std::string(entry.szExeFile, strnlen(entry.szExeFile, sizeof entry.szExeFile)));
}

// The id of the first process in a fresh snapshot whose executable name is the same name as
// name, both trimmed. False when there is none or no snapshot can be taken.
bool FindFirstProcessNamed(const std::string& name, DWORD& process_id) {
    KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.IsOpen()) return false;
    const std::string wanted = Trimmed(name);
    PROCESSENTRY32 entry;
    std::memset(&entry, 0, sizeof entry);
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry)) {
        if (IsSameName(ExecutableNameOf(entry), wanted)) {
            process_id = entry.th32ProcessID;
            return true;
        }
    }
    return false;
}

bool HasEnded(HANDLE process, DWORD wait_milliseconds) {
    return WaitForSingleObject(process, wait_milliseconds) == WAIT_OBJECT_0;
}

}  // namespace

bool IsProcessRunning(const std::string& name) {
    DWORD process_id = 0;
    return FindFirstProcessNamed(name, process_id);
}

std::string ProcessImagePath(const std::string& name) {
    DWORD process_id = 0;
    if (!FindFirstProcessNamed(name, process_id)) return std::string();
    using QueryImageFunction = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
    const auto query = AsFunction<QueryImageFunction>(GetModuleProc("kernel32.dll", "QueryFullProcessImageNameA"));
    if (query) {
        KernelHandle process(OpenProcess(0x1000 /* PROCESS_QUERY_LIMITED_INFORMATION */, FALSE, process_id));
        char path[MAX_PATH + 1] = {};
        DWORD length = MAX_PATH;
        if (process.IsOpen() && query(process.Get(), 0, path, &length)) return std::string(path, length);
    }
    // Older systems: the first module of the process is its image.
    KernelHandle modules(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process_id));
    MODULEENTRY32 module;
    std::memset(&module, 0, sizeof module);
    module.dwSize = sizeof module;
    if (modules.IsOpen() && Module32First(modules.Get(), &module)) return module.szExePath;
    return std::string();
}

bool KillProcessByName(const std::string& name) {
    // The system's own processes are never ended, whoever asks.
    if (IsSystemProcessName(name)) return false;
    DWORD process_id = 0;
    if (!FindFirstProcessNamed(name, process_id)) return true;
    KernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process_id));
    // An id that no longer names a process: it ended on its own since the snapshot.
    if (!process.IsOpen()) return GetLastError() == ERROR_INVALID_PARAMETER;
    // Termination fails for a process that is already on its way out; the wait decides.
    if (!TerminateProcess(process.Get(), 0) && !HasEnded(process.Get(), 0)) return false;
    return HasEnded(process.Get(), kExitWaitMilliseconds);
}
