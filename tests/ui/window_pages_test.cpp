// The window's pages as a user meets them, with the shipped sample catalogue or none at all:
// the start without a package, "下一步" and the one-tick rule, an analysis that finds nothing
// (closing refused while its worker runs, "返回" without a question), the information and update
// pages behind the banner links and the buttons, double clicks that count once, and a catalogue
// with a blank record, whose later rows must still be analysed as their own programs.
#include <cstdlib>
#include <string>

#include "check.h"
#include "control_ids.h"
#include "fixtures.h"
#include "kestrune_window.h"
#include "package_writer.h"
#include "waiting.h"

namespace {

std::string ShippedPackage() { return ProgramFolder() + "\\REZ.hdb3"; }

// The banner is dark blue where its links stand: a link's strokes are white, or blue under the
// mouse; a link that shows both kept some of an earlier look.
bool IsWhite(int red, int green, int blue) { return red > 220 && green > 220 && blue > 220; }
bool IsBlue(int red, int green, int blue) { return blue > 200 && red < 90 && green < 90; }

std::string LinkLook(const KestruneWindow& window, int link) {
    constexpr int kStrokePixels = 10;  // two characters of 8-point bold text have far more
    const ScreenPicture picture = window.LookAt(link);
    const bool white = picture.CountPixels(IsWhite) >= kStrokePixels;
    const bool blue = picture.CountPixels(IsBlue) >= kStrokePixels;
    return white && blue ? "white and blue" : white ? "white" : blue ? "blue" : "neither white nor blue";
}

void CheckOnlyTicked(const KestruneWindow& window, int ticked_row) {
    const int list = ID_RLV_QX_SelSoftWarelist;
    for (int row = 0; row < window.RowCount(list); ++row) {
        CONTEXT("row " + std::to_string(row));
        CHECK_EQ(window.IsTicked(list, row), row == ticked_row);
        CHECK_EQ(window.IsSelected(list, row), row == ticked_row);
    }
}

}  // namespace

TEST(missing_package_is_reported_once_and_the_software_page_stays_empty) {
    KestruneCopy copy("");
    KestruneWindow window(copy);
    window.Picture("missing_package");
    const std::string error =
        "数据库释放错误.\n数据库文件: " + copy.Folder() + "REZ.hdb3\n请使用[升级]更新数据库, 或重新安装 Kestrune.";
    AnswerMessage(window, error, IDOK);
    window.Settle();
    CHECK(window.MessageBoxes().empty());
    CHECK_EQ(window.ShownPage(), "software");
    CHECK_EQ(window.RowCount(ID_RLV_QX_SelSoftWarelist), 0);
    CheckClosesAndRemovesWorkingFolder(window);
}

