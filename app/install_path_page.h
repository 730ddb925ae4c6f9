// The install-path page: the folders in which the ticked program is installed, which the user
// confirms, adds to or removes from the list, looks into, and the start of the analysis.
#pragma once

#include <string>

#include "splitters.h"
#include "wizard_page.h"

class InstallPathPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    void Create(HWND middle_host, HWND button_host) override;
    bool OnClick(int id) override;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;

    // Slot 2: one proposed folder becomes a row, unless a row names the same folder already.
    void OnInstalledPath(const std::string& path);
    void Clear();
    // Every row's folder, in order: they join the folders the clean-up removes.
    StringList Paths() const;

private:
    void RBN_QX_SelSoftWareInstalledPath_AddClick();
    void RBN_QX_SelSoftWareInstalledPath_DeleteClick();
    void RLV_QX_SelSoftWareInstalledPathlistDblClick();
    void RBN_QX_SelSoftwareInstalledPath_PreviousClick();
    void RBN_QX_SelSoftwareInstalledPath_AnalyzedClick();
    void AppendRow(const std::string& path);
    // The row that names path's folder in any spelling, or -1.
    int ListedRowOf(const std::string& path) const;
    // The heading names the program whose folders the list shows.
    void NameProgramInHeading();
    static LRESULT CALLBACK NameProgramOnShow(HWND page, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                              DWORD_PTR page_object);

    HWND RL_QX_MTip_SelSoftwareInstalledPath = nullptr;
    HWND RLV_QX_SelSoftWareInstalledPathlist = nullptr;
    std::string last_chosen_folder_;
};
