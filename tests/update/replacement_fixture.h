// What the replacement tests share: the folder of the test program (qvsetup.exe, the sleeper and
// the restart probe are built beside it), waiting for something another process does, and
// QVUPDATE.INI of the documents folder kept as it was.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "file_system.h"  // FileExists

// With a trailing backslash.
std::string ThisProgramFolder();

// Polls condition until it holds or timeout_ms have passed; true when it held.
bool WaitUntilTrue(const std::function<bool()>& condition, DWORD timeout_ms);

// The restart settings file as the test found it (its bytes, or that there was none), put back
// when the test ends.
class RestartSettingsKept {
public:
    RestartSettingsKept();
    ~RestartSettingsKept();
    RestartSettingsKept(const RestartSettingsKept&) = delete;
    RestartSettingsKept& operator=(const RestartSettingsKept&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
    bool existed_;
    std::string bytes_;
};
