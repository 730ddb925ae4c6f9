// qvsetup.exe as the program meets it: unpacked from the resource, started with the parameters
// the client builds, in a scratch installation on C: whose folders hold blanks. The "program" is
// the restart probe, which says when it has been started again; the ending program is a sleeper.
#include <windows.h>

#include <string>
#include <vector>

#include "check.h"
#include "fixtures.h"
#include "replacement_command.h"
#include "replacement_fixture.h"
#include "replacement_program.h"
#include "scratch_folder.h"
#include "win32/handles.h"

namespace {

const char kProgramName[] = "kestrune_restart_probe.exe";
const char kProgramParameters[] = "--first \"two words\"";
constexpr DWORD kProcessTimeoutMs = 60000;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string OldProgram() { return ReadFile(ThisProgramFolder() + kProgramName); }
// Still the probe: bytes after the image do not keep it from running.
std::string NewProgram() { return OldProgram() + "new build"; }

struct StartedProcess {
    KernelHandle handle;
    DWORD id = 0;
};

void Start(const std::string& command_line, StartedProcess& process) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION information = {};
    std::string line = command_line;
    CHECK(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &information));
    CloseHandle(information.hThread);
    process.handle.Reset(information.hProcess);
    process.id = information.dwProcessId;
}

std::string SleeperCommand(DWORD milliseconds) {
    return "\"" + ThisProgramFolder() + "kestrune_sleeper.exe\" " + std::to_string(milliseconds);
}

// The program that ends while qvsetup.exe waits; ended at the latest when the test ends.
class EndingProgram {
public:
    EndingProgram() { Start(SleeperCommand(kProcessTimeoutMs), process_); }
    ~EndingProgram() { End(); }
    DWORD Id() const { return process_.id; }
    bool HasEnded() const { return WaitForSingleObject(process_.handle.Get(), 0) == WAIT_OBJECT_0; }
    void End() {
        TerminateProcess(process_.handle.Get(), 0);
        WaitForSingleObject(process_.handle.Get(), kProcessTimeoutMs);
    }

private:
    StartedProcess process_;
};

// The identifier of a program that has ended before qvsetup.exe starts.
DWORD EndedProgramId() {
    StartedProcess process;
    Start(SleeperCommand(0), process);
    WaitForSingleObject(process.handle.Get(), kProcessTimeoutMs);
    return process.id;
}

// C:\kestrune replacement-PID\ with the installed program (the probe and data.bin) in "My Program",
// the downloaded components in "new files\download" and qvsetup.exe unpacked into "temp folder".
class Installation {
public:
    Installation() : root_("C:\\", "kestrune replacement") {
        root_.MakeFolders({"My Program", "new files\\download", "temp folder"});
        qvsetup_ = update::UnpackReplacementProgram(GetModuleHandleA(nullptr), root_ / "temp folder\\");
        WriteFile(Installed(kProgramName), OldProgram());
        WriteFile(Installed("data.bin"), "old data");
        WriteFile(Downloaded(kProgramName), NewProgram());
        WriteFile(Downloaded("data.bin"), "new data");
    }
    ~Installation() {
        // The restarted probe and qvsetup.exe may still be ending; their folders go after them.
        for (const std::string& program : {Installed(kProgramName), qvsetup_})
            WaitUntilTrue([&] { return DeleteFileA(program.c_str()) || !FileExists(program); }, kProcessTimeoutMs);
    }

    std::string Installed(const std::string& name) const { return root_ / ("My Program\\" + name); }
    std::string Downloaded(const std::string& name) const { return root_ / ("new files\\download\\" + name); }
    std::string Root(const std::string& name) const { return root_ / name; }
    const std::string& Qvsetup() const { return qvsetup_; }

