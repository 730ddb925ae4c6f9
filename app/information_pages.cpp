#include "information_pages.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "control_ids.h"
#include "main_window.h"
#include "styled_controls.h"
#include "text_rules.h"
#include "ui_kit.h"

namespace {

constexpr char kWelcome[] = "非常感谢您使用Kestrune2011";
constexpr char kSubmitAddress[] = "http://blog.kestrune.example/submit/";
constexpr COLORREF kVisitedLink = RGB(128, 0, 128);
constexpr int kTabHeight = 19;
constexpr int kContributorTabsWidth = 377;

const char kSubmitText[] =
    "Q:为什么要提交软件?提交软件的作用是什么?\r\n"
    "A:Kestrune是根据软件的安装特征来分析软件的,所以我们需要大量的软件样本来制作卸载特征.如果您发现某个软件"
    "无法卸载,卸载不干净,或者Kestrune还不支持它,欢迎您把该软件的版本号和下载地址提交给我们,"
    "我们会尽快为它制作最佳的卸载方案.\r\n"
    "提交格式为:\r\n"
    "1:下载链接\r\n"
    "2:软件名称+版本号";

const char kHelpText[] =
    "Q:什么情况下需要使用Kestrune?\r\n"
    "A:软件自带的卸载程序无法运行或者已经丢失;系统中被不知不觉地安装了顽固软件或流氓软件;"
    "软件自带的卸载程序没有把软件删除干净.遇到以上情况都可以使用Kestrune.\r\n"
    "\r\n"
    "Q:Kestrune能做什么?\r\n"
    "A:Kestrune根据软件的安装特征分析出软件的核心部分,包括注册表信息,残留文件,安装目录,"
    "安装的文件以及注册的组件,并把它们彻底清除.\r\n"
    "\r\n"
    "Q:Kestrune适合卸载哪些软件?\r\n"
    "A:大型软件套件,常用的桌面软件,浏览器插件之类的顽固软件,以及各种流氓软件.\r\n"
    "\r\n"
    "Q:怎样才能更好地使用Kestrune?\r\n"
    "A:卸载大型软件时,建议先运行软件自带的卸载程序,完成后再用Kestrune分析并清除它留下的残留信息.\r\n"
    "\r\n"
    "Q:为什么要提交软件?\r\n"
    "A:Kestrune依靠软件的安装特征进行分析,所以需要软件的样本.如果您发现某个软件无法卸载,"
    "卸载不干净或者还不被支持,请通过[提交软件]把它的版本号和下载地址告诉我们.\r\n"
    "\r\n"
    "Q:为什么清除之后再次分析,仍然会发现一些痕迹?\r\n"
    "A:有些文件正在被使用,或者软件带有自我保护功能,无法立即删除.请先执行清除,重新启动系统后再清除一次;"
    "也可以在安全模式下运行Kestrune进行清除.\r\n"
    "\r\n"
    "Q:Kestrune支持哪些操作系统?\r\n"
    "A:请在以下操作系统中使用Kestrune.\r\n"
    "本软件目前只支持32位操作系统,版本如下.Windows2000/2003/2008 Windows XP/Vista/7.";

// The rows of "基本信息": a caption, its value and, for links, the address a click opens.
struct InfoRow {
    const char* caption;
    const char* value;
    const char* target;
};

const InfoRow kInfoRows[] = {
    {"产品官方博客:", "http://blog.kestrune.example/", "http://blog.kestrune.example/"},
    {"开发作者网站:", "http://www.kestrune.example/", "http://www.kestrune.example/"},
    {"产品技术支持:", "support@kestrune.example", "mailto:support@kestrune.example"},
    {"开发作者网名:", "Kestrune 开发组", nullptr},
    {"美工设计作者:", "Kestrune 美工组", nullptr},
    {"软件描述编辑:", "Kestrune 文档组", nullptr},
};
constexpr int kInfoRowCount = sizeof kInfoRows / sizeof kInfoRows[0];
const int kInfoRowY[kInfoRowCount] = {85, 114, 143, 172, 201, 230};

const char kRights[] = "Copyright (C) 2011 Kestrune 开发组. 保留所有权利.";

struct ListRow {
    const char* first;
    const char* second;
};

const ListRow kContributors[] = {
    {"开发组", "程序设计与开发"},
    {"测试组", "各版本的功能测试"},
    {"美工组", "界面,图标与图片设计"},
    {"文档组", "软件描述与帮助文档的编写"},
    {"策划组", "产品策划与软件命名"},
    {"特征库组", "软件卸载特征的制作与维护"},
    {"兼容性测试组", "Windows XP/Vista/7 兼容性测试"},
    {"校对组", "界面文字的校对"},
    {"推广组", "产品的宣传与推广"},
    {"网站组", "官方网站与博客的建设和维护"},
    {"技术支持组", "解答用户的使用问题"},
    {"用户反馈组", "整理用户提交的软件样本"},
    {"社区志愿者", "试用反馈与口碑推广"},
};

const ListRow kWebSites[] = {
    {"Kestrune 官方网站", "http://www.kestrune.example/"},
    {"Kestrune 官方博客", "http://blog.kestrune.example/"},
    {"软件提交页面", "http://blog.kestrune.example/submit/"},
    {"技术支持中心", "http://support.kestrune.example/"},
    {"用户交流论坛", "http://bbs.kestrune.example/"},
    {"下载中心", "http://download.kestrune.example/"},
    {"特征库更新公告", "http://update.kestrune.example/"},
    {"在线帮助文档", "http://docs.kestrune.example/"},
};

const char* LinkTarget(int id) {
    if (id == ID_RzURLLabel4) return kSubmitAddress;
    const int row = id - ID_Info_Value_First;
    return row >= 0 && row < kInfoRowCount ? kInfoRows[row].target : nullptr;
}

bool IsLink(int id) { return LinkTarget(id) != nullptr; }

// The window's default font, underlined: the look of an address.
HFONT UnderlinedFont() {
    static const HFONT font = [] {
        LOGFONTA look = {};
        GetObjectA(GetFont(FontKind::kDefault), sizeof look, &look);
        look.lfUnderline = TRUE;
        return CreateFontIndirectA(&look);
    }();
    return font;
}

LRESULT CALLBACK HandCursor(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
    if (message == WM_SETCURSOR) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
    }
    return DefSubclassProc(window, message, wparam, lparam);
}

