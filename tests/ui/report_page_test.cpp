// The install-folder page and the report as a user meets them, around a small program that this
// test puts on the machine itself: four registrations that name two folders in several spellings,
// a running process, a core file, a registry key with a named and a default value, a key of
// Windows' own that the report marks, and a COM class served from the program's folder.
// Checked: the heading names the program, a folder is listed once whatever its spelling and
// "移除" only takes it out of the list, the registry rows in the registry editor's words and their
// preview, what "执行清除" asks and says, the clean-up log in the same words, and the question
// before a banner link leaves the report.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "check.h"
#include "control_ids.h"
#include "fixtures.h"
#include "kestrune_window.h"
#include "package_writer.h"
#include "registry_fixture.h"
#include "shared_location_keys.h"
#include "uninstall_registration.h"
#include "waiting.h"

namespace {

constexpr char kProgramName[] = "Rptmoss 报告助手";
constexpr char kOtherProgramName[] = "另一个程序";
constexpr char kAnalysisDone[] = "安装信息分析完毕,您可以选择[查看详细报告]或[下一步]来进行清理操作";
constexpr char kLeavingQuestion[] = "您是否确定需要返回?如果返回则当前扫描信息将会丢弃.";

std::string RunId() { return std::to_string(GetCurrentProcessId()); }

std::string AsciiUpper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// A copy of the test's sleeper running under the program's process name, ended at scope exit.
class RunningProcess {
public:
    explicit RunningProcess(const std::string& image) {
        CHECK(CopyFileA((ProgramFolder() + "\\kestrune_sleeper.exe").c_str(), image.c_str(), FALSE));
        std::string command_line = "\"" + image + "\" 600000";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        CHECK(CreateProcessA(image.c_str(), &command_line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &started));
        process_ = started.hProcess;
        if (started.hThread) CloseHandle(started.hThread);
    }
    ~RunningProcess() {
        if (!process_) return;
        TerminateProcess(process_, 0);
        WaitForSingleObject(process_, 5000);
        CloseHandle(process_);
    }
    RunningProcess(const RunningProcess&) = delete;
    RunningProcess& operator=(const RunningProcess&) = delete;

private:
    HANDLE process_ = nullptr;
};

// The class the program serves from its folder, under an identifier of this run.
std::string RunClsid() {
    char clsid[64];
    std::snprintf(clsid, sizeof clsid, "{5EB0C7A1-52B4-4D3E-8F10-%012lX}", GetCurrentProcessId());
    return clsid;
}

// What the program leaves on the machine, and the signature package that describes it. Each
// registration's display name is matched by one identification record, so that each proposes its
// folder; the first three name one folder, in which the program's process runs.
class RptmossInstalled {
public:
    RptmossInstalled()
        : scratch_("C:\\", "kestrune-report"),
          alpha_("KestruneReportA", "Rptmoss Alpha"),
          beta_("KestruneReportB", "Rptmoss Beta"),
          gamma_("KestruneReportC", "Rptmoss Gamma"),
          delta_("KestruneReportD", "Rptmoss Delta"),
          user_key_(HKEY_CURRENT_USER, "Software"),
          server_(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\CLSID\\" + RunClsid() + "\\InprocServer32") {
        scratch_.MakeFolders({"app", "data"});
        scratch_.MakeFiles({"app\\rptmoss.dat", "app\\rptshell.dll"});
        alpha_.Set("InstallLocation", Folder("app") + "\\");
        beta_.Set("InstallLocation", AsciiUpper(Folder("app")));
        char short_path[MAX_PATH] = {};
        GetShortPathNameA(Folder("app").c_str(), short_path, MAX_PATH);
        gamma_.Set("InstallLocation", short_path);
        delta_.Set("InstallLocation", Folder("data"));
        CHECK_EQ(user_key_.SetString("", "Skin Color", "Blue"), ERROR_SUCCESS);
        CHECK_EQ(user_key_.SetString("", "", "Rptmoss"), ERROR_SUCCESS);
        CHECK_EQ(server_.SetString("", Folder("app\\rptshell.dll")), ERROR_SUCCESS);
        WriteFile(Package(), PackageText());
        process_.reset(new RunningProcess(Folder("app\\" + ProcessName())));
    }

