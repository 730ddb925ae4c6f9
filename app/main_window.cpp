#include "main_window.h"

#include <commctrl.h>

#include <ctime>
#include <vector>

#include "bar_buttons.h"
#include "callbacks.h"
#include "control_ids.h"
#include "resource_ids.h"
#include "scan_info.h"
#include "splash.h"
#include "styled_controls.h"
#include "ui_kit.h"

namespace {

constexpr char kWindowClass[] = "TForm_Tarnwick_CN";
constexpr int kClientWidth = 807, kClientHeight = 529;
constexpr DWORD kSplashMilliseconds = 3000;
// The worker clears its busy flag a moment after its last callback, without telling the window.
constexpr UINT kRunEndCheckMilliseconds = 50;

TForm_Tarnwick_CN* g_form = nullptr;

std::string TempFolderWithoutSeparator() {
    char buffer[MAX_PATH + 1] = {};
    std::string folder(buffer, GetTempPathA(MAX_PATH, buffer));
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

std::string ExeFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

// The banner picture holds the version label and the links: their notifications and colour
// requests go up to the window like a panel's.
LRESULT CALLBACK ForwardToWindow(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
    if (message == WM_COMMAND || message == WM_CTLCOLORSTATIC)
        return SendMessageA(GetAncestor(window, GA_ROOT), message, wparam, lparam);
    return DefSubclassProc(window, message, wparam, lparam);
}

bool IsBannerLabel(int id) {
    return id == ID_RzVerS2 || id == ID_RL_QX_Top_Update || id == ID_RL_QX_Top_Help || id == ID_RL_QX_Top_About;
}

// A run's closing callback: its work is done, only its outcome is still to be shown.
bool IsRunEnd(const CallbackDelivery& delivery) {
    return delivery.number == -1 &&
           (delivery.kind == CallbackKind::kAnalyzeRunState || delivery.kind == CallbackKind::kCleanRunState ||
            delivery.kind == CallbackKind::kRestoreRunState);
}

}  // namespace

TForm_Tarnwick_CN* MainForm() { return g_form; }

std::string VersionCaption() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    std::vector<char> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!size || !GetFileVersionInfoA(path, 0, size, data.data()) ||
        !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info)
        return "Version:";
    return "Version:" + std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
           std::to_string(LOWORD(info->dwFileVersionMS)) + "." + std::to_string(HIWORD(info->dwFileVersionLS)) + "." +
           std::to_string(LOWORD(info->dwFileVersionLS));
}

TForm_Tarnwick_CN::TForm_Tarnwick_CN() { g_form = this; }

TForm_Tarnwick_CN::~TForm_Tarnwick_CN() {
    if (banner_bitmap_) DeleteObject(banner_bitmap_);
    g_form = nullptr;
}

int TForm_Tarnwick_CN::Run(int show_command) {
    FormCreate();
    HWND splash = ShowSplash();
    Sleep(kSplashMilliseconds);
    ShowWindow(window_, show_command);
    UpdateWindow(window_);
    CloseSplash(splash);
    FormShow();
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (keyboard_->HandleKey(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

void TForm_Tarnwick_CN::FormCreate() {
    ScanInfoText::Clear();
    engine_.reset(new TQX(ExeFolder(), TempFolderWithoutSeparator()));
    engine_->Initialize();
    ConnectEngineSlots(*engine_);
    invoker_.reset(new MainThreadInvoker);
    launcher_.reset(new WorkerLauncher(*engine_));

    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hIcon = LoadIconA(window_class.hInstance, MAKEINTRESOURCEA(IDI_KESTRUNE));
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    window_class.lpszClassName = kWindowClass;
    RegisterClassA(&window_class);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, style, FALSE);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    window_ = CreateWindowExA(0, kWindowClass, "Kestrune", style, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                              (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr,
                              window_class.hInstance, this);
    keyboard_.reset(new KeyboardNavigation(window_, JPL_QX_ButtonPanel));
    CreateFrame();
}

void TForm_Tarnwick_CN::CreateFrame() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    Panel_QX_GUI_Top = CreatePanel(window_, 0, 0, kClientWidth, 80);
    banner_bitmap_ = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(IDB_BANNER), IMAGE_BITMAP, 0, 0, 0));
    banner_ = CreateControl(Panel_QX_GUI_Top, {ID_Banner_Picture, WC_STATICA, "", 0, 0, kClientWidth, 80, SS_BITMAP});
    SendMessageA(banner_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner_bitmap_));
    SetWindowSubclass(banner_, ForwardToWindow, 1, 0);
    HWND version = CreateControl(banner_, {ID_RzVerS2, WC_STATICA, VersionCaption().c_str(), 280, 8, 185, 13});
    SetFont(version, FontKind::kDefault);
    CreateLinkLabel(banner_, ID_RL_QX_Top_Update, "升级", 680, 62, 27, 13);
    CreateLinkLabel(banner_, ID_RL_QX_Top_Help, "帮助", 721, 62, 27, 13);
    CreateLinkLabel(banner_, ID_RL_QX_Top_About, "关于", 762, 62, 27, 13);

    Panel_QX_GUI_Mid = CreatePanel(window_, 0, 80, kClientWidth, 418, true);
    Panel_QX_GUI_Bottom = CreatePanel(window_, 0, 498, kClientWidth, 31);
    for (WizardPage* page : pages_) page->Create(Panel_QX_GUI_Mid, Panel_QX_GUI_Bottom);
    if (!update_url_.empty()) update.SetUpdateUrl(update_url_);
}