// An address label: underlined, notifies clicks, hand cursor; its colour comes from LabelColour.
HWND CreateUrlLabel(HWND parent, int id, const char* caption, int x, int y, int width, int height) {
    HWND link = CreateControl(parent, {id, WC_STATICA, caption, x, y, width, height, SS_NOTIFY});
    SendMessageA(link, WM_SETFONT, reinterpret_cast<WPARAM>(UnderlinedFont()), TRUE);
    SetWindowSubclass(link, HandCursor, 1, 0);
    return link;
}

HWND CreateList(HWND parent, int id, int x, int y, int width, int height) {
    HWND list = CreateControl(parent, {id, WC_LISTVIEWA, "", x, y, width, height,
                                       LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, WS_EX_CLIENTEDGE});
    ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    return list;
}

template <size_t N>
void FillList(HWND list, const ListRow (&rows)[N]) {
    ClearList(list);
    for (const ListRow& row : rows) AppendListRow(list, row.first, {row.second});
}

HWND CreateTabControl(HWND parent, int id, int x, int y, int width, int height) {
    HWND tab = CreateControl(parent, {id, WC_TABCONTROLA, "", x, y, width, height, WS_CLIPCHILDREN | WS_TABSTOP});
    SendMessageA(tab, TCM_SETITEMSIZE, 0, MAKELPARAM(0, kTabHeight));
    return tab;
}

// A tab and its page: a white panel over the tab control's display area, hidden until chosen.
HWND AddTabPage(HWND tab, const char* caption) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(caption);
    const int index = static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
    SendMessageA(tab, TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    RECT area;
    GetClientRect(tab, &area);
    TabCtrl_AdjustRect(tab, FALSE, &area);
    HWND page = CreatePanel(tab, area.left, area.top, area.right - area.left, area.bottom - area.top);
    ShowWindow(page, SW_HIDE);
    return page;
}

SIZE ClientSize(HWND window) {
    RECT area;
    GetClientRect(window, &area);
    return {area.right - area.left, area.bottom - area.top};
}

template <size_t N>
void ShowTab(HWND tab, HWND (&pages)[N], int index) {
    if (index < 0 || index >= static_cast<int>(N)) return;
    SendMessageA(tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    ShowWindow(pages[index], SW_SHOW);
    for (size_t other = 0; other < N; ++other)
        if (static_cast<int>(other) != index) ShowWindow(pages[other], SW_HIDE);
}

}  // namespace

