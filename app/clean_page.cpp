#include "clean_page.h"

#include <commctrl.h>

#include <memory>

#include "callbacks.h"
#include "control_ids.h"
#include "file_system.h"
#include "machine_views.h"
#include "main_window.h"
#include "registry_display.h"
#include "styled_controls.h"
#include "ui_kit.h"

namespace {

constexpr int kCleanSteps = TQXWorkerThread::kStepCount;
constexpr int kCleanInfoRowHeight = 16;
constexpr int kCleanInfoWidth = 2000;
// The group box's controls sit on the page itself, at their place inside the group, so that
// they share the page's white background and colour handling.
constexpr int kGroupX = 9, kGroupY = 28;
constexpr int kUndoButtonWidth = 110;

// A backup in which the clean-up kept at least one copy.
bool BackupHoldsCopies(const std::string& folder) {
    std::string manifest;
    return !folder.empty() && ReadWholeFile(folder + "manifest.txt", manifest) && !manifest.empty();
}

}  // namespace

void CleanPage::Create(HWND middle_host, HWND button_host) {
    CreatePanels(middle_host, button_host);
    CreateControls(page_, {
        ControlSpec{ID_RL_QX_MTip_SelSoftwareUninstallC_Wait, WC_STATICA,
                    "正在清除该软件在您系统中的安装信息,请耐心等待......", 9, 9, 577, 13},
        ControlSpec{ID_RL_QX_MTip_SelSoftwareUninstallC_Step, WC_STATICA, "清除阶段:", kGroupX + 16, kGroupY + 24,
                    66, 13},
        ControlSpec{ID_RPB_QX_SelSoftwareUninstallC_Step, PROGRESS_CLASSA, "", kGroupX + 85, kGroupY + 22, 688, 17,
                    WS_BORDER},
        ControlSpec{ID_RGB_QX_Mid_Tip_SelSoftwareUninstallC_State, WC_BUTTONA, "状态", kGroupX, kGroupY, 786, 53,
                    BS_GROUPBOX | WS_CLIPSIBLINGS},
        ControlSpec{ID_RLB_QX_SelSoftwareUninstallC_CleanInfo, WC_LISTBOXA, "", 9, 88, 786, 318,
                    LBS_NOINTEGRALHEIGHT | LBS_NOSEL | WS_VSCROLL | WS_HSCROLL, WS_EX_CLIENTEDGE},
    });
    RL_QX_MTip_SelSoftwareUninstallC_Wait = GetDlgItem(page_, ID_RL_QX_MTip_SelSoftwareUninstallC_Wait);
    RPB_QX_SelSoftwareUninstallC_Step = GetDlgItem(page_, ID_RPB_QX_SelSoftwareUninstallC_Step);
    RLB_QX_SelSoftwareUninstallC_CleanInfo = GetDlgItem(page_, ID_RLB_QX_SelSoftwareUninstallC_CleanInfo);
    PaintInsideWhite(GetDlgItem(page_, ID_RGB_QX_Mid_Tip_SelSoftwareUninstallC_State));
    SendMessageA(RLB_QX_SelSoftwareUninstallC_CleanInfo, LB_SETITEMHEIGHT, 0, kCleanInfoRowHeight);
    // Long paths can be scrolled to sideways.
    SendMessageA(RLB_QX_SelSoftwareUninstallC_CleanInfo, LB_SETHORIZONTALEXTENT, kCleanInfoWidth, 0);
    SetProgressParts(RPB_QX_SelSoftwareUninstallC_Step, kCleanSteps, 0);

    CreateBarButton(buttons_, ID_RBN_QX_SelSoftwareUninstallC_Back, "返回", 695);
    RBN_QX_SelSoftwareUninstallC_Undo =
        CreateBarButton(buttons_, ID_RBN_QX_SelSoftwareUninstallC_Undo, "撤销本次清除", 575, kUndoButtonWidth);
    OfferUndo(false);
}

void CleanPage::OfferUndo(bool offered) {
    if (!offered) undo_folder_.clear();
    ShowWindow(RBN_QX_SelSoftwareUninstallC_Undo, offered ? SW_SHOW : SW_HIDE);
}

void CleanPage::StartCleanup() {
    run_error_.clear();
    auto worker = std::make_unique<TQX_Thread_Uninstall>(form_.Engine(), MachineView());
    ConnectCleanupWorker(*worker);
    if (form_.LaunchWorker(std::move(worker))) ShowPair();
}

