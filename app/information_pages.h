// The information pages: About (basic information, contributors and web sites, help), and
// Submit.
#pragma once

#include <set>

#include "panels.h"
#include "wizard_page.h"

class InformationPages : public WizardPage {
public:
    using WizardPage::WizardPage;
    void Create(HWND middle_host, HWND button_host) override;
    bool OnClick(int id) override;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    bool LabelColour(int id, COLORREF& colour) override;

    // Start-up: the contributor and web-site lists, and which of their tabs shows first.
    void FillLists();
    void SelectContributorTabBySeconds(int seconds);

    void ShowAbout();   // "关于": the About page on "基本信息"
    void ShowHelp();    // "帮助": the About page on "帮助FAQ"
    void ShowSubmit();  // "提交软件"

private:
    void ShowOtherTab(int index);
    void ShowContributorTab(int index);
    void RLV_QX_WebSiteContributorDblClick();
    void OpenLink(int id);
    void CreateSubmitPage();
    void CreateAboutPage();
    void CreateMyInfoTab(HWND tab);
    void CreateContributorTabs(HWND parent, int x, int y);
    void CreateHelpTab(HWND tab);

    PageStack JPL_QX_Other;
    HWND JSP_QX_Other_About = nullptr;
    HWND JSP_QX_Other_Submit = nullptr;
    HWND RPC_QX_Other = nullptr;
    HWND RPC_QX_Other_Contributor = nullptr;
    HWND other_tab_pages_[2] = {};        // 基本信息, 帮助FAQ
    HWND contributor_tab_pages_[2] = {};  // 贡献者, 贡献网站
    HWND RLV_QX_Contributor = nullptr;
    HWND RLV_QX_WebSiteContributor = nullptr;
    std::set<int> visited_links_;  // links opened once show the visited colour
};