void InformationPages::Create(HWND middle_host, HWND button_host) {
    CreatePanels(middle_host, button_host);
    CreateAboutPage();
    CreateSubmitPage();
    JPL_QX_Other.Show(JSP_QX_Other_About);
    CreateBarButton(buttons_, ID_RBN_QX_Other_Back, "返回", 693);
}

void InformationPages::CreateSubmitPage() {
    JSP_QX_Other_Submit = CreatePanel(page_, 0, 0, 803, 414);
    JPL_QX_Other.Add(JSP_QX_Other_Submit);
    CreateControls(JSP_QX_Other_Submit, {ControlSpec{ID_RzLabel13, WC_STATICA, kWelcome, 25, 14, 440, 18}});
    SetFont(GetDlgItem(JSP_QX_Other_Submit, ID_RzLabel13), FontKind::kTitle13);
    HWND panel = CreatePanel(JSP_QX_Other_Submit, 88, 56, 633, 329);
    CreateControls(panel, {ControlSpec{ID_RzMemo3, WC_EDITA, kSubmitText, 32, 8, 561, 113,
                                       ES_MULTILINE | ES_READONLY}});
    CreateUrlLabel(panel, ID_RzURLLabel4, (std::string("点击提交链接进入提交网站:") + kSubmitAddress).c_str(), 32,
                   125, 545, 13);
}

void InformationPages::CreateAboutPage() {
    JSP_QX_Other_About = CreatePanel(page_, 0, 0, 803, 414);
    JPL_QX_Other.Add(JSP_QX_Other_About);
    CreateControls(JSP_QX_Other_About,
                   {ControlSpec{ID_RL_QX_Other_Tip_Welcome, WC_STATICA, kWelcome, 25, 14, 440, 18}});
    SetFont(GetDlgItem(JSP_QX_Other_About, ID_RL_QX_Other_Tip_Welcome), FontKind::kTitle13);
    // The hidden tab "贡献者" of this control is never shown, so it is not added at all.
    RPC_QX_Other = CreateTabControl(JSP_QX_Other_About, ID_RPC_QX_Other, 25, 40, 757, 352);
    other_tab_pages_[0] = AddTabPage(RPC_QX_Other, "基本信息");
    other_tab_pages_[1] = AddTabPage(RPC_QX_Other, "帮助FAQ");
    CreateMyInfoTab(other_tab_pages_[0]);
    CreateHelpTab(other_tab_pages_[1]);
    ShowOtherTab(0);
}

void InformationPages::CreateMyInfoTab(HWND tab) {
    CreateControls(tab, {ControlSpec{ID_RzVerS, WC_STATICA, VersionCaption().c_str(), 43, 52, 185, 13}});
    for (int row = 0; row < kInfoRowCount; ++row) {
        const InfoRow& info = kInfoRows[row];
        const int y = kInfoRowY[row];
        CreateControl(tab, {ID_Info_Caption_First + row, WC_STATICA, info.caption, 46, y, 90, 13});
        if (info.target)
            CreateUrlLabel(tab, ID_Info_Value_First + row, info.value, 136, y, 200, 13);
        else
            CreateControl(tab, {ID_Info_Value_First + row, WC_STATICA, info.value, 136, y, 200, 13});
    }
    CreateControl(tab, {ID_Info_Rights, WC_STATICA, kRights, 46, 256, 320, 13});
    const SIZE size = ClientSize(tab);
    CreateContributorTabs(tab, size.cx - kContributorTabsWidth, 0);
}

void InformationPages::CreateContributorTabs(HWND parent, int x, int y) {
    const SIZE size = ClientSize(parent);
    RPC_QX_Other_Contributor =
        CreateTabControl(parent, ID_RPC_QX_Other_Contributor, x, y, kContributorTabsWidth, size.cy - y);
    HWND people = contributor_tab_pages_[0] = AddTabPage(RPC_QX_Other_Contributor, "贡献者");
    HWND sites = contributor_tab_pages_[1] = AddTabPage(RPC_QX_Other_Contributor, "贡献网站");

    const SIZE page = ClientSize(people);
    RLV_QX_Contributor = CreateList(people, ID_RLV_QX_Contributor, 0, 0, page.cx, page.cy);
    AddListColumn(RLV_QX_Contributor, "常用名", 80);
    AddListColumn(RLV_QX_Contributor, "贡献理由", 275);

    constexpr int kLabelHeight = 16, kListTop = 24;
    CreateControl(sites, {ID_RzLabel16, WC_STATICA, "双击下面指定列表即可浏览目标网站", 0, 4, page.cx,
                          kLabelHeight, SS_CENTER});
    SetFont(GetDlgItem(sites, ID_RzLabel16), FontKind::kTitle12);
    RLV_QX_WebSiteContributor = CreateList(sites, ID_RLV_QX_WebSiteContributor, 0, kListTop, page.cx,
                                           page.cy - kListTop);
    AddListColumn(RLV_QX_WebSiteContributor, "网站名称", 130);
    AddListColumn(RLV_QX_WebSiteContributor, "网址", 225);
    ShowContributorTab(0);
}

