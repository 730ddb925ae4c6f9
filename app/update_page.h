// The Update page: the way into an online update, its download log and progress. The page
// drives the update client MyUpdate and handles its events on the window's thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "online_update.h"
#include "window_update_host.h"
#include "wizard_page.h"

class UpdatePage : public WizardPage {
public:
    using WizardPage::WizardPage;
    ~UpdatePage() override;
    void Create(HWND middle_host, HWND button_host) override;
    bool OnClick(int id) override;

    // Entering from the banner link ("升级") or the software page's button ("更新").
    void RL_QX_Top_UpdateClick(int sender_id);
    // An update run is under way: the window must not close.
    bool UpdateRunning() const { return MyUpdate && MyUpdate->Busy(); }
    // Where the control file comes from (the maker's server unless the command line says otherwise).
    void SetUpdateUrl(const std::string& url);

private:
    void RBN_QX_Update_CheckUpdateClick();
    void RBN_QX_Update_BackClick();
    void MyUpdateBeforeFileDownload(int file_index, const std::string& file_description, std::string& url);
    void MyUpdateFileProgress(const std::string& file_name, int pos, int size);
    void MyUpdateFileDownloaded(const std::string& file_name);
    void MyUpdateGetFileList(std::vector<std::string>& list);
    void MyUpdateSuccess();
    void MyUpdateThreadUpdateDone();
    void MyUpdateRunStopped(const std::string& reason);
    void MyUpdateFilesFailed(const std::vector<update::FailedFile>& files);

    void ConnectEvents();
    void AddLogLine(const std::string& line);
    void ReplaceCaretLine(const std::string& text);
    void EnableButtons(bool enabled);

    HWND RBN_QX_Update_CheckUpdate = nullptr;
    HWND RBN_QX_Update_Back = nullptr;
    HWND RMO_QX_Update_Info = nullptr;
    HWND RPB_QX_Update_Step = nullptr;
    std::unique_ptr<update::WindowUpdateHost> host_;
    std::unique_ptr<update::TOnlineUpdate> MyUpdate;
    bool database_placed_ = false;
};
