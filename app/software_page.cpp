#include "software_page.h"

#include "catalogue_rows.h"
#include "category_files.h"
#include "control_ids.h"
#include "installed_marks.h"
#include "machine_views.h"
#include "main_window.h"
#include "resource_ids.h"
#include "styled_controls.h"
#include "ui_kit.h"

namespace {

struct FilterEntry {
    const char* shown;
    const char* value;
};

const FilterEntry kTypes[] = {{"常规软件", "NM"}, {"顽固软件", "SW"}, {"流氓软件", "MW"}};

const FilterEntry kSubTypes[] = {
    {"所有类型", "All"},
    {"浏览器插件", "Browsers Toolbar"},
    {"桌面自定义工具", "Desktop Customization"},
    {"下载管理工具", "Download Managers"},
    {"输入法", "Input Method"},
    {"网络优化工具", "Internet Operations"},
    {"系统维护优化工具", "Maintenance & Optimization"},
    {"音乐管理工具", "Music Management"},
    {"图像处理工具", "Photo Tools"},
    {"软件管理工具", "Software Management"},
    {"视频聊天工具", "Video Chat"},
    {"视频播放工具", "Video Players"},
    {"浏览器", "Web Browsers"},
    {"文件压缩包", "File Compression"},
    {"视频转换工具", "Video Converters"},
    {"ISO/CD/DVD烧录", "CD/DVD Burners"},
    {"语言翻译工具", "Language Software"},
    {"E-mail工具", "E-mail Software"},
    {"手机软件", "Mobile Phone Software"},
};

const FilterEntry kSystems[] = {{"所有类型", "All"}, {"Win XP", "|5.1|"}, {"Win 7", "|6.1|"}};

template <size_t N>
std::vector<std::string> ShownTexts(const FilterEntry (&entries)[N]) {
    std::vector<std::string> texts;
    for (const FilterEntry& entry : entries) texts.push_back(entry.shown);
    return texts;
}

// The value of the entry whose shown text the combo shows: the text, not the index, decides.
template <size_t N>
std::string ValueOf(HWND combo, const FilterEntry (&entries)[N]) {
    const std::string shown = ComboText(combo);
    for (const FilterEntry& entry : entries)
        if (shown == entry.shown) return entry.value;
    return "";
}

const char kDetail[] =
    "       本软件采用软件安装信息特征识别技术,分析本地安装软件的所有安装信息,以帮助用户清理删除各种大型软件,"
    "顽固软件以及流氓软件,省去复杂繁琐的删除操作.";
const char kSubmitTip[] =
    "提示:如果您在左边找不到要卸载的软件,可以选择[提交软件]功能,通知我们为该款软件提供清理删除的最佳卸载方案."
    "也可选择[更新特征库]自动获取最新的软件卸载数据.";

}  // namespace

