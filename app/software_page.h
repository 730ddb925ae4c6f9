// The software page: the catalogue filtered by type, sub-type and operating system, one program
// ticked at a time, and "下一步" to its install paths.
#pragma once

#include <string>

#include "wizard_page.h"

class SoftwarePage : public WizardPage {
public:
    using WizardPage::WizardPage;
    void Create(HWND middle_host, HWND button_host) override;
    bool OnClick(int id) override;
    bool OnCommand(int id, int code) override;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    bool LabelColour(int id, COLORREF& colour) override;

    // Start-up: the filters' entries with the first of each selected, then the catalogue of the
    // chosen filters.
    void FillFilters();
    void ListCatalogue();
    void SetDatabaseAvailable(bool available) { database_available_ = available; }
    // Slot 1: one catalogue line becomes a row.
    void OnSoftwareItem(const std::string& line);

private:
    std::string SelectedTypeCode() const;
    std::string SelectedSubType() const;
    std::string SelectedOs() const;
    void RefillList();
    void ChangeFilter(std::string& engine_value, const std::string& value);

    void RCB_QX_SelSoftwareTypeChange();
    void RCB_QX_SelSoftwareSubTypeChange();
    void RCB_QX_SelSoftwareOSChange();
    void RLV_QX_SelSoftWarelistChange(int row);
    void RBN_QX_SelSoftware_NextClick();
    void RBN_QX_SelSoftware_SubmitClick();

    HWND RCB_QX_SelSoftwareType = nullptr;
    HWND RCB_QX_SelSoftwareSubType = nullptr;
    HWND RCB_QX_SelSoftwareOS = nullptr;
    HWND RLV_QX_SelSoftWarelist = nullptr;
    int FCheckedRow = -1;
    bool database_available_ = false;
};
