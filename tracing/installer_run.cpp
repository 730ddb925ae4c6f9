#include "installer_run.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>

#include "win32/error_text.h"
#include "splitters.h"
#include "text_rules.h"
#include "win32/handles.h"

namespace {

constexpr DWORD kPollMilliseconds = 200;
// Room for the process ids of a job: installers start a handful.
constexpr DWORD kMostListedProcesses = 512;

bool NeedsQuotes(const std::string& part) {
    return part.empty() || part.find_first_of(" \t\n\v\"") != std::string::npos;
}

// One part in quotes: n backslashes before a quote become 2n + 1 and the quote, n backslashes
// before the closing quote become 2n. The trail byte of a double-byte character is no backslash.
std::string QuotedPart(const std::string& part) {
    if (!NeedsQuotes(part)) return part;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (std::size_t i = 0; i < part.size(); ++i) {
        const char c = part[i];
        if (IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < part.size()) {
            quoted.append(backslashes, '\\');
            backslashes = 0;
            quoted += part.substr(i++, 2);
        } else if (c == '\\') {
            ++backslashes;
        } else {
            quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
            quoted += c;
            backslashes = 0;
        }
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

bool EndsWithUpper(const std::string& text, const char* upper_ending) {
    const std::string upper = UpperCased(text), ending = upper_ending;
    return upper.size() > ending.size() && upper.compare(upper.size() - ending.size(), ending.size(), ending) == 0;
}

std::string SearchedProgram(const std::string& name) {
    char found[MAX_PATH + 1] = {};
    char* file_part = nullptr;
    const DWORD length = SearchPathA(nullptr, name.c_str(), ".exe", MAX_PATH, found, &file_part);
    return length > 0 && length <= MAX_PATH ? std::string(found, length) : std::string();
}

// The program that runs the installer, and the command line it gets.
struct Launch {
    std::string application;
    std::string command_line;
};

Launch LaunchOf(const std::string& installer, const std::vector<std::string>& arguments) {
    std::vector<std::string> parts{installer};
    parts.insert(parts.end(), arguments.begin(), arguments.end());
    if (EndsWithUpper(installer, ".BAT") || EndsWithUpper(installer, ".CMD")) {
        // /s: the interpreter takes away the outer quotes only and runs the rest as written.
        char interpreter[MAX_PATH + 1] = {};
        const DWORD length = GetEnvironmentVariableA("ComSpec", interpreter, MAX_PATH);
        const std::string program = length > 0 && length <= MAX_PATH ? interpreter : SearchedProgram("cmd.exe");
        return {program, QuotedPart(program) + " /d /s /c \"" + QuotedCommandLine(parts) + "\""};
    }
    if (EndsWithUpper(installer, ".MSI")) {
        const std::string program = SearchedProgram("msiexec.exe");
        parts.insert(parts.begin(), {program, "/i"});
        return {program, QuotedCommandLine(parts)};
    }
    return {installer, QuotedCommandLine(parts)};
}

// Starts the installer suspended, out of any job qxcli itself runs in where that job allows.
bool StartSuspended(const Launch& launch, PROCESS_INFORMATION& process, std::string& error) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string command_line = launch.command_line;
    for (const DWORD breakaway : {static_cast<DWORD>(CREATE_BREAKAWAY_FROM_JOB), static_cast<DWORD>(0)}) {
        if (CreateProcessA(launch.application.c_str(), &command_line[0], nullptr, nullptr, FALSE,
                           CREATE_SUSPENDED | breakaway, nullptr, nullptr, &startup, &process))
            return true;
        if (GetLastError() != ERROR_ACCESS_DENIED) break;
    }
    error = ErrorText("cannot start " + launch.application);
    return false;
}

DWORD ActiveProcesses(HANDLE job) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
    if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting, sizeof accounting, nullptr))
        return 1;  // unknown: keep waiting until the timeout says otherwise
    return accounting.ActiveProcesses;
}

