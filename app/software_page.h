// The software page: the catalogue filtered by type, sub-type and operating system and narrowed
// by a search, each program marked when this machine has it installed, sorted by a clicked
// column; one program ticked at a time, and "下一步" to its install paths.
#pragma once

#include <string>
#include <vector>

#include "catalogue_view.h"
#include "installed_marks_reader.h"
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
    // Slot 1: one catalogue line becomes an entry of the listing.
    void OnSoftwareItem(const std::string& line);
    // A clean-up removed everything: the installed marks are read again and nothing is ticked.
    void RefreshAfterCleanup();
    // A read of the installed marks has ended (WM_KESTRUNE_MARKS): the latest one's marks are shown.
    void OnInstalledMarksRead(WPARAM read);
    // Waits for the reads of the marks, which read the working folder, before it changes or goes.
    void StopReadingMarks() { marks_reader_.Wait(); }

private:
    std::string SelectedTypeCode() const;
    std::string SelectedSubType() const;
    std::string SelectedOs() const;
    void RefillList();
    void ChangeFilter(std::string& engine_value, const std::string& value);
    // Starts reading the marks on a thread of their own (read here when no thread can be made).
    void ReadInstalledMarks();
    void ShowInstalledMarks(const std::vector<bool>& marks);
    // The rows of the entries that the search lets through, in the sort order; the ticked and
    // the selected program keep their tick and selection when they stay shown.
    void ShowRows();
    // The catalogue line of a row, and the row that shows a line (-1 when none does).
    int LineOfRow(int row) const;
    int RowOfLine(int line) const;

    void RCB_QX_SelSoftwareTypeChange();
    void RCB_QX_SelSoftwareSubTypeChange();
    void RCB_QX_SelSoftwareOSChange();
    void RE_QX_SelSoftwareSearchChange();
    void RLV_QX_SelSoftWarelistChange(int row);
    void RLV_QX_SelSoftWarelistColumnClick(int column);
    void RLV_QX_SelSoftWarelistDblClick(int row);
    void RLV_QX_SelSoftWarelistKeyDown(WORD key);
    void RBN_QX_SelSoftware_NextClick();
    void RBN_QX_SelSoftware_SubmitClick();

    HWND RCB_QX_SelSoftwareType = nullptr;
    HWND RCB_QX_SelSoftwareSubType = nullptr;
    HWND RCB_QX_SelSoftwareOS = nullptr;
    HWND RE_QX_SelSoftwareSearch = nullptr;
    HWND RLV_QX_SelSoftWarelist = nullptr;
    std::vector<CatalogueEntry> entries_;  // the listing, entry n for line n of the cache
    SortOrder sort_order_;
    int FCheckedLine = -1;  // the catalogue line of the ticked program, -1 when none
    bool showing_rows_ = false;  // the rows are being replaced: their changes are no user's
    bool database_available_ = false;
    InstalledMarksReader marks_reader_;
};