void SoftwarePage::Create(HWND middle_host, HWND button_host) {
    CreatePanels(middle_host, button_host);
    const DWORD drop_down = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
    CreateControls(page_, {
        ControlSpec{ID_RL_QX_MTip_SelSoftware, WC_STATICA, "从软件列表中选择您需要删除的软件:", 9, 9, 256, 13},
        ControlSpec{ID_RCB_QX_SelSoftwareType, WC_COMBOBOXA, "", 241, 5, 86, 300, drop_down},
        ControlSpec{ID_Plus_Label_1, WC_STATICA, "+", 330, 8, 9, 13},
        ControlSpec{ID_RCB_QX_SelSoftwareSubType, WC_COMBOBOXA, "", 341, 5, 127, 400, drop_down},
        ControlSpec{ID_Plus_Label_2, WC_STATICA, "+", 471, 8, 9, 13},
        ControlSpec{ID_RCB_QX_SelSoftwareOS, WC_COMBOBOXA, "", 482, 5, 76, 300, drop_down},
        ControlSpec{ID_RL_QX_SelSoftwareSearch, WC_STATICA, "搜索:", 572, 8, 30, 13},
        ControlSpec{ID_RE_QX_SelSoftwareSearch, WC_EDITA, "", 604, 5, 191, 21, ES_AUTOHSCROLL | WS_TABSTOP,
                    WS_EX_CLIENTEDGE},
        ControlSpec{ID_RLV_QX_SelSoftWarelist, WC_LISTVIEWA, "", 8, 32, 550, 374,
                    LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, WS_EX_CLIENTEDGE},
    });
    SetFont(GetDlgItem(page_, ID_Plus_Label_1), FontKind::kBold);
    SetFont(GetDlgItem(page_, ID_Plus_Label_2), FontKind::kBold);
    RCB_QX_SelSoftwareType = GetDlgItem(page_, ID_RCB_QX_SelSoftwareType);
    RCB_QX_SelSoftwareSubType = GetDlgItem(page_, ID_RCB_QX_SelSoftwareSubType);
    RCB_QX_SelSoftwareOS = GetDlgItem(page_, ID_RCB_QX_SelSoftwareOS);
    RE_QX_SelSoftwareSearch = GetDlgItem(page_, ID_RE_QX_SelSoftwareSearch);
    RLV_QX_SelSoftWarelist = GetDlgItem(page_, ID_RLV_QX_SelSoftWarelist);
    ListView_SetExtendedListViewStyle(RLV_QX_SelSoftWarelist,
                                      LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    AddListColumn(RLV_QX_SelSoftWarelist, "索引", 50);
    AddListColumn(RLV_QX_SelSoftWarelist, "软件名称", 244);
    AddListColumn(RLV_QX_SelSoftWarelist, "操作系统版本", 100, LVCFMT_CENTER);
    AddListColumn(RLV_QX_SelSoftWarelist, "32位/64位", 78, LVCFMT_CENTER);
    AddListColumn(RLV_QX_SelSoftWarelist, "状态", 56, LVCFMT_CENTER);

    // The side panel: welcome, picture, what the program does and where to go when a program is missing.
    PaintInsideWhite(CreateControl(page_, {0, WC_STATICA, "", 572, 32, 223, 372, SS_ETCHEDFRAME}));
    CreateControls(page_, {
        ControlSpec{ID_RL_QX_MTip_WelcomeUse, WC_STATICA, "欢迎使用Kestrune", 583, 44, 200, 18},
        ControlSpec{ID_Side_Picture, WC_STATICA, "", 583, 80, 198, 159, SS_BITMAP},
        ControlSpec{ID_RL_QX_MTip_SoftwareDetail, WC_STATICA, kDetail, 580, 250, 208, 80},
        ControlSpec{ID_RL_QX_MTip_SubmitSoftware, WC_STATICA, kSubmitTip, 580, 332, 208, 68},
    });
    SetFont(GetDlgItem(page_, ID_RL_QX_MTip_WelcomeUse), FontKind::kTitle13);
    SendDlgItemMessageA(page_, ID_Side_Picture, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(LoadImageA(GetModuleHandleA(nullptr),
                                                            MAKEINTRESOURCEA(IDB_SIDE_PICTURE), IMAGE_BITMAP, 0, 0, 0)));

    CreateBarButton(buttons_, ID_RBN_QX_SelSoftware_Next, "下一步", 695);
    CreateBarButton(buttons_, ID_RBN_QX_SelSoftware_Submit, "提交软件", 612);
    CreateBarButton(buttons_, ID_RBN_QX_SelSoftware_Update, "更新特征库", 521, 83);
}

bool SoftwarePage::LabelColour(int id, COLORREF& colour) {
    if (id != ID_RL_QX_MTip_WelcomeUse && id != ID_RL_QX_MTip_SubmitSoftware) return false;
    colour = kBlue;
    return true;
}

void SoftwarePage::FillFilters() {
    FillCombo(RCB_QX_SelSoftwareType, ShownTexts(kTypes));
    SetComboSelection(RCB_QX_SelSoftwareType, 0);
    FillCombo(RCB_QX_SelSoftwareSubType, ShownTexts(kSubTypes));
    SetComboSelection(RCB_QX_SelSoftwareSubType, 0);
    FillCombo(RCB_QX_SelSoftwareOS, ShownTexts(kSystems));
    SetComboSelection(RCB_QX_SelSoftwareOS, 0);
}

std::string SoftwarePage::SelectedTypeCode() const { return ValueOf(RCB_QX_SelSoftwareType, kTypes); }
std::string SoftwarePage::SelectedSubType() const { return ValueOf(RCB_QX_SelSoftwareSubType, kSubTypes); }
std::string SoftwarePage::SelectedOs() const { return ValueOf(RCB_QX_SelSoftwareOS, kSystems); }

void SoftwarePage::ListCatalogue() {
    TQX& engine = form_.Engine();
    engine.SoftwareType = SelectedTypeCode();
    engine.SoftwareSubType = SelectedSubType();
    engine.SoftwareOS = SelectedOs();
    RefillList();
}

// The engine's cache of the type is dropped and listed anew through slot 1; nothing is ticked
// afterwards, since line n may now name another program.
void SoftwarePage::RefillList() {
    entries_.clear();
    FCheckedLine = -1;
    if (database_available_) {
        TQX& engine = form_.Engine();
        engine.ClearSoftwareList(engine.SoftwareType);
        engine.ListSoftware(engine.SoftwareType, engine.SoftwareSubType, engine.SoftwareOS);
    }
    ShowRows();
    if (database_available_)
        ReadInstalledMarks();
    else
        marks_reader_.Forget();
}

void SoftwarePage::OnSoftwareItem(const std::string& line) {
    entries_.push_back(EntryOfLine(static_cast<int>(entries_.size()), line));
}

void SoftwarePage::ReadInstalledMarks() {
    TQX& engine = form_.Engine();
    const StringList* catalogue = engine.SoftwareListOf(engine.SoftwareType);
    // Whatever an earlier read finds belongs to a listing no longer shown.
    marks_reader_.Forget();
    if (!catalogue) return;
    if (!marks_reader_.Start(form_.Handle(), WM_KESTRUNE_MARKS, engine.WorkDir, engine.SoftwareType, *catalogue,
                             MachineView()))
        ShowInstalledMarks(InstalledMarksOf(engine.WorkDir, engine.SoftwareType, *catalogue, MachineView()));
}

void SoftwarePage::OnInstalledMarksRead(WPARAM read) {
    std::vector<bool> marks;
    if (marks_reader_.Take(read, marks)) ShowInstalledMarks(marks);
}

void SoftwarePage::ShowInstalledMarks(const std::vector<bool>& marks) {
    SetInstalledMarks(entries_, marks);
    // The rows ask for their cells: they need new places only when sorted by the mark.
    if (sort_order_.column == kStatusColumn)
        ShowRows();
    else
        InvalidateRect(RLV_QX_SelSoftWarelist, nullptr, FALSE);
}

void SoftwarePage::RefreshAfterCleanup() {
    FCheckedLine = -1;
    SelectListRow(RLV_QX_SelSoftWarelist, -1, false);  // row -1: every row
    ShowRows();
    ReadInstalledMarks();
}

void SoftwarePage::ShowRows() {
    const int selected_line = LineOfRow(FirstSelectedListRow(RLV_QX_SelSoftWarelist));
    const std::vector<const CatalogueEntry*> shown =
        ShownEntries(entries_, WindowText(RE_QX_SelSoftwareSearch), sort_order_);
    showing_rows_ = true;
    const CatalogueRows rows = FillCatalogueRows(RLV_QX_SelSoftWarelist, shown, FCheckedLine, selected_line);
    // A program the search hides loses its tick: what "下一步" takes is always in sight.
    if (!rows.checked_shown) FCheckedLine = -1;
    showing_rows_ = false;
    const int selected_row = FirstSelectedListRow(RLV_QX_SelSoftWarelist);
    if (selected_row >= 0) ListView_EnsureVisible(RLV_QX_SelSoftWarelist, selected_row, FALSE);
}

int SoftwarePage::LineOfRow(int row) const {
    if (row < 0) return -1;
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(RLV_QX_SelSoftWarelist, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return -1;
    return static_cast<int>(item.lParam);
}

int SoftwarePage::RowOfLine(int line) const {
    if (line < 0) return -1;
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = line;
    return static_cast<int>(SendMessageA(RLV_QX_SelSoftWarelist, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(&find)));
}

void SoftwarePage::RCB_QX_SelSoftwareTypeChange() {
    TQX& engine = form_.Engine();
    const std::string code = SelectedTypeCode();
    if (code == engine.SoftwareType) return;
    engine.SoftwareOS = SelectedOs();
    engine.SoftwareType = code;
    RefillList();
}

void SoftwarePage::RCB_QX_SelSoftwareSubTypeChange() { ChangeFilter(form_.Engine().SoftwareSubType, SelectedSubType()); }

void SoftwarePage::RCB_QX_SelSoftwareOSChange() { ChangeFilter(form_.Engine().SoftwareOS, SelectedOs()); }

// The sub-type and OS filters: an entry that is already in force changes nothing.
void SoftwarePage::ChangeFilter(std::string& engine_value, const std::string& value) {
    if (value == engine_value) return;
    engine_value = value;
    RefillList();
}

void SoftwarePage::RE_QX_SelSoftwareSearchChange() { ShowRows(); }

void SoftwarePage::RLV_QX_SelSoftWarelistChange(int row) {
    if (showing_rows_ || row < 0) return;
    const int line = LineOfRow(row);
    if (!IsListRowChecked(RLV_QX_SelSoftWarelist, row)) {
        // The tick taken off: its selection goes with it, so that "下一步" chooses nothing.
        if (line == FCheckedLine) {
            FCheckedLine = -1;
            SelectListRow(RLV_QX_SelSoftWarelist, row, false);
        }
        return;
    }
    if (line == FCheckedLine) return;
    // One tick at a time: the row ticked before loses its tick and its selection.
    const int previous_row = RowOfLine(FCheckedLine);
    FCheckedLine = line;
    if (previous_row >= 0) {
        SetListRowChecked(RLV_QX_SelSoftWarelist, previous_row, false);
        SelectListRow(RLV_QX_SelSoftWarelist, previous_row, false);
    }
    SelectListRow(RLV_QX_SelSoftWarelist, row, true);
}

void SoftwarePage::RLV_QX_SelSoftWarelistColumnClick(int column) {
    sort_order_.ClickOn(column);
    ShowSortArrow(RLV_QX_SelSoftWarelist, sort_order_);
    ShowRows();
}

// A double click on a program ticks it, as a click on its box does.
void SoftwarePage::RLV_QX_SelSoftWarelistDblClick(int row) {
    if (row >= 0) SetListRowChecked(RLV_QX_SelSoftWarelist, row, true);
}

// F5 reads the installed marks again; nothing else changes.
void SoftwarePage::RLV_QX_SelSoftWarelistKeyDown(WORD key) {
    if (key != VK_F5 || form_.Busy()) return;
    ReadInstalledMarks();
}

void SoftwarePage::RBN_QX_SelSoftware_NextClick() {
    // The engine serves one worker at a time: no path discovery while a clean-up runs.
    if (form_.Busy()) return;
    // The ticked program, or else the selected one, which then gets the tick.
    int chosen_row = RowOfLine(FCheckedLine);
    if (chosen_row < 0) {
        chosen_row = FirstSelectedListRow(RLV_QX_SelSoftWarelist);
        if (chosen_row >= 0) SetListRowChecked(RLV_QX_SelSoftWarelist, chosen_row, true);
    }
    if (chosen_row < 0) {
        ShowInformation(form_.Handle(), "您没有选择需要卸载的软件.");
        return;
    }
    const int line = LineOfRow(chosen_row);
    TQX& engine = form_.Engine();
    const std::string code = SelectedTypeCode();
    form_.install_path.Clear();
    engine.SelectedIndex = line;
    engine.SoftwareType = code;
    engine.ListInstallPaths(line, code, MachineView());
    form_.install_path.ShowPair();
}

void SoftwarePage::RBN_QX_SelSoftware_SubmitClick() { form_.information.ShowSubmit(); }

bool SoftwarePage::OnCommand(int id, int code) {
    switch (id) {
        case ID_RE_QX_SelSoftwareSearch:
            if (code == EN_CHANGE) RE_QX_SelSoftwareSearchChange();
            return true;
        case ID_RCB_QX_SelSoftwareType:
            if (code == CBN_SELCHANGE) RCB_QX_SelSoftwareTypeChange();
            return true;
        case ID_RCB_QX_SelSoftwareSubType:
            if (code == CBN_SELCHANGE) RCB_QX_SelSoftwareSubTypeChange();
            return true;
        case ID_RCB_QX_SelSoftwareOS:
            if (code == CBN_SELCHANGE) RCB_QX_SelSoftwareOSChange();
            return true;
        default:
            return false;
    }
}

bool SoftwarePage::OnClick(int id) {
    switch (id) {
        case ID_RBN_QX_SelSoftware_Next:
            RBN_QX_SelSoftware_NextClick();
            return true;
        case ID_RBN_QX_SelSoftware_Submit:
            RBN_QX_SelSoftware_SubmitClick();
            return true;
        case ID_RBN_QX_SelSoftware_Update:
            form_.update.RL_QX_Top_UpdateClick(id);
            return true;
        default:
            return false;
    }
}

bool SoftwarePage::OnNotify(const NMHDR& header, LRESULT& result) {
    if (header.idFrom != ID_RLV_QX_SelSoftWarelist) return false;
    if (AnswerCatalogueNotice(header, entries_, result)) return true;
    switch (header.code) {
        case LVN_ITEMCHANGED: {
            // Only a tick given or taken: a selection that comes or goes changes no tick.
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            if ((change.uChanged & LVIF_STATE) && ((change.uOldState ^ change.uNewState) & LVIS_STATEIMAGEMASK))
                RLV_QX_SelSoftWarelistChange(change.iItem);
            break;
        }
        case LVN_COLUMNCLICK:
            RLV_QX_SelSoftWarelistColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
            break;
        case NM_DBLCLK:
            RLV_QX_SelSoftWarelistDblClick(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem);
            break;
        case NM_RETURN:
            RBN_QX_SelSoftware_NextClick();
            break;
        case LVN_KEYDOWN:
            RLV_QX_SelSoftWarelistKeyDown(reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey);
            break;
        default:
            break;
    }
    return true;
}
