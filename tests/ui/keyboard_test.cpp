// The window worked from the keyboard, and its buttons while a worker runs: Tab and Shift+Tab
// round the shown page and its bar, Enter and Esc for the page's buttons (the report's way back
// still asks), Alt and a letter for a bar button; the buttons whose clicks a run ignores are
// disabled until it has ended, the box that refuses a close during a run goes with the run, and
// a database that cannot be unpacked is named with the way to a new one.
#include <cctype>
#include <iterator>
#include <string>
#include <vector>

#include "check.h"
#include "control_ids.h"
#include "fixtures.h"
#include "kestrune_window.h"
#include "package_writer.h"
#include "waiting.h"

namespace {

constexpr char kFinished[] = "安装信息分析完毕,您可以选择[查看详细报告]或[下一步]来进行清理操作";
constexpr char kCloseRefused[] = "正在执行分析或清除操作,请等待操作完成后再关闭本程序.";

std::string ShippedPackage() { return ProgramFolder() + "\\REZ.hdb3"; }

// A catalogue of one program (常规软件, shown first) whose core file is there, so that the
// analysis finds it; process names that no process has make the analysis take its time, since
// each is looked for among the running processes (some 16 ms each under Wine).
std::string OneProgramPackage(const std::string& core_file, int absent_processes) {
    StringList processes;
    for (int n = 0; n < absent_processes; ++n) processes.push_back("KA1|kestrune-absent-" + std::to_string(n) + ".exe");
    const std::pair<const char*, StringList> files[] = {
        {"SID_NM_LI.hdb", {"KA1|甲程序|Photo Tools|1|5.1|6.1|32位"}},
        {"SID_NM_CF.hdb", {"KA1|" + core_file}},
        {"SID_NM_PR.hdb", processes},
        {"SID_NM_MAPPED.hdb", {"KA1|SID_NM_CF.hdb|SID_NM_PR.hdb"}},
    };
    std::string package;
    for (const auto& file : files)
        AppendStoredFile(package, file.first, CompressHdb(EncipheredText(file.second, file.first)));
    return package;
}

// A scratch folder with the program's core file and a package that finds it.
struct OneProgram {
    explicit OneProgram(int absent_processes) : scratch("C:\\", "kestrune-keys") {
        scratch.MakeFiles({"core.dll"});
        WriteFile(scratch / "one.hdb3", OneProgramPackage(scratch / "core.dll", absent_processes));
    }
    std::string Package() const { return scratch / "one.hdb3"; }
    ScratchFolder scratch;
};

std::string Name(const KestruneWindow& window, int id) {
    return id ? std::to_string(id) + " " + window.Text(id) : std::string("nothing");
}

// The focus is on the control, or comes to it in time: keys act after PressKey has returned.
void CheckFocusOn(const KestruneWindow& window, int expected) {
    PollUntil([&] { return window.FocusedId() == expected; }, kReactionTimeout);
    CHECK_EQ(Name(window, window.FocusedId()), Name(window, expected));
}

void CheckKeyFocuses(KestruneWindow& window, WORD key, std::initializer_list<WORD> held, int expected) {
    window.PressKey(key, held);
    CheckFocusOn(window, expected);
}

void WaitForPage(const KestruneWindow& window, const std::string& page) {
    PollUntil([&] { return window.ShownPage() == page; }, kReactionTimeout);
    CHECK_EQ(window.ShownPage(), page);
}

// The box with the text among the window's boxes; nullptr when none opened in time.
HWND WaitForBoxSaying(const KestruneWindow& window, const std::string& text, DWORD timeout_ms) {
    HWND found = nullptr;
    PollUntil(
        [&] {
            for (HWND box : window.MessageBoxes())
                if (window.MessageText(box) == text) found = box;
            return found != nullptr;
        },
        timeout_ms);
    return found;
}

// The letter of a caption such as "下一步(&N)", which shows "下一步(N)" with the N underlined; 0
// for a caption without one.
char AccessKeyShown(const std::string& caption) {
    const size_t size = caption.size();
    if (size < 5 || caption.compare(size - 4, 2, "(&") != 0 || caption.back() != ')') return 0;
    const char key = caption[size - 2];
    return std::isupper(static_cast<unsigned char>(key)) ? key : 0;
}

// The bar buttons of each page pair.
const std::vector<std::vector<int>> kBars = {
    {ID_RBN_QX_SelSoftware_Next, ID_RBN_QX_SelSoftware_Submit, ID_RBN_QX_SelSoftware_Update},
    {ID_RBN_QX_SelSoftwareInstalledPath_Analyzed, ID_RBN_QX_SelSoftwareInstalledPath_Previous},
    {ID_RBN_QX_SelSoftwareAnalyzed_Next, ID_RBN_QX_SelSoftwareAnalyzed_SeeInfo},
    {ID_RBN_QX_SelSoftwareUninstall_Clean, ID_RBN_QX_SelSoftwareUninstall_Back},
    {ID_RBN_QX_SelSoftwareUninstallC_Back, ID_RBN_QX_SelSoftwareUninstallC_Undo},
    {ID_RBN_QX_Other_Back},
    {ID_RBN_QX_Update_CheckUpdate, ID_RBN_QX_Update_Back},
};

// The buttons a run leaves alone, and those that wait for it: their clicks would be ignored.
const int kFreeDuringRuns[] = {ID_RBN_QX_SelSoftware_Submit, ID_RBN_QX_SelSoftwareInstalledPath_Previous,
                               ID_RBN_QX_SelSoftwareUninstall_Back, ID_RBN_QX_SelSoftwareUninstallC_Back,
                               ID_RBN_QX_Other_Back, ID_RBN_QX_Update_Back};
const int kWaitingForRuns[] = {ID_RBN_QX_SelSoftware_Next,          ID_RBN_QX_SelSoftware_Update,
                               ID_RBN_QX_SelSoftwareInstalledPath_Analyzed, ID_RBN_QX_SelSoftwareAnalyzed_Next,
                               ID_RBN_QX_SelSoftwareAnalyzed_SeeInfo, ID_RBN_QX_SelSoftwareUninstall_Clean,
                               ID_RBN_QX_SelSoftwareUninstallC_Undo};

void CheckButtonsForRun(const KestruneWindow& window, bool running) {
    for (int button : kWaitingForRuns) {
        CONTEXT("waiting " + Name(window, button));
        CHECK_EQ(window.IsEnabled(button), !running);
    }
    for (int button : kFreeDuringRuns) {
        CONTEXT("free " + Name(window, button));
        CHECK(window.IsEnabled(button));
    }
}

}  // namespace