std::vector<DWORD> JobProcessIds(HANDLE job) {
    std::vector<char> buffer(sizeof(JOBOBJECT_BASIC_PROCESS_ID_LIST) + kMostListedProcesses * sizeof(ULONG_PTR));
    auto* list = reinterpret_cast<JOBOBJECT_BASIC_PROCESS_ID_LIST*>(buffer.data());
    std::vector<DWORD> ids;
    if (!QueryInformationJobObject(job, JobObjectBasicProcessIdList, list, static_cast<DWORD>(buffer.size()), nullptr))
        return ids;
    for (DWORD i = 0; i < list->NumberOfProcessIdsInList; ++i) ids.push_back(static_cast<DWORD>(list->ProcessIdList[i]));
    return ids;
}

// The image names of the processes, from the system's process list; the id where none is found.
std::vector<std::string> ImageNames(const std::vector<DWORD>& ids) {
    std::vector<std::string> names;
    KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    for (const DWORD id : ids) {
        std::string name = "process " + std::to_string(id);
        PROCESSENTRY32 entry = {};
        entry.dwSize = sizeof entry;
        if (snapshot.IsOpen() && Process32First(snapshot.Get(), &entry)) {
            do {
                if (entry.th32ProcessID == id) name = entry.szExeFile;
            } while (Process32Next(snapshot.Get(), &entry));
        }
        names.push_back(name);
    }
    return names;
}

}  // namespace

std::string QuotedCommandLine(const std::vector<std::string>& parts) {
    std::string line;
    for (const std::string& part : parts) line += (line.empty() ? "" : " ") + QuotedPart(part);
    return line;
}

bool FindInstaller(const std::string& installer, std::string& path, std::string& error) {
    const std::string found = installer.empty() ? std::string() : SearchedProgram(installer);
    const DWORD attributes = found.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(found.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = "安装程序不存在: " + installer;
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        error = "安装程序是一个文件夹: " + installer;
        return false;
    }
    path = found;
    return true;
}

InstallerRun RunInstaller(const std::string& installer, const std::vector<std::string>& arguments,
                          unsigned long timeout_seconds) {
    InstallerRun run;
    std::string path;
    if (!FindInstaller(installer, path, run.error)) return run;
    const Launch launch = LaunchOf(path, arguments);
    run.command_line = launch.command_line;
    if (launch.application.empty()) {
        run.error = "no program to run " + path + " with";
        return run;
    }

    KernelHandle job(CreateJobObjectA(nullptr, nullptr));
    PROCESS_INFORMATION started = {};
    if (!StartSuspended(launch, started, run.error)) return run;
    KernelHandle process(started.hProcess), thread(started.hThread);
    run.started = true;
    // Windows before 8 puts a process in one job only: under a job that forbids breaking away,
    // only the installer's own process is waited for.
    if (!job.IsOpen() || !AssignProcessToJobObject(job.Get(), process.Get())) {
        run.note = ErrorText("the installer could not be put in a job object; only its own process was waited for");
        job.Reset();
    }
    ResumeThread(thread.Get());

    const DWORD limit = static_cast<DWORD>(std::min<unsigned long>(timeout_seconds, 86400UL) * 1000UL);
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        const DWORD remaining = elapsed >= limit ? 0 : limit - elapsed;
        if (!run.installer_ended) {
            if (WaitForSingleObject(process.Get(), std::min(remaining, kPollMilliseconds)) == WAIT_OBJECT_0) {
                run.installer_ended = true;
                GetExitCodeProcess(process.Get(), &run.exit_code);
            }
        } else {
            Sleep(std::min(remaining, kPollMilliseconds));
        }
        if (run.installer_ended && (!job.IsOpen() || ActiveProcesses(job.Get()) == 0)) {
            run.all_ended = true;
            return run;
        }
        if (remaining == 0) break;
    }
    // The timeout: what still runs is named and left running; closing the job ends nothing.
    std::vector<DWORD> ids = job.IsOpen() ? JobProcessIds(job.Get()) : std::vector<DWORD>();
    if (ids.empty() && !run.installer_ended) ids.push_back(started.dwProcessId);
    run.still_running = ImageNames(ids);
    return run;
}
