#include "report_page.h"

#include <commctrl.h>
#include <shellapi.h>

#include <iterator>
#include <vector>

#include "cleanup_question.h"
#include "control_ids.h"
#include "main_window.h"
#include "regedit_jump.h"
#include "registry_display.h"
#include "registry_item.h"
#include "safety_guard.h"
#include "selected_program.h"
#include "styled_controls.h"
#include "ui_kit.h"

namespace {

// One list of the report. The lists without check boxes are handed to the clean-up whole.
struct TraceList {
    TraceKind kind;
    int id;
    const char* tab_caption;  // nullptr: the list has no tab and is never shown
    const char* path_title;
    bool check_boxes;
    int preview_item;  // the popup menu item that previews this list; 0 for none
};

// In tab order, which is also the order in which a finished analysis picks its tab.
const TraceList kTraceLists[] = {
    {TraceKind::kRelatedDir, ID_RLV_QX_SelSoftwareUninstall_InstalledPath, "相关目录", "目录路径", true,
     ID_N_Preview_InstalledPath},
    {TraceKind::kRegistry, ID_RLV_QX_SelSoftwareUninstall_NewReg, "相关注册表", "注册表路径", true,
     ID_N_Preview_NewReg},
    {TraceKind::kComponent, ID_RLV_QX_SelSoftwareUninstall_AXCLSID, "组件注册表", "注册表路径", true,
     ID_N_Preview_AXCLSID},
    {TraceKind::kShortcut, ID_RLV_QX_SelSoftwareUninstall_ShellLink, "快捷方式", "快捷方式路径", false, 0},
    {TraceKind::kCoreFile, ID_RLV_QX_SelSoftwareUninstall_CoreFile, "核心文件", "文件路径", true, 0},
    {TraceKind::kProcess, ID_RLV_QX_SelSoftwareUninstall_ProcessRun, "进程信息", "进程名", true, 0},
    {TraceKind::kDriver, ID_RLV_QX_SelSoftwareUninstall_SysFile, "驱动文件", "驱动服务文件名", true, 0},
    {TraceKind::kService, ID_RLV_QX_SelSoftwareUninstall_Service, "系统服务", "服务名 (映像路径)", true, 0},
};
static_assert(std::size(kTraceLists) == kTraceKindCount, "one list per kind of trace");
constexpr int kTabCount = kTraceKindCount;

struct PreviewItem {
    int id;
    const char* caption;
};
const PreviewItem kPreviewItems[] = {
    {ID_N_Preview_InstalledPath, "预览相关目录"},
    {ID_N_Preview_NewReg, "预览相关注册表"},
    {ID_N_Preview_AXCLSID, "预览组件注册表"},
};

// The entries differ by text only: all but one lead to the same clean-up.
const char* const kProtocols[] = {
    "我同意此分析结果",
    "我不同意此分析结果",
    "原软件的自带卸载程序失效,用此分析结果进行清除",
    "原软件的自带卸载程序效果不理想,用此分析结果进行清除",
};
constexpr int kProtocolDisagree = 1;

const char kLeavingQuestion[] = "您是否确定需要返回?如果返回则当前扫描信息将会丢弃.";
const char kNothingToClean[] = "没有可清除的项目, 请在报告中勾选需要清除的项目.";

constexpr COLORREF kTabFace = RGB(247, 246, 245);
constexpr COLORREF kTabHighlight = RGB(240, 155, 20);
constexpr int kTabHighlightHeight = 3;
constexpr int kTabWidth = 84, kTabHeight = 19;

const TraceList* TraceListById(UINT_PTR id) {
    for (const TraceList& list : kTraceLists)
        if (static_cast<UINT_PTR>(list.id) == id) return &list;
    return nullptr;
}

const TraceList& TraceListOf(TraceKind kind) {
    for (const TraceList& list : kTraceLists)
        if (list.kind == kind) return list;
    return kTraceLists[0];
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// A tab on the report's face colour; the active one carries the highlight bar along its top.
void DrawReportTab(const DRAWITEMSTRUCT& item) {
    if (item.itemID >= static_cast<UINT>(kTabCount)) return;
    FillSolid(item.hDC, item.rcItem, kTabFace);
    if (item.itemState & ODS_SELECTED) {
        RECT bar = item.rcItem;
        bar.bottom = bar.top + kTabHighlightHeight;
        FillSolid(item.hDC, bar, kTabHighlight);
    }
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, IsWindowEnabled(item.hwndItem) ? RGB(0, 0, 0) : GetSysColor(COLOR_GRAYTEXT));
    HGDIOBJ old_font = SelectObject(item.hDC, GetFont(FontKind::kDefault));
    RECT text = item.rcItem;
    DrawTextA(item.hDC, kTraceLists[item.itemID].tab_caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(item.hDC, old_font);
}

// The report's panel draws the owner-drawn tabs before the panel passes anything up.
LRESULT CALLBACK DrawTabsOfPage(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
    if (message == WM_DRAWITEM) {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
        if (item.CtlType == ODT_TAB && item.CtlID == ID_RPC_QX_SelSoftwareUninstall_Report) {
            DrawReportTab(item);
            return TRUE;
        }
    }
    return DefSubclassProc(window, message, wparam, lparam);
}

// The lists sit on the tab control: their notifications go up to the window like a panel's.
// The tab control's own helpers (its scroll arrows) keep theirs.
LRESULT CALLBACK ForwardListNotifications(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                          DWORD_PTR) {
    if (message == WM_NOTIFY && TraceListById(reinterpret_cast<const NMHDR*>(lparam)->idFrom))
        return SendMessageA(GetAncestor(window, GA_ROOT), message, wparam, lparam);
    return DefSubclassProc(window, message, wparam, lparam);
}

// A row as its list shows it: registry rows in the registry editor's words.
std::string ShownTrace(TraceKind kind, const std::string& text) {
    if (kind == TraceKind::kRegistry) return ReadableRegistryItem(text, RegistryThirdField::kValueName);
    if (kind == TraceKind::kComponent) return ReadableRegistryItem(text, RegistryThirdField::kModuleFile);
    return text;
}

// The report's lists in tab order, each with the engine's work list its rows went to.
std::vector<ListToClean> ListsToClean(const TQXWorkLists& work_lists) {
    std::vector<ListToClean> lists;
    for (const TraceList& trace_list : kTraceLists)
        lists.push_back({trace_list.tab_caption, &(work_lists.*TraceKindOf(trace_list.kind).work_list)});
    return lists;
}

// Each row carries the index of its text in the page's traces, so it finds it in any order.
void SetRowTraceIndex(HWND list, int row, size_t index) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = static_cast<LPARAM>(index);
    SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

size_t RowTraceIndex(HWND list, int row) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return static_cast<size_t>(item.lParam);
}

HWND CreateTraceList(HWND tab, const TraceList& trace_list, const RECT& area) {
    HWND list = CreateControl(tab, {trace_list.id, WC_LISTVIEWA, "", area.left, area.top, area.right - area.left,
                                    area.bottom - area.top, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP});
    ShowWindow(list, SW_HIDE);
    ListView_SetExtendedListViewStyle(
        list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | (trace_list.check_boxes ? LVS_EX_CHECKBOXES : 0));
    AddListColumn(list, "索引", 80);
    AddListColumn(list, trace_list.path_title, 684);
    return list;
}

class PopupMenu {
public:
    PopupMenu() : menu_(CreatePopupMenu()) {}
    ~PopupMenu() { DestroyMenu(menu_); }
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;
    HMENU Get() const { return menu_; }

private:
    HMENU menu_;
};

}  // namespace

