#include "install_path_page.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "control_ids.h"
#include "main_window.h"
#include "path_identity.h"
#include "safety_guard.h"
#include "selected_program.h"
#include "styled_controls.h"
#include "ui_kit.h"

namespace {

// The heading before a program is ticked; afterwards it names the program.
const char kHeading[] = "从列表选择并确认需卸载的软件安装路径:";

const char kLeftTip[] =
    "1. 左边列表显示的是由Kestrune自动识别的, 跟已选软件有关的安装路径.\r\n\r\n"
    "2. 您可根据需要, 添加跟已选软件有关系的其他安装路径.\r\n\r\n"
    "3. 您可根据需要, 从列表中移除你认为Kestrune识别有误的安装路径(移除不会删除磁盘上的文件).\r\n\r\n"
    "4. 您可从列表中双击指定项打开对应的目录,加以校验.\r\n\r\n"
    "提示:如果左边列表为空,不会影响Kestrune的分析功能,你可忽略列表空信息并选择[执行分析]";

// The folder chooser opens on the folder confirmed last.
int CALLBACK StartInFolder(HWND dialog, UINT message, LPARAM, LPARAM start_folder) {
    if (message == BFFM_INITIALIZED && start_folder)
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, start_folder);
    return 0;
}

bool ChooseFolder(HWND owner, const std::string& start_folder, std::string& chosen) {
    BROWSEINFOA browse = {};
    browse.hwndOwner = owner;
    browse.lpszTitle = "请选择目录";
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    browse.lpfn = StartInFolder;
    browse.lParam = start_folder.empty() ? 0 : reinterpret_cast<LPARAM>(start_folder.c_str());
    LPITEMIDLIST item = SHBrowseForFolderA(&browse);
    if (!item) return false;
    char path[MAX_PATH] = {};
    const bool ok = SHGetPathFromIDListA(item, path) != FALSE;
    CoTaskMemFree(item);
    chosen = path;
    return ok && !chosen.empty();
}

void OpenInExplorer(HWND owner, const std::string& folder) {
    ShellExecuteA(owner, "open", "Explorer.exe", folder.c_str(), nullptr, SW_SHOWNORMAL);
}

// The folder a row names, in the one spelling of path_identity.h (the text itself when it is no
// usable path), so that "C:\A\", "c:\a" and a short name of it compare equal.
std::string FolderIdentity(const std::string& row_text) {
    const std::string folder = SafetyGuard::Unmarked(row_text);
    const std::string canonical = CanonicalPath(folder);
    return canonical.empty() ? folder : canonical;
}

}  // namespace

