// What the control file has the client do before any file is fetched: its message, HTML page,
// command, browser page and question, then the what's-new and licence texts.
#include <fstream>
#include <iterator>

#include "cp936_text.h"
#include "online_update.h"

namespace update {

namespace {

// A what's-new or licence text is shown, never kept: one megabyte is far more than either needs.
constexpr std::streamsize kLongestShownText = 1 << 20;

std::string ReadShownText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string text(static_cast<size_t>(kLongestShownText), '\0');
    file.read(&text[0], kLongestShownText);
    text.resize(static_cast<size_t>(file.gcount()));
    return text;
}

}  // namespace

bool IsRichText(const std::string& text) {
    return UpperAscii(text.substr(0, 5)) == "{\\RTF";
}

int TOnlineUpdate::ProcessActions() {
    const std::string message = MessageText(control_.String("action", "msg"));
    if (!message.empty()) {
        Status(934, "", 3);
        host_.ShowMessage(message);
    }
    const std::string html_dialog = Expand(control_.String("action", "htmldlg"));
    if (!html_dialog.empty()) {
        Status(935, "", 7);
        host_.ShowHtmlDialog(html_dialog);
    }
    const std::string run_before = Expand(control_.String("action", "runbefore"));
    if (!run_before.empty()) host_.StartCommand(run_before);
    const std::string show_url = Expand(control_.String("action", "showURL"));
    if (!show_url.empty()) {
        Status(942, "", 3);
        host_.OpenUrl(show_url);
    }
    const std::string query = MessageText(control_.String("action", "query"));
    if (!query.empty()) {
        Status(936, "", 3);
        if (!host_.Ask(query)) {
            app_update_ = false;
            outcome_.declined = true;
            return -1;
        }
    }
    return cancelled_ ? -1 : 0;
}

// The text at url, fetched into the temporary folder, read and the copy deleted; empty when
// the download failed.
std::string TOnlineUpdate::FetchText(const std::string& url) {
    const Transfer transfer = Download(url, "", -1);
    if (!transfer.placed) return "";
    const std::string text = ReadShownText(transfer.local_path);
    DeleteFileA(transfer.local_path.c_str());
    return text;
}

bool TOnlineUpdate::WhatsNewAndLicence() {
    bool accepted = true;
    const std::string whats_new_url = control_.String("whatsnew", "file");
    if (!whats_new_url.empty()) {
        std::string url = whats_new_url;
        if (OnBeforeFileDownload) OnBeforeFileDownload(0, whats_new_url, url);
        Status(937, "", 12);
        WhatsNewText whats_new{control_.String("whatsnew", "caption", "What's new"),
                               control_.String("whatsnew", "okbtn", "Ok"),
                               control_.String("whatsnew", "cancelbtn", "Cancel"), FetchText(url)};
        if (!whats_new.text.empty() && !host_.ShowWhatsNew(whats_new)) {
            Status(938, "", 14);
            accepted = false;
        }
    }
    const std::string licence_url = control_.String("eula", "file");
    if (!licence_url.empty()) {
        Status(939, "", 13);
        // Fetched even after the what's-new text was declined; shown only when it was not.
        LicenceText licence{control_.String("eula", "caption"), control_.String("eula", "okbtn", "Ok"),
                            control_.String("eula", "accept", "I accept"),
                            control_.String("eula", "notaccept", "I do not accept"), FetchText(licence_url)};
        if (accepted && !licence.text.empty() && !host_.ShowLicence(licence)) accepted = false;
    }
    return accepted;
}

}  // namespace update