TEST(tab_and_shift_tab_go_round_the_shown_page_and_its_bar_and_nothing_hidden) {
    KestruneCopy copy(ShippedPackage());
    KestruneWindow window(copy);
    // The page's controls, then its bar from left to right; the list lets Tab go on.
    const int software_round[] = {ID_RCB_QX_SelSoftwareType,    ID_RCB_QX_SelSoftwareSubType,
                                  ID_RCB_QX_SelSoftwareOS,      ID_RE_QX_SelSoftwareSearch,
                                  ID_RLV_QX_SelSoftWarelist,    ID_RBN_QX_SelSoftware_Update,
                                  ID_RBN_QX_SelSoftware_Submit, ID_RBN_QX_SelSoftware_Next};
    const int count = static_cast<int>(std::size(software_round));
    CheckFocusOn(window, software_round[0]);
    for (int step = 1; step <= count; ++step) {
        CONTEXT("Tab " + std::to_string(step));
        CheckKeyFocuses(window, VK_TAB, {}, software_round[step % count]);
    }
    window.Picture("software_type_focused_after_a_round");
    for (int step = 1; step <= count; ++step) {
        CONTEXT("Shift+Tab " + std::to_string(step));
        CheckKeyFocuses(window, VK_TAB, {VK_SHIFT}, software_round[(count - step) % count]);
    }

    // Another page shown: its first control has the focus, and Tab stays among its own controls.
    window.SetTicked(ID_RLV_QX_SelSoftWarelist, 0, true);
    CHECK(window.Click(ID_RBN_QX_SelSoftware_Next) == nullptr);
    CHECK_EQ(window.ShownPage(), "install-path");
    const int install_round[] = {ID_RLV_QX_SelSoftWareInstalledPathlist, ID_RBN_QX_SelSoftWareInstalledPath_Add,
                                 ID_RBN_QX_SelSoftWareInstalledPath_Delete,
                                 ID_RBN_QX_SelSoftwareInstalledPath_Previous,
                                 ID_RBN_QX_SelSoftwareInstalledPath_Analyzed};
    CheckFocusOn(window, install_round[0]);
    for (int step = 1; step <= static_cast<int>(std::size(install_round)); ++step) {
        CONTEXT("Tab on the install-folder page " + std::to_string(step));
        CheckKeyFocuses(window, VK_TAB, {}, install_round[step % std::size(install_round)]);
    }
    CheckClosesAndRemovesWorkingFolder(window);
}