void InstallPathPage::Create(HWND middle_host, HWND button_host) {
    CreatePanels(middle_host, button_host);
    CreateControls(page_, {
        ControlSpec{ID_RL_QX_MTip_SelSoftwareInstalledPath, WC_STATICA, kHeading, 8, 11, 550, 13,
                    SS_NOPREFIX | SS_ENDELLIPSIS},
        ControlSpec{ID_RLV_QX_SelSoftWareInstalledPathlist, WC_LISTVIEWA, "", 8, 32, 550, 348,
                    LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP, WS_EX_CLIENTEDGE},
        ControlSpec{ID_RBN_QX_SelSoftWareInstalledPath_Add, WC_BUTTONA, "添加", 443, 388, 54, 21, WS_TABSTOP},
        ControlSpec{ID_RBN_QX_SelSoftWareInstalledPath_Delete, WC_BUTTONA, "移除", 507, 388, 54, 21, WS_TABSTOP},
        ControlSpec{ID_RL_QX_MTip_LeftTip, WC_STATICA, kLeftTip, 576, 42, 210, 330},
    });
    PaintInsideWhite(CreateControl(page_, {0, WC_STATICA, "", 568, 32, 225, 347, SS_ETCHEDFRAME}));
    RL_QX_MTip_SelSoftwareInstalledPath = GetDlgItem(page_, ID_RL_QX_MTip_SelSoftwareInstalledPath);
    SetWindowSubclass(page_, NameProgramOnShow, 1, reinterpret_cast<DWORD_PTR>(this));
    RLV_QX_SelSoftWareInstalledPathlist = GetDlgItem(page_, ID_RLV_QX_SelSoftWareInstalledPathlist);
    ListView_SetExtendedListViewStyle(RLV_QX_SelSoftWareInstalledPathlist, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    AddListColumn(RLV_QX_SelSoftWareInstalledPathlist, "索引", 50);
    AddListColumn(RLV_QX_SelSoftWareInstalledPathlist, "软件已安装路径", 478);

    CreateBarButton(buttons_, ID_RBN_QX_SelSoftwareInstalledPath_Analyzed, "执行分析", 695);
    CreateBarButton(buttons_, ID_RBN_QX_SelSoftwareInstalledPath_Previous, "上一步", 612);
}

void InstallPathPage::AppendRow(const std::string& path) {
    AppendListRow(RLV_QX_SelSoftWareInstalledPathlist,
                  std::to_string(ListRowCount(RLV_QX_SelSoftWareInstalledPathlist)), {path});
}

// The first spelling of a folder stays; the engine proposes what each registration writes.
void InstallPathPage::OnInstalledPath(const std::string& path) {
    if (ListedRowOf(path) < 0) AppendRow(path);
}

int InstallPathPage::ListedRowOf(const std::string& path) const {
    const std::string folder = FolderIdentity(path);
    for (int row = 0; row < ListRowCount(RLV_QX_SelSoftWareInstalledPathlist); ++row)
        if (FolderIdentity(ListCellText(RLV_QX_SelSoftWareInstalledPathlist, row, 1)) == folder) return row;
    return -1;
}

void InstallPathPage::NameProgramInHeading() {
    const std::string program = SelectedProgramName(form_.Engine());
    const std::string heading =
        program.empty() ? kHeading : "从列表选择并确认需卸载的软件 \"" + program + "\" 的安装路径:";
    SetWindowTextA(RL_QX_MTip_SelSoftwareInstalledPath, heading.c_str());
}

LRESULT CALLBACK InstallPathPage::NameProgramOnShow(HWND page, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                                    DWORD_PTR page_object) {
    if (message == WM_SHOWWINDOW && wparam) reinterpret_cast<InstallPathPage*>(page_object)->NameProgramInHeading();
    return DefSubclassProc(page, message, wparam, lparam);
}

void InstallPathPage::Clear() { ClearList(RLV_QX_SelSoftWareInstalledPathlist); }

StringList InstallPathPage::Paths() const {
    StringList paths;
    for (int row = 0; row < ListRowCount(RLV_QX_SelSoftWareInstalledPathlist); ++row)
        paths.push_back(ListCellText(RLV_QX_SelSoftWareInstalledPathlist, row, 1));
    return paths;
}

void InstallPathPage::RBN_QX_SelSoftWareInstalledPath_AddClick() {
    std::string folder;
    if (!ChooseFolder(form_.Handle(), last_chosen_folder_, folder)) return;
    last_chosen_folder_ = folder;
    if (folder.size() <= 3) return;  // a drive root is never a program's folder
    const int listed = ListedRowOf(folder);
    if (listed >= 0) {
        const std::string message =
            "所选目录已在列表中: " + ListCellText(RLV_QX_SelSoftWareInstalledPathlist, listed, 1);
        ShowInformation(form_.Handle(), message.c_str());
        return;
    }
    if (!AskYesNo(form_.Handle(), "您是否确定此目录跟所选的卸载软件有关系?\r\n此功能一般由专业用户使用.")) return;
    AppendRow(folder);
}

void InstallPathPage::RBN_QX_SelSoftWareInstalledPath_DeleteClick() {
    HWND list = RLV_QX_SelSoftWareInstalledPathlist;
    if (FirstSelectedListRow(list) < 0) return;
    if (!AskYesNo(form_.Handle(), "您是否确定需要移除所选目录?")) return;
    // Out of the list only: nothing on disk changes. The remaining rows keep their captions.
    for (int row = ListRowCount(list) - 1; row >= 0; --row)
        if (IsListRowSelected(list, row)) ListView_DeleteItem(list, row);
}

void InstallPathPage::RLV_QX_SelSoftWareInstalledPathlistDblClick() {
    const int row = FirstSelectedListRow(RLV_QX_SelSoftWareInstalledPathlist);
    if (row >= 0) OpenInExplorer(form_.Handle(), ListCellText(RLV_QX_SelSoftWareInstalledPathlist, row, 1));
}

void InstallPathPage::RBN_QX_SelSoftwareInstalledPath_PreviousClick() { form_.software.ShowPair(); }

void InstallPathPage::RBN_QX_SelSoftwareInstalledPath_AnalyzedClick() {
    // One worker at a time: a clean-up may still be running when the user comes back here.
    if (form_.Busy()) return;
    form_.analysis.StartAnalysis();
}

bool InstallPathPage::OnClick(int id) {
    switch (id) {
        case ID_RBN_QX_SelSoftWareInstalledPath_Add:
            RBN_QX_SelSoftWareInstalledPath_AddClick();
            return true;
        case ID_RBN_QX_SelSoftWareInstalledPath_Delete:
            RBN_QX_SelSoftWareInstalledPath_DeleteClick();
            return true;
        case ID_RBN_QX_SelSoftwareInstalledPath_Previous:
            RBN_QX_SelSoftwareInstalledPath_PreviousClick();
            return true;
        case ID_RBN_QX_SelSoftwareInstalledPath_Analyzed:
            RBN_QX_SelSoftwareInstalledPath_AnalyzedClick();
            return true;
        default:
            return false;
    }
}

bool InstallPathPage::OnNotify(const NMHDR& header, LRESULT&) {
    if (header.idFrom != ID_RLV_QX_SelSoftWareInstalledPathlist) return false;
    if (header.code == NM_DBLCLK) RLV_QX_SelSoftWareInstalledPathlistDblClick();
    return true;
}
