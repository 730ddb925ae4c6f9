#include "worker_threads.h"

#include <exception>

#include "main_thread_invoker.h"
#include "tqx.h"

namespace {

// A run decodes the database's records once and drops them when it ends, however it ends.
class RecordRun {
public:
    RecordRun(TQX& engine, const std::string& type) : engine_(engine) { engine_.BeginRecordRun(type); }
    ~RecordRun() { engine_.EndRecordRun(); }
    RecordRun(const RecordRun&) = delete;
    RecordRun& operator=(const RecordRun&) = delete;

private:
    TQX& engine_;
};

}  // namespace

TQXWorkerThread::TQXWorkerThread(TQX& engine, std::atomic<bool>& busy, RegistryView view)
    : engine_(engine), view_(view), busy_(busy) {}

void TQXWorkerThread::RunSteps(const Step* steps, int count, const char* final_message) {
    const auto step = [this](int number, const char* text) {
        if (OnStep) OnStep(number, text);
    };
    if (OnRunState) OnRunState(0);
    try {
        for (int k = 0; k < count; ++k) {
            step(-1, steps[k].message);
            if (steps[k].work) steps[k].work();
            step((k + 1) * kStepCount / count, nullptr);
        }
        step(-1, final_message);
    } catch (const std::exception& error) {
        if (OnRunError) OnRunError(error.what());
    } catch (...) {
        if (OnRunError) OnRunError("Unknown error");
    }
    if (OnRunState) OnRunState(-1);
}

TQX_Thread_Analyzed::TQX_Thread_Analyzed(TQX& engine, const std::string& software_type, RegistryView view)
    : TQXWorkerThread(engine, engine.Analyzing, view), software_type_(software_type) {}

void TQX_Thread_Analyzed::Execute() {
    TQX& engine = engine_;
    const std::string& type = software_type_;
    const RegistryView view = view_;
    const Step steps[kStepCount] = {
        {"正在分析该软件在您系统中的进程信息(1/7),请耐心等待......",
         [&] {
             engine.PrepareSafety(engine.SelectedIndex, type);
             engine.AnalyzeProcessRun(engine.SelectedIndex, type);
         }},
        {"正在分析该软件在您系统中的核心文件信息(2/7),请耐心等待......",
         [&] { engine.AnalyzeCoreFile(engine.SelectedIndex, type); }},
        {"正在分析该软件在您系统中的相关目录信息(3/7),请耐心等待......",
         [&] { engine.AnalyzeRelatedDir(engine.SelectedIndex, type); }},
        {"正在分析该软件在您系统中的驱动服务信息(4/7),请耐心等待......",
         [&] {
             engine.AnalyzeSysFile(engine.SelectedIndex, type);
             engine.AnalyzeServices();
         }},
        {"正在分析该软件在您系统中的组件注册表信息(5/7),请耐心等待......",
         [&] { engine.AnalyzeAXCLSID(engine.SelectedIndex, type, view); }},
        {"正在分析该软件在您系统中的注册表信息(6/7),请耐心等待......",
         [&] { engine.AnalyzeNewReg(engine.SelectedIndex, type, view); }},
        // The folder walk stays here; only the reading of the shortcuts, which are COM objects,
        // goes to the thread that initialised COM, which is the window's in Kestrune.
        {"正在分析该软件在您系统中的快捷方式信息(7/7),请耐心等待......",
         [&] {
             const StringList shortcut_files = engine.ListShortcutFiles();
             const auto read_shortcuts = [&] { engine.AnalyzeShellLink(shortcut_files); };
             if (Invoker)
                 Invoker->Invoke(read_shortcuts);
             else
                 read_shortcuts();
         }},
    };
    RecordRun records(engine, type);
    RunSteps(steps, "该软件所涉及的安装信息已分析完毕.");
}

TQX_Thread_Uninstall::TQX_Thread_Uninstall(TQX& engine, RegistryView view)
    : TQXWorkerThread(engine, engine.Uninstalling, view) {}

void TQX_Thread_Uninstall::Execute() {
    TQX& engine = engine_;
    const RegistryView view = view_;
    engine.Tally = TQX::CleanupTally();
    const Step steps[kStepCount] = {
        {"正在关闭该软件在您系统中的运行中进程(1/7),请耐心等待......",
         [&] {
             engine.PrepareSafety(engine.SelectedIndex, engine.SoftwareType);
             engine.BeginBackup(engine.SelectedIndex, engine.SoftwareType);
             engine.CleanProcessRun();
         }},
        // A service is stopped and deleted before the driver file or program it loads.
        {"正在清除该软件在您系统中的驱动服务(2/7),请耐心等待......",
         [&] {
             engine.CleanServices();
             engine.CleanSysFile();
         }},
        {"正在清除该软件在您系统中的核心文件(3/7),请耐心等待......", [&] { engine.CleanCoreFile(); }},
        {"正在清除该软件在您系统中的组件注册表(4/7),请耐心等待......", [&] { engine.CleanAXCLSID(view); }},
        {"正在清除该软件在您系统中的注册表(5/7),请耐心等待......", [&] { engine.CleanNewReg(view); }},
        {"正在清除该软件在您系统中的相关目录(6/7),请耐心等待......", [&] { engine.CleanRelatedDir(); }},
        {"正在清除该软件在您系统中的快捷方式信息(7/7),请耐心等待......",
         [&] {
             engine.CleanShellLink();
             engine.EndBackup();
         }},
    };
    RecordRun records(engine, engine.SoftwareType);
    RunSteps(steps, "该软件所涉及的安装信息已清除完毕.");
}

TQX_Thread_Restore::TQX_Thread_Restore(TQX& engine, std::string backup_folder, RestoreCounts& counts)
    : TQXWorkerThread(engine, engine.Uninstalling, RegistryView::kDefault),
      backup_folder_(std::move(backup_folder)),
      counts_(counts) {}

void TQX_Thread_Restore::Execute() {
    TQX& engine = engine_;
    counts_ = RestoreCounts();
    const auto report = [&engine](const std::string& line) {
        if (engine.OnCleanInfo) engine.OnCleanInfo(line.c_str());
    };
    const Step steps[] = {
        {"正在撤销本次清除,请耐心等待......", [&] { counts_ = RestoreBackup(backup_folder_, false, report); }},
    };
    RunSteps(steps, "本次清除已撤销.");
}