// The engine's line names registry items in its notation (as qxcli prints them); the log shows
// them as the report does.
void CleanPage::OnCleanInfo(const std::string& line) {
    const std::string shown = ReadableCleanLogLine(line);
    SendMessageA(RLB_QX_SelSoftwareUninstallC_CleanInfo, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
    SendMessageA(RLB_QX_SelSoftwareUninstallC_CleanInfo, WM_VSCROLL, SB_LINEDOWN, 0);
}

void CleanPage::OnCleanStep(int step, const std::string& text) {
    if (step == -1)
        SetWindowTextA(RL_QX_MTip_SelSoftwareUninstallC_Wait, text.c_str());
    else
        SetProgressParts(RPB_QX_SelSoftwareUninstallC_Step, kCleanSteps, step);
}

void CleanPage::OnCleanRunState(int state) {
    if (state == 0) {
        OfferUndo(false);
        form_.report.EnableChoices(false);
        SetProgressParts(RPB_QX_SelSoftwareUninstallC_Step, kCleanSteps, 0);
        SendMessageA(RLB_QX_SelSoftwareUninstallC_CleanInfo, LB_RESETCONTENT, 0, 0);
    } else if (state == -1) {
        form_.report.EnableChoices(true);
        form_.report.ClearTraces();
        form_.report.ClearProtocol();
        if (BackupHoldsCopies(form_.Engine().LastBackupFolder())) {
            OfferUndo(true);
            undo_folder_ = form_.Engine().LastBackupFolder();
        }
        const TQX::CleanupTally& tally = form_.Engine().Tally;
        const std::string restart_note =
            tally.scheduled == 0 ? std::string()
                                 : "\n其中 " + std::to_string(tally.scheduled) +
                                       " 项正在使用, 将在重启计算机后删除: 请重启计算机以完成清除.";
        // Everything went: the software page no longer marks the program installed, nor ticks it.
        if (run_error_.empty() && tally.not_removed == 0 && tally.scheduled == 0)
            form_.software.RefreshAfterCleanup();
        if (run_error_.empty() && tally.not_removed == 0) {
            ShowInformation(form_.Handle(), ("恭喜您,清除操作已完成." + restart_note).c_str());
        } else if (run_error_.empty()) {
            // Something stayed: the user is told how much, and the log names each item.
            const std::string message = "清除操作未能全部完成: 已清除 " + std::to_string(tally.removed) +
                                        " 项, 未能清除 " + std::to_string(tally.not_removed) +
                                        " 项(受保护或无法删除).\n请查看清除日志中的各项说明." + restart_note;
            ShowWarning(form_.Handle(), message.c_str());
        } else {
            // A step that raised stopped the run: the user must not be told that all is clean.
            const std::string message = "清除操作未能全部完成,执行中发生错误: " + run_error_;
            run_error_.clear();
            ShowError(form_.Handle(), message.c_str());
        }
    }
}

void CleanPage::OnCleanError(const std::string& message) {
    run_error_ = message.empty() ? std::string("未知错误") : message;
}

void CleanPage::RBN_QX_SelSoftwareUninstallC_UndoClick() {
    if (form_.Busy() || undo_folder_.empty()) return;
    const std::string question = "撤销本次清除将把本次删除的项目从备份恢复到原来的位置, 已存在的项目不会被覆盖.\n备份: " +
                                 undo_folder_ + "\n是否确定撤销本次清除?";
    if (!AskYesNo(form_.Handle(), question.c_str())) return;
    auto worker = std::make_unique<TQX_Thread_Restore>(form_.Engine(), undo_folder_, restore_counts_);
    ConnectRestoreWorker(*worker);
    form_.LaunchWorker(std::move(worker));
}

void CleanPage::OnRestoreRunState(int state) {
    if (state == 0) {
        OfferUndo(false);
        run_error_.clear();
        OnCleanInfo("—— 撤销本次清除 ——");
        return;
    }
    // What came back is installed again: the software page's marks are read anew.
    form_.software.RefreshAfterCleanup();
    if (!run_error_.empty()) {
        const std::string message = "撤销未能全部完成,执行中发生错误: " + run_error_;
        run_error_.clear();
        ShowError(form_.Handle(), message.c_str());
    } else if (restore_counts_.not_restored == 0) {
        const std::string message = "本次清除已撤销: 已恢复 " + std::to_string(restore_counts_.restored) + " 项.";
        ShowInformation(form_.Handle(), message.c_str());
    } else {
        const std::string message = "撤销未能全部完成: 已恢复 " + std::to_string(restore_counts_.restored) +
                                    " 项, 未恢复 " + std::to_string(restore_counts_.not_restored) +
                                    " 项(已存在或无法恢复).\n请查看日志中的各项说明.";
        ShowWarning(form_.Handle(), message.c_str());
    }
}

// The software page only: nothing starts from here, so it is safe while the clean-up runs.
void CleanPage::RBN_QX_SelSoftwareUninstallC_BackClick() { form_.software.ShowPair(); }

bool CleanPage::OnClick(int id) {
    if (id == ID_RBN_QX_SelSoftwareUninstallC_Back)
        RBN_QX_SelSoftwareUninstallC_BackClick();
    else if (id == ID_RBN_QX_SelSoftwareUninstallC_Undo)
        RBN_QX_SelSoftwareUninstallC_UndoClick();
    else
        return false;
    return true;
}
