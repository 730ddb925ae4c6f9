// The window's side of an update run: message boxes with the caption "Kestrune", the shell for
// commands and pages, the client's dialogs, and the window's messages kept flowing.
#pragma once

#include "update_host.h"

namespace update {

class WindowUpdateHost : public UpdateHost {
public:
    explicit WindowUpdateHost(HWND owner) : owner_(owner) {}
    void ShowMessage(const std::string& text) override;
    bool Ask(const std::string& question) override;
    void ShowHtmlDialog(const std::string& url) override;
    void StartCommand(const std::string& command) override;
    void OpenUrl(const std::string& url) override;
    bool ShowWhatsNew(const WhatsNewText& text) override;
    bool ShowLicence(const LicenceText& text) override;
    void PumpMessages() override;
    bool ShowsErrorBoxes() const override { return true; }
    HWND OwnerWindow() const override { return owner_; }

private:
    HWND owner_;
};

}  // namespace update
