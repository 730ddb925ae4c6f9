// qxcli: the console front end over the uninstall engine, for scripting, batch use and tests.
// Exit codes: 0 done, 2 usage error (also an unknown backup ID), 3 database error, also one that
// stops a run (message on stderr), 4 a clean-up that left items (each named in its log, counted
// on stderr), a restore that left items or a dry run that would (each named, counted in the last
// line), or an update that did not place every file it selected, 5 a clean-up that is complete
// once the machine restarts (items in use are scheduled for deletion at restart; counted on stderr).
// trace: 0 written, 2 usage error or no catalogue name, 3 not written, 4 the installer did not
// start, or timed out or failed (the source is written all the same, saying so).
#include <objbase.h>
#include <windows.h>

#include <cstdio>
#include <exception>
#include <new>

#include "backup_store.h"
#include "code_page.h"
#include "console_backups.h"
#include "console_session.h"
#include "console_trace.h"
#include "console_update.h"
#include "errors.h"
#include "options.h"
#include "timer_resolution.h"

namespace {

enum ExitCode { kDone = 0, kUsageError = 2, kDatabaseError = 3, kItemsLeft = 4, kRestartCompletes = 5 };

bool g_utf8 = false;

void Write(std::FILE* stream, const std::string& cp936_text) {
    const std::string text = g_utf8 ? Cp936ToUtf8OrEscaped(cp936_text) : cp936_text;
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fputc('\n', stream);
}

void PrintLine(const std::string& text) { Write(stdout, text); }

int Fail(ExitCode code, const std::string& message) {
    Write(stderr, "qxcli: " + message);
    return code;
}

void PrintTraces(const std::vector<Trace>& traces) {
    for (const Trace& trace : traces) PrintLine(std::string(TraceKindOf(trace.kind).name) + "\t" + trace.text);
}

// Every trace found stays ticked, as in the window when the user unticks nothing.
CleanupSelection SelectEverything(const std::vector<Trace>& traces, const StringList& install_paths) {
    CleanupSelection selection;
    selection.install_paths = install_paths;
    for (const Trace& trace : traces) (selection.*TraceKindOf(trace.kind).selection).push_back(trace.text);
    return selection;
}

// The work lists in the order the clean-up goes through them.
void PrintWorkLists(const TQX& engine) {
    for (const TraceKind kind : {TraceKind::kProcess, TraceKind::kDriver, TraceKind::kCoreFile, TraceKind::kComponent,
                                 TraceKind::kRegistry, TraceKind::kRelatedDir, TraceKind::kShortcut}) {
        const TraceKindInfo& info = TraceKindOf(kind);
        for (const std::string& item : engine.WorkLists().*info.work_list)
            PrintLine(std::string(info.name) + "\t" + item);
    }
}

int RunCommand(const QxcliOptions& options) {
    ConsoleSession session(options.package);
    if (!session.Open()) return Fail(kDatabaseError, "数据库释放错误. (" + session.PackagePath() + ")");

    if (options.command == "list") {
        const StringList lines = session.ListSoftware(options.type, options.sub_type, options.os);
        for (std::size_t row = 0; row < lines.size(); ++row) PrintLine(std::to_string(row) + "\t" + lines[row]);
        return kDone;
    }
    const int row = session.FindProgram(options.type, options.program);
    if (row < 0) return Fail(kUsageError, "no program " + options.program + " in the " + options.type + " catalogue");
    const StringList install_paths = session.ListInstallPaths(options.type, row);
    if (options.command == "paths") {
        for (const std::string& path : install_paths) PrintLine(path);
        return kDone;
    }

    std::vector<Trace> traces;
    std::string error;
    if (!session.Analyze(options.type, row, traces, error)) return Fail(kDatabaseError, error);
    if (options.command == "analyze") {
        PrintTraces(traces);
        return kDone;
    }
    const CleanupSelection selection = SelectEverything(traces, install_paths);
    if (options.dry_run) {
        FillCleanupLists(session.Engine(), selection);
        PrintWorkLists(session.Engine());
        return kDone;
    }
    StringList lines;
    if (!session.Clean(selection, lines, error)) return Fail(kDatabaseError, error);
    for (const std::string& line : lines) PrintLine(line);
    const TQX::CleanupTally& tally = session.Engine().Tally;
    const std::string restart_note =
        tally.scheduled == 0 ? std::string() : ", 重启后删除 " + std::to_string(tally.scheduled) + " 项";
    // A clean-up that left something is no success, for a script either.
    if (tally.not_removed != 0)
        return Fail(kItemsLeft, "清除操作未能全部完成: 已清除 " + std::to_string(tally.removed) + " 项, 未能清除 " +
                                    std::to_string(tally.not_removed) + " 项" + restart_note);
    if (tally.scheduled != 0)
        return Fail(kRestartCompletes, "清除操作已完成, 重启计算机后生效: 已清除 " + std::to_string(tally.removed) +
                                           " 项" + restart_note);
    return kDone;
}

int RunRestore(const QxcliOptions& options) {
    RestoreCounts counts;
    std::string error;
    if (!RestoreConsoleBackup(DefaultBackupRoot(), options.backup_id, options.dry_run, PrintLine, counts, error))
        return Fail(kUsageError, error);
    return counts.not_restored == 0 ? kDone : kItemsLeft;
}

int RunTrace(const QxcliOptions& options) {
    const ConsoleTraceOptions trace{options.signature_file, options.type,            options.trace_sub_type,
                                    options.program_name,   options.timeout_seconds, options.installer};
    std::string error;
    const int code = RunConsoleTrace(trace, PrintLine, error);
    if (!error.empty()) Write(stderr, "qxcli: " + error);
    return code;
}

// COM for this thread, released however the run ends.
struct ComApartment {
    ComApartment() { CoInitialize(nullptr); }
    ~ComApartment() { CoUninitialize(); }
};

int RunProgram(int argc, char** argv) {
    QxcliOptions options;
    std::string usage_error;
    if (!ParseQxcliOptions(std::vector<std::string>(argv + 1, argv + argc), options, usage_error)) {
        std::fprintf(stderr, "qxcli: %s\n%s", usage_error.c_str(), kQxcliUsage);
        return kUsageError;
    }
    g_utf8 = options.utf8;

    TimerResolution timer_resolution;
    // Shortcuts are read through COM on this thread, as in the window.
    ComApartment com;
    try {
        if (options.command == "update")
            return RunConsoleUpdate(ConsoleUpdateOptions{options.update_url, options.answer_yes}, PrintLine);
        if (options.command == "backups") {
            ListConsoleBackups(DefaultBackupRoot(), PrintLine);
            return kDone;
        }
        if (options.command == "restore") return RunRestore(options);
        if (options.command == "trace") return RunTrace(options);
        return RunCommand(options);
    } catch (const EDatabaseError& error) {
        return Fail(kDatabaseError, error.what());
    }
}

}  // namespace

// Nothing escapes main: whatever stops a run ends in a message and exit code 3, never in abort().
int main(int argc, char** argv) {
    int code = kDatabaseError;
    try {
        code = RunProgram(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("qxcli: out of memory; the run was stopped\n", stderr);  // nothing allocated here
    } catch (const std::exception& error) {
        std::fprintf(stderr, "qxcli: the run was stopped by an unexpected error: %s\n", error.what());
    } catch (...) {
        std::fputs("qxcli: the run was stopped by an unexpected error\n", stderr);
    }
    std::fflush(stdout);
    return code;
}
