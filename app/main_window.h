// TForm_Tarnwick_CN: the one wizard window. It owns the engine for the life of the process,
// the banner bar, the two page stacks that change together, and the page pairs.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "analysis_page.h"
#include "clean_page.h"
#include "closable_notice.h"
#include "information_pages.h"
#include "install_path_page.h"
#include "keyboard_navigation.h"
#include "main_thread_invoker.h"
#include "panels.h"
#include "report_page.h"
#include "software_page.h"
#include "tqx.h"
#include "update_page.h"
#include "worker_launcher.h"

// Sent by the callback functions to hand a text to the window's thread (see callbacks.h).
constexpr UINT WM_KESTRUNE_CALLBACK = WM_APP + 0x20;
// Posted by a read of the software page's installed marks when it has ended; wparam: its number.
constexpr UINT WM_KESTRUNE_MARKS = WM_APP + 0x21;

class TForm_Tarnwick_CN {
public:
    TForm_Tarnwick_CN();
    ~TForm_Tarnwick_CN();
    TForm_Tarnwick_CN(const TForm_Tarnwick_CN&) = delete;
    TForm_Tarnwick_CN& operator=(const TForm_Tarnwick_CN&) = delete;

    // Creates the window (FormCreate), shows it (FormShow) and runs its messages until it closes.
    int Run(int show_command);
    // A run's control file comes from this URL instead of the maker's server.
    void SetUpdateUrl(const std::string& url) { update_url_ = url; }

    HWND Handle() const { return window_; }
    TQX& Engine() { return *engine_; }
    MainThreadInvoker& Invoker() { return *invoker_; }
    // An analysis or a clean-up runs.
    bool Busy() const { return engine_->Analyzing || engine_->Uninstalling; }
    // Starts a worker whose callbacks are set; false when it did not start: another one runs,
    // or the system created no thread, which the user is told. The buttons that wait for runs
    // are disabled until the worker has ended.
    bool LaunchWorker(std::unique_ptr<TQXWorkerThread> worker);

    // The one way pages change: the middle page, then its button page.
    void ShowPagePair(HWND middle, HWND buttons);
    void AddPagePair(HWND middle, HWND buttons);
    // Unpacks the database package and lists its catalogue; says so when it cannot.
    void LoadDatabase();
    // The one-second tip timer of the analysis page.
    void EnableTipTimer(bool enabled);

    SoftwarePage software{*this};
    InstallPathPage install_path{*this};
    AnalysisPage analysis{*this};
    ReportPage report{*this};
    CleanPage clean{*this};
    InformationPages information{*this};
    UpdatePage update{*this};

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

    void FormCreate();
    void CreateFrame();
    void FormShow();
    void FormClose();
    // A click on a banner link, or on a page's button, link or menu item.
    void OnClick(int id);
    LRESULT OnColour(HDC dc, HWND control);
    // The worker launched last has cleared its busy flag: the waiting buttons work again.
    void OnRunEndCheck();
    void RL_QX_Top_AboutClick();
    void RL_QX_Top_HelpClick();

    HWND window_ = nullptr;
    HWND Panel_QX_GUI_Top = nullptr;
    HWND Panel_QX_GUI_Mid = nullptr;
    HWND Panel_QX_GUI_Bottom = nullptr;
    HWND banner_ = nullptr;
    PageStack JPL_QX_Uninstall, JPL_QX_ButtonPanel;
    std::unique_ptr<TQX> engine_;
    std::unique_ptr<MainThreadInvoker> invoker_;
    std::unique_ptr<WorkerLauncher> launcher_;  // declared after the engine, so destroyed before it
    std::unique_ptr<KeyboardNavigation> keyboard_;  // once the window is there
    ClosableNotice run_notice_;  // "正在执行...": a close refused while a worker runs
    HBITMAP banner_bitmap_ = nullptr;
    std::string update_url_;
    const std::array<WizardPage*, 7> pages_ = {&software, &install_path, &analysis, &report,
                                               &clean,    &information,  &update};
};

// The one main window, reachable by the callback functions.
TForm_Tarnwick_CN* MainForm();

// "Version:" followed by the executable's file version from its version resource.
std::string VersionCaption();
