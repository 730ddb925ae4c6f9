// One whole uninstall of the stubborn Quillmoss through the window, as a user does it: the
// program is ticked, its install folders checked, the analysis run and its traces compared
// with what the console front end finds, one trace kept back, the clean-up run, the
// machine read back, and the clean-up undone from its backup. The fixture is installed before this program runs and removed after it
// (quillmoss_window.sh); KESTRUNE_QUILLMOSS_PACKAGE names the signature package holding
// Quillmoss alone and KESTRUNE_EXPECTED_FOLDER the folder of the expected analysis and log.
#include <algorithm>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "check.h"
#include "control_ids.h"
#include "expected_traces.h"
#include "kestrune_window.h"
#include "machine_state.h"
#include "waiting.h"

namespace {

// Each kind of trace: its found-info line prefix, its report list and tab, and whether its rows
// carry check boxes.
struct TraceList {
    const char* kind;
    const char* found_prefix;
    int list;
    const char* tab;
    bool ticks;
};

const TraceList kTraceLists[] = {
    {"process", "找到运行中进程: ", ID_RLV_QX_SelSoftwareUninstall_ProcessRun, "进程信息", true},
    {"corefile", "找到核心文件: ", ID_RLV_QX_SelSoftwareUninstall_CoreFile, "核心文件", true},
    {"dir", "找到相关目录: ", ID_RLV_QX_SelSoftwareUninstall_InstalledPath, "相关目录", true},
    {"com", "找到组件注册表: ", ID_RLV_QX_SelSoftwareUninstall_AXCLSID, "组件注册表", true},
    {"driver", "找到驱动服务: ", ID_RLV_QX_SelSoftwareUninstall_SysFile, "驱动文件", true},
    {"reg", "找到注册表: ", ID_RLV_QX_SelSoftwareUninstall_NewReg, "相关注册表", true},
    {"shortcut", "找到快捷方式:", ID_RLV_QX_SelSoftwareUninstall_ShellLink, "快捷方式", false},
    {"service", "找到系统服务: ", ID_RLV_QX_SelSoftwareUninstall_Service, "系统服务", true},
};

// The trace the user keeps: a value under a key that the clean-up does not remove as a whole.
constexpr char kKeptTrace[] =
    "HKLM|SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar|{90D6CC0C-2788-4489-B67E-9C773186885E}";
constexpr char kProgramName[] = "Quillmoss 图片助手";
constexpr char kAnalysisDone[] = "安装信息分析完毕,您可以选择[查看详细报告]或[下一步]来进行清理操作";

std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::vector<std::string> WithPlaceholders(std::vector<std::string> lines) {
    for (std::string& line : lines) line = WithProfilePlaceholder(line);
    return lines;
}

std::vector<std::string> ExpectedOfKind(const std::vector<ExpectedTrace>& traces, const std::string& kind) {
    std::vector<std::string> texts;
    for (const ExpectedTrace& trace : traces)
        if (trace.kind == kind) texts.push_back(trace.text);
    return texts;
}

std::string ExpectedFile(const char* name) { return Environment("KESTRUNE_EXPECTED_FOLDER") + "\\" + name; }

// The window shows registry items as the registry editor names them, the console in their
// notation: "HKCU|Software\Quillmoss|\"Skin Color\"" is shown "HKEY_CURRENT_USER\Software\Quillmoss
// 值: Skin Color", the default value "值: (默认)", and the third field of a component row, the
// server file it matched, "模块: qmshell.dll". The expected texts hold no "|" but as separators.
std::string Readable(const std::string& item, const std::string& third_label) {
    const std::pair<const char*, const char*> roots[] = {{"HKLM", "HKEY_LOCAL_MACHINE"}, {"HKCU", "HKEY_CURRENT_USER"},
                                                         {"HKU", "HKEY_USERS"}, {"HKCR", "HKEY_CLASSES_ROOT"}};
    const size_t root_end = item.find('|');
    const auto root = std::find_if(std::begin(roots), std::end(roots),
                                   [&](const auto& pair) { return item.compare(0, root_end, pair.first) == 0; });
    if (root_end == std::string::npos || root == std::end(roots)) return item;
    const size_t key_end = item.find('|', root_end + 1);
    const std::string key = std::string(root->second) + "\\" + item.substr(root_end + 1, key_end - root_end - 1);
    if (key_end == std::string::npos) return key;
    std::string third = item.substr(key_end + 1);
    if (third.size() >= 2 && third.front() == '"' && third.back() == '"') third = third.substr(1, third.size() - 2);
    return key + "  " + third_label + ": " + (third.empty() ? "(默认)" : third);
}

std::string ShownInReport(const std::string& kind, const std::string& text) {
    if (kind == "reg") return Readable(text, "值");
    if (kind == "com") return Readable(text, "模块");
    return text;
}

// A line of the console's clean-up log as the window's log shows it: "prefix: item".
std::string ShownInLog(const std::string& line) {
    const size_t item = line.find(": ");
    return item == std::string::npos ? line : line.substr(0, item + 2) + Readable(line.substr(item + 2), "值");
}

// "执行清除" names the program, the rows it removes tab by tab, and the processes it ends.
// The install folders are among the folders found, and the kept trace is unticked.
std::string ExpectedCleanupQuestion(const std::vector<ExpectedTrace>& expected) {
    const std::pair<const char*, const char*> tabs[] = {{"dir", "相关目录"},     {"reg", "相关注册表"},
                                                        {"com", "组件注册表"},   {"shortcut", "快捷方式"},
                                                        {"corefile", "核心文件"}, {"process", "进程信息"},
                                                        {"driver", "驱动文件"},  {"service", "系统服务"}};
    std::string counts;
    for (const auto& tab : tabs) {
        size_t rows = ExpectedOfKind(expected, tab.first).size();
        if (std::string(tab.first) == "reg") --rows;
        counts += (counts.empty() ? "" : ", ") + std::string(tab.second) + " " + std::to_string(rows) + " 项";
    }
    std::string processes;
    for (const std::string& name : ExpectedOfKind(expected, "process"))
        processes += (processes.empty() ? "" : ", ") + name;
    return std::string("即将清除 \"") + kProgramName + "\" 的以下项目:\n" + counts + ".\n将结束以下进程: " + processes +
           "\n是否确定执行清除操作?";
}

void TickQuillmoss(KestruneWindow& window) {
    const int list = ID_RLV_QX_SelSoftWarelist;
    CHECK_EQ(window.RowCount(list), 0);  // the package holds no ordinary programs
    window.PictureOfDropDown(ID_RCB_QX_SelSoftwareType, "type_filter");
    window.PictureOfDropDown(ID_RCB_QX_SelSoftwareSubType, "sub_type_filter");
    window.PictureOfDropDown(ID_RCB_QX_SelSoftwareOS, "os_filter");
    CHECK(window.ChooseComboEntry(ID_RCB_QX_SelSoftwareType, 1) == nullptr);
    CHECK_EQ(window.Text(ID_RCB_QX_SelSoftwareType), "顽固软件");
    CHECK_EQ(window.RowCount(list), 1);
    CHECK_EQ(window.Cell(list, 0, 0), "0");
    CHECK_EQ(window.Cell(list, 0, 1), kProgramName);
    CHECK_EQ(window.Cell(list, 0, 2), "5.1");
    CHECK_EQ(window.Cell(list, 0, 3), "32位");
    CHECK(window.SetTicked(list, 0, true) == nullptr);
    CHECK(window.IsTicked(list, 0));
    CHECK(window.IsSelected(list, 0));
    window.Picture("software_page_ticked");
}

void CheckInstallPaths(KestruneWindow& window) {
    CHECK(window.Click(ID_RBN_QX_SelSoftware_Next) == nullptr);
    CHECK_EQ(window.ShownPage(), "install-path");
    CHECK_EQ(window.Text(ID_RL_QX_MTip_SelSoftwareInstalledPath),
             std::string("从列表选择并确认需卸载的软件 \"") + kProgramName + "\" 的安装路径:");
    const int list = ID_RLV_QX_SelSoftWareInstalledPathlist;
    // Windows Installer's registration and the uninstall key's name one folder: the first
    // spelling stays.
    CHECK_EQ(window.ColumnTexts(list, 0), (std::vector<std::string>{"0"}));
    CHECK_EQ(window.ColumnTexts(list, 1), (std::vector<std::string>{"C:\\Program Files\\Quillmoss\\"}));
    window.Picture("install_paths");
}

// While a closing message is open its worker still runs: the banner links, and on the analysis
// page its two buttons, must leave the page where it is.
struct Click {
    const char* name;
    int control;
    bool is_link;
};
const Click kBannerLinks[] = {
    {"关于", ID_RL_QX_Top_About, true}, {"帮助", ID_RL_QX_Top_Help, true}, {"升级", ID_RL_QX_Top_Update, true}};
const Click kAnalysisButtons[] = {{"下一步", ID_RBN_QX_SelSoftwareAnalyzed_Next, false},
                                  {"查看详细报告", ID_RBN_QX_SelSoftwareAnalyzed_SeeInfo, false}};

template <size_t N>
void CheckIgnoredWhileBusy(KestruneWindow& window, const Click (&clicks)[N], const std::string& page) {
    for (const Click& click : clicks) {
        CONTEXT(std::string("click on ") + click.name + " during the closing message");
        HWND box = click.is_link ? window.ClickLink(click.control) : window.Click(click.control);
        CHECK(box == nullptr);
        if (box) window.Answer(box, IDOK);
        CHECK_EQ(window.ShownPage(), page);
    }
}

void RunAnalysis(KestruneWindow& window, const std::vector<ExpectedTrace>& expected) {
    CHECK(window.Click(ID_RBN_QX_SelSoftwareInstalledPath_Analyzed) == nullptr);
    CHECK_EQ(window.ShownPage(), "analysis");
    window.Picture("analysis_running");
    HWND closing = window.WaitForMessageBox(kWorkerTimeout);
    window.Picture("analysis_closing_message");
    CHECK_EQ(window.MessageText(closing), kAnalysisDone);
    CheckIgnoredWhileBusy(window, kBannerLinks, "analysis");
    CheckIgnoredWhileBusy(window, kAnalysisButtons, "analysis");
    window.Answer(closing, IDOK);
    window.Settle();
    CHECK(window.MessageBoxes().empty());
    window.Picture("analysis_finished");

    std::vector<std::string> expected_lines;
    for (const ExpectedTrace& trace : expected)
        for (const TraceList& kind : kTraceLists)
            if (trace.kind == kind.kind) expected_lines.push_back(kind.found_prefix + trace.text);
    CHECK_EQ(expected_lines.size(), expected.size());  // every kind in the file is known here
    CHECK_EQ(Sorted(WithPlaceholders(window.Lines(ID_RLB_QX_SelSoftwareAnalyed_FindedInfo))), Sorted(expected_lines));
    CHECK_EQ(window.ProgressLimit(ID_RPB_QX_SelSoftwareAnalyed_Step), 7);
    CHECK_EQ(window.ProgressPosition(ID_RPB_QX_SelSoftwareAnalyed_Step), 7);
}

void CheckReport(KestruneWindow& window, const std::vector<ExpectedTrace>& expected) {
    OpenReportOnceAnalysisEnded(window);
    const int tabs = ID_RPC_QX_SelSoftwareUninstall_Report;
    CHECK_EQ(window.SelectedTab(tabs), "相关目录");
    std::vector<std::string> shown_tabs;
    for (int index = 0; index < window.TabCount(tabs); ++index) shown_tabs.push_back(window.TabCaption(tabs, index));
    CHECK_EQ(shown_tabs, (std::vector<std::string>{"相关目录", "相关注册表", "组件注册表", "快捷方式", "核心文件",
                                                   "进程信息", "驱动文件", "系统服务"}));

    for (const TraceList& kind : kTraceLists) {
        CONTEXT(std::string("report list of ") + kind.kind);
        if (kind.tab) {
            CHECK(window.ClickTab(tabs, kind.tab) == nullptr);
            CHECK_EQ(window.SelectedTab(tabs), kind.tab);
            CHECK(window.IsShown(kind.list));
            window.Picture(std::string("report_") + kind.kind);
        }
        const int rows = window.RowCount(kind.list);
        std::vector<std::string> captions;
        for (int row = 0; row < rows; ++row) captions.push_back(std::to_string(row));
        CHECK_EQ(window.ColumnTexts(kind.list, 0), captions);
        std::vector<std::string> shown;
        for (const std::string& text : ExpectedOfKind(expected, kind.kind))
            shown.push_back(ShownInReport(kind.kind, text));
        CHECK_EQ(Sorted(WithPlaceholders(window.ColumnTexts(kind.list, 1))), Sorted(shown));
        for (int row = 0; kind.ticks && row < rows; ++row) {
            CONTEXT("row " + std::to_string(row));
            CHECK(window.IsTicked(kind.list, row));
        }
    }
}

void CheckBackAsksAndNoKeepsTheReport(KestruneWindow& window) {
    AnswerMessage(window, window.Click(ID_RBN_QX_SelSoftwareUninstall_Back),
                  "您是否确定需要返回?如果返回则当前扫描信息将会丢弃.", IDNO);
    CHECK_EQ(window.ShownPage(), "report");
}

void KeepOneTrace(KestruneWindow& window) {
    const int list = ID_RLV_QX_SelSoftwareUninstall_NewReg;
    CHECK(window.ClickTab(ID_RPC_QX_SelSoftwareUninstall_Report, "相关注册表") == nullptr);
    const std::vector<std::string> items = window.ColumnTexts(list, 1);
    const auto kept = std::find(items.begin(), items.end(), ShownInReport("reg", kKeptTrace));
    CHECK(kept != items.end());
    if (kept == items.end()) return;
    const int row = static_cast<int>(kept - items.begin());
    CHECK(window.SetTicked(list, row, false) == nullptr);
    CHECK(!window.IsTicked(list, row));
    window.Picture("report_kept_trace_unticked");
}

// The protocol decides whether the clean-up starts; "我不同意此分析结果" says why it does not, and
// a declined confirmation keeps the protocol.
void StartCleanup(KestruneWindow& window, const std::vector<ExpectedTrace>& expected) {
    const int protocol = ID_RCB_QX_SelSoftwareUninstall_Protocol, clean = ID_RBN_QX_SelSoftwareUninstall_Clean;
    CHECK_EQ(window.ComboSelection(protocol), -1);
    AnswerMessage(window, window.Click(clean), "执行清除之前,请您选择对应的清除协议.", IDOK);
    CHECK_EQ(window.ShownPage(), "report");

    CHECK(window.ChooseComboEntry(protocol, 1) == nullptr);
    CHECK_EQ(window.Text(protocol), "我不同意此分析结果");
    AnswerMessage(window, window.Click(clean),
                  "您选择了\"我不同意此分析结果\", 不会执行清除. 如需清除, 请选择其他协议.", IDOK);
    CHECK_EQ(window.ShownPage(), "report");

    const std::string question = ExpectedCleanupQuestion(expected);
    CHECK(window.ChooseComboEntry(protocol, 0) == nullptr);
    CHECK_EQ(window.Text(protocol), "我同意此分析结果");
    AnswerMessage(window, window.Click(clean), question, IDNO);
    CHECK_EQ(window.ComboSelection(protocol), 0);
    CHECK_EQ(window.ShownPage(), "report");

    window.PictureOfDropDown(protocol, "report_protocol");
    HWND confirmation = window.Click(clean);
    CHECK(confirmation != nullptr);
    if (!confirmation) return;
    window.Picture("clean_confirmation");
    CHECK_EQ(window.MessageText(confirmation), question);
    window.Answer(confirmation, IDYES);
    PollUntil([&] { return window.ShownPage() == "clean"; }, kReactionTimeout);
    CHECK_EQ(window.ShownPage(), "clean");
    window.Picture("clean_running");
}

void CheckCleanupEnded(KestruneWindow& window) {
    std::vector<std::string> expected_log;
    for (const std::string& line : ReadUtf8Lines(ExpectedFile("quillmoss_clean.txt")))
        if (line.find(kKeptTrace) == std::string::npos) expected_log.push_back(ShownInLog(line));

    HWND done = window.WaitForMessageBox(kWorkerTimeout);
    window.Picture("clean_closing_message");
    CHECK_EQ(window.MessageText(done), "恭喜您,清除操作已完成.");
    CheckIgnoredWhileBusy(window, kBannerLinks, "clean");
    window.Answer(done, IDOK);
    window.Settle();
    window.Picture("clean_finished");
    const std::vector<std::string> log = window.Lines(ID_RLB_QX_SelSoftwareUninstallC_CleanInfo);
    CHECK_EQ(Sorted(WithPlaceholders(log)), Sorted(expected_log));
    for (const std::string& line : log) {
        CONTEXT(line);
        CHECK(line.find("未能") == std::string::npos);
    }
    CHECK_EQ(window.ProgressPosition(ID_RPB_QX_SelSoftwareUninstallC_Step), 7);
    for (const TraceList& kind : kTraceLists) {
        CONTEXT(std::string("report list of ") + kind.kind + " after the clean-up");
        CHECK_EQ(window.RowCount(kind.list), 0);
    }
    CHECK_EQ(window.ComboSelection(ID_RCB_QX_SelSoftwareUninstall_Protocol), -1);
    CHECK(window.IsEnabled(ID_RPC_QX_SelSoftwareUninstall_Report));
    CHECK(window.IsEnabled(ID_RCB_QX_SelSoftwareUninstall_Protocol));
    CHECK(window.IsShown(ID_RBN_QX_SelSoftwareUninstallC_Undo));
}

// The clean-up kept a copy of everything it deleted: "撤销本次清除" puts it back after a
// confirmation, line by line in the same log (registry values named as the report names them),
// and is offered no more.
void UndoTheCleanup(KestruneWindow& window) {
    const int log = ID_RLB_QX_SelSoftwareUninstallC_CleanInfo;
    const size_t lines_before = window.Lines(log).size();
    for (const int answer : {IDNO, IDYES}) {
        CONTEXT(answer == IDNO ? "declined" : "confirmed");
        HWND confirmation = window.Click(ID_RBN_QX_SelSoftwareUninstallC_Undo);
        CHECK(confirmation != nullptr);
        if (!confirmation) return;
        if (answer == IDYES) window.Picture("undo_confirmation");
        CHECK(window.MessageText(confirmation).rfind("撤销本次清除将把本次删除的项目从备份恢复到原来的位置", 0) == 0);
        window.Answer(confirmation, answer);
        if (answer == IDNO) CHECK_EQ(window.Lines(log).size(), lines_before);
    }
    HWND done = window.WaitForMessageBox(kWorkerTimeout);
    window.Picture("undo_closing_message");
    CHECK(window.MessageText(done).rfind("本次清除已撤销: 已恢复 ", 0) == 0);
    window.Answer(done, IDOK);
    window.Settle();
    window.Picture("undo_finished");
    CHECK(!window.IsShown(ID_RBN_QX_SelSoftwareUninstallC_Undo));

    std::vector<std::string> undo_log = window.Lines(log);
    undo_log.erase(undo_log.begin(), undo_log.begin() + static_cast<std::ptrdiff_t>(lines_before));
    CHECK(!undo_log.empty() && undo_log.front() == "—— 撤销本次清除 ——");
    CHECK(!undo_log.empty() && undo_log.back().rfind("恢复完成: 已恢复 ", 0) == 0);
    for (const char* line :
         {"已恢复目录: C:\\Program Files\\Quillmoss", "已恢复注册表: HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmoss",
          "已恢复注册表: HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Quillmoss",
          "已恢复文件: C:\\Program Files\\Quillmoss\\qmcore.dat",
          "已恢复注册表: HKEY_CURRENT_USER\\Software\\Quillmoss  值: Skin Color",
          "已恢复注册表: HKEY_CURRENT_USER\\Software\\Quillmoss  值: (默认)"}) {
        CONTEXT(line);
        CHECK(std::find(undo_log.begin(), undo_log.end(), std::string(line)) != undo_log.end());
    }
    for (size_t index = 1; index + 1 < undo_log.size(); ++index) {
        CONTEXT(undo_log[index]);
        CHECK(undo_log[index].rfind("已恢复", 0) == 0);
    }
    CHECK(PathExists("C:\\Program Files\\Quillmoss\\qmcore.dat"));
    CHECK(RegistryItemExists("HKLM|SOFTWARE\\Quillmoss|Version", false));
}

// Read straight from the registry, the file system, the process list and the service control
// manager: every trace handed to the clean-up is gone, the kept one is still there.
void CheckMachineAfterCleanup(const std::vector<ExpectedTrace>& expected) {
    char user_profile[MAX_PATH] = {};
    GetEnvironmentVariableA("USERPROFILE", user_profile, MAX_PATH);
    for (const ExpectedTrace& trace : expected) {
        CONTEXT(trace.kind + " " + trace.text);
        std::string text = trace.text;
        if (text.compare(0, 9, "<PROFILE>") == 0) text = user_profile + text.substr(9);
        if (trace.kind == "reg" || trace.kind == "com")
            CHECK_EQ(RegistryItemExists(text, trace.kind == "com"), text == kKeptTrace);
        else if (trace.kind == "process")
            CHECK(!ProcessRuns(text));
        else if (trace.kind == "service")
            CHECK(!ServiceExists(text.substr(0, text.find(" ("))));
        else
            CHECK(!PathExists(text));
    }
}

}  // namespace

