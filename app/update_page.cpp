#include "update_page.h"

#include <commctrl.h>

#include "control_ids.h"
#include "file_system.h"
#include "main_window.h"
#include "styled_controls.h"
#include "ui_kit.h"
#include "update_folders.h"
#include "update_public_key.h"

namespace {

constexpr int kProgressParts = 10;
// The log of a long run outgrows an edit control's default 32K characters.
constexpr WPARAM kLogCapacity = 4 * 1024 * 1024;

const char kFirewallTip[] = "提示:在使用升级功能之前,请确保您Windows系统上网络防火墙对本程序是开放的.";
const char kFirewallQuestion[] =
    "您是否确认当前Windows系统上的网络防火墙对本程序开放了吗?如果没有开放,将会导致升级不成功.\r\n"
    "[是]我已确定网络防火墙对本程序开放\r\n"
    "[否]退出此升级操作";
const char kNothingToUpdate[] = "当前检测并没有发现有可更新模块.";
const char kUpdated[] = "恭喜您!程序已更新完毕,将会自动重新运行并加载新模块.";

// The control file and the what's-new text are the client's own downloads: the log shows only
// the files a user asked for.
bool PassesLogFilter(const std::string& text) {
    return !text.empty() && !update::ContainsIgnoringCase(text, "qv_update.INF") &&
           !update::ContainsIgnoringCase(text, "qv_update_new.txt");
}

}  // namespace

UpdatePage::~UpdatePage() = default;

void UpdatePage::Create(HWND middle_host, HWND button_host) {
    CreatePanels(middle_host, button_host);
    // The label and the bar stand inside the group box; they are the page's children so that
    // their messages take the page's way up to the window.
    constexpr int kGroupX = 9, kGroupY = 28;
    CreateControls(page_, {
        ControlSpec{ID_RzLabel14, WC_STATICA, kFirewallTip, 9, 9, 504, 13},
        ControlSpec{ID_RGB_QX_Mid_Tip_Update_State, WC_BUTTONA, "状态", kGroupX, kGroupY, 786, 64, BS_GROUPBOX},
        ControlSpec{ID_RzLabel15, WC_STATICA, "升级进度:", kGroupX + 16, kGroupY + 28, 66, 13},
        ControlSpec{ID_RPB_QX_Update_Step, PROGRESS_CLASSA, "", kGroupX + 82, kGroupY + 27, 689, 17,
                    PBS_SMOOTH | WS_BORDER},
        ControlSpec{ID_RMO_QX_Update_Info, WC_EDITA, "", 9, 97, 786, 314,
                    ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL, WS_EX_CLIENTEDGE},
    });
    PaintInsideWhite(GetDlgItem(page_, ID_RGB_QX_Mid_Tip_Update_State));
    RPB_QX_Update_Step = GetDlgItem(page_, ID_RPB_QX_Update_Step);
    RMO_QX_Update_Info = GetDlgItem(page_, ID_RMO_QX_Update_Info);
    SendMessageA(RMO_QX_Update_Info, EM_SETLIMITTEXT, kLogCapacity, 0);
    SetProgressParts(RPB_QX_Update_Step, kProgressParts, 0);

    RBN_QX_Update_Back = CreateBarButton(buttons_, ID_RBN_QX_Update_Back, "返回", 612);
    RBN_QX_Update_CheckUpdate = CreateBarButton(buttons_, ID_RBN_QX_Update_CheckUpdate, "升级更新", 695);

    host_.reset(new update::WindowUpdateHost(form_.Handle()));
    MyUpdate.reset(new update::TOnlineUpdate(*host_));
    MyUpdate->PublicKey.assign(update::kUpdatePublicKey, update::kUpdatePublicKey + update::kUpdatePublicKeySize);
    ConnectEvents();
}

void UpdatePage::SetUpdateUrl(const std::string& url) { MyUpdate->URL = url; }

void UpdatePage::ConnectEvents() {
    MyUpdate->OnBeforeFileDownload = [this](int index, const std::string& description, std::string& url) {
        MyUpdateBeforeFileDownload(index, description, url);
    };
    MyUpdate->OnFileProgress = [this](const std::string& name, int pos, int size) { MyUpdateFileProgress(name, pos, size); };
    MyUpdate->OnFileDownloaded = [this](const std::string& name) { MyUpdateFileDownloaded(name); };
    MyUpdate->OnGetFileList = [this](std::vector<std::string>& list) { MyUpdateGetFileList(list); };
    MyUpdate->OnSuccess = [this] { MyUpdateSuccess(); };
    MyUpdate->OnThreadUpdateDone = [this] { MyUpdateThreadUpdateDone(); };
    MyUpdate->OnRunStopped = [this](const std::string& reason) { MyUpdateRunStopped(reason); };
    MyUpdate->OnFilesFailed = [this](const std::vector<update::FailedFile>& files) { MyUpdateFilesFailed(files); };
    MyUpdate->OnDatabasePlaced = [this](const std::string&) { database_placed_ = true; };
    // Ending for the replacement closes the window the normal way, so the working folder goes too.
    MyUpdate->OnAppDoClose = [this] { DestroyWindow(form_.Handle()); };
}

