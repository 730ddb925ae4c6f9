// qvsetup.exe, carried in the program as the compressed resource "UPD": unpacked with the
// system's LZ32 functions, told where its log goes, and started.
#pragma once

#include <windows.h>

#include <string>

namespace update {

// Writes the resource to qvsetup.ex_ in temp_folder, expands it under the name the header gives
// (qvsetup.exe) and removes the compressed copy. Returns the expanded program's path; throws
// std::runtime_error saying what failed.
std::string UnpackReplacementProgram(HMODULE module, const std::string& temp_folder);
// LOGFILENAME in section [CONFIG] of QVUPDATE.INI in the documents folder; throws on failure.
void WriteRestartSettings(const std::string& log_file_name);
// ShellExecute "open" without an owner window; false when the system could not start it.
bool StartReplacementProgram(const std::string& program_path, const std::string& parameters);

// The settings file, for qvsetup.exe's side.
std::string RestartSettingsPath();

}  // namespace update
