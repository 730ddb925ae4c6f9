#include "software_page.h"

#include "category_files.h"
#include "control_ids.h"
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
        ControlSpec{ID_RLV_QX_SelSoftWarelist, WC_LISTVIEWA, "", 8, 32, 550, 374,
                    LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, WS_EX_CLIENTEDGE},
    });
    SetFont(GetDlgItem(page_, ID_Plus_Label_1), FontKind::kBold);
    SetFont(GetDlgItem(page_, ID_Plus_Label_2), FontKind::kBold);
    RCB_QX_SelSoftwareType = GetDlgItem(page_, ID_RCB_QX_SelSoftwareType);
    RCB_QX_SelSoftwareSubType = GetDlgItem(page_, ID_RCB_QX_SelSoftwareSubType);
    RCB_QX_SelSoftwareOS = GetDlgItem(page_, ID_RCB_QX_SelSoftwareOS);
    RLV_QX_SelSoftWarelist = GetDlgItem(page_, ID_RLV_QX_SelSoftWarelist);
    ListView_SetExtendedListViewStyle(RLV_QX_SelSoftWarelist,
                                      LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    AddListColumn(RLV_QX_SelSoftWarelist, "索引", 50);
    AddListColumn(RLV_QX_SelSoftWarelist, "软件名称", 300);
    AddListColumn(RLV_QX_SelSoftWarelist, "操作系统版本", 100, LVCFMT_CENTER);
    AddListColumn(RLV_QX_SelSoftWarelist, "32位/64位", 78, LVCFMT_CENTER);

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
    ClearList(RLV_QX_SelSoftWarelist);
    TQX& engine = form_.Engine();
    engine.SoftwareType = SelectedTypeCode();
    engine.SoftwareSubType = SelectedSubType();
    engine.SoftwareOS = SelectedOs();
    RefillList();
}

// The engine's cache of the type is dropped and listed anew through slot 1.
void SoftwarePage::RefillList() {
    if (!database_available_) return;
    TQX& engine = form_.Engine();
    engine.ClearSoftwareList(engine.SoftwareType);
    engine.ListSoftware(engine.SoftwareType, engine.SoftwareSubType, engine.SoftwareOS);
}

// Every line is a row, so that row n is line n of the engine's cache.
void SoftwarePage::OnSoftwareItem(const std::string& line) {
    StringList fields;
    SplitByBar(line, fields);
    fields.resize(7);  // a short line shows empty cells
    AppendListRow(RLV_QX_SelSoftWarelist, std::to_string(ListRowCount(RLV_QX_SelSoftWarelist)),
                  {fields[1], fields[4], fields[6]});
    FCheckedRow = -1;
}

void SoftwarePage::RCB_QX_SelSoftwareTypeChange() {
    TQX& engine = form_.Engine();
    const std::string code = SelectedTypeCode();
    if (code == engine.SoftwareType) return;
    FCheckedRow = -1;
    ClearList(RLV_QX_SelSoftWarelist);
    engine.SoftwareOS = SelectedOs();
    engine.SoftwareType = code;
    RefillList();
}

void SoftwarePage::RCB_QX_SelSoftwareSubTypeChange() { ChangeFilter(form_.Engine().SoftwareSubType, SelectedSubType()); }

void SoftwarePage::RCB_QX_SelSoftwareOSChange() { ChangeFilter(form_.Engine().SoftwareOS, SelectedOs()); }

// The sub-type and OS filters: an entry that is already in force changes nothing.
void SoftwarePage::ChangeFilter(std::string& engine_value, const std::string& value) {
    if (value == engine_value) return;
    FCheckedRow = -1;
    ClearList(RLV_QX_SelSoftWarelist);
    engine_value = value;
    RefillList();
}

void SoftwarePage::RLV_QX_SelSoftWarelistChange(int row) {
    if (row < 0 || !IsListRowChecked(RLV_QX_SelSoftWarelist, row) || row == FCheckedRow) return;
    // One tick at a time: the row ticked before loses its tick and its selection.
    if (FCheckedRow != -1) {
        SetListRowChecked(RLV_QX_SelSoftWarelist, FCheckedRow, false);
        SelectListRow(RLV_QX_SelSoftWarelist, FCheckedRow, false);
    }
    FCheckedRow = row;
    SelectListRow(RLV_QX_SelSoftWarelist, row, true);
}

void SoftwarePage::RBN_QX_SelSoftware_NextClick() {
    // The engine serves one worker at a time: no path discovery while a clean-up runs.
    if (form_.Busy()) return;
    int ticked = -1;
    for (int row = 0; row < ListRowCount(RLV_QX_SelSoftWarelist) && ticked < 0; ++row)
        if (IsListRowChecked(RLV_QX_SelSoftWarelist, row)) ticked = row;
    if (ticked < 0) {
        ShowInformation(form_.Handle(), "您没有选择需要卸载的软件.");
        return;
    }
    TQX& engine = form_.Engine();
    const std::string code = SelectedTypeCode();
    form_.install_path.Clear();
    engine.SelectedIndex = ticked;
    engine.SoftwareType = code;
    engine.ListInstallPaths(ticked, code, MachineView());
    form_.install_path.ShowPair();
}

void SoftwarePage::RBN_QX_SelSoftware_SubmitClick() { form_.information.ShowSubmit(); }

bool SoftwarePage::OnCommand(int id, int code) {
    switch (id) {
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

bool SoftwarePage::OnNotify(const NMHDR& header, LRESULT&) {
    if (header.idFrom != ID_RLV_QX_SelSoftWarelist) return false;
    if (header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if (change.uChanged & LVIF_STATE) RLV_QX_SelSoftWarelistChange(change.iItem);
    }
    return true;
}