TEST(quillmoss_is_uninstalled_through_the_window_and_a_kept_trace_survives) {
    const std::vector<ExpectedTrace> expected = ReadExpectedAnalysis(ExpectedFile("quillmoss_analysis.txt"));
    KestruneCopy copy(Environment("KESTRUNE_QUILLMOSS_PACKAGE"));
    KestruneWindow window(copy);
    CHECK(window.MessageBoxes().empty());
    window.Picture("software_page");

    TickQuillmoss(window);
    CheckInstallPaths(window);
    RunAnalysis(window, expected);
    CheckReport(window, expected);
    CheckBackAsksAndNoKeepsTheReport(window);
    KeepOneTrace(window);
    StartCleanup(window, expected);
    CheckCleanupEnded(window);
    CheckMachineAfterCleanup(expected);
    // The fixture's own check, the neighbour program's traces included, before the undo; the
    // kept trace goes first, as a clean-up of everything would have removed it as well.
    CHECK(DeleteRegistryValue(kKeptTrace));
    CHECK_EQ(RunSiblingProgram("stubborn_fixture.exe", "verify-cleaned", 60000), 0);
    UndoTheCleanup(window);

    // The complete clean-up refreshed the software page and cleared the tick; the undo brought
    // the program back, so it is marked installed again.
    CHECK(window.Click(ID_RBN_QX_SelSoftwareUninstallC_Back) == nullptr);
    CHECK_EQ(window.ShownPage(), "software");
    CHECK(!window.IsTicked(ID_RLV_QX_SelSoftWarelist, 0));
    // The marks are read on a thread of the window's own.
    PollUntil([&] { return window.Cell(ID_RLV_QX_SelSoftWarelist, 0, 4) == "已安装"; }, kReactionTimeout);
    CHECK_EQ(window.Cell(ID_RLV_QX_SelSoftWarelist, 0, 4), "已安装");
    CheckClosesAndRemovesWorkingFolder(window);
}
