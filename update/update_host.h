// What an update run needs from the front end that started it. The window shows message boxes
// and dialogs and lets its messages run during transfers; the console prints, answers questions
// from its options and skips what only a desktop can show.
#pragma once

#include <windows.h>

#include <string>

namespace update {

// The texts of the what's-new and licence dialogs, read from the control file.
struct WhatsNewText {
    std::string caption, ok_button, cancel_button, text;
};
struct LicenceText {
    std::string caption, ok_button, accept_option, decline_option, text;
};

// Plain text or rich text: rich when the first five characters, upper-cased, are "{\RTF".
bool IsRichText(const std::string& text);

class UpdateHost {
public:
    virtual ~UpdateHost() = default;
    virtual void ShowMessage(const std::string& text) = 0;          // information, OK
    virtual bool Ask(const std::string& question) = 0;              // Yes/No; true only for Yes
    virtual void ShowHtmlDialog(const std::string& url) = 0;
    virtual void StartCommand(const std::string& command) = 0;      // not waited for
    virtual void OpenUrl(const std::string& url) = 0;               // in a new browser window
    virtual bool ShowWhatsNew(const WhatsNewText& text) = 0;        // true: OK
    virtual bool ShowLicence(const LicenceText& text) = 0;          // true: accepted
    virtual void PumpMessages() = 0;                                // during transfers
    virtual bool ShowsErrorBoxes() const = 0;                       // system errors in a box
    virtual HWND OwnerWindow() const = 0;                           // of the boxes shown
};

}  // namespace update
