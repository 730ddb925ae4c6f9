#include "worker_threads.h"

#include <exception>

#include "main_thread_invoker.h"
#include "tqx.h"

TQXWorkerThread::TQXWorkerThread(TQX& engine, bool use_64bit_view)
    : engine_(engine), use_64bit_view_(use_64bit_view) {
    thread_.Reset(CreateThread(nullptr, 0, ThreadMain, this, CREATE_SUSPENDED, nullptr));
}

void TQXWorkerThread::Resume() { ResumeThread(thread_.Get()); }

DWORD WINAPI TQXWorkerThread::ThreadMain(void* self) {
    auto* worker = static_cast<TQXWorkerThread*>(self);
    worker->Execute();
    delete worker;
    return 0;
}

void TQXWorkerThread::RunSteps(const Step (&steps)[7], const char* final_message, std::atomic<bool>& busy) {
    busy = true;
    OnRunState(0);
    try {
        for (int k = 0; k < 7; ++k) {
            OnStep(-1, steps[k].message);
            if (steps[k].work) steps[k].work();
            OnStep(k + 1, nullptr);
        }
        OnStep(-1, final_message);
    } catch (const std::exception& error) {
        if (OnRunError) OnRunError(error.what());
    } catch (...) {
        if (OnRunError) OnRunError("Unknown error");
    }
    OnRunState(-1);
    busy = false;
}

TQX_Thread_Analyzed::TQX_Thread_Analyzed(TQX& engine, const std::string& software_type, bool use_64bit_view)
    : TQXWorkerThread(engine, use_64bit_view), software_type_(software_type) {}

void TQX_Thread_Analyzed::Execute() {
    TQX& engine = engine_;
    const std::string& type = software_type_;
    const bool view = use_64bit_view_;
    engine.DirList.clear();
    const Step steps[7] = {
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
         [&] { engine.AnalyzeSysFile(engine.SelectedIndex, type); }},
        {"正在分析该软件在您系统中的组件注册表信息(5/7),请耐心等待......",
         [&] { engine.AnalyzeAXCLSID(engine.SelectedIndex, type, view); }},
        {"正在分析该软件在您系统中的注册表信息(6/7),请耐心等待......",
         [&] { engine.AnalyzeNewReg(engine.SelectedIndex, type, view); }},
        // Shell links are COM objects: this step runs on the thread that initialised COM.
        {"正在分析该软件在您系统中的快捷方式信息(7/7),请耐心等待......",
         [&] {
             if (Invoker)
                 Invoker->Invoke([&] { engine.AnalyzeShellLink(); });
             else
                 engine.AnalyzeShellLink();
         }},
    };
    RunSteps(steps, "该软件所涉及的安装信息已分析完毕.", engine.Analyzing);
}

TQX_Thread_Uninstall::TQX_Thread_Uninstall(TQX& engine, bool use_64bit_view)
    : TQXWorkerThread(engine, use_64bit_view) {}

void TQX_Thread_Uninstall::Execute() {
    TQX& engine = engine_;
    const bool view = use_64bit_view_;
    engine.Tally = TQX::CleanupTally();
    const Step steps[7] = {
        {"正在关闭该软件在您系统中的运行中进程(1/7),请耐心等待......",
         [&] {
             engine.PrepareSafety(engine.SelectedIndex, engine.SoftwareType);
             engine.CleanProcessRun();
         }},
        // Driver files are not removed: a driver may still be loaded. The log says so.
        {"正在清除该软件在您系统中的驱动服务(2/7),请耐心等待......", [&] { engine.CleanSysFile(); }},
        {"正在清除该软件在您系统中的核心文件(3/7),请耐心等待......", [&] { engine.CleanCoreFile(); }},
        {"正在清除该软件在您系统中的组件注册表(4/7),请耐心等待......", [&] { engine.CleanAXCLSID(view); }},
        {"正在清除该软件在您系统中的注册表(5/7),请耐心等待......", [&] { engine.CleanNewReg(view); }},
        {"正在清除该软件在您系统中的相关目录(6/7),请耐心等待......", [&] { engine.CleanRelatedDir(); }},
        {"正在清除该软件在您系统中的快捷方式信息(7/7),请耐心等待......", [&] { engine.CleanShellLink(); }},
    };
    RunSteps(steps, "该软件所涉及的安装信息已清除完毕.", engine.Uninstalling);
}
