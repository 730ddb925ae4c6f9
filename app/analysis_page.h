// The analysis page: the running analysis's step, progress, scan item and found lines, and the
// window's analysis callbacks.
#pragma once

#include <string>

#include "trace_kinds.h"
#include "wizard_page.h"

class AnalysisPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    void Create(HWND middle_host, HWND button_host) override;
    bool OnClick(int id) override;

    // Starts the analysis worker for the engine's selection and shows this page.
    void StartAnalysis();
    // Slots 3 to 9.
    void OnTraceFound(TraceKind kind, const std::string& text);
    void OnAnalyzeStep(int step, const std::string& text);
    void OnAnalyzeRunState(int state);
    void OnAnalyzeError(const std::string& message);
    void OnTipTimer();
    int FoundLineCount() const;
    void ResetScanInfo();

private:
    void RBN_QX_SelSoftwareAnalyzed_NextClick();

    HWND RL_QX_MTip_SelSoftwareAnalyzed_Wait = nullptr;
    HWND RPB_QX_SelSoftwareAnalyed_Step = nullptr;
    HWND RL_QX_MTip_SelSoftwareAnalyzed_ScanInfo = nullptr;
    HWND RLB_QX_SelSoftwareAnalyed_FindedInfo = nullptr;
    std::string run_error_;
};
