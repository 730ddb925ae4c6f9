// The report page: the traces of the last analysis in one list per kind, ticks, previews in the file
// explorer and the registry editor, the clean-up protocol, and "执行清除".
#pragma once

#include <string>

#include "cleanup_selection.h"
#include "splitters.h"
#include "trace_kinds.h"
#include "wizard_page.h"

class ReportPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    void Create(HWND middle_host, HWND button_host) override;
    bool OnClick(int id) override;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    bool LabelColour(int id, COLORREF& colour) override;

    // A ticked row in the list of the kind. Registry rows show the text readable
    // (registry_display.h); the clean-up and the previews get it as the analysis reported it.
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
    // Leaving the report shown with an analysis's findings drops them: "返回" and the banner's
    // links ask first. True when the report is not shown, holds no findings, or the user agrees.
    bool ConfirmLeaving();

private:
    HWND ListOf(TraceKind kind) const;
    void ShowTab(int index);
    CleanupSelection Selection() const;
    // The analysis's text of a row of the list, and of its selected row ("" when none is).
    std::string TraceOfRow(TraceKind kind, int row) const;
    std::string SelectedTrace(TraceKind kind) const;
    void DirectoryPreview();
    void RegistryPreview(TraceKind kind);
    void PopupPreviewMenu(int x, int y);

    void RBN_QX_SelSoftwareUninstall_CleanClick();
    void RBN_QX_SelSoftwareUninstall_BackClick();

    HWND RPC_QX_SelSoftwareUninstall_Report = nullptr;
    HWND RCB_QX_SelSoftwareUninstall_Protocol = nullptr;
    HWND lists_[kTraceKindCount] = {};  // by TraceKind
    // Each row's text as the analysis reported it, by TraceKind, in the order the rows came;
    // a row keeps its index here, the list only shows the text.
    StringList traces_[kTraceKindCount];
};
