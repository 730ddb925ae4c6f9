#include <windows.h>
#include <objbase.h>

#include <memory>

#include "check.h"
#include "cleanup_selection.h"
#include "engine_fixture.h"
#include "scratch_folder.h"
#include "file_system.h"
#include "main_thread_invoker.h"
#include "text_rules.h"
#include "worker_launcher.h"

namespace {

StringList g_events;

void OnStep(int step, const char* text) {
    g_events.push_back(text ? "step " + std::to_string(step) + " " + text : "step " + std::to_string(step));
}
void OnRunState(int state) { g_events.push_back("state " + std::to_string(state)); }
void OnRunError(const char* message) { g_events.push_back(std::string("error ") + message); }

template <typename Worker>
std::unique_ptr<Worker> Connected(std::unique_ptr<Worker> worker) {
    worker->OnStep = OnStep;
    worker->OnRunState = OnRunState;
    worker->OnRunError = OnRunError;
    return worker;
}

// Launches the worker and waits for the end of its run, serving this thread's messages
// meanwhile, as qxcli does.
void RunToTheEnd(std::unique_ptr<TQXWorkerThread> worker, TQX& engine) {
    g_events.clear();
    WorkerLauncher launcher(engine);
    CHECK_EQ(launcher.Launch(std::move(worker)), LaunchResult::kStarted);
    launcher.WaitForRunEnd();
}

StringList Protocol(const char* const messages[TQXWorkerThread::kStepCount], const char* final_message) {
    StringList events = {"state 0"};
    for (int k = 0; k < TQXWorkerThread::kStepCount; ++k) {
        events.push_back("step -1 " + std::string(messages[k]));
        events.push_back("step " + std::to_string(k + 1));
    }
    events.push_back("step -1 " + std::string(final_message));
    events.push_back("state -1");
    return events;
}

const char* const kAnalysisMessages[TQXWorkerThread::kStepCount] = {
    "正在分析该软件在您系统中的进程信息(1/7),请耐心等待......",
    "正在分析该软件在您系统中的核心文件信息(2/7),请耐心等待......",
    "正在分析该软件在您系统中的相关目录信息(3/7),请耐心等待......",
    "正在分析该软件在您系统中的驱动服务信息(4/7),请耐心等待......",
    "正在分析该软件在您系统中的组件注册表信息(5/7),请耐心等待......",
    "正在分析该软件在您系统中的注册表信息(6/7),请耐心等待......",
    "正在分析该软件在您系统中的快捷方式信息(7/7),请耐心等待......",
};

const char* const kCleanupMessages[TQXWorkerThread::kStepCount] = {
    "正在关闭该软件在您系统中的运行中进程(1/7),请耐心等待......",
    "正在清除该软件在您系统中的驱动服务(2/7),请耐心等待......",
    "正在清除该软件在您系统中的核心文件(3/7),请耐心等待......",
    "正在清除该软件在您系统中的组件注册表(4/7),请耐心等待......",
    "正在清除该软件在您系统中的注册表(5/7),请耐心等待......",
    "正在清除该软件在您系统中的相关目录(6/7),请耐心等待......",
    "正在清除该软件在您系统中的快捷方式信息(7/7),请耐心等待......",
};

}  // namespace

TEST(AnalysisWorkerRunsTheProtocolAndHandsShortcutsToThisThread) {
    CHECK(SUCCEEDED(CoInitialize(nullptr)));
    {
        EngineFixture f;
        f.ConnectAllSlots();
        MainThreadInvoker invoker;
        ScratchFolder users("C:\\Users", "KestruneWorkerTest");
        const std::string program = users.Path() + "\\WorkerApp";
        CreateDirectories(program);
        ::WriteFile(program + "\\inside.lnk", "x");  // a shortcut inside the program's folder
        f.WriteProgram({{"FL", {"WorkerApp"}}});
        f.engine.SelectedIndex = 0;
        CleanupSelection earlier_run;
        earlier_run.related_dirs = {"left over from an earlier run"};
        FillCleanupLists(f.engine, earlier_run);

        auto worker = Connected(std::make_unique<TQX_Thread_Analyzed>(f.engine, "SW", RegistryView::kDefault));
        worker->Invoker = &invoker;
        RunToTheEnd(std::move(worker), f.engine);

        CHECK_EQ(g_events, Protocol(kAnalysisMessages, "该软件所涉及的安装信息已分析完毕."));
        // The walk gives the folder as the file system spells it ("users" under Wine).
        const StringList& folders = f.engine.WorkLists().DirList;
        CHECK_EQ(folders.size(), 1u);
        const std::string found = folders.empty() ? "" : folders[0];
        CHECK_EQ(UpperCased(found), UpperCased(program));
        CHECK_EQ(Slots().texts["shortcut"], StringList{program + "\\inside.lnk"});  // searched from "Users\"
        // Shell links are COM objects: the step ran here, the folder walk on the worker.
        CHECK_EQ(Slots().threads["shortcut"], GetCurrentThreadId());
        CHECK(Slots().threads["dir"] != GetCurrentThreadId());
        CHECK(!f.engine.Analyzing);
    }
    CoUninitialize();
}

