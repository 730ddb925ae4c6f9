#include "service_control.h"

#include <algorithm>
#include <string>
#include <vector>

#include "path_identity.h"
#include "service_image.h"
#include "win32/handles.h"

namespace {

constexpr DWORD kEnumerationBufferSize = 64 * 1024;

// The system's own message for error, without its line end.
std::string SystemMessage(DWORD error) {
    char text[1024] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                  sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' ')) --length;
    return std::string(text, length);
}

// Sets the failure to what went wrong with the system's reason and its number; always false.
bool Failed(std::string* failure, const std::string& what, DWORD error) {
    if (failure) {
        const std::string message = SystemMessage(error);
        *failure = what + "：" + (message.empty() ? "" : message + " ") + "(错误 " + std::to_string(error) + ")";
    }
    return false;
}

std::string DurationText(DWORD milliseconds) {
    return milliseconds % 1000 == 0 ? std::to_string(milliseconds / 1000) + " 秒"
                                    : std::to_string(milliseconds) + " 毫秒";
}

// The folder the system calls %SystemRoot%: the shared Windows folder, also in a terminal
// session with a Windows folder of its own.
std::string SystemRootFolder() {
    char folder[MAX_PATH + 1] = {};
    const UINT length = GetSystemWindowsDirectoryA(folder, MAX_PATH);
    return length > 0 && length <= MAX_PATH ? std::string(folder, length) : std::string();
}

// The service's binary path as configured. False when the service has gone since it was listed;
// an empty path when its configuration cannot be read.
bool ReadBinaryPath(SC_HANDLE manager, const char* name, std::string& binary_path) {
    binary_path.clear();
    ServiceHandle service(OpenServiceA(manager, name, SERVICE_QUERY_CONFIG));
    if (!service.IsOpen()) return GetLastError() != ERROR_SERVICE_DOES_NOT_EXIST;
    DWORD needed = 0;
    if (QueryServiceConfigA(service.Get(), nullptr, 0, &needed) || GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return true;
    std::vector<BYTE> buffer(needed);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    if (QueryServiceConfigA(service.Get(), config, needed, &needed) && config->lpBinaryPathName)
        binary_path = config->lpBinaryPathName;
    return true;
}

bool QueryStatus(SC_HANDLE service, SERVICE_STATUS_PROCESS& status) {
    DWORD needed = 0;
    return QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status,
                                &needed) != FALSE;
}

// How long to wait before asking a stopping service again: a tenth of its wait hint, as the
// system's own tools do, kept between a tenth of a second and a second.
DWORD PollInterval(DWORD wait_hint) { return std::min<DWORD>(std::max<DWORD>(wait_hint / 10, 100), 1000); }

std::vector<std::string> CanonicalPaths(const std::vector<std::string>& paths) {
    std::vector<std::string> canonical;
    for (const std::string& path : paths) {
        std::string spelling = CanonicalPath(path);
        if (!spelling.empty()) canonical.push_back(std::move(spelling));
    }
    return canonical;
}

}  // namespace

std::vector<ServiceEntry> ListServices(std::string* failure) {
    ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_ENUMERATE_SERVICE));
    if (!manager.IsOpen()) {
        Failed(failure, "无法打开服务控制管理器", GetLastError());
        return {};
    }
    const std::string windows_folder = SystemRootFolder();
    std::vector<ServiceEntry> services;
    std::vector<BYTE> buffer(kEnumerationBufferSize);
    DWORD resume = 0;
    for (;;) {
        DWORD needed = 0, returned = 0;
        const BOOL complete = EnumServicesStatusExA(manager.Get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32 | SERVICE_DRIVER,
                                                    SERVICE_STATE_ALL, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                    &needed, &returned, &resume, nullptr);
        if (!complete && GetLastError() != ERROR_MORE_DATA) {
            Failed(failure, "无法列出系统服务", GetLastError());
            return {};
        }
        const auto* listed = reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSA*>(buffer.data());
        for (DWORD i = 0; i < returned; ++i) {
            ServiceEntry entry;
            if (!ReadBinaryPath(manager.Get(), listed[i].lpServiceName, entry.image_path)) continue;
            entry.name = listed[i].lpServiceName;
            entry.display_name = listed[i].lpDisplayName ? listed[i].lpDisplayName : "";
            entry.image_file = ServiceImageFile(entry.image_path, windows_folder);
            entry.type = listed[i].ServiceStatusProcess.dwServiceType;
            entry.state = listed[i].ServiceStatusProcess.dwCurrentState;
            services.push_back(std::move(entry));
        }
        if (complete) break;
        // The rest follows from the resume point; a buffer too small for even one entry grows.
        if (returned == 0) buffer.resize(std::max<std::size_t>(needed, buffer.size() * 2));
    }
    return services;
}