    std::string Folder(const std::string& sub_path) const { return scratch_ / sub_path; }
    std::string Package() const { return scratch_ / "rptmoss.hdb3"; }
    std::string ProcessName() const { return "rptmoss-" + RunId() + ".exe"; }
    const std::string& UserKey() const { return user_key_.Path(); }

private:
    // The catalogue (常规软件, shown first) holds the program and one without any records.
    std::string PackageText() const {
        const std::string key = "KRPT|";
        const std::pair<const char*, StringList> files[] = {
            {"SID_NM_LI.hdb",
             {key + kProgramName + "|Photo Tools|1.0|5.1|6.1|32位", std::string("KOTH|") + kOtherProgramName +
                                                                         "|Photo Tools|1.0|5.1|6.1|32位"}},
            {"SID_NM_IDN.hdb",
             {key + "Rptmoss Alpha", key + "Rptmoss Beta", key + "Rptmoss Gamma", key + "Rptmoss Delta"}},
            {"SID_NM_PR.hdb", {key + ProcessName()}},
            {"SID_NM_CF.hdb", {key + Folder("app\\rptmoss.dat")}},
            {"SID_NM_RN.hdb",
             {key + "HKCU|" + UserKey() + "|\"Skin Color\"", key + "HKCU|" + UserKey() + "|\"\"",
              key + "HKCU|" + UserKey(), key + "HKCU|Software\\Microsoft\\Windows"}},
            {"SID_NM_RAXC.hdb", {key + "rptshell.dll"}},
            {"SID_NM_MAPPED.hdb", {key + "SID_NM_IDN.hdb|SID_NM_PR.hdb|SID_NM_CF.hdb|SID_NM_RN.hdb|SID_NM_RAXC.hdb"}},
        };
        std::string package;
        for (const auto& file : files)
            AppendStoredFile(package, file.first, CompressHdb(EncipheredText(file.second, file.first)));
        return package;
    }

