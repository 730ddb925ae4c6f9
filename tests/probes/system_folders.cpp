#include "system_folders.h"

#include <windows.h>

std::string WindowsFolder() {
    char path[MAX_PATH] = {};
    GetWindowsDirectoryA(path, MAX_PATH);
    return path;
}

std::string SystemFolder() {
    char path[MAX_PATH] = {};
    GetSystemDirectoryA(path, MAX_PATH);
    return path;
}

std::string NativeSystemFolder() {
    BOOL wow64 = FALSE;
    if (IsWow64Process(GetCurrentProcess(), &wow64) && wow64) return WindowsFolder() + "\\Sysnative";
    return SystemFolder();
}

std::string ProfileFolder() {
    char path[MAX_PATH] = {};
    GetEnvironmentVariableA("USERPROFILE", path, MAX_PATH);
    return path;
}
