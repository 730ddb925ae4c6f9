#include <windows.h>
#include <objbase.h>

#include "check.h"
#include "engine_fixture.h"
#include "scratch_folder.h"
#include "file_system.h"
#include "main_thread_invoker.h"
#include "text_rules.h"
#include "worker_threads.h"

namespace {

constexpr UINT kRunEnded = WM_APP + 7;
DWORD g_main_thread = 0;
StringList g_events;

void OnStep(int step, const char* text) {
    g_events.push_back(text ? "step " + std::to_string(step) + " " + text : "step " + std::to_string(step));
}
void OnRunState(int state) {
    g_events.push_back("state " + std::to_string(state));
    if (state == -1) PostThreadMessageA(g_main_thread, kRunEnded, 0, 0);
}
void OnRunError(const char* message) { g_events.push_back(std::string("error ") + message); }

// Starts the worker and pumps this thread's messages until its run has ended, as a window does.
void RunToTheEnd(TQXWorkerThread* worker, TQX& engine) {
    g_main_thread = GetCurrentThreadId();
    g_events.clear();
    worker->OnStep = OnStep;
    worker->OnRunState = OnRunState;
    worker->OnRunError = OnRunError;
    worker->Resume();
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!message.hwnd && message.message == kRunEnded) break;
        DispatchMessageA(&message);
    }
    while (engine.Analyzing || engine.Uninstalling) Sleep(1);
}

StringList Protocol(const char* const messages[7], const char* final_message) {
    StringList events = {"state 0"};
    for (int k = 0; k < 7; ++k) {
        events.push_back("step -1 " + std::string(messages[k]));
        events.push_back("step " + std::to_string(k + 1));
    }
    events.push_back("step -1 " + std::string(final_message));
    events.push_back("state -1");
    return events;
}

const char* const kAnalysisMessages[7] = {
    "正在分析该软件在您系统中的进程信息(1/7),请耐心等待......",
    "正在分析该软件在您系统中的核心文件信息(2/7),请耐心等待......",
    "正在分析该软件在您系统中的相关目录信息(3/7),请耐心等待......",
    "正在分析该软件在您系统中的驱动服务信息(4/7),请耐心等待......",
    "正在分析该软件在您系统中的组件注册表信息(5/7),请耐心等待......",
    "正在分析该软件在您系统中的注册表信息(6/7),请耐心等待......",
    "正在分析该软件在您系统中的快捷方式信息(7/7),请耐心等待......",
};

const char* const kCleanupMessages[7] = {
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
        f.engine.DirList = {"left over from an earlier run"};

        auto* worker = new TQX_Thread_Analyzed(f.engine, "SW", false);
        worker->Invoker = &invoker;
        RunToTheEnd(worker, f.engine);

        CHECK_EQ(g_events, Protocol(kAnalysisMessages, "该软件所涉及的安装信息已分析完毕."));
        // The walk gives the folder as the file system spells it ("users" under Wine).
        CHECK_EQ(f.engine.DirList.size(), 1u);
        const std::string found = f.engine.DirList.empty() ? "" : f.engine.DirList[0];
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
    RunToTheEnd(new TQX_Thread_Analyzed(f.engine, "SW", false), f.engine);
    CHECK_EQ(g_events, (StringList{"state 0", "step -1 " + std::string(kAnalysisMessages[0]), "step 1",
                                   "step -1 " + std::string(kAnalysisMessages[1]),
                                   "error '0xNO' is not a valid integer value", "state -1"}));
    CHECK(!f.engine.Analyzing);
}

TEST(CleanupWorkerRunsAllSevenStepsEvenWithNothingToDo) {
    EngineFixture f;
    f.ConnectAllSlots();
    RunToTheEnd(new TQX_Thread_Uninstall(f.engine, false), f.engine);
    CHECK_EQ(g_events, Protocol(kCleanupMessages, "该软件所涉及的安装信息已清除完毕."));
    CHECK(Slots().texts["clean"].empty());
    CHECK(!f.engine.Uninstalling);
}