TEST(enter_presses_the_default_or_the_focused_button_and_esc_goes_back_as_back_does) {
    OneProgram program(0);
    KestruneCopy copy(program.Package());
    KestruneWindow window(copy);
    window.SetTicked(ID_RLV_QX_SelSoftWarelist, 0, true);

    // Enter on the software page, the focus on a drop-down list: "下一步".
    CheckFocusOn(window, ID_RCB_QX_SelSoftwareType);
    window.PressKey(VK_RETURN);
    WaitForPage(window, "install-path");
    window.Picture("install_path_by_enter");
    // Esc: "上一步".
    window.PressKey(VK_ESCAPE);
    WaitForPage(window, "software");
    // Enter on a focused bar button presses that one: "提交软件", not "下一步".
    CheckKeyFocuses(window, VK_TAB, {VK_SHIFT}, ID_RBN_QX_SelSoftware_Next);
    CheckKeyFocuses(window, VK_TAB, {VK_SHIFT}, ID_RBN_QX_SelSoftware_Submit);
    window.Picture("software_submit_focused");
    window.PressKey(VK_RETURN);
    WaitForPage(window, "submit");
    window.PressKey(VK_ESCAPE);
    WaitForPage(window, "software");

    // Enter twice: "下一步", then "执行分析".
    window.PressKey(VK_RETURN);
    WaitForPage(window, "install-path");
    window.PressKey(VK_RETURN);
    WaitForPage(window, "analysis");
    AnswerMessage(window, WaitForBoxSaying(window, kFinished, kWorkerTimeout), kFinished, IDOK);
    WaitUntil([&] { return window.IsEnabled(ID_RBN_QX_SelSoftwareAnalyzed_Next); }, kWorkerTimeout,
              "the analysis to end");
    // A page without controls of its own has the focus on its Enter button once it works.
    CheckFocusOn(window, ID_RBN_QX_SelSoftwareAnalyzed_Next);
    window.PressKey(VK_RETURN);
    WaitForPage(window, "report");
    // The report's lists sit on its tab control: Tab goes into the one shown.
    CheckFocusOn(window, ID_RPC_QX_SelSoftwareUninstall_Report);
    CheckKeyFocuses(window, VK_TAB, {}, ID_RLV_QX_SelSoftwareUninstall_CoreFile);

    // Esc on the report asks as "返回" does, since the analysis found the core file.
    const char question[] = "您是否确定需要返回?如果返回则当前扫描信息将会丢弃.";
    window.PressKey(VK_ESCAPE);
    HWND asked = WaitForBoxSaying(window, question, kReactionTimeout);
    window.Picture("report_esc_asks");
    AnswerMessage(window, asked, question, IDNO);
    window.Settle();
    CHECK_EQ(window.ShownPage(), "report");
    window.PressKey(VK_ESCAPE);
    AnswerMessage(window, WaitForBoxSaying(window, question, kReactionTimeout), question, IDYES);
    WaitForPage(window, "software");
    CheckClosesAndRemovesWorkingFolder(window);
}

TEST(every_bar_button_shows_its_own_access_key_and_alt_with_it_presses_the_button) {
    KestruneCopy copy(ShippedPackage());
    KestruneWindow window(copy);
    for (const std::vector<int>& bar : kBars) {
        std::string keys;
        for (int button : bar) {
            CONTEXT(Name(window, button));
            const char key = AccessKeyShown(window.Text(button));
            CHECK(key != 0);
            CHECK(keys.find(key) == std::string::npos);
            keys += key;
        }
    }
    window.Picture("software_access_keys");

    const struct {
        char key;
        const char* page;
    } presses[] = {{'S', "submit"}, {'B', "software"}, {'U', "update"}, {'B', "software"}};
    for (const auto& press : presses) {
        CONTEXT(std::string("Alt+") + press.key);
        window.PressKey(static_cast<WORD>(press.key), {VK_MENU});
        WaitForPage(window, press.page);
    }
    // The update page's button is named after the way the page was opened, and keeps its key.
    CHECK_EQ(window.Text(ID_RBN_QX_Update_CheckUpdate), "更新(&U)");
    CheckClosesAndRemovesWorkingFolder(window);
}

