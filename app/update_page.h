// The Update page: the way into an online update, its log and progress. The update run itself
// comes with the update client; until then starting it says so.
#pragma once

#include "wizard_page.h"

class UpdatePage : public WizardPage {
public:
    using WizardPage::WizardPage;
    void Create(HWND middle_host, HWND button_host) override;
    bool OnClick(int id) override;

    // Entering from the banner link ("升级") or the software page's button ("更新").
    void RL_QX_Top_UpdateClick(int sender_id);

private:
    void RBN_QX_Update_CheckUpdateClick();
    void RBN_QX_Update_BackClick();

    HWND RBN_QX_Update_CheckUpdate = nullptr;
    HWND RBN_QX_Update_Back = nullptr;
    HWND RMO_QX_Update_Info = nullptr;
    HWND RPB_QX_Update_Step = nullptr;
};