void TForm_Tarnwick_CN::FormShow() {
    information.FillLists();
    software.FillFilters();
    software.ShowPair();
    information.SelectContributorTabBySeconds(static_cast<int>(std::time(nullptr) % 60));
    analysis.ResetScanInfo();
    report.FillProtocols();
    LoadDatabase();
}

void TForm_Tarnwick_CN::LoadDatabase() {
    software.StopReadingMarks();
    bool unpacked = false;
    try {
        unpacked = engine_->UnpackDatabase();
    } catch (const std::exception&) {
        // A damaged package: some files may be there, but the database cannot be trusted.
    }
    if (!unpacked) {
        const std::string message = "数据库释放错误.\n数据库文件: " + engine_->PackageFile +
                                    "\n请使用[升级]更新数据库, 或重新安装 Kestrune.";
        ShowError(window_, message.c_str());
    }
    // Without a database of its own the window lists nothing: a working folder left by another
    // run would otherwise show a catalogue that this one never unpacked.
    software.SetDatabaseAvailable(unpacked);
    software.ListCatalogue();
}

void TForm_Tarnwick_CN::FormClose() {
    KillTimer(window_, ID_Timer_STA_Tip);
    KillTimer(window_, ID_Timer_RunEnd);
    // No run goes on (closing waits for that), but the last worker's thread may still be leaving.
    launcher_->WaitForRunEnd();
    software.StopReadingMarks();
    engine_->Finalize();
}

bool TForm_Tarnwick_CN::LaunchWorker(std::unique_ptr<TQXWorkerThread> worker) {
    const LaunchResult result = launcher_->Launch(std::move(worker));
    if (result == LaunchResult::kNoThread) ShowError(window_, "系统未能创建工作线程,操作无法开始.");
    if (result != LaunchResult::kStarted) return false;
    EnableButtonsThatWaitForRuns(window_, false);
    keyboard_->KeepFocus();
    SetTimer(window_, ID_Timer_RunEnd, kRunEndCheckMilliseconds, nullptr);
    return true;
}

void TForm_Tarnwick_CN::OnRunEndCheck() {
    if (Busy()) return;
    KillTimer(window_, ID_Timer_RunEnd);
    EnableButtonsThatWaitForRuns(window_, true);
    keyboard_->KeepFocus();
}

void TForm_Tarnwick_CN::AddPagePair(HWND middle, HWND buttons) {
    JPL_QX_Uninstall.Add(middle);
    JPL_QX_ButtonPanel.Add(buttons);
}

void TForm_Tarnwick_CN::ShowPagePair(HWND middle, HWND buttons) {
    JPL_QX_Uninstall.Show(middle);
    JPL_QX_ButtonPanel.Show(buttons);
    keyboard_->FocusShownPage();
}

void TForm_Tarnwick_CN::EnableTipTimer(bool enabled) {
    if (enabled)
        SetTimer(window_, ID_Timer_STA_Tip, 1000, nullptr);
    else
        KillTimer(window_, ID_Timer_STA_Tip);
}

void TForm_Tarnwick_CN::RL_QX_Top_AboutClick() {
    if (!Busy()) information.ShowAbout();
}

void TForm_Tarnwick_CN::RL_QX_Top_HelpClick() {
    if (!Busy()) information.ShowHelp();
}

