#include "update_page.h"

#include <commctrl.h>

#include "control_ids.h"
#include "main_window.h"
#include "styled_controls.h"
#include "ui_kit.h"

namespace {

constexpr int kProgressParts = 10;

const char kFirewallTip[] = "提示:在使用升级功能之前,请确保您Windows系统上网络防火墙对本程序是开放的.";
const char kFirewallQuestion[] =
    "您是否确认当前Windows系统上的网络防火墙对本程序开放了吗?如果没有开放,将会导致升级不成功.\r\n"
    "[是]我已确定网络防火墙对本程序开放\r\n"
    "[否]退出此升级操作";
const char kUpdateUnavailable[] = "在线升级功能暂不可用,请稍后从官方网站获取最新版本.";

}  // namespace

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
    SetProgressParts(RPB_QX_Update_Step, kProgressParts, 0);

    RBN_QX_Update_Back = CreateBarButton(buttons_, ID_RBN_QX_Update_Back, "返回", 612);
    RBN_QX_Update_CheckUpdate = CreateBarButton(buttons_, ID_RBN_QX_Update_CheckUpdate, "升级更新", 695);
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
    if (!AskYesNo(form_.Handle(), kFirewallQuestion)) return;
    // No update client yet: the log and the buttons stay as they are.
    ShowInformation(form_.Handle(), kUpdateUnavailable);
}

void UpdatePage::RBN_QX_Update_BackClick() { form_.software.ShowPair(); }

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
