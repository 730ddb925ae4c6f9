#include "analysis_page.h"

#include <memory>

#include "callbacks.h"
#include "control_ids.h"
#include "machine_views.h"
#include "main_window.h"
#include "scan_info.h"
#include "styled_controls.h"
#include "ui_kit.h"

namespace {

constexpr int kAnalysisSteps = TQXWorkerThread::kStepCount;

}  // namespace

void AnalysisPage::Create(HWND middle_host, HWND button_host) {
    CreatePanels(middle_host, button_host);
    CreateControls(page_, {
        ControlSpec{ID_RL_QX_MTip_SelSoftwareAnalyzed_Wait, WC_STATICA,
                    "正在分析该软件在您系统中的安装信息,请耐心等待......", 9, 9, 636, 13},
        ControlSpec{ID_RGB_QX_Mid_Tip_SelSoftwareAnalyzed_State, WC_BUTTONA, "状态", 9, 28, 786, 64, BS_GROUPBOX},
        ControlSpec{ID_RL_QX_MTip_SelSoftwareAnalyzed_Step, WC_STATICA, "分析阶段:", 9 + 16, 28 + 24, 66, 13},
        ControlSpec{ID_RPB_QX_SelSoftwareAnalyed_Step, PROGRESS_CLASSA, "", 9 + 85, 28 + 22, 688, 17, 0,
                    WS_EX_STATICEDGE},
        ControlSpec{ID_RL_QX_MTip_SelSoftwareAnalyzed_ScanInfo, WC_STATICA, "分析信息:", 9 + 16, 28 + 44, 756, 13,
                    SS_PATHELLIPSIS},
        ControlSpec{ID_RLB_QX_SelSoftwareAnalyed_FindedInfo, WC_LISTBOXA, "", 9, 97, 786, 314,
                    LBS_NOINTEGRALHEIGHT | LBS_NOSEL | WS_VSCROLL | WS_HSCROLL, WS_EX_CLIENTEDGE},
    });
    PaintInsideWhite(GetDlgItem(page_, ID_RGB_QX_Mid_Tip_SelSoftwareAnalyzed_State));
    RL_QX_MTip_SelSoftwareAnalyzed_Wait = GetDlgItem(page_, ID_RL_QX_MTip_SelSoftwareAnalyzed_Wait);
    RPB_QX_SelSoftwareAnalyed_Step = GetDlgItem(page_, ID_RPB_QX_SelSoftwareAnalyed_Step);
    RL_QX_MTip_SelSoftwareAnalyzed_ScanInfo = GetDlgItem(page_, ID_RL_QX_MTip_SelSoftwareAnalyzed_ScanInfo);
    RLB_QX_SelSoftwareAnalyed_FindedInfo = GetDlgItem(page_, ID_RLB_QX_SelSoftwareAnalyed_FindedInfo);
    SendMessageA(RLB_QX_SelSoftwareAnalyed_FindedInfo, LB_SETITEMHEIGHT, 0, 16);
    SendMessageA(RLB_QX_SelSoftwareAnalyed_FindedInfo, LB_SETHORIZONTALEXTENT, 2000, 0);
    SetProgressParts(RPB_QX_SelSoftwareAnalyed_Step, kAnalysisSteps, 0);

    CreateBarButton(buttons_, ID_RBN_QX_SelSoftwareAnalyzed_Next, "下一步", 695);
    CreateBarButton(buttons_, ID_RBN_QX_SelSoftwareAnalyzed_SeeInfo, "查看详细报告", 29, 108);
}

void AnalysisPage::ResetScanInfo() { SetWindowTextA(RL_QX_MTip_SelSoftwareAnalyzed_ScanInfo, "分析信息:"); }

void AnalysisPage::StartAnalysis() {
    TQX& engine = form_.Engine();
    auto worker = std::make_unique<TQX_Thread_Analyzed>(engine, engine.SoftwareType, MachineView());
    ConnectAnalysisWorker(*worker);
    worker->Invoker = &form_.Invoker();
    if (form_.LaunchWorker(std::move(worker))) ShowPair();
}

void AnalysisPage::OnTraceFound(TraceKind kind, const std::string& text) {
    const std::string line = TraceKindOf(kind).found_prefix + text;
    SendMessageA(RLB_QX_SelSoftwareAnalyed_FindedInfo, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageA(RLB_QX_SelSoftwareAnalyed_FindedInfo, WM_VSCROLL, SB_LINEDOWN, 0);
    form_.report.AddTrace(kind, text);
}

void AnalysisPage::OnAnalyzeStep(int step, const std::string& text) {
    if (step == -1)
        SetWindowTextA(RL_QX_MTip_SelSoftwareAnalyzed_Wait, text.c_str());
    else
        SetProgressParts(RPB_QX_SelSoftwareAnalyed_Step, kAnalysisSteps, step);
}

void AnalysisPage::OnAnalyzeRunState(int state) {
    if (state == 0) {
        run_error_.clear();
        SetProgressParts(RPB_QX_SelSoftwareAnalyed_Step, kAnalysisSteps, 0);
        SendMessageA(RLB_QX_SelSoftwareAnalyed_FindedInfo, LB_RESETCONTENT, 0, 0);
        form_.report.ClearTraces();
        form_.EnableTipTimer(true);
    } else if (state == -1) {
        form_.EnableTipTimer(false);
        form_.report.SelectFirstNonEmptyTab();
        if (!run_error_.empty())
            ShowError(form_.Handle(), ("分析过程中读取特征库出错,分析未能完成: " + run_error_).c_str());
        else if (FoundLineCount() > 0)
            ShowInformation(form_.Handle(), "安装信息分析完毕,您可以选择[查看详细报告]或[下一步]来进行清理操作");
        else
            ShowInformation(form_.Handle(), "尚未分析出该软件的有关安装信息.");
    }
}

void AnalysisPage::OnAnalyzeError(const std::string& message) { run_error_ = message; }

void AnalysisPage::OnTipTimer() {
    const std::string text = ScanInfoText::Get();
    if (!text.empty() && text != WindowText(RL_QX_MTip_SelSoftwareAnalyzed_ScanInfo))
        SetWindowTextA(RL_QX_MTip_SelSoftwareAnalyzed_ScanInfo, text.c_str());
}

int AnalysisPage::FoundLineCount() const {
    return static_cast<int>(SendMessageA(RLB_QX_SelSoftwareAnalyed_FindedInfo, LB_GETCOUNT, 0, 0));
}

void AnalysisPage::RBN_QX_SelSoftwareAnalyzed_NextClick() {
    if (!form_.Engine().Analyzing) form_.report.ShowPair();
}

bool AnalysisPage::OnClick(int id) {
    if (id != ID_RBN_QX_SelSoftwareAnalyzed_Next && id != ID_RBN_QX_SelSoftwareAnalyzed_SeeInfo) return false;
    RBN_QX_SelSoftwareAnalyzed_NextClick();
    return true;
}