    std::string Parameters(DWORD process_id, bool logging, const std::string& components) const {
        return update::BuildReplacementParameters(process_id, logging, root_ / "My Program", kProgramName,
                                                  kProgramParameters, root_ / "new files\\download\\", components);
    }
    // Runs qvsetup.exe to its end; its exit code.
    DWORD Run(const std::string& parameters) const {
        StartedProcess process;
        Start("\"" + qvsetup_ + "\" " + parameters, process);
        CHECK(WaitForSingleObject(process.handle.Get(), kProcessTimeoutMs) == WAIT_OBJECT_0);
        DWORD code = 0;
        GetExitCodeProcess(process.handle.Get(), &code);
        return code;
    }
    // What the restarted probe wrote, one line each: process id, command line, working folder;
    // "" when it has not been started within timeout_ms.
    std::string Restart(DWORD timeout_ms) const {
        // Wine may refuse the first opening of a file renamed a moment ago: wait until it reads.
        const std::string marker = Installed("restarted.txt");
        std::string text;
        return WaitUntilTrue([&] { return ReadWholeFile(marker, text); }, timeout_ms) ? text : "";
    }
    void CheckProgramRestarted() const {
        const std::string restart = Restart(kProcessTimeoutMs);
        CHECK(Contains(restart, kProgramName + std::string("\" ") + kProgramParameters + "\r\n"));
        CHECK(Contains(restart, "\r\n" + root_ / "My Program" + "\r\n"));  // started in its folder
    }
    void CheckInstalled(const std::string& program, const std::string& data) const {
        CHECK(ReadFile(Installed(kProgramName)) == program);
        CHECK_EQ(ReadFile(Installed("data.bin")), data);
        CHECK(!FileExists(Installed(kProgramName + std::string(".qvbak"))));
        CHECK(!FileExists(Installed("data.bin.qvbak")));
    }

private:
    ScratchFolder root_;
    std::string qvsetup_;
};

// The log qvsetup.exe writes with the flag L: a path in LOGFILENAME, or a plain name in the
// documents folder. Removed at the end, with QVUPDATE.INI put back as it was.
class ReplacementLogFile {
public:
    explicit ReplacementLogFile(const std::string& name) {
        update::WriteRestartSettings(name);
        path_ = name.find('\\') != std::string::npos
                    ? name
                    : settings_.Path().substr(0, settings_.Path().find_last_of('\\') + 1) + name;
        DeleteFileA(path_.c_str());
    }
    ~ReplacementLogFile() { DeleteFileA(path_.c_str()); }
    std::string Text() const { return FileExists(path_) ? ReadFile(path_) : ""; }
    bool Exists() const { return FileExists(path_); }

private:
    RestartSettingsKept settings_;
    std::string path_;
};

}  // namespace

TEST(the_program_is_replaced_once_it_has_ended_and_starts_again_with_its_parameters) {
    const Installation installation;
    const ReplacementLogFile log(installation.Root("replacement.LOG"));
    EndingProgram program;
    // As the client does it: ShellExecute, and the program ends.
    CHECK(update::StartReplacementProgram(
        installation.Qvsetup(), installation.Parameters(program.Id(), true, "kestrune_restart_probe.exe, data.bin")));
    CHECK(WaitUntilTrue([&] { return Contains(log.Text(), "qvsetup: started with "); }, kProcessTimeoutMs));
    Sleep(1000);
    CHECK_EQ(ReadFile(installation.Installed("data.bin")), "old data");  // nothing happens while it runs
    CHECK_EQ(installation.Restart(0), "");
    program.End();

    installation.CheckProgramRestarted();
    CHECK(WaitUntilTrue([&] { return Contains(log.Text(), "qvsetup: started C:\\"); }, kProcessTimeoutMs));
    installation.CheckInstalled(NewProgram(), "new data");
    CHECK(Contains(log.Text(), "all components are in place\r\n"));
    CHECK_EQ(ReadFile(installation.Downloaded("data.bin")), "new data");
}

