// qvsetup.exe: replaces the program's components after an online update. Started by the
// program as it ends, it waits for that process to end, puts the downloaded components in the
// program's folder (all or none), writes its log when asked, and starts the program again.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>

#include "component_swap.h"
#include "replacement_command.h"
#include "replacement_log.h"
#include "win32/handles.h"

namespace {

// How long the ending program may take; tests shorten it with KESTRUNE_QVSETUP_WAIT_MS.
constexpr DWORD kWaitForProgramMs = 60000;

DWORD WaitLimit() {
    const char* text = std::getenv("KESTRUNE_QVSETUP_WAIT_MS");
    return text && *text ? static_cast<DWORD>(std::strtoul(text, nullptr, 10)) : kWaitForProgramMs;
}

// The command line after the program's own name (quoted or not).
std::string Arguments() {
    const std::string line = GetCommandLineA();
    size_t position = 0;
    if (!line.empty() && line[0] == '"') {
        const size_t close = line.find('"', 1);
        position = close == std::string::npos ? line.size() : close + 1;
    } else {
        position = line.find(' ');
        if (position == std::string::npos) position = line.size();
    }
    return line.substr(position);
}

// True when the process has ended (or was gone already).
bool WaitForEnd(unsigned long process_id, DWORD limit) {
    KernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, process_id));
    if (!process.IsOpen()) return true;
    return WaitForSingleObject(process.Get(), limit) == WAIT_OBJECT_0;
}

std::string FolderOf(const std::string& path) {
    const size_t separator = path.find_last_of('\\');
    return separator == std::string::npos ? ".\\" : path.substr(0, separator + 1);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::string error;
    const auto request = update::ParseReplacementParameters(Arguments(), &error);
    update::ReplacementLog log(request && request->logging);
    if (!request) {
        log.Line("qvsetup: cannot read its parameters: " + error);
        return 2;
    }
    log.Line("qvsetup: waiting for process " + std::to_string(request->process_id) + " to end");
    if (!WaitForEnd(request->process_id, WaitLimit())) {
        log.Line("qvsetup: process " + std::to_string(request->process_id) + " did not end within " +
                 std::to_string(WaitLimit() / 1000) + " s; nothing was replaced");
        return 3;
    }
    const std::string program_folder = FolderOf(request->program_path);
    bool names_plain = true;
    for (const std::string& name : request->components) {
        if (update::IsPlainComponentName(name)) continue;
        log.Line("qvsetup: refused component \"" + name + "\": it would leave the program's folder");
        names_plain = false;
    }
    const bool replaced = names_plain && update::SwapComponents(request->component_folder, program_folder,
                                                                request->components,
                                                                [&](const std::string& line) { log.Line("qvsetup: " + line); });
    log.Line(replaced ? "qvsetup: all components are in place" : "qvsetup: the program was left as it was");
    // The program comes back, new or as it was.
    const auto started = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", request->program_path.c_str(), request->program_parameters.c_str(),
                      program_folder.c_str(), SW_SHOWNORMAL));
    if (started <= 32) log.Line("qvsetup: cannot start " + request->program_path);
    return replaced ? 0 : 1;
}
