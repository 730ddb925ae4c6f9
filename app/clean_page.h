// The clean page: the running clean-up's step, progress and one line per action, and the
// window's clean-up callbacks.
#pragma once

#include <string>

#include "backup_restore.h"
#include "wizard_page.h"

class CleanPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    void Create(HWND middle_host, HWND button_host) override;
    bool OnClick(int id) override;

    // Starts the clean-up worker over the engine's work lists and shows this page.
    void StartCleanup();
    void OnCleanInfo(const std::string& line);
    void OnCleanStep(int step, const std::string& text);
    void OnCleanRunState(int state);
    void OnCleanError(const std::string& message);
    void OnRestoreRunState(int state);

private:
    void RBN_QX_SelSoftwareUninstallC_BackClick();
    // Puts back, after a confirmation, what the last clean-up removed, from its backup.
    void RBN_QX_SelSoftwareUninstallC_UndoClick();
    // The undo button is offered after a clean-up that kept copies, until they are put back.
    void OfferUndo(bool offered);

    HWND RL_QX_MTip_SelSoftwareUninstallC_Wait = nullptr;
    HWND RPB_QX_SelSoftwareUninstallC_Step = nullptr;
    HWND RLB_QX_SelSoftwareUninstallC_CleanInfo = nullptr;
    HWND RBN_QX_SelSoftwareUninstallC_Undo = nullptr;
    std::string run_error_;
    std::string undo_folder_;  // the backup the undo button restores
    RestoreCounts restore_counts_;
};