TEST(buttons_whose_clicks_a_run_ignores_wait_for_it_and_the_close_refusal_goes_with_the_run) {
    OneProgram program(300);  // an analysis of seconds: a close comes during it
    KestruneCopy copy(program.Package());
    KestruneWindow window(copy);
    CheckButtonsForRun(window, false);
    window.SetTicked(ID_RLV_QX_SelSoftWarelist, 0, true);
    CHECK(window.Click(ID_RBN_QX_SelSoftware_Next) == nullptr);
    CHECK(window.Click(ID_RBN_QX_SelSoftwareInstalledPath_Analyzed) == nullptr);
    {
        CONTEXT("the analysis just started");
        CHECK_EQ(window.ShownPage(), "analysis");
        CheckButtonsForRun(window, true);
    }

    HWND refusal = window.RequestClose();
    CHECK(refusal != nullptr);
    if (refusal) {
        CHECK_EQ(window.MessageText(refusal), kCloseRefused);
        window.Picture("close_refused_during_the_analysis");
    }
    // The run's end takes the refusal down before it tells its outcome.
    HWND finished = WaitForBoxSaying(window, kFinished, kWorkerTimeout);
    CHECK(finished != nullptr);
    CHECK(refusal == nullptr || !IsWindowVisible(refusal));
    CHECK_EQ(window.MessageBoxes().size(), 1u);
    window.Picture("refusal_gone_at_the_end_of_the_analysis");
    {
        CONTEXT("the outcome of the analysis shown");
        CheckButtonsForRun(window, true);
    }
    AnswerMessage(window, finished, kFinished, IDOK);
    WaitUntil([&] { return window.IsEnabled(ID_RBN_QX_SelSoftwareAnalyzed_Next); }, kWorkerTimeout,
              "the analysis to end");
    {
        CONTEXT("the analysis ended");
        CheckButtonsForRun(window, false);
    }
    CHECK(window.IsRunning());
    // Enabled means working: the first click opens the report.
    CHECK(window.Click(ID_RBN_QX_SelSoftwareAnalyzed_Next) == nullptr);
    CHECK_EQ(window.ShownPage(), "report");

    // The clean-up: the report's and the clean page's buttons wait as well.
    CHECK(window.ChooseComboEntry(ID_RCB_QX_SelSoftwareUninstall_Protocol, 0) == nullptr);
    HWND question = window.Click(ID_RBN_QX_SelSoftwareUninstall_Clean);
    CHECK(question != nullptr);
    if (question) window.Answer(question, IDYES);
    WaitForPage(window, "clean");
    HWND outcome = window.WaitForMessageBox(kWorkerTimeout);
    {
        CONTEXT("the outcome of the clean-up shown");
        CheckButtonsForRun(window, true);
    }
    window.Answer(outcome, IDOK);
    WaitUntil([&] { return window.IsEnabled(ID_RBN_QX_SelSoftwareUninstall_Clean); }, kWorkerTimeout,
              "the clean-up to end");
    {
        CONTEXT("the clean-up ended");
        CheckButtonsForRun(window, false);
    }
    CheckClosesAndRemovesWorkingFolder(window);
}

TEST(a_damaged_database_is_named_with_the_way_to_a_new_one) {
    ScratchFolder scratch("C:\\", "kestrune-keys-damaged");
    WriteFile(scratch / "damaged.hdb3", std::string(4096, '\x5a'));
    KestruneCopy copy(scratch / "damaged.hdb3");
    KestruneWindow window(copy);
    const std::string error =
        "数据库释放错误.\n数据库文件: " + copy.Folder() + "REZ.hdb3\n请使用[升级]更新数据库, 或重新安装 Kestrune.";
    AnswerMessage(window, error, IDOK);
    CHECK_EQ(window.RowCount(ID_RLV_QX_SelSoftWarelist), 0);
    CheckClosesAndRemovesWorkingFolder(window);
}
