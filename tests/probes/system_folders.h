// The folders of the prefix that tests plant in and check: the Windows and system folders and
// the current user's profile.
#pragma once

#include <string>

std::string WindowsFolder();
std::string SystemFolder();
// The 64-bit system folder as this process reaches it: <windows>\Sysnative in a 32-bit process on
// 64-bit Windows (asked of IsWow64Process here, not of the code under test), else SystemFolder().
std::string NativeSystemFolder();
std::string ProfileFolder();
