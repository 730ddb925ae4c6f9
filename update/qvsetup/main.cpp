// qvsetup.exe: replaces the program's components after an online update. Started by the
// program as it ends, it waits for that process to end, puts the downloaded components in the
// program's folder (all or none), writes its log when asked, and starts the program again.
// Exit codes: 0 replaced, 1 left as it was, 2 unreadable parameters, 3 the program did not end.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "component_swap.h"
#include "replacement_command.h"
#include "replacement_log.h"
#include "win32/handles.h"

namespace {

// How long the ending program may take to end. The tests shorten it through the environment
// variable KESTRUNE_QVSETUP_WAIT_MS (milliseconds), which the program never sets.
constexpr DWORD kWaitForProgramMs = 60000;

DWORD WaitLimit() {
    const char* text = std::getenv("KESTRUNE_QVSETUP_WAIT_MS");
    return text && *text ? static_cast<DWORD>(std::strtoul(text, nullptr, 10)) : kWaitForProgramMs;
}

// The command line after this program's own name, quoted or not. The C runtime's argv would read
// the folder's closing backslash and quotation mark as an escaped quotation mark.
std::string CommandLineTail() {
    const std::string line = GetCommandLineA();
    size_t position = 0;
    if (!line.empty() && line[0] == '"') {
        const size_t close = line.find('"', 1);
        position = close == std::string::npos ? line.size() : close + 1;
    } else {
        position = std::min(line.find(' '), line.size());
    }
    return line.substr(position);
}

// "" once the process has ended (or was gone already); otherwise why it counts as running.
std::string WaitForEnd(unsigned long process_id, DWORD limit) {
    const std::string process = "process " + std::to_string(process_id);
    KernelHandle handle(OpenProcess(SYNCHRONIZE, FALSE, process_id));
    if (!handle.IsOpen()) {
        const DWORD error = GetLastError();
        return error == ERROR_INVALID_PARAMETER ? "" : "cannot watch " + process + " (error " + std::to_string(error) + ")";
    }
    switch (WaitForSingleObject(handle.Get(), limit)) {
        case WAIT_OBJECT_0: return "";
        case WAIT_TIMEOUT: return process + " did not end within " + std::to_string(limit) + " ms";
        default: return "cannot wait for " + process + " (error " + std::to_string(GetLastError()) + ")";
    }
}

std::string FolderOf(const std::string& path) {
    const size_t separator = path.find_last_of('\\');
    return separator == std::string::npos ? ".\\" : path.substr(0, separator + 1);
}

bool AllNamesPlain(const std::vector<std::string>& names, const update::ReplacementLog& log) {
    bool plain = true;
    for (const std::string& name : names) {
        if (update::IsPlainComponentName(name)) continue;
        log.Line("qvsetup: refused component \"" + name + "\": not a plain file name of the program's folder");
        plain = false;
    }
    return plain;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string tail = CommandLineTail();
    std::string error;
    const auto request = update::ParseReplacementParameters(tail, &error);
    // Without readable parameters there is no log flag either: nothing can be said.
    if (!request) return 2;
    const update::ReplacementLog log(request->logging);
    log.Line("qvsetup: started with" + tail);
    const std::string still_running = WaitForEnd(request->process_id, WaitLimit());
    if (!still_running.empty()) {
        // The old program may still run: neither its files nor a second copy of it.
        log.Line("qvsetup: " + still_running + "; nothing was replaced");
        return 3;
    }
    const std::string program_folder = FolderOf(request->program_path);
    const bool replaced =
        AllNamesPlain(request->components, log) &&
        update::SwapComponents(request->component_folder, program_folder, request->components,
                               [&](const std::string& line) { log.Line("qvsetup: " + line); });
    log.Line(replaced ? "qvsetup: all components are in place" : "qvsetup: the program was left as it was");
    // The program comes back, new or as it was.
    const auto started = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", request->program_path.c_str(), request->program_parameters.c_str(),
                      program_folder.c_str(), SW_SHOWNORMAL));
    log.Line(started > 32 ? "qvsetup: started " + request->program_path
                          : "qvsetup: cannot start " + request->program_path + " (error " + std::to_string(started) + ")");
    return replaced ? 0 : 1;
}