std::vector<ServiceEntry> ServicesOfProgram(const std::vector<ServiceEntry>& all, const std::vector<std::string>& files,
                                            const std::vector<std::string>& folders) {
    const std::vector<std::string> canonical_files = CanonicalPaths(files);
    std::vector<std::string> canonical_folders = CanonicalPaths(folders);
    canonical_folders.erase(std::remove_if(canonical_folders.begin(), canonical_folders.end(), IsVolumeRoot),
                            canonical_folders.end());
    std::vector<ServiceEntry> found;
    for (const ServiceEntry& service : all) {
        const std::string image = CanonicalPath(service.image_file);
        if (image.empty()) continue;
        const bool is_a_file =
            std::find(canonical_files.begin(), canonical_files.end(), image) != canonical_files.end();
        const bool is_inside = std::any_of(canonical_folders.begin(), canonical_folders.end(),
                                           [&](const std::string& folder) { return IsStrictlyInside(image, folder); });
        if (is_a_file || is_inside) found.push_back(service);
    }
    return found;
}

bool StopServiceNamed(const std::string& name, DWORD timeout_ms, std::string* failure) {
    ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager.IsOpen()) return Failed(failure, "无法打开服务控制管理器", GetLastError());
    ServiceHandle service(OpenServiceA(manager.Get(), name.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS));
    if (!service.IsOpen()) {
        const DWORD error = GetLastError();
        return error == ERROR_SERVICE_DOES_NOT_EXIST || Failed(failure, "无法打开服务 " + name, error);
    }
    SERVICE_STATUS_PROCESS status = {};
    if (!QueryStatus(service.Get(), status)) return Failed(failure, "无法查询服务 " + name + " 的状态", GetLastError());
    if (status.dwCurrentState == SERVICE_STOPPED) return true;

    // Opened before the stop, so that the handle is the service's process and no later one of its id.
    KernelHandle process;
    if ((status.dwServiceType & SERVICE_WIN32_OWN_PROCESS) && status.dwProcessId != 0)
        process.Reset(OpenProcess(SYNCHRONIZE, FALSE, status.dwProcessId));

    // The request goes once: a second one that finds the service still running makes Wine's
    // service manager end its process, which Windows never does.
    const DWORD start = GetTickCount();
    bool stop_sent = false;
    while (status.dwCurrentState != SERVICE_STOPPED) {
        if (!stop_sent && status.dwCurrentState != SERVICE_STOP_PENDING) {
            SERVICE_STATUS reported = {};
            stop_sent = ControlService(service.Get(), SERVICE_CONTROL_STOP, &reported) != FALSE;
            const DWORD error = stop_sent ? ERROR_SUCCESS : GetLastError();
            if (error == ERROR_SERVICE_NOT_ACTIVE) break;  // it stopped meanwhile
            // A service still starting cannot take the request yet: it is asked again below.
            if (!stop_sent && error != ERROR_SERVICE_CANNOT_ACCEPT_CTRL)
                return Failed(failure, "服务 " + name + " 拒绝停止", error);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeout_ms) {
            if (failure) *failure = "服务 " + name + " 未能在 " + DurationText(timeout_ms) + "内停止";
            return false;
        }
        Sleep(std::min(PollInterval(status.dwWaitHint), timeout_ms - elapsed));
        if (!QueryStatus(service.Get(), status))
            return Failed(failure, "无法查询服务 " + name + " 的状态", GetLastError());
    }
    if (process.IsOpen()) {
        const DWORD elapsed = GetTickCount() - start;
        WaitForSingleObject(process.Get(), elapsed < timeout_ms ? timeout_ms - elapsed : 0);
    }
    return true;
}

bool DeleteServiceNamed(const std::string& name, std::string* failure) {
    ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager.IsOpen()) return Failed(failure, "无法打开服务控制管理器", GetLastError());
    ServiceHandle service(OpenServiceA(manager.Get(), name.c_str(), DELETE));
    if (!service.IsOpen()) {
        const DWORD error = GetLastError();
        return error == ERROR_SERVICE_DOES_NOT_EXIST || Failed(failure, "无法打开服务 " + name, error);
    }
    if (DeleteService(service.Get())) return true;
    const DWORD error = GetLastError();
    // Marked by an earlier request: the system removes it once it has stopped and every handle
    // to it is closed, which is all a deletion can do for a service that still runs.
    return error == ERROR_SERVICE_MARKED_FOR_DELETE || Failed(failure, "无法删除服务 " + name, error);
}
