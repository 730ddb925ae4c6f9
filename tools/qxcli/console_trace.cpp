#include "console_trace.h"

#include <windows.h>

#include <cstdio>

#include "code_page.h"
#include "installer_run.h"
#include "machine_snapshot.h"
#include "new_key_contents.h"
#include "signature_source.h"
#include "snapshot_diff.h"
#include "trace_machine_facts.h"
#include "win32/error_text.h"
#include "win32/handles.h"

namespace {

enum TraceExit { kWritten = 0, kUsage = 2, kNotWritten = 3, kInstallerProblem = 4 };

// Windows Installer's "success, restart needed" codes count as success.
bool IsSuccessCode(unsigned long code) { return code == 0 || code == 3010 || code == 1641; }

// The writer's messages are UTF-8 made from code page 936 texts: they convert back exactly.
std::string Cp936(const std::string& utf8) {
    std::string cp936;
    return Utf8ToCp936(utf8, cp936) ? cp936 : utf8;
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH + 1] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length <= MAX_PATH ? std::string(full, length) : path;
}

std::string FolderOf(const std::string& path) {
    char folder[MAX_PATH + 1] = {};
    char* name = nullptr;
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, folder, &name);
    if (length == 0 || length > MAX_PATH || !name) return std::string();
    return std::string(folder, static_cast<std::size_t>(name - folder));
}

std::string LocalTimeText() {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    return text;
}

// Why the run does not count as a finished installation; empty when it does.
std::string RunProblem(const InstallerRun& run, unsigned long timeout_seconds) {
    if (!run.all_ended) {
        std::string names;
        for (const std::string& name : run.still_running) names += (names.empty() ? "" : ", ") + name;
        return "安装程序在 " + std::to_string(timeout_seconds) + " 秒内未结束 (the installer did not finish in time); " +
               "still running, left running: " + (names.empty() ? std::string("?") : names);
    }
    if (!IsSuccessCode(run.exit_code))
        return "安装程序以退出代码 " + std::to_string(run.exit_code) + " 结束 (the installer failed)";
    return "";
}

bool WriteNewFile(const std::string& path, const std::string& contents, std::string& error) {
    KernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file.IsOpen() || !WriteFile(file.Get(), contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr) ||
        written != contents.size()) {
        error = ErrorText("未能写入特征文件: " + path);
        return false;
    }
    return true;
}

// The signature file can be written: its name gives a key, its folder exists, it does not.
bool CheckSignatureFile(const ConsoleTraceOptions& options, const std::string& path, std::string& error) {
    std::string type, key;
    if (!SignatureKeyOf(options.signature_file, options.type, type, key, error)) {
        error = Cp936(error);
        return false;
    }
    const std::string folder = FolderOf(path);
    const DWORD folder_attributes = folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(folder.c_str());
    if (folder_attributes == INVALID_FILE_ATTRIBUTES || !(folder_attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = "the signature file's folder does not exist: " + folder;
        return false;
    }
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        error = path + " already exists; remove it or choose another name";
        return false;
    }
    return true;
}

}  // namespace

int RunConsoleTrace(const ConsoleTraceOptions& options, const std::function<void(const std::string&)>& print,
                    std::string& error) {
    const std::string signature_path = FullPath(options.signature_file);
    if (!CheckSignatureFile(options, signature_path, error)) return kUsage;
    std::string installer;
    if (!FindInstaller(options.installer[0], installer, error)) return kUsage;
    const std::vector<std::string> arguments(options.installer.begin() + 1, options.installer.end());

    print("正在记录安装前的状态...");
    const MachineSnapshot before = TakeMachineSnapshot();
    print("正在运行安装程序: " + installer);
    const InstallerRun run = RunInstaller(installer, arguments, options.timeout_seconds);
    if (!run.started) {
        error = run.error;
        return kInstallerProblem;
    }
    if (!run.note.empty()) print("注意: " + run.note);
    print("正在记录安装后的状态...");
    const MachineSnapshot after = TakeMachineSnapshot();

    TracedChanges changes = DiffSnapshots(before, after, {signature_path});
    OpenUpProtectedKeys(after, changes);
    TraceRequest request;
    request.signature_file = options.signature_file;
    request.type = options.type;
    request.sub_type = options.sub_type;
    request.program_name = options.program_name;
    request.installer_command_line = run.command_line;
    request.traced_at = LocalTimeText();
    request.run_problem = RunProblem(run, options.timeout_seconds);
    const SignatureSourceText source =
        WriteSignatureSource(changes, TracedComClasses(after, changes), request, ReadTraceMachineFacts(before));
    if (!source.written) {
        error = Cp936(source.error);
        if (!request.run_problem.empty()) error += "; " + request.run_problem;
        return kUsage;
    }
    if (!WriteNewFile(signature_path, source.utf8_text, error)) return kNotWritten;
    print("已写入特征文件: " + signature_path + " (" + std::to_string(source.record_count) + " 条记录)");
    if (request.run_problem.empty()) return kWritten;
    error = request.run_problem;
    return kInstallerProblem;
}
