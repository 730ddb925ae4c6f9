// Replacing the running program: qvsetup.exe is unpacked from this executable, given the
// process to wait for, the components and the command to start again, and the program ends.
#include "folder_lookup_win.h"
#include "online_update.h"
#include "replacement_command.h"
#include "replacement_program.h"
#include "update_folders.h"

namespace update {

namespace {

const char kRestartQuestion[] = "Shutdown application to update executable files ?";

}  // namespace

void TOnlineUpdate::Restart() {
    Status(959, CurrentFolder(), 0);
    if (!silent_restart_ && !host_.Ask(kRestartQuestion)) return;
    try {
        const std::string program = UnpackReplacementProgram(GetModuleHandleA(nullptr), TemporaryFolder());
        WriteRestartSettings(LogFileName);
        const std::string parameters = BuildReplacementParameters(
            GetCurrentProcessId(), Logging, CurrentFolder(), app_name_, app_params_, TemporaryFolder(), app_comps_);
        Status(958, parameters, 0);
        if (!StartReplacementProgram(program, parameters)) {
            Status(950, program, 0);
            StopRun("无法启动更新程序 " + program + ", 程序未被替换.");
            return;
        }
    } catch (const std::exception& error) {
        // The program keeps running; the components stay in the temporary folder.
        StopRun(std::string("无法准备程序更新: ") + error.what());
        return;
    }
    if (OnAppDoClose)
        OnAppDoClose();
    else
        PostQuitMessage(0);
}

}  // namespace update
