// The installer's run: the wait covers every process the installer started, the timeout leaves
// them running and names them, a missing installer is refused, and the command line reaches the
// installer as the arguments were given.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "check.h"
#include "installer_run.h"
#include "process_probes.h"
#include "scratch_folder.h"
#include "win32/ansi_text.h"

namespace {

const char kChild[] = "kestrune_sleeper.exe";

std::string BesideThisProgram(const std::string& name) {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string path = exe;
    return path.substr(0, path.find_last_of('\\') + 1) + name;
}

std::string ReadText(const std::string& path) {
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[512];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    CloseHandle(file);
    return text;
}

void WriteText(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

TEST(TheWaitCoversTheChildThatOutlivesTheInstaller) {
    CHECK(!IsProcessRunning(kChild));
    const InstallerRun run = RunInstaller(BesideThisProgram("tracing_installer_stub.exe"), {"2000"}, 60);
    CHECK(run.started);
    CHECK(run.installer_ended);
    CHECK(run.all_ended);
    CHECK_EQ(run.exit_code, 7ul);
    CHECK(run.still_running.empty());
    CHECK(run.note.empty());
    // The child lived two seconds longer than the installer: it ended before the wait did.
    CHECK(!IsProcessRunning(kChild));
}

TEST(AtTheTimeoutWhatStillRunsIsNamedAndLeftRunning) {
    const InstallerRun run = RunInstaller(BesideThisProgram("tracing_installer_stub.exe"), {"60000"}, 2);
    CHECK(run.started);
    CHECK(run.installer_ended);
    CHECK(!run.all_ended);
    CHECK_EQ(run.still_running, std::vector<std::string>{kChild});
    CHECK(IsProcessRunning(kChild));
    CHECK(KillProcessByName(kChild));
}

TEST(AMissingInstallerIsRefused) {
    for (const char* missing : {"C:\\no such folder\\setup.exe", "no-such-installer-here", ""}) {
        CONTEXT(missing);
        const InstallerRun run = RunInstaller(missing, {}, 5);
        CHECK(!run.started);
        CHECK(run.error.find("安装程序不存在") == 0);
    }
    std::string path, error;
    CHECK(!FindInstaller("C:\\windows", path, error));
    CHECK(error.find("文件夹") != std::string::npos);
}

TEST(TheArgumentsArriveAsGiven) {
    const std::vector<std::vector<std::string>> cases = {
        {"setup.exe", "/S"},
        {"C:\\Program Files\\a b\\setup.exe", "/D=C:\\Program Files\\Vendor", ""},
        {"x", "say \"hi\"", "trail\\", "trail space\\", "\\\\server\\share\\", "a\\\"b"},
        {"x", "\xD4\xC6\xB7\xAB\\", "\xB1\x5C\" quoted"},
    };
    for (const std::vector<std::string>& parts : cases) {
        const std::string line = QuotedCommandLine(parts);
        CONTEXT(line);
        int count = 0;
        LPWSTR* arguments = CommandLineToArgvW(WideFromAnsi(line).c_str(), &count);
        CHECK(arguments != nullptr);
        if (!arguments) continue;
        std::vector<std::string> read;
        for (int i = 0; i < count; ++i) read.push_back(AnsiFromWide(arguments[i]));
        LocalFree(arguments);
        CHECK_EQ(read, parts);
    }

    // A batch installer in a folder with a blank, run through the command interpreter.
    ScratchFolder scratch("C:\\", "trace run");
    const std::string batch = scratch / "install me.bat";
    WriteText(batch, "@echo off\r\necho %~1>\"%~dp0out.txt\"\r\nexit /b 3\r\n");
    const InstallerRun run = RunInstaller(batch, {"two words"}, 60);
    CHECK(run.all_ended);
    CHECK_EQ(run.exit_code, 3ul);
    CHECK_EQ(ReadText(scratch / "out.txt"), std::string("two words\r\n"));
}