TEST(the_frame_is_fixed_and_centred_and_a_banner_link_lights_up_under_the_mouse) {
    KestruneCopy copy(ShippedPackage());
    KestruneWindow window(copy);
    HWND frame = window.Window();
    char caption[64] = {};
    GetWindowTextA(frame, caption, sizeof caption);
    CHECK_EQ(std::string(caption), "Kestrune");
    RECT client = {}, outer = {};
    GetClientRect(frame, &client);
    GetWindowRect(frame, &outer);
    CHECK_EQ(client.right - client.left, 807);
    CHECK_EQ(client.bottom - client.top, 529);
    CHECK(std::abs(outer.left - (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2) <= 1);
    CHECK(std::abs(outer.top - (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2) <= 1);
    const LONG style = GetWindowLongA(frame, GWL_STYLE);
    CHECK((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU) && (style & WS_MINIMIZEBOX));
    CHECK(!(style & WS_MAXIMIZEBOX) && !(style & WS_THICKFRAME));

    // From one link to the next: the one left turns white again. 0: the mouse over the list.
    const int links[] = {ID_RL_QX_Top_Update, ID_RL_QX_Top_Help, ID_RL_QX_Top_About};
    const int hovered_in_turn[] = {0, ID_RL_QX_Top_Update, ID_RL_QX_Top_Help, ID_RL_QX_Top_About};
    auto looks_hovered = [&](int hovered) {
        for (int link : links)
            if (LinkLook(window, link) != (link == hovered ? "blue" : "white")) return false;
        return true;
    };
    for (int hovered : hovered_in_turn) {
        CONTEXT("mouse over " + (hovered ? window.Text(hovered) : std::string("the software list")));
        window.PointAt(hovered ? hovered : static_cast<int>(ID_RLV_QX_SelSoftWarelist));
        PollUntil([&] { return looks_hovered(hovered); }, kReactionTimeout);
        for (int link : links) {
            CONTEXT("link " + window.Text(link));
            const std::string expected_look = link == hovered ? "blue" : "white";
            CHECK_EQ(LinkLook(window, link), expected_look);
        }
    }
    window.PointAt(ID_RLV_QX_SelSoftWarelist);  // the next window opens under the mouse
    CheckClosesAndRemovesWorkingFolder(window);
}

// The side panel of the software page, from its welcome line to its last tip, gaps included.
ScreenPicture SoftwareSidePanel(const KestruneWindow& window) {
    const RECT top = window.ScreenRect(ID_RL_QX_MTip_WelcomeUse);
    const RECT bottom = window.ScreenRect(ID_RL_QX_MTip_SubmitSoftware);
    RECT panel = {};
    UnionRect(&panel, &top, &bottom);
    return window.SettledLook(panel);
}

TEST(the_software_page_looks_the_same_after_every_page_it_leads_to) {
    KestruneCopy copy(ShippedPackage());
    KestruneWindow window(copy);
    window.SetTicked(ID_RLV_QX_SelSoftWarelist, 0, true);
    const ScreenPicture fresh = SoftwareSidePanel(window);
    const struct {
        const char* page;
        int go;
        int back;
    } visits[] = {
        {"install-path", ID_RBN_QX_SelSoftware_Next, ID_RBN_QX_SelSoftwareInstalledPath_Previous},
        {"update", ID_RBN_QX_SelSoftware_Update, ID_RBN_QX_Update_Back},
        {"submit", ID_RBN_QX_SelSoftware_Submit, ID_RBN_QX_Other_Back},
    };
    for (const auto& visit : visits) {
        CONTEXT(std::string("back from the ") + visit.page + " page");
        CHECK(window.Click(visit.go) == nullptr);
        CHECK_EQ(window.ShownPage(), visit.page);
        CHECK(window.Click(visit.back) == nullptr);
        CHECK_EQ(window.ShownPage(), "software");
        CHECK(SoftwareSidePanel(window) == fresh);
    }
    CheckClosesAndRemovesWorkingFolder(window);
}

TEST(next_needs_a_ticked_program_and_a_new_tick_replaces_the_old_one) {
    KestruneCopy copy(ShippedPackage());
    KestruneWindow window(copy);
    CHECK(window.MessageBoxes().empty());
    const int list = ID_RLV_QX_SelSoftWarelist;
    CHECK(window.RowCount(list) >= 3);
    for (int row = 0; row < window.RowCount(list); ++row) CHECK_EQ(window.Cell(list, row, 0), std::to_string(row));
    CheckOnlyTicked(window, -1);

    HWND refusal = window.Click(ID_RBN_QX_SelSoftware_Next);
    CHECK(refusal != nullptr);
    if (refusal) {
        window.Picture("nothing_ticked");
        CHECK_EQ(window.MessageText(refusal), "您没有选择需要卸载的软件.");
        window.Answer(refusal, IDOK);
    }
    CHECK_EQ(window.ShownPage(), "software");

    window.SetTicked(list, 0, true);
    CheckOnlyTicked(window, 0);
    window.SetTicked(list, 2, true);
    CheckOnlyTicked(window, 2);

    // Unticking leaves nothing ticked, and "下一步" says so again.
    window.SetTicked(list, 2, false);
    CHECK(!window.IsTicked(list, 2));
    AnswerMessage(window, window.Click(ID_RBN_QX_SelSoftware_Next), "您没有选择需要卸载的软件.", IDOK);

    window.SetTicked(list, 1, true);
    CheckOnlyTicked(window, 1);
    CHECK(window.Click(ID_RBN_QX_SelSoftware_Next) == nullptr);
    CHECK_EQ(window.ShownPage(), "install-path");
    CHECK(window.Click(ID_RBN_QX_SelSoftwareInstalledPath_Previous) == nullptr);
    CHECK_EQ(window.ShownPage(), "software");
    CheckOnlyTicked(window, 1);
    CheckClosesAndRemovesWorkingFolder(window);
}

// The bar buttons are owner-drawn and the links notify: both report the second click of a double
// click as a double click of its own, after the click. It must not act as another click.
TEST(a_double_click_notification_is_no_second_click) {
    KestruneCopy copy(ShippedPackage());
    KestruneWindow window(copy);
    window.SetTicked(ID_RLV_QX_SelSoftWarelist, 0, true);
    const struct {
        const char* control_name;
        int control;
        WORD code;
    } cases[] = {
        {"下一步", ID_RBN_QX_SelSoftware_Next, BN_DOUBLECLICKED},
        {"提交软件", ID_RBN_QX_SelSoftware_Submit, BN_DOUBLECLICKED},
        {"更新特征库", ID_RBN_QX_SelSoftware_Update, BN_DOUBLECLICKED},
        {"关于", ID_RL_QX_Top_About, STN_DBLCLK},
        {"升级", ID_RL_QX_Top_Update, STN_DBLCLK},
    };
    for (const auto& c : cases) {
        CONTEXT(c.control_name);
        CHECK(window.Notify(c.control, c.code) == nullptr);
        CHECK_EQ(window.ShownPage(), "software");
    }
    CheckClosesAndRemovesWorkingFolder(window);
}

// The catalogue shown first (常规软件) holds a record that decodes to blanks between two programs;
// the second has a core file.
std::string CatalogueWithABlankRecord(const std::string& second_core_file) {
    const std::pair<const char*, StringList> files[] = {
        {"SID_NM_LI.hdb", {"KA1|甲程序|Photo Tools|1|5.1|6.1|32位", "   ", "KB2|乙程序|Photo Tools|1|5.1|6.1|32位"}},
        {"SID_NM_CF.hdb", {"KB2|" + second_core_file}},
        {"SID_NM_MAPPED.hdb", {"KA1|SID_NM_CF.hdb", "KB2|SID_NM_CF.hdb"}},
    };
    std::string package;
    for (const auto& file : files)
        AppendStoredFile(package, file.first, CompressHdb(EncipheredText(file.second, file.first)));
    return package;
}

TEST(a_blank_catalogue_record_makes_no_row_and_moves_no_row_onto_another_program) {
    ScratchFolder scratch("C:\\", "kestrune-window-rows");
    scratch.MakeFiles({"second.dll"});
    WriteFile(scratch / "rows.hdb3", CatalogueWithABlankRecord(scratch / "second.dll"));
    KestruneCopy copy(scratch / "rows.hdb3");
    KestruneWindow window(copy);
    const int list = ID_RLV_QX_SelSoftWarelist;
    CHECK_EQ(window.RowCount(list), 2);
    CHECK_EQ(window.Cell(list, 1, 1), "乙程序");

    window.SetTicked(list, 1, true);
    CHECK(window.Click(ID_RBN_QX_SelSoftware_Next) == nullptr);
    CHECK(window.Click(ID_RBN_QX_SelSoftwareInstalledPath_Analyzed) == nullptr);
    AnswerMessage(window, window.WaitForMessageBox(kWorkerTimeout),
                  "安装信息分析完毕,您可以选择[查看详细报告]或[下一步]来进行清理操作", IDOK);
    CHECK_EQ(window.Lines(ID_RLB_QX_SelSoftwareAnalyed_FindedInfo),
             std::vector<std::string>{"找到核心文件: " + scratch / "second.dll"});
    OpenReportOnceAnalysisEnded(window);
    CheckClosesAndRemovesWorkingFolder(window);
}

TEST(closing_is_refused_while_the_analysis_runs_and_back_after_finding_nothing_asks_nothing) {
    KestruneCopy copy(ShippedPackage());
    KestruneWindow window(copy);
    CHECK(FolderExists(WorkingFolder()));
    window.SetTicked(ID_RLV_QX_SelSoftWarelist, 0, true);
    CHECK(window.Click(ID_RBN_QX_SelSoftware_Next) == nullptr);
    CHECK_EQ(window.ShownPage(), "install-path");
    CHECK(window.Click(ID_RBN_QX_SelSoftwareInstalledPath_Analyzed) == nullptr);
    CHECK_EQ(window.ShownPage(), "analysis");

    // The worker waits until its closing message is answered: the window must not go meanwhile.
    HWND closing = window.WaitForMessageBox(kWorkerTimeout);
    CHECK_EQ(window.MessageText(closing), "尚未分析出该软件的有关安装信息.");
    HWND refusal = window.RequestClose();
    CHECK(refusal != nullptr);
    if (refusal) {
        window.Picture("close_refused");
        CHECK(!window.MessageText(refusal).empty());
        window.Answer(refusal, IDOK);
    }
    window.Settle();
    CHECK(window.IsRunning());
    CHECK(IsWindowVisible(window.Window()));
    CHECK(FolderExists(WorkingFolder()));
    window.Answer(closing, IDOK);

    OpenReportOnceAnalysisEnded(window);
    CHECK(window.Lines(ID_RLB_QX_SelSoftwareAnalyed_FindedInfo).empty());
    CHECK_EQ(window.SelectedTab(ID_RPC_QX_SelSoftwareUninstall_Report), "相关目录");
    CHECK(window.Click(ID_RBN_QX_SelSoftwareUninstall_Back) == nullptr);
    CHECK_EQ(window.ShownPage(), "software");
    CheckClosesAndRemovesWorkingFolder(window);
}

TEST(banner_links_and_buttons_open_the_information_and_update_pages_and_back_returns) {
    KestruneCopy copy(ShippedPackage());
    KestruneWindow window(copy);

    // What a step shows: a page, and on it a selected tab or a control's caption.
    struct Step {
        const char* action;
        int control;
        bool is_link;
        const char* page;
        int detail_control;  // 0: none
        const char* detail;  // the selected tab of a tab control, else the control's text
        const char* picture;
    };
    const Step steps[] = {
        {"关于", ID_RL_QX_Top_About, true, "about", ID_RPC_QX_Other, "基本信息", "about"},
        {"帮助 after 关于", ID_RL_QX_Top_Help, true, "about", ID_RPC_QX_Other, "帮助FAQ", "help"},
        {"关于 after 帮助", ID_RL_QX_Top_About, true, "about", ID_RPC_QX_Other, "基本信息", nullptr},
        {"返回 from About", ID_RBN_QX_Other_Back, false, "software", 0, nullptr, nullptr},
        {"提交软件", ID_RBN_QX_SelSoftware_Submit, false, "submit", 0, nullptr, "submit"},
        {"返回 from Submit", ID_RBN_QX_Other_Back, false, "software", 0, nullptr, nullptr},
        {"帮助 from the software page", ID_RL_QX_Top_Help, true, "about", ID_RPC_QX_Other, "帮助FAQ", nullptr},
        {"返回 from Help", ID_RBN_QX_Other_Back, false, "software", 0, nullptr, nullptr},
        {"升级", ID_RL_QX_Top_Update, true, "update", ID_RBN_QX_Update_CheckUpdate, "升级(&U)", "update_from_link"},
        {"返回 from Update", ID_RBN_QX_Update_Back, false, "software", 0, nullptr, nullptr},
        {"更新特征库", ID_RBN_QX_SelSoftware_Update, false, "update", ID_RBN_QX_Update_CheckUpdate, "更新(&U)",
         "update_from_button"},
        {"返回 from Update again", ID_RBN_QX_Update_Back, false, "software", 0, nullptr, "software_after_back"},
    };
    for (const Step& step : steps) {
        CONTEXT(step.action);
        HWND box = step.is_link ? window.ClickLink(step.control) : window.Click(step.control);
        CHECK(box == nullptr);
        CHECK_EQ(window.ShownPage(), step.page);
        if (step.detail_control == ID_RPC_QX_Other)
            CHECK_EQ(window.SelectedTab(step.detail_control), step.detail);
        else if (step.detail_control)
            CHECK_EQ(window.Text(step.detail_control), step.detail);
        if (step.picture) window.Picture(step.picture);
    }

    // The About page's own lists, and its tab "贡献者" that only the inner tab control shows.
    CHECK(window.ClickLink(ID_RL_QX_Top_About) == nullptr);
    CHECK_EQ(window.TabCount(ID_RPC_QX_Other), 2);
    CHECK_EQ(window.TabCaption(ID_RPC_QX_Other, 0), "基本信息");
    CHECK_EQ(window.TabCaption(ID_RPC_QX_Other, 1), "帮助FAQ");
    CHECK_EQ(window.RowCount(ID_RLV_QX_Contributor), 13);
    CHECK_EQ(window.RowCount(ID_RLV_QX_WebSiteContributor), 8);
    const std::string first_contributor_tab = window.SelectedTab(ID_RPC_QX_Other_Contributor);
    CHECK(first_contributor_tab == "贡献者" || first_contributor_tab == "贡献网站");
    for (const char* tab : {"贡献者", "贡献网站"}) {
        CONTEXT(tab);
        CHECK(window.ClickTab(ID_RPC_QX_Other_Contributor, tab) == nullptr);
        CHECK_EQ(window.SelectedTab(ID_RPC_QX_Other_Contributor), tab);
        const int shown_list = std::string(tab) == "贡献者" ? ID_RLV_QX_Contributor : ID_RLV_QX_WebSiteContributor;
        const int hidden_list =
            shown_list == ID_RLV_QX_Contributor ? ID_RLV_QX_WebSiteContributor : ID_RLV_QX_Contributor;
        CHECK(window.IsShown(shown_list));
        CHECK(!window.IsShown(hidden_list));
        window.Picture(std::string("about_") + (shown_list == ID_RLV_QX_Contributor ? "contributors" : "web_sites"));
    }
    CHECK(window.Click(ID_RBN_QX_Other_Back) == nullptr);
    CheckClosesAndRemovesWorkingFolder(window);
}