TEST(a_copy_that_fails_puts_every_old_file_back_and_the_old_program_starts_again) {
    const struct {
        const char* name;
        const char* components;
        bool hold_data_open;
        const char* logged;
    } rows[] = {
        {"a component missing from the folder", "kestrune_restart_probe.exe extra.dll data.bin missing.dll", false,
         "missing.dll is missing; the old files are put back"},
        {"an installed file held open", "kestrune_restart_probe.exe;extra.dll;data.bin", true,
         "data.bin aside (error 32); the old files are put back"},
    };
    for (const auto& row : rows) {
        CONTEXT(row.name);
        const Installation installation;
        const ReplacementLogFile log(installation.Root("replacement.LOG"));
        WriteFile(installation.Downloaded("extra.dll"), "a new module");
        SetFileAttributesA(installation.Installed("data.bin").c_str(), FILE_ATTRIBUTE_READONLY);
        KernelHandle held(row.hold_data_open ? CreateFileA(installation.Installed("data.bin").c_str(), GENERIC_READ,
                                                           FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)
                                             : INVALID_HANDLE_VALUE);
        CHECK_EQ(installation.Run(installation.Parameters(EndedProgramId(), true, row.components)), 1ul);
        held.Reset();
        installation.CheckInstalled(OldProgram(), "old data");
        CHECK(GetFileAttributesA(installation.Installed("data.bin").c_str()) & FILE_ATTRIBUTE_READONLY);
        CHECK(!FileExists(installation.Installed("extra.dll")));
        CHECK(Contains(log.Text(), row.logged));
        CHECK(Contains(log.Text(), "put back " + installation.Installed(kProgramName) + "\r\n"));
        CHECK(Contains(log.Text(), "the program was left as it was\r\n"));
        installation.CheckProgramRestarted();
    }
}

TEST(component_names_that_leave_the_program_folder_are_refused_and_nothing_is_touched) {
    const Installation installation;
    const ReplacementLogFile log("replacement test.LOG");  // a plain name: in the documents folder
    WriteFile(installation.Root("new files\\escaped.dll"), "planted");
    const std::vector<std::string> refused = {"..\\escaped.dll", "download/data.bin", "C:escaped.dll", "CON", ".."};
    std::string components = "data.bin";
    for (const std::string& name : refused) components += " " + name;
    CHECK_EQ(installation.Run(installation.Parameters(EndedProgramId(), true, components)), 1ul);
    installation.CheckInstalled(OldProgram(), "old data");
    CHECK(!FileExists(installation.Root("escaped.dll")));
    for (const std::string& name : refused) {
        CONTEXT(name);
        CHECK(Contains(log.Text(), "refused component \"" + name + "\""));
    }
    installation.CheckProgramRestarted();
}

TEST(without_the_log_flag_nothing_is_written) {
    const Installation installation;
    const ReplacementLogFile log(installation.Root("replacement.LOG"));
    CHECK_EQ(installation.Run(installation.Parameters(EndedProgramId(), false, "data.bin")), 0ul);
    installation.CheckInstalled(OldProgram(), "new data");
    CHECK(!log.Exists());
    installation.CheckProgramRestarted();
}

// KESTRUNE_QVSETUP_WAIT_MS shortens qvsetup.exe's wait from a minute to half a second.
TEST(a_program_that_does_not_end_is_left_running_untouched_and_the_time_out_is_logged) {
    const Installation installation;
    const ReplacementLogFile log("replacement test.LOG");
    EndingProgram program;
    SetEnvironmentVariableA("KESTRUNE_QVSETUP_WAIT_MS", "500");
    const DWORD code = installation.Run(installation.Parameters(program.Id(), true, "kestrune_restart_probe.exe data.bin"));
    SetEnvironmentVariableA("KESTRUNE_QVSETUP_WAIT_MS", nullptr);
    CHECK_EQ(code, 3ul);
    CHECK(Contains(log.Text(), "qvsetup: process " + std::to_string(program.Id()) +
                                   " did not end within 500 ms; nothing was replaced\r\n"));
    installation.CheckInstalled(OldProgram(), "old data");
    CHECK_EQ(installation.Restart(2000), "");  // no second copy of a program that still runs
    CHECK(!program.HasEnded());
}
