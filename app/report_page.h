// The report page: the traces of the last analysis in one list per kind, ticks, previews in the file
// explorer and the registry editor, the clean-up protocol, and "执行清除".
#pragma once

#include <string>

#include "cleanup_selection.h"
#include "trace_kinds.h"
#include "wizard_page.h"

class ReportPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    void Create(HWND middle_host, HWND button_host) override;
    bool OnClick(int id) override;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    bool LabelColour(int id, COLORREF& colour) override;

    // A ticked row in the list of the kind.
    void AddTrace(TraceKind kind, const std::string& text);
    // Empties the lists.
    void ClearTraces();
    // After an analysis: the first non-empty list's tab (directories, registry, components,
    // shortcuts, core files, processes, driver files, services), or directories when all are empty.
    void SelectFirstNonEmptyTab();
    // The protocol combo's four entries, none selected.
    void FillProtocols();
    void ClearProtocol();
    // While a clean-up runs the tabs and the protocol cannot be changed.
    void EnableChoices(bool enabled);

private:
    HWND ListOf(TraceKind kind) const;
    void ShowTab(int index);
    CleanupSelection Selection() const;
    void DirectoryPreview();
    void RegistryPreview(HWND list);
    void PopupPreviewMenu(int x, int y);

    void RBN_QX_SelSoftwareUninstall_CleanClick();
    void RBN_QX_SelSoftwareUninstall_BackClick();

    HWND RPC_QX_SelSoftwareUninstall_Report = nullptr;
    HWND RCB_QX_SelSoftwareUninstall_Protocol = nullptr;
    HWND lists_[kTraceKindCount] = {};  // by TraceKind
};
