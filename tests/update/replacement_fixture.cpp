#include "replacement_fixture.h"

#include "check.h"
#include "fixtures.h"
#include "replacement_program.h"

std::string ThisProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.erase(folder.find_last_of('\\') + 1);
}

bool WaitUntilTrue(const std::function<bool()>& condition, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeout_ms) return false;
        Sleep(50);
    }
    return true;
}

RestartSettingsKept::RestartSettingsKept() : path_(update::RestartSettingsPath()), existed_(FileExists(path_)) {
    CHECK(!path_.empty());
    if (existed_) bytes_ = ReadFile(path_);
}

RestartSettingsKept::~RestartSettingsKept() {
    if (existed_)
        WriteFile(path_, bytes_);
    else
        DeleteFileA(path_.c_str());
}