void InformationPages::CreateHelpTab(HWND tab) {
    const SIZE size = ClientSize(tab);
    CreateControl(tab, {ID_RzMemo2, WC_EDITA, kHelpText, 0, 0, size.cx, size.cy,
                        ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL, WS_EX_CLIENTEDGE});
}

void InformationPages::FillLists() {
    FillList(RLV_QX_Contributor, kContributors);
    FillList(RLV_QX_WebSiteContributor, kWebSites);
}

void InformationPages::SelectContributorTabBySeconds(int seconds) { ShowContributorTab(seconds % 2 ? 1 : 0); }

void InformationPages::ShowAbout() {
    ShowPair();
    JPL_QX_Other.Show(JSP_QX_Other_About);
    ShowOtherTab(0);
}

void InformationPages::ShowHelp() {
    ShowPair();
    JPL_QX_Other.Show(JSP_QX_Other_About);
    ShowOtherTab(1);
}

void InformationPages::ShowSubmit() {
    ShowPair();
    JPL_QX_Other.Show(JSP_QX_Other_Submit);
}

void InformationPages::ShowOtherTab(int index) { ShowTab(RPC_QX_Other, other_tab_pages_, index); }

void InformationPages::ShowContributorTab(int index) {
    ShowTab(RPC_QX_Other_Contributor, contributor_tab_pages_, index);
}

void InformationPages::RLV_QX_WebSiteContributorDblClick() {
    const int row = FirstSelectedListRow(RLV_QX_WebSiteContributor);
    if (row < 0) return;
    const std::string address = Trimmed(ListCellText(RLV_QX_WebSiteContributor, row, 1));
    ShellExecuteA(form_.Handle(), "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void InformationPages::OpenLink(int id) {
    SHELLEXECUTEINFOA open = {};
    open.cbSize = sizeof open;
    open.hwnd = form_.Handle();
    open.lpVerb = "Open";
    open.lpFile = LinkTarget(id);
    open.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&open);
    visited_links_.insert(id);
    InvalidateRect(FindControl(page_, id), nullptr, TRUE);
}

bool InformationPages::OnClick(int id) {
    if (id == ID_RBN_QX_Other_Back) {
        form_.software.ShowPair();
        return true;
    }
    if (!IsLink(id)) return false;
    OpenLink(id);
    return true;
}

bool InformationPages::OnNotify(const NMHDR& header, LRESULT&) {
    switch (header.idFrom) {
        case ID_RPC_QX_Other:
            if (header.code == TCN_SELCHANGE)
                ShowOtherTab(static_cast<int>(SendMessageA(RPC_QX_Other, TCM_GETCURSEL, 0, 0)));
            return true;
        case ID_RPC_QX_Other_Contributor:
            if (header.code == TCN_SELCHANGE)
                ShowContributorTab(static_cast<int>(SendMessageA(RPC_QX_Other_Contributor, TCM_GETCURSEL, 0, 0)));
            return true;
        case ID_RLV_QX_WebSiteContributor:
            if (header.code == NM_DBLCLK) RLV_QX_WebSiteContributorDblClick();
            return true;
        case ID_RLV_QX_Contributor:
            return true;
        default:
            return false;
    }
}

bool InformationPages::LabelColour(int id, COLORREF& colour) {
    if (id == ID_RzLabel13 || id == ID_RL_QX_Other_Tip_Welcome || id == ID_RzLabel16) {
        colour = kBlue;
        return true;
    }
    if (!IsLink(id)) return false;
    colour = visited_links_.count(id) ? kVisitedLink : GetSysColor(COLOR_HIGHLIGHT);
    return true;
}