void UpdatePage::RL_QX_Top_UpdateClick(int sender_id) {
    if (form_.Busy()) return;
    if (sender_id == ID_RL_QX_Top_Update)
        SetWindowTextA(RBN_QX_Update_CheckUpdate, "升级");
    else if (sender_id == ID_RBN_QX_SelSoftware_Update)
        SetWindowTextA(RBN_QX_Update_CheckUpdate, "更新");
    ShowPair();
}

void UpdatePage::RBN_QX_Update_CheckUpdateClick() {
    if (MyUpdate->Busy() || !AskYesNo(form_.Handle(), kFirewallQuestion)) return;
    SetWindowTextA(RMO_QX_Update_Info, "");
    EnableButtons(false);
    database_placed_ = false;
    MyUpdate->StartThreadedUpdate();
}

void UpdatePage::RBN_QX_Update_BackClick() { form_.software.ShowPair(); }

void UpdatePage::EnableButtons(bool enabled) {
    EnableWindow(RBN_QX_Update_CheckUpdate, enabled);
    EnableWindow(RBN_QX_Update_Back, enabled);
}

// As a memo adds a line: after a line break the line and a break, leaving the caret on the new
// empty line; after text a break and the line, leaving the caret at its end.
void UpdatePage::AddLogLine(const std::string& line) {
    const int length = GetWindowTextLengthA(RMO_QX_Update_Info);
    const std::string text = WindowText(RMO_QX_Update_Info);
    const bool after_break = text.empty() || text.back() == '\n';
    const std::string added = after_break ? line + "\r\n" : "\r\n" + line;
    SendMessageA(RMO_QX_Update_Info, EM_SETSEL, length, length);
    SendMessageA(RMO_QX_Update_Info, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(added.c_str()));
}

void UpdatePage::ReplaceCaretLine(const std::string& text) {
    const LRESULT line = SendMessageA(RMO_QX_Update_Info, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0);
    const LRESULT start = SendMessageA(RMO_QX_Update_Info, EM_LINEINDEX, line, 0);
    if (start < 0) return;
    const LRESULT length = SendMessageA(RMO_QX_Update_Info, EM_LINELENGTH, start, 0);
    SendMessageA(RMO_QX_Update_Info, EM_SETSEL, start, start + length);
    SendMessageA(RMO_QX_Update_Info, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void UpdatePage::MyUpdateBeforeFileDownload(int, const std::string& file_description, std::string&) {
    if (!PassesLogFilter(file_description)) return;
    AddLogLine("开始下载:  " + file_description);
    host_->PumpMessages();
}

void UpdatePage::MyUpdateFileProgress(const std::string& file_name, int pos, int size) {
    if (!PassesLogFilter(file_name)) return;
    if (SendMessageA(RPB_QX_Update_Step, PBM_GETRANGE, FALSE, 0) != size)
        SendMessageA(RPB_QX_Update_Step, PBM_SETRANGE32, 0, size);
    SendMessageA(RPB_QX_Update_Step, PBM_SETPOS, static_cast<WPARAM>(pos), 0);
    char line[160];
    wsprintfA(line, "%s已完成->%d Byte/%d Byte", "正在下载:  ", pos, size);
    ReplaceCaretLine(line);
    host_->PumpMessages();
}

void UpdatePage::MyUpdateFileDownloaded(const std::string& file_name) {
    if (!PassesLogFilter(file_name)) return;
    AddLogLine("下载完成:  " + FileNameOf(file_name));
    host_->PumpMessages();
}

void UpdatePage::MyUpdateGetFileList(std::vector<std::string>& list) {
    if (list.empty()) ShowInformation(form_.Handle(), kNothingToUpdate);
}

void UpdatePage::MyUpdateSuccess() { ShowInformation(form_.Handle(), kUpdated); }

void UpdatePage::MyUpdateRunStopped(const std::string& reason) { AddLogLine("升级已停止:  " + reason); }

// Some files did not arrive or could not be placed: the user learns which, and that what is
// installed was left as it was.
void UpdatePage::MyUpdateFilesFailed(const std::vector<update::FailedFile>& files) {
    std::string message = "以下文件未能更新:\r\n";
    for (const update::FailedFile& file : files) {
        AddLogLine("未能更新:  " + file.name + " (" + file.reason + ")");
        message += file.name + ": " + file.reason + "\r\n";
    }
    message += "已安装的程序和特征库中未更新的部分保持原样, 没有丢失任何文件.";
    ShowWarning(form_.Handle(), message.c_str());
}

void UpdatePage::MyUpdateThreadUpdateDone() {
    EnableButtons(true);
    // A new database is shown at once; a program update restarts the program instead.
    if (database_placed_ && !form_.Busy()) {
        database_placed_ = false;
        form_.LoadDatabase();
    }
}

bool UpdatePage::OnClick(int id) {
    switch (id) {
        case ID_RBN_QX_Update_CheckUpdate:
            RBN_QX_Update_CheckUpdateClick();
            return true;
        case ID_RBN_QX_Update_Back:
            RBN_QX_Update_BackClick();
            return true;
        default:
            return false;
    }
}
