#include "machine_state.h"

#include <windows.h>
#include <tlhelp32.h>

#include <stdexcept>
#include <vector>

#include "win32/handles.h"

namespace {

struct RegistryItem {
    HKEY root;
    std::string key;
    bool has_value;
    std::string value;
};

std::vector<std::string> SplitAtBars(const std::string& text) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t bar; (bar = text.find('|', start)) != std::string::npos; start = bar + 1)
        fields.push_back(text.substr(start, bar - start));
    fields.push_back(text.substr(start));
    return fields;
}

RegistryItem ParseItem(const std::string& item, bool is_component) {
    const std::vector<std::string> fields = SplitAtBars(item);
    const struct {
        const char* name;
        HKEY root;
    } roots[] = {{"HKLM", HKEY_LOCAL_MACHINE},
                 {"HKCU", HKEY_CURRENT_USER},
                 {"HKU", HKEY_USERS},
                 {"HKCR", HKEY_CLASSES_ROOT}};
    for (const auto& root : roots) {
        if (fields.size() < 2 || fields[0] != root.name) continue;
        RegistryItem parsed{root.root, fields[1], fields.size() > 2 && !is_component, ""};
        if (parsed.has_value) {
            parsed.value = fields[2];
            if (parsed.value.size() >= 2 && parsed.value.front() == '"' && parsed.value.back() == '"')
                parsed.value = parsed.value.substr(1, parsed.value.size() - 2);
        }
        return parsed;
    }
    throw std::runtime_error("not a registry item: " + item);
}

}  // namespace

bool RegistryItemExists(const std::string& item, bool is_component) {
    const RegistryItem parsed = ParseItem(item, is_component);
    RegistryKey key;
    if (key.Open(parsed.root, parsed.key.c_str(), KEY_READ) != ERROR_SUCCESS) return false;
    return !parsed.has_value ||
           RegQueryValueExA(key.Get(), parsed.value.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool DeleteRegistryValue(const std::string& item) {
    const RegistryItem parsed = ParseItem(item, false);
    RegistryKey key;
    if (key.Open(parsed.root, parsed.key.c_str(), KEY_SET_VALUE | KEY_READ) == ERROR_SUCCESS)
        RegDeleteValueA(key.Get(), parsed.value.c_str());
    return !RegistryItemExists(item, false);
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool ProcessRuns(const std::string& exe_name) {
    KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (bool more = snapshot.IsOpen() && Process32First(snapshot.Get(), &entry); more;
         more = Process32Next(snapshot.Get(), &entry))
        if (lstrcmpiA(entry.szExeFile, exe_name.c_str()) == 0) return true;
    return false;
}

bool ServiceExists(const std::string& name) {
    ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    ServiceHandle service(OpenServiceA(manager.Get(), name.c_str(), SERVICE_QUERY_STATUS));
    return service.IsOpen();
}

int RunSiblingProgram(const std::string& exe_name, const std::string& arguments, unsigned long timeout_ms) {
    char own[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, own, MAX_PATH);
    std::string folder = own;
    folder.erase(folder.find_last_of('\\') + 1);
    std::string command = "\"" + folder + exe_name + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    KernelHandle process_handle(process.hProcess), thread_handle(process.hThread);
    if (WaitForSingleObject(process.hProcess, timeout_ms) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}
