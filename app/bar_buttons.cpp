#include "bar_buttons.h"

#include <cctype>

#include "control_ids.h"
#include "ui_kit.h"

namespace {

struct BarButton {
    int id;
    char access_key;
    bool enter;              // Enter presses it, unless the focus is on another button
    bool escape;             // Esc presses it: the page's way back, with its question if it asks one
    bool waits_for_runs;     // disabled while a worker runs, since its click would be ignored
};

// Pages without an Esc row (software, analysis) have no way back.
const BarButton kBarButtons[] = {
    // Software page
    {ID_RBN_QX_SelSoftware_Next, 'N', true, false, true},         // 下一步(N)
    {ID_RBN_QX_SelSoftware_Submit, 'S', false, false, false},     // 提交软件(S)
    {ID_RBN_QX_SelSoftware_Update, 'U', false, false, true},      // 更新特征库(U)
    // Install-folder page
    {ID_RBN_QX_SelSoftwareInstalledPath_Analyzed, 'A', true, false, true},   // 执行分析(A)
    {ID_RBN_QX_SelSoftwareInstalledPath_Previous, 'B', false, true, false},  // 上一步(B)
    // Analysis page
    {ID_RBN_QX_SelSoftwareAnalyzed_Next, 'N', true, false, true},     // 下一步(N)
    {ID_RBN_QX_SelSoftwareAnalyzed_SeeInfo, 'R', false, false, true}, // 查看详细报告(R)
    // Report page
    {ID_RBN_QX_SelSoftwareUninstall_Clean, 'C', true, false, true},   // 执行清除(C)
    {ID_RBN_QX_SelSoftwareUninstall_Back, 'B', false, true, false},   // 返回(B)
    // Clean page: its way back is safe during the clean-up
    {ID_RBN_QX_SelSoftwareUninstallC_Back, 'B', true, true, false},   // 返回(B)
    {ID_RBN_QX_SelSoftwareUninstallC_Undo, 'U', false, false, true},  // 撤销本次清除(U)
    // About, help and submit pages
    {ID_RBN_QX_Other_Back, 'B', true, true, false},  // 返回(B)
    // Update page: the update asks before it starts; its own run disables both buttons
    {ID_RBN_QX_Update_CheckUpdate, 'U', true, false, false},  // 升级更新(U)
    {ID_RBN_QX_Update_Back, 'B', false, true, false},         // 返回(B)
};

const BarButton* Find(int id) {
    for (const BarButton& button : kBarButtons)
        if (button.id == id) return &button;
    return nullptr;
}

// The bar's button whose row has the mark.
HWND ButtonOf(HWND bar, bool BarButton::*mark) {
    for (const BarButton& button : kBarButtons)
        if (button.*mark)
            if (HWND found = GetDlgItem(bar, button.id)) return found;
    return nullptr;
}

}  // namespace

char AccessKeyOf(int button_id) {
    const BarButton* button = Find(button_id);
    return button ? button->access_key : 0;
}

HWND EnterButtonOf(HWND bar) { return ButtonOf(bar, &BarButton::enter); }

HWND EscapeButtonOf(HWND bar) { return ButtonOf(bar, &BarButton::escape); }

HWND ButtonWithAccessKey(HWND bar, char key) {
    const int wanted = std::toupper(static_cast<unsigned char>(key));
    for (HWND child = GetWindow(bar, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (AccessKeyOf(GetDlgCtrlID(child)) == wanted && IsWindowVisible(child) && IsWindowEnabled(child))
            return child;
    return nullptr;
}

void EnableButtonsThatWaitForRuns(HWND window, bool enabled) {
    for (const BarButton& button : kBarButtons)
        if (button.waits_for_runs)
            if (HWND control = FindControl(window, button.id)) EnableWindow(control, enabled);
}