void ReportPage::Create(HWND middle_host, HWND button_host) {
    CreatePanels(middle_host, button_host);
    CreateControls(page_, {
        ControlSpec{ID_RL_QX_MTip_SelSoftwareUninstall_TopTip, WC_STATICA,
                    "下面列出该软件的详细安装信息,请根据需要执行清理.", 9, 9, 504, 13},
        ControlSpec{ID_RPC_QX_SelSoftwareUninstall_Report, WC_TABCONTROLA, "", 9, 28, 786, 359,
                    TCS_OWNERDRAWFIXED | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP},
        ControlSpec{ID_RzLabel1, WC_STATICA, "协议:", 369, 393, 38, 13},
        ControlSpec{ID_RCB_QX_SelSoftwareUninstall_Protocol, WC_COMBOBOXA, "", 410, 390, 384, 200,
                    CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP},
    });
    RPC_QX_SelSoftwareUninstall_Report = GetDlgItem(page_, ID_RPC_QX_SelSoftwareUninstall_Report);
    RCB_QX_SelSoftwareUninstall_Protocol = GetDlgItem(page_, ID_RCB_QX_SelSoftwareUninstall_Protocol);
    SetWindowSubclass(page_, DrawTabsOfPage, 1, 0);
    SetWindowSubclass(RPC_QX_SelSoftwareUninstall_Report, ForwardListNotifications, 1, 0);

    TabCtrl_SetItemSize(RPC_QX_SelSoftwareUninstall_Report, kTabWidth, kTabHeight);
    for (int tab = 0; tab < kTabCount; ++tab) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(kTraceLists[tab].tab_caption);
        SendMessageA(RPC_QX_SelSoftwareUninstall_Report, TCM_INSERTITEMA, static_cast<WPARAM>(tab),
                     reinterpret_cast<LPARAM>(&item));
    }
    RECT area;
    GetClientRect(RPC_QX_SelSoftwareUninstall_Report, &area);
    TabCtrl_AdjustRect(RPC_QX_SelSoftwareUninstall_Report, FALSE, &area);
    for (const TraceList& trace_list : kTraceLists)
        lists_[static_cast<int>(trace_list.kind)] = CreateTraceList(RPC_QX_SelSoftwareUninstall_Report, trace_list, area);
    ShowTab(0);

    CreateBarButton(buttons_, ID_RBN_QX_SelSoftwareUninstall_Clean, "执行清除", 695);
    CreateBarButton(buttons_, ID_RBN_QX_SelSoftwareUninstall_Back, "返回", 612);
}