    ScratchFolder scratch_;
    UninstallRegistration alpha_, beta_, gamma_, delta_;
    ScopedTestKey user_key_;
    ScopedRegistryKey server_;
    std::unique_ptr<RunningProcess> process_;  // ended first: its image lies in the program's folder
};

std::string InstallPathHeading(const std::string& program) {
    return "从列表选择并确认需卸载的软件 \"" + program + "\" 的安装路径:";
}

// The program at row of the catalogue ticked and its install folders listed.
void OpenInstallPaths(KestruneWindow& window, int row) {
    CHECK(window.SetTicked(ID_RLV_QX_SelSoftWarelist, row, true) == nullptr);
    CHECK(window.Click(ID_RBN_QX_SelSoftware_Next) == nullptr);
    CHECK_EQ(window.ShownPage(), "install-path");
}

void AnalyseRptmoss(KestruneWindow& window) {
    OpenInstallPaths(window, 0);
    CHECK(window.Click(ID_RBN_QX_SelSoftwareInstalledPath_Analyzed) == nullptr);
    AnswerMessage(window, window.WaitForMessageBox(kWorkerTimeout), kAnalysisDone, IDOK);
    OpenReportOnceAnalysisEnded(window);
}

// The registry editor's status bar, which names the selected key, once the editor is up.
HWND RegistryEditorStatusBar() {
    HWND status = nullptr;
    WaitUntil(
        [&] {
            HWND editor = FindWindowA("RegEdit_RegEdit", nullptr);
            status = editor ? FindWindowExA(editor, nullptr, STATUSCLASSNAMEA, nullptr) : nullptr;
            return status != nullptr;
        },
        kReactionTimeout, "the registry editor");
    return status;
}

// The registry editor shows key (its status bar ends with the key's path) within the reaction
// time; the editor is closed afterwards.
bool RegistryEditorShows(const std::string& key) {
    HWND status = RegistryEditorStatusBar();
    const bool shown = PollUntil(
        [&] {
            char text[1024] = {};
            SendMessageA(status, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
            const std::string path = text;
            return path.size() >= key.size() && path.compare(path.size() - key.size(), key.size(), key) == 0;
        },
        kReactionTimeout);
    HWND editor = GetParent(status);
    PostMessageA(editor, WM_CLOSE, 0, 0);
    WaitUntil([&] { return !IsWindow(editor); }, kReactionTimeout, "the registry editor to close");
    return shown;
}

// The reason the report's mark gives a row: the text between "<" and "> ".
std::string MarkReason(const std::string& row) {
    const size_t end = row.find("> ");
    return row.empty() || row[0] != '<' || end == std::string::npos ? "" : row.substr(1, end - 1);
}

}  // namespace

TEST(the_install_folder_page_names_the_program_and_lists_each_folder_once) {
    RptmossInstalled rptmoss;
    KestruneCopy copy(rptmoss.Package());
    KestruneWindow window(copy);
    const int list = ID_RLV_QX_SelSoftWareInstalledPathlist, heading = ID_RL_QX_MTip_SelSoftwareInstalledPath;

    // The heading follows the program ticked last, also one that proposes no folder.
    OpenInstallPaths(window, 1);
    CHECK_EQ(window.Text(heading), InstallPathHeading(kOtherProgramName));
    CHECK_EQ(window.RowCount(list), 0);
    CHECK(window.Click(ID_RBN_QX_SelSoftwareInstalledPath_Previous) == nullptr);
    OpenInstallPaths(window, 0);
    CHECK_EQ(window.Text(heading), InstallPathHeading(kProgramName));
    window.Picture("install_paths");

    // The folder with a trailing separator, in capitals and by its short name: its first spelling.
    const std::string app = rptmoss.Folder("app") + "\\", data = rptmoss.Folder("data");
    CHECK_EQ(window.ColumnTexts(list, 0), (std::vector<std::string>{"0", "1"}));
    CHECK_EQ(window.ColumnTexts(list, 1), (std::vector<std::string>{app, data}));
    CHECK_EQ(window.Text(ID_RBN_QX_SelSoftWareInstalledPath_Delete), "移除");

    // "移除" asks, and takes the folder out of the list only.
    CHECK(window.SetSelected(list, 1, true) == nullptr);
    for (const int answer : {IDNO, IDYES}) {
        CONTEXT(answer == IDNO ? "declined" : "confirmed");
        HWND question = window.Click(ID_RBN_QX_SelSoftWareInstalledPath_Delete);
        if (answer == IDYES) window.Picture("remove_question");
        AnswerMessage(window, question, "您是否确定需要移除所选目录?", answer);
    }
    CHECK_EQ(window.ColumnTexts(list, 1), (std::vector<std::string>{app}));
    CHECK(FolderExists(data));

    // A listed folder chosen again in another spelling is not added; a new one is, after a question.
    window.ChooseFolder(window.ClickOpeningDialog(ID_RBN_QX_SelSoftWareInstalledPath_Add), AsciiUpper(app));
    HWND refusal = window.WaitForMessageBox();
    window.Picture("already_listed");
    AnswerMessage(window, refusal, "所选目录已在列表中: " + app, IDOK);
    CHECK_EQ(window.ColumnTexts(list, 1), (std::vector<std::string>{app}));
    window.ChooseFolder(window.ClickOpeningDialog(ID_RBN_QX_SelSoftWareInstalledPath_Add), data);
    AnswerMessage(window, "您是否确定此目录跟所选的卸载软件有关系?\r\n此功能一般由专业用户使用.", IDYES);
    window.Settle();
    CHECK_EQ(window.ColumnTexts(list, 1), (std::vector<std::string>{app, data}));
    CheckClosesAndRemovesWorkingFolder(window);
}

TEST(registry_rows_read_as_the_registry_editor_names_them_and_the_preview_finds_their_key) {
    RptmossInstalled rptmoss;
    KestruneCopy copy(rptmoss.Package());
    KestruneWindow window(copy);
    AnalyseRptmoss(window);
    const int tabs = ID_RPC_QX_SelSoftwareUninstall_Report;
    const int registry = ID_RLV_QX_SelSoftwareUninstall_NewReg, components = ID_RLV_QX_SelSoftwareUninstall_AXCLSID;

    const std::string user_key = "HKEY_CURRENT_USER\\" + rptmoss.UserKey();
    CHECK(window.ClickTab(tabs, "相关注册表") == nullptr);
    window.Picture("report_registry");
    const std::vector<std::string> registry_rows = window.ColumnTexts(registry, 1);
    CHECK_EQ(registry_rows.size(), 4u);
    if (registry_rows.size() != 4) return;
    CHECK_EQ(registry_rows[0], user_key + "  值: Skin Color");
    CHECK_EQ(registry_rows[1], user_key + "  值: (默认)");
    CHECK_EQ(registry_rows[2], user_key);
    const std::string reason = MarkReason(registry_rows[3]);
    CHECK(!reason.empty());
    CHECK_EQ(registry_rows[3], "<" + reason + "> HKEY_CURRENT_USER\\Software\\Microsoft\\Windows");
    CHECK(window.ClickTab(tabs, "组件注册表") == nullptr);
    window.Picture("report_components");
    CHECK_EQ(window.ColumnTexts(components, 1),
             (std::vector<std::string>{"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\" + RunClsid() +
                                       "  模块: rptshell.dll"}));

    // The preview goes by the row's own text, not by what the list shows. A first preview starts
    // the editor, which may come up too late to be walked; the next one walks it to the key.
    CHECK(window.ClickTab(tabs, "相关注册表") == nullptr);
    CHECK(window.SetSelected(registry, 0, true) == nullptr);
    CHECK(window.ChooseMenuItem(ID_N_Preview_NewReg) == nullptr);
    RegistryEditorStatusBar();
    CHECK(window.ChooseMenuItem(ID_N_Preview_NewReg) == nullptr);
    CHECK(RegistryEditorShows(user_key));
    CheckClosesAndRemovesWorkingFolder(window);
}

TEST(cleaning_asks_with_counts_and_process_names_and_logs_registry_items_readable) {
    RptmossInstalled rptmoss;
    KestruneCopy copy(rptmoss.Package());
    KestruneWindow window(copy);
    AnalyseRptmoss(window);
    const int registry = ID_RLV_QX_SelSoftwareUninstall_NewReg;
    const std::string user_key = "HKEY_CURRENT_USER\\" + rptmoss.UserKey();
    const std::string reason = MarkReason(window.Cell(registry, 3, 1));
    CHECK(!reason.empty());
    // The folder of the running process was found; the install folders join it once each.
    CHECK_EQ(window.ColumnTexts(ID_RLV_QX_SelSoftwareUninstall_InstalledPath, 1),
             (std::vector<std::string>{rptmoss.Folder("app")}));

    // Only ticked rows count; the marked row is ticked but passed over.
    CHECK(window.ClickTab(ID_RPC_QX_SelSoftwareUninstall_Report, "相关注册表") == nullptr);
    CHECK(window.SetTicked(registry, 1, false) == nullptr);
    const int protocol = ID_RCB_QX_SelSoftwareUninstall_Protocol, clean = ID_RBN_QX_SelSoftwareUninstall_Clean;
    CHECK(window.ChooseComboEntry(protocol, 1) == nullptr);
    HWND why = window.Click(clean);
    window.Picture("disagree_message");
    AnswerMessage(window, why, "您选择了\"我不同意此分析结果\", 不会执行清除. 如需清除, 请选择其他协议.", IDOK);
    CHECK_EQ(window.ComboSelection(protocol), 1);
    CHECK_EQ(window.ShownPage(), "report");

    const std::string question = std::string("即将清除 \"") + kProgramName + "\" 的以下项目:\n" +
                                 "相关目录 2 项, 相关注册表 2 项, 组件注册表 1 项, 核心文件 1 项, 进程信息 1 项.\n" +
                                 "将结束以下进程: " + rptmoss.ProcessName() + "\n" +
                                 "另有 1 项带有 <原因> 标注, 清除时将跳过.\n是否确定执行清除操作?";
    CHECK(window.ChooseComboEntry(protocol, 0) == nullptr);
    HWND confirmation = window.Click(clean);
    window.Picture("clean_confirmation");
    AnswerMessage(window, confirmation, question, IDNO);
    CHECK_EQ(window.ComboSelection(protocol), 0);
    CHECK_EQ(window.ShownPage(), "report");

    // The clean-up gets the rows as the analysis reported them; its log reads like the report.
    AnswerMessage(window, window.Click(clean), question, IDYES);
    HWND done = window.WaitForMessageBox(kWorkerTimeout);
    window.Picture("clean_log");
    CHECK(window.MessageText(done).rfind("清除操作未能全部完成: 已清除 7 项, 未能清除 1 项", 0) == 0);
    window.Answer(done, IDOK);
    CHECK_EQ(window.Lines(ID_RLB_QX_SelSoftwareUninstallC_CleanInfo),
             (std::vector<std::string>{
                 "结束运行中进程: " + rptmoss.ProcessName(),
                 "清理核心文件: " + rptmoss.Folder("app\\rptmoss.dat"),
                 "清理组件注册表: HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\" + RunClsid(),
                 "清理注册表: " + user_key + "  值: Skin Color",
                 "清理注册表: " + user_key,
                 "已跳过受保护项目: <" + reason + "> HKEY_CURRENT_USER\\Software\\Microsoft\\Windows",
                 "清理相关目录: " + rptmoss.Folder("app"),
                 "清理相关目录: " + rptmoss.Folder("data"),
             }));
    CheckClosesAndRemovesWorkingFolder(window);
}

TEST(a_banner_link_asks_before_it_leaves_the_report) {
    RptmossInstalled rptmoss;
    KestruneCopy copy(rptmoss.Package());
    KestruneWindow window(copy);
    AnalyseRptmoss(window);
    const std::pair<const char*, int> links[] = {
        {"升级", ID_RL_QX_Top_Update}, {"帮助", ID_RL_QX_Top_Help}, {"关于", ID_RL_QX_Top_About}};
    for (const auto& link : links) {
        CONTEXT(std::string(link.first) + " declined");
        HWND question = window.ClickLink(link.second);
        if (link.second == ID_RL_QX_Top_Help) window.Picture("leaving_question");
        AnswerMessage(window, question, kLeavingQuestion, IDNO);
        CHECK_EQ(window.ShownPage(), "report");
    }
    AnswerMessage(window, window.ClickLink(ID_RL_QX_Top_Help), kLeavingQuestion, IDYES);
    CHECK_EQ(window.ShownPage(), "about");
    CHECK_EQ(window.SelectedTab(ID_RPC_QX_Other), "帮助FAQ");
    CheckClosesAndRemovesWorkingFolder(window);
}