TEST(AStepThatFailsStillEndsTheRun) {
    EngineFixture f;
    f.ConnectAllSlots();
    f.WriteProgram({{"CF", {"C:\\a.dll"}}});
    // A damaged line in the core-file category: step 2 raises a decoding error.
    ::WriteFile(JoinPath(f.engine.WorkDir, "SID_SW_CF.hdb.UPhdb"), "NOT HEX\r\n");
    f.engine.SelectedIndex = 0;
    RunToTheEnd(Connected(std::make_unique<TQX_Thread_Analyzed>(f.engine, "SW", RegistryView::kDefault)), f.engine);
    CHECK_EQ(g_events, (StringList{"state 0", "step -1 " + std::string(kAnalysisMessages[0]), "step 1",
                                   "step -1 " + std::string(kAnalysisMessages[1]),
                                   "error '0xNO' is not a valid integer value", "state -1"}));
    CHECK(!f.engine.Analyzing);
}

TEST(CleanupWorkerRunsAllSevenStepsEvenWithNothingToDo) {
    EngineFixture f;
    f.ConnectAllSlots();
    RunToTheEnd(Connected(std::make_unique<TQX_Thread_Uninstall>(f.engine, RegistryView::kDefault)), f.engine);
    CHECK_EQ(g_events, Protocol(kCleanupMessages, "该软件所涉及的安装信息已清除完毕."));
    CHECK(Slots().texts["clean"].empty());
    CHECK(!f.engine.Uninstalling);
}

TEST(OneRunAtATimeWithItsFlagUpFromTheLaunch) {
    CHECK(SUCCEEDED(CoInitialize(nullptr)));
    {
        EngineFixture f;
        f.ConnectAllSlots();
        f.WriteProgram({});
        f.engine.SelectedIndex = 0;
        g_events.clear();
        // The analysis hands its shortcut step to this thread, so it cannot end before this
        // thread serves its messages in WaitForRunEnd.
        MainThreadInvoker invoker;
        WorkerLauncher launcher(f.engine);
        auto analysis = Connected(std::make_unique<TQX_Thread_Analyzed>(f.engine, "SW", RegistryView::kDefault));
        analysis->Invoker = &invoker;
        CHECK_EQ(launcher.Launch(std::move(analysis)), LaunchResult::kStarted);
        CHECK(f.engine.Analyzing);

        // A second start is refused, whatever its kind and launcher, and calls nothing.
        WorkerLauncher other_launcher(f.engine);
        CHECK_EQ(launcher.Launch(Connected(std::make_unique<TQX_Thread_Uninstall>(f.engine, RegistryView::kDefault))),
                 LaunchResult::kBusy);
        CHECK_EQ(other_launcher.Launch(
                     Connected(std::make_unique<TQX_Thread_Analyzed>(f.engine, "SW", RegistryView::kDefault))),
                 LaunchResult::kBusy);
        CHECK(!f.engine.Uninstalling);

        launcher.WaitForRunEnd();
        CHECK(!f.engine.Analyzing);
        CHECK_EQ(g_events, Protocol(kAnalysisMessages, "该软件所涉及的安装信息已分析完毕."));

        // Once the run has ended the next one starts, its own flag up at once.
        g_events.clear();
        CHECK_EQ(launcher.Launch(Connected(std::make_unique<TQX_Thread_Uninstall>(f.engine, RegistryView::kDefault))),
                 LaunchResult::kStarted);
        CHECK(f.engine.Uninstalling);
        launcher.WaitForRunEnd();
        CHECK(!f.engine.Uninstalling);
        CHECK_EQ(g_events, Protocol(kCleanupMessages, "该软件所涉及的安装信息已清除完毕."));
    }
    CoUninitialize();
}