bool ReportPage::LabelColour(int, COLORREF&) { return false; }

HWND ReportPage::ListOf(TraceKind kind) const { return lists_[static_cast<int>(kind)]; }

void ReportPage::AddTrace(TraceKind kind, const std::string& text) {
    HWND list = ListOf(kind);
    StringList& traces = traces_[static_cast<int>(kind)];
    traces.push_back(text);
    const int row = AppendListRow(list, std::to_string(ListRowCount(list)), {ShownTrace(kind, text)},
                                  TraceListOf(kind).check_boxes);
    SetRowTraceIndex(list, row, traces.size() - 1);
}

std::string ReportPage::TraceOfRow(TraceKind kind, int row) const {
    const StringList& traces = traces_[static_cast<int>(kind)];
    const size_t index = RowTraceIndex(ListOf(kind), row);
    return index < traces.size() ? traces[index] : "";
}

void ReportPage::ClearTraces() {
    for (HWND list : lists_) ClearList(list);
    for (StringList& traces : traces_) traces.clear();
}

void ReportPage::ShowTab(int index) {
    if (index < 0 || index >= kTabCount) index = 0;
    TabCtrl_SetCurSel(RPC_QX_SelSoftwareUninstall_Report, index);
    for (int tab = 0; tab < static_cast<int>(std::size(kTraceLists)); ++tab)
        ShowWindow(ListOf(kTraceLists[tab].kind), tab == index ? SW_SHOW : SW_HIDE);
}

void ReportPage::SelectFirstNonEmptyTab() {
    for (int tab = 0; tab < kTabCount; ++tab) {
        if (ListRowCount(ListOf(kTraceLists[tab].kind)) > 0) {
            ShowTab(tab);
            return;
        }
    }
    ShowTab(0);
}

void ReportPage::FillProtocols() {
    FillCombo(RCB_QX_SelSoftwareUninstall_Protocol, {std::begin(kProtocols), std::end(kProtocols)});
    ClearProtocol();
}

void ReportPage::ClearProtocol() { SetComboSelection(RCB_QX_SelSoftwareUninstall_Protocol, -1); }

void ReportPage::EnableChoices(bool enabled) {
    EnableWindow(RPC_QX_SelSoftwareUninstall_Report, enabled);
    // The lists too: one may hold the keyboard focus, and the space bar would tick its rows.
    for (HWND list : lists_) EnableWindow(list, enabled);
    EnableWindow(RCB_QX_SelSoftwareUninstall_Protocol, enabled);
}

// The rows a list hands to the clean-up: the ticked ones, or every row of a list without ticks.
CleanupSelection ReportPage::Selection() const {
    const auto rows_of = [this](TraceKind kind) {
        HWND list = ListOf(kind);
        const bool ticked_only = TraceListOf(kind).check_boxes;
        StringList rows;
        for (int row = 0; row < ListRowCount(list); ++row)
            if (!ticked_only || IsListRowChecked(list, row)) rows.push_back(TraceOfRow(kind, row));
        return rows;
    };
    CleanupSelection selection;
    for (const TraceKindInfo& kind : kTraceKinds) selection.*kind.selection = rows_of(kind.kind);
    selection.install_paths = form_.install_path.Paths();
    return selection;
}

std::string ReportPage::SelectedTrace(TraceKind kind) const {
    const int row = FirstSelectedListRow(ListOf(kind));
    return row < 0 ? "" : TraceOfRow(kind, row);
}

void ReportPage::DirectoryPreview() {
    const std::string trace = SelectedTrace(TraceKind::kRelatedDir);
    if (trace.empty()) return;
    const std::string path = SafetyGuard::Unmarked(trace);
    ShellExecuteA(form_.Handle(), "open", "Explorer.exe", path.c_str(), nullptr, SW_SHOWNORMAL);
}