void TForm_Tarnwick_CN::OnClick(int id) {
    // A banner link leaves the report as its "返回" does, after the same question; while a worker
    // runs the links lead nowhere and ask nothing.
    const bool banner_link = id == ID_RL_QX_Top_About || id == ID_RL_QX_Top_Help || id == ID_RL_QX_Top_Update;
    if (banner_link && !Busy() && !report.ConfirmLeaving()) return;
    if (id == ID_RL_QX_Top_About) {
        RL_QX_Top_AboutClick();
    } else if (id == ID_RL_QX_Top_Help) {
        RL_QX_Top_HelpClick();
    } else if (id == ID_RL_QX_Top_Update) {
        update.RL_QX_Top_UpdateClick(id);
    } else {
        for (WizardPage* page : pages_)
            if (page->OnClick(id)) break;
    }
}

LRESULT TForm_Tarnwick_CN::OnColour(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    if (IsBannerLabel(id)) {
        // White text straight on the banner picture; a link under the mouse turns blue.
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, id != ID_RzVerS2 && IsLinkHot(control) ? kBlue : kWhite);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    COLORREF colour = RGB(0, 0, 0);
    for (WizardPage* page : pages_)
        if (page->LabelColour(id, colour)) break;
    SetTextColor(dc, colour);
    SetBkColor(dc, kWhite);
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

LRESULT CALLBACK TForm_Tarnwick_CN::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<TForm_Tarnwick_CN*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<TForm_Tarnwick_CN*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!form) return DefWindowProcA(window, message, wparam, lparam);
    try {
        return form->HandleMessage(message, wparam, lparam);
    } catch (const std::exception& error) {
        // A handler that meets a damaged database line: the user is told, the window stays.
        ShowError(window, error.what());
        return 0;
    } catch (...) {
        // Nothing may unwind through the system's code that called us.
        ShowError(window, "未知错误");
        return 0;
    }
}

LRESULT TForm_Tarnwick_CN::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wparam), code = HIWORD(wparam);
            // A click is BN_CLICKED, which equals STN_CLICKED of a link and the 0 of a menu item.
            // Owner-drawn buttons and links also report a double click after its first click:
            // that is no second click.
            if (code == BN_CLICKED) {
                OnClick(id);
            } else {
                for (WizardPage* page : pages_)
                    if (page->OnCommand(id, code)) break;
            }
            return 0;
        }
        case WM_NOTIFY: {
            LRESULT result = 0;
            for (WizardPage* page : pages_)
                if (page->OnNotify(*reinterpret_cast<NMHDR*>(lparam), result)) break;
            return result;
        }
        case WM_DRAWITEM:
            return DrawBarButton(*reinterpret_cast<DRAWITEMSTRUCT*>(lparam));
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX:
            return OnColour(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
        case WM_TIMER:
            if (wparam == ID_Timer_STA_Tip) analysis.OnTipTimer();
            if (wparam == ID_Timer_RunEnd) OnRunEndCheck();
            return 0;
        case WM_KESTRUNE_MARKS:
            software.OnInstalledMarksRead(wparam);
            return 0;
        case WM_KESTRUNE_CALLBACK: {
            const auto& delivery = *reinterpret_cast<const CallbackDelivery*>(lparam);
            // The box asking to wait for the run goes before the run's outcome is shown.
            if (IsRunEnd(delivery)) run_notice_.Close();
            CarryOut(*this, delivery);
            return 0;
        }
        case WM_ACTIVATE:
            // As in a dialog, the focus stays on its control while another window is active.
            if (LOWORD(wparam) == WA_INACTIVE)
                keyboard_->SaveFocus();
            else if (!HIWORD(wparam))  // not while minimized
                keyboard_->RestoreFocus();
            return 0;
        case WM_CLOSE:
            // A running worker uses the engine: it must end before the engine is freed.
            if (Busy()) {
                run_notice_.Show(window_, "正在执行分析或清除操作,请等待操作完成后再关闭本程序.");
                return 0;
            }
            // An update run works on this thread with the window's pages and files.
            if (update.UpdateRunning()) {
                ShowInformation(window_, "正在执行在线升级,请等待升级完成后再关闭本程序.");
                return 0;
            }
            DestroyWindow(window_);
            return 0;
        case WM_DESTROY:
            FormClose();
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window_, message, wparam, lparam);
    }
}
