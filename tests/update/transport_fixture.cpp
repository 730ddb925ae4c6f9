#include "transport_fixture.h"

#include <winsock2.h>

#include <cstdlib>

#include "check.h"
#include "win32/handles.h"

namespace {

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string Environment(const char* name) {
    char value[MAX_PATH * 2] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length && length < sizeof value ? value : "";
}

void RestoreEnvironment(const char* name, const std::string& value) {
    SetEnvironmentVariableA(name, value.empty() ? nullptr : value.c_str());
}

// A port the system just handed out and took back: nothing listens there.
int ClosedPort() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 1;
    int port = 1;
    const SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    if (probe != INVALID_SOCKET && bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    if (probe != INVALID_SOCKET) closesocket(probe);
    WSACleanup();
    return port;
}

}  // namespace

std::string TestDataPath(const std::string& name) { return ProgramFolder() + "update_transport\\" + name; }

std::string ServedPath(const std::string& name) { return TestDataPath("served\\" + name); }

std::string ServerUrl(const std::string& path) {
    const std::string base = Environment("KESTRUNE_TEST_HTTP");
    if (base.empty()) check::Fail(__FILE__, __LINE__, "KESTRUNE_TEST_HTTP is not set: run under with_http_server.sh");
    return base + "/" + path;
}

std::string UnreachableUrl(const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/" + path;
}

std::string Pattern(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    unsigned state = seed * 2654435761u + 1;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 16);
    }
    return bytes;
}

std::string ShowStatuses(const std::vector<ReportedStatus>& statuses) {
    std::string text;
    for (const ReportedStatus& status : statuses)
        text += "\n        " + check::Quote(status.text) + " (Status:" + std::to_string(status.status_code) +
                ") (Error:" + std::to_string(status.error_code) + ")";
    return text;
}

StatusRecorder::StatusRecorder() {
    reporter.error_boxes = false;
    reporter.on_status = [this](const std::string& text, int status_code, int error_code) {
        statuses.push_back({text, status_code, error_code});
    };
}

ScratchTemporaryFolder::ScratchTemporaryFolder()
    : old_tmp_(Environment("TMP")), old_temp_(Environment("TEMP")) {
    SetEnvironmentVariableA("TMP", scratch_.Path().c_str());
    SetEnvironmentVariableA("TEMP", scratch_.Path().c_str());
}

ScratchTemporaryFolder::~ScratchTemporaryFolder() {
    RestoreEnvironment("TMP", old_tmp_);
    RestoreEnvironment("TEMP", old_temp_);
}

std::vector<std::string> ScratchTemporaryFolder::TemporaryDownloads() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    FindHandle search((scratch_ / "QVU*.tmp").c_str(), data);
    for (bool found = search.IsOpen(); found; found = search.Next(data)) names.push_back(data.cFileName);
    return names;
}

update::InternetHandle OpenTestSession() {
    update::InternetHandle session(InternetOpenA("Kestrune test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!session.IsOpen()) check::Fail(__FILE__, __LINE__, "InternetOpenA failed");
    return session;
}