// Root, key path and, whatever the row's kind, a third field taken as the value name, read as
// the notation reads a value field: "Skin Color" names Skin Color, and "" the default value.
void ReportPage::RegistryPreview(TraceKind kind) {
    const std::string trace = SelectedTrace(kind);
    if (trace.empty()) return;
    StringList fields;
    SplitByBar(SafetyGuard::Unmarked(trace), fields);
    fields.resize(3);
    // The jump pauses between keystrokes, half a second per key level, and runs here on the
    // window's thread on purpose: the window takes no click until the editor is at the key, so
    // no second jump types into the editor at the same time and the rows cannot change meanwhile.
    LocateInRegEdit(fields[0], fields[1], UnquotedValueName(fields[2]));
}

// PPM_QX_SelSoftwareUninstall_PreviewPopup: only the item of the active tab's list is offered.
void ReportPage::PopupPreviewMenu(int x, int y) {
    PopupMenu menu;
    const int active_tab = TabCtrl_GetCurSel(RPC_QX_SelSoftwareUninstall_Report);
    const int offered = active_tab >= 0 && active_tab < kTabCount ? kTraceLists[active_tab].preview_item : 0;
    for (const PreviewItem& item : kPreviewItems)
        AppendMenuA(menu.Get(), MF_STRING | (item.id == offered ? MF_ENABLED : MF_GRAYED), item.id, item.caption);
    // The chosen item arrives at the window as a command, like a button's.
    TrackPopupMenu(menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, x, y, 0, form_.Handle(), nullptr);
}

bool ReportPage::ConfirmLeaving() {
    if (!IsWindowVisible(page_) || form_.analysis.FoundLineCount() == 0) return true;
    return AskYesNo(form_.Handle(), kLeavingQuestion);
}

void ReportPage::RBN_QX_SelSoftwareUninstall_BackClick() {
    if (ConfirmLeaving()) form_.software.ShowPair();
}

void ReportPage::RBN_QX_SelSoftwareUninstall_CleanClick() {
    // The engine serves one worker at a time.
    if (form_.Busy()) return;
    if (ComboSelection(RCB_QX_SelSoftwareUninstall_Protocol) < 0) {
        ShowInformation(form_.Handle(), "执行清除之前,请您选择对应的清除协议.");
        return;
    }
    if (ComboText(RCB_QX_SelSoftwareUninstall_Protocol) == kProtocols[kProtocolDisagree]) {
        const std::string why =
            std::string("您选择了\"") + kProtocols[kProtocolDisagree] + "\", 不会执行清除. 如需清除, 请选择其他协议.";
        ShowInformation(form_.Handle(), why.c_str());
        return;
    }
    // The work lists are filled before the question so that it counts exactly what the clean-up
    // removes; a clean-up always fills them afresh.
    TQX& engine = form_.Engine();
    FillCleanupLists(engine, Selection());
    const std::string question = CleanupQuestion(SelectedProgramName(engine), ListsToClean(engine.WorkLists()),
                                                 engine.WorkLists().ProcessRunList);
    if (question.empty()) {
        ShowInformation(form_.Handle(), kNothingToClean);
        return;
    }
    // "否" keeps the protocol: the user may change a tick and ask again.
    if (!AskYesNo(form_.Handle(), question.c_str())) return;
    form_.clean.StartCleanup();
}

bool ReportPage::OnClick(int id) {
    switch (id) {
        case ID_RBN_QX_SelSoftwareUninstall_Clean:
            RBN_QX_SelSoftwareUninstall_CleanClick();
            return true;
        case ID_RBN_QX_SelSoftwareUninstall_Back:
            RBN_QX_SelSoftwareUninstall_BackClick();
            return true;
        case ID_N_Preview_InstalledPath:
            DirectoryPreview();
            return true;
        case ID_N_Preview_NewReg:
            RegistryPreview(TraceKind::kRegistry);
            return true;
        case ID_N_Preview_AXCLSID:
            RegistryPreview(TraceKind::kComponent);
            return true;
        default:
            return false;
    }
}

bool ReportPage::OnNotify(const NMHDR& header, LRESULT&) {
    if (header.idFrom == ID_RPC_QX_SelSoftwareUninstall_Report) {
        if (header.code == TCN_SELCHANGE) ShowTab(TabCtrl_GetCurSel(RPC_QX_SelSoftwareUninstall_Report));
        return true;
    }
    const TraceList* trace_list = TraceListById(header.idFrom);
    if (!trace_list) return false;
    if (header.code == NM_DBLCLK) {
        // RLV_QX_SelSoftwareUninstall_InstalledPathDblClick and _NewRegDblClick.
        if (trace_list->kind == TraceKind::kRelatedDir)
            DirectoryPreview();
        else if (trace_list->kind == TraceKind::kRegistry || trace_list->kind == TraceKind::kComponent)
            RegistryPreview(trace_list->kind);
    } else if (header.code == NM_RCLICK && trace_list->preview_item) {
        POINT cursor;
        GetCursorPos(&cursor);
        PopupPreviewMenu(cursor.x, cursor.y);
    }
    return true;
}
