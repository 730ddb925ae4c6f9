#include "clean_page.h"

#include <commctrl.h>

#include <memory>

#include "callbacks.h"
#include "control_ids.h"
#include "main_window.h"
#include "styled_controls.h"
#include "ui_kit.h"

namespace {

constexpr int kCleanSteps = TQXWorkerThread::kStepCount;
constexpr int kCleanInfoRowHeight = 16;
constexpr int kCleanInfoWidth = 2000;
// The group box's controls sit on the page itself, at their place inside the group, so that
// they share the page's white background and colour handling.
constexpr int kGroupX = 9, kGroupY = 28;

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
}

void CleanPage::StartCleanup() {
    run_error_.clear();
    auto worker = std::make_unique<TQX_Thread_Uninstall>(form_.Engine(), RegistryView::kDefault);
    ConnectCleanupWorker(*worker);
    if (form_.LaunchWorker(std::move(worker))) ShowPair();
}

void CleanPage::OnCleanInfo(const std::string& line) {
    SendMessageA(RLB_QX_SelSoftwareUninstallC_CleanInfo, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
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
        form_.report.EnableChoices(false);
        SetProgressParts(RPB_QX_SelSoftwareUninstallC_Step, kCleanSteps, 0);
        SendMessageA(RLB_QX_SelSoftwareUninstallC_CleanInfo, LB_RESETCONTENT, 0, 0);
    } else if (state == -1) {
        form_.report.EnableChoices(true);
        form_.report.ClearTraces();
        form_.report.ClearProtocol();
        const TQX::CleanupTally& tally = form_.Engine().Tally;
        if (run_error_.empty() && tally.not_removed == 0) {
            ShowInformation(form_.Handle(), "恭喜您,清除操作已完成.");
        } else if (run_error_.empty()) {
            // Something stayed: the user is told how much, and the log names each item.
            const std::string message = "清除操作未能全部完成: 已清除 " + std::to_string(tally.removed) +
                                        " 项, 未能清除 " + std::to_string(tally.not_removed) +
                                        " 项(受保护或无法删除).\n请查看清除日志中的各项说明.";
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

// The software page only: nothing starts from here, so it is safe while the clean-up runs.
void CleanPage::RBN_QX_SelSoftwareUninstallC_BackClick() { form_.software.ShowPair(); }

bool CleanPage::OnClick(int id) {
    if (id != ID_RBN_QX_SelSoftwareUninstallC_Back) return false;
    RBN_QX_SelSoftwareUninstallC_BackClick();
    return true;
}
