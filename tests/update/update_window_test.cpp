// The online update through the window, as a user meets it: Kestrune.exe 1.0.0.0 with the old
// database is pointed at update folders on a local server (update_end_to_end.sh makes them with
// the release tool). A good folder replaces the database and the program, which starts again as
// 1.0.1.0 with the new catalogue; a tampered file, a wrong signature and a file cut short each
// leave the installed program and database byte-identical and say why.
#include <fstream>
#include <iterator>
#include <string>

#include "check.h"
#include "control_ids.h"
#include "kestrune_window.h"
#include "waiting.h"

namespace {

const char kFirewallQuestion[] =
    "您是否确认当前Windows系统上的网络防火墙对本程序开放了吗?如果没有开放,将会导致升级不成功.\r\n"
    "[是]我已确定网络防火墙对本程序开放\r\n"
    "[否]退出此升级操作";
const char kDownloadQuestion[] = "Download update files ?";
const char kUpdated[] = "恭喜您!程序已更新完毕,将会自动重新运行并加载新模块.";
constexpr DWORD kRunTimeout = 120000;

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string OldPackage() { return Environment("KESTRUNE_UPDATE_OLD_DB"); }
std::string NewPackage() { return Environment("KESTRUNE_UPDATE_NEW_DB"); }
std::string NewProgram() { return Environment("KESTRUNE_UPDATE_NEW_EXE"); }
std::string ControlFileUrl(const std::string& folder) {
    return Environment("KESTRUNE_TEST_HTTP") + "/" + folder + "/QV/qv_update.INF";
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct WindowSearch {
    DWORD process_id;
    const char* window_class;
    HWND found;
};

BOOL CALLBACK FindWindowOfClass(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    char window_class[64] = {};
    GetClassNameA(window, window_class, sizeof window_class);
    if (process_id == search->process_id && std::string(window_class) == search->window_class && IsWindowVisible(window))
        search->found = window;
    return search->found == nullptr;
}

HWND TopLevelWindowOf(DWORD process_id, const char* window_class) {
    WindowSearch search{process_id, window_class, nullptr};
    EnumWindows(FindWindowOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The update page, its firewall question answered Yes: the run has started.
void StartUpdate(KestruneWindow& window) {
    window.ClickLink(ID_RL_QX_Top_Update);
    CHECK_EQ(window.ShownPage(), "update");
    AnswerMessage(window, window.Click(ID_RBN_QX_Update_CheckUpdate), kFirewallQuestion, IDYES);
}

void WaitForRunEnd(const KestruneWindow& window) {
    WaitUntil([&] { return window.IsEnabled(ID_RBN_QX_Update_CheckUpdate); }, kRunTimeout, "the update run to end");
    CHECK(window.IsEnabled(ID_RBN_QX_Update_Back));
}

// What is installed after a run that must have changed nothing.
void CheckInstallationUnchanged(const KestruneCopy& copy, const std::string& program_before) {
    CHECK(FileBytes(copy.ExePath()) == program_before);
    CHECK(FileBytes(copy.Folder() + "REZ.hdb3") == FileBytes(OldPackage()));
}

void CheckClosesNormally(KestruneWindow& window) {
    CHECK(window.RequestClose() == nullptr);
    CHECK(window.WaitForExit(kReactionTimeout));
}

}  // namespace

TEST(a_good_update_replaces_database_and_program_and_the_new_version_starts_with_the_new_catalogue) {
    KestruneCopy copy(OldPackage());
    DWORD old_process = 0;
    {
        KestruneWindow window(copy, "--update-url " + ControlFileUrl("good"));
        CHECK_EQ(window.Text(ID_RzVerS2), "Version:1.0.0.0");
        StartUpdate(window);
        // Buttons are off for the run; closing is refused while it lasts.
        const HWND question = window.WaitForMessageBox(kRunTimeout);
        CHECK(!window.IsEnabled(ID_RBN_QX_Update_CheckUpdate) && !window.IsEnabled(ID_RBN_QX_Update_Back));
        AnswerMessage(window, window.RequestClose(), "正在执行在线升级,请等待升级完成后再关闭本程序.", IDOK);
        AnswerMessage(window, question, kDownloadQuestion, IDYES);
        const HWND success = window.WaitForMessageBox(kRunTimeout);
        // The log: each file's start, its progress in place, its end; the control file is not shown.
        const std::string database_size = std::to_string(FileBytes(NewPackage()).size());
        const std::string program_size = std::to_string(FileBytes(NewProgram()).size());
        CHECK_EQ(window.Text(ID_RMO_QX_Update_Info),
                 "开始下载:  特征库\r\n"
                 "正在下载:  已完成->" + database_size + " Byte/" + database_size + " Byte\r\n"
                 "下载完成:  REZ.hdb3\r\n"
                 "正在下载:  已完成->" + program_size + " Byte/" + program_size + " Byte\r\n"
                 "下载完成:  Kestrune.exe");
        CHECK(!window.IsEnabled(ID_RBN_QX_Update_CheckUpdate));
        window.Picture("update_success");
        AnswerMessage(window, success, kUpdated, IDOK);
        // Restarting silently: the program ends and qvsetup.exe puts the new one in place.
        CHECK(window.WaitForExit(kRunTimeout));
        old_process = window.ProcessId();
    }
    KestruneWindow restarted(old_process);
    CHECK_EQ(restarted.Text(ID_RzVerS2), "Version:1.0.1.0");
    CHECK(FileBytes(copy.ExePath()) == FileBytes(NewProgram()));
    CHECK(FileBytes(copy.Folder() + "REZ.hdb3") == FileBytes(NewPackage()));
    restarted.ChooseComboEntry(ID_RCB_QX_SelSoftwareType, 1);  // 顽固软件
    CHECK_EQ(restarted.ColumnTexts(ID_RLV_QX_SelSoftWarelist, 1), std::vector<std::string>{"Quillmoss 图片助手"});
    restarted.Picture("restarted");
    CheckClosesNormally(restarted);
}

// A database alone: placed, unpacked and listed at once, without a restart.
TEST(a_new_database_is_shown_at_once_without_a_restart) {
    KestruneCopy copy(OldPackage());
    KestruneWindow window(copy, "--update-url " + ControlFileUrl("database"));
    StartUpdate(window);
    AnswerMessage(window, kDownloadQuestion, IDYES);
    AnswerMessage(window, window.WaitForMessageBox(kRunTimeout), kUpdated, IDOK);
    WaitForRunEnd(window);
    CHECK(FileBytes(copy.Folder() + "REZ.hdb3") == FileBytes(NewPackage()));
    window.Click(ID_RBN_QX_Update_Back);
    CHECK_EQ(window.ShownPage(), "software");
    window.ChooseComboEntry(ID_RCB_QX_SelSoftwareType, 1);  // 顽固软件
    CHECK_EQ(window.ColumnTexts(ID_RLV_QX_SelSoftWarelist, 1), std::vector<std::string>{"Quillmoss 图片助手"});
    window.Picture("new_catalogue");
    CheckClosesNormally(window);
}

// Each of these fails before anything is placed; the window says why and stays as it was.
TEST(a_tampered_file_or_one_cut_short_is_named_in_a_warning_and_nothing_installed_changes) {
    const struct {
        const char* folder;
        const char* reason;
    } cases[] = {
        {"tampered", "SHA-256"},
        {"short", "1000"},
    };
    for (const auto& row : cases) {
        CONTEXT(row.folder);
        KestruneCopy copy(OldPackage());
        const std::string program_before = FileBytes(copy.ExePath());
        KestruneWindow window(copy, "--update-url " + ControlFileUrl(row.folder));
        StartUpdate(window);
        AnswerMessage(window, kDownloadQuestion, IDYES);
        const HWND warning = window.WaitForMessageBox(kRunTimeout);
        const std::string text = window.MessageText(warning);
        CHECK(Contains(text, "以下文件未能更新:\r\nREZ.hdb3: ") && Contains(text, row.reason));
        CHECK(!Contains(text, "Kestrune.exe"));
        window.Answer(warning, IDOK);
        WaitForRunEnd(window);
        CHECK(window.MessageBoxes().empty());  // no success message, no restart
        CHECK(Contains(window.Text(ID_RMO_QX_Update_Info), "未能更新:  REZ.hdb3"));
        CheckInstallationUnchanged(copy, program_before);
        CHECK_EQ(window.Text(ID_RzVerS2), "Version:1.0.0.0");
        CheckClosesNormally(window);
    }
}

TEST(a_control_file_signed_with_another_key_stops_the_run_with_a_line_in_the_log) {
    KestruneCopy copy(OldPackage());
    const std::string program_before = FileBytes(copy.ExePath());
    KestruneWindow window(copy, "--update-url " + ControlFileUrl("badsig"));
    StartUpdate(window);
    WaitForRunEnd(window);
    CHECK(window.MessageBoxes().empty());
    CHECK(Contains(window.Text(ID_RMO_QX_Update_Info), "升级已停止:  升级控制文件未通过签名验证"));
    window.Picture("bad_signature");
    CheckInstallationUnchanged(copy, program_before);
    CheckClosesNormally(window);
}

// The what's-new text in rich text, closed with the title-bar button: the update is declined.
TEST(closing_the_whats_new_dialog_declines_the_update) {
    KestruneCopy copy(OldPackage());
    const std::string program_before = FileBytes(copy.ExePath());
    KestruneWindow window(copy, "--update-url " + ControlFileUrl("whatsnew"));
    StartUpdate(window);
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = TopLevelWindowOf(window.ProcessId(), "KestruneUpdateText")) != nullptr; },
              kRunTimeout, "the what's-new dialog");
    char title[64] = {};
    GetWindowTextA(dialog, title, sizeof title);
    CHECK_EQ(std::string(title), "更新说明");
    char text[256] = {};
    // A control of another process gives its text to WM_GETTEXT only.
    SendMessageA(FindWindowExA(dialog, nullptr, "RichEdit20A", nullptr), WM_GETTEXT, sizeof text,
                 reinterpret_cast<LPARAM>(text));
    CONTEXT(std::string("the dialog's text: ") + text);
    CHECK(Contains(text, "1.0.1.0: new catalogue") && !Contains(text, "rtf"));  // the words, not the markup
    window.Picture("whats_new");
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    WaitForRunEnd(window);
    CHECK(window.MessageBoxes().empty());
    CHECK_EQ(window.Text(ID_RMO_QX_Update_Info), "");  // the what's-new download is not logged
    CheckInstallationUnchanged(copy, program_before);
    CheckClosesNormally(window);
}

TEST(nothing_newer_shows_the_empty_list_message_and_no_success) {
    KestruneCopy copy(OldPackage());
    KestruneWindow window(copy, "--update-url " + ControlFileUrl("current"));
    StartUpdate(window);
    AnswerMessage(window, window.WaitForMessageBox(kRunTimeout), "当前检测并没有发现有可更新模块.", IDOK);
    WaitForRunEnd(window);
    CHECK(window.MessageBoxes().empty());
    CHECK_EQ(window.Text(ID_RMO_QX_Update_Info), "");
    CheckClosesNormally(window);
}
