#include "console_update.h"

#include <windows.h>
#include <shellapi.h>

#include "online_update.h"
#include "update_public_key.h"

namespace {

constexpr int kDone = 0, kUpdateFailed = 4;

class ConsoleUpdateHost : public update::UpdateHost {
public:
    ConsoleUpdateHost(bool answer_yes, const std::function<void(const std::string&)>& print)
        : answer_yes_(answer_yes), print_(print) {}

    void ShowMessage(const std::string& text) override { print_("message: " + text); }
    bool Ask(const std::string& question) override {
        print_("question: " + question + (answer_yes_ ? " -> yes (--yes)" : " -> no (answer with --yes)"));
        return answer_yes_;
    }
    void ShowHtmlDialog(const std::string& url) override { print_("skipped: HTML page " + url + " (window only)"); }
    void StartCommand(const std::string& command) override {
        print_("start: " + command);
        ShellExecuteA(nullptr, "open", command.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
    void OpenUrl(const std::string& url) override { print_("skipped: browser page " + url + " (window only)"); }
    bool ShowWhatsNew(const update::WhatsNewText&) override {
        print_("skipped: what's-new text (window only)");
        return true;
    }
    bool ShowLicence(const update::LicenceText& text) override {
        print_("licence: " + text.caption + (answer_yes_ ? " -> accepted (--yes)" : " -> not accepted (answer with --yes)"));
        return answer_yes_;
    }
    void PumpMessages() override {}
    bool ShowsErrorBoxes() const override { return false; }
    HWND OwnerWindow() const override { return nullptr; }

private:
    bool answer_yes_;
    std::function<void(const std::string&)> print_;
};

}  // namespace

int RunConsoleUpdate(const ConsoleUpdateOptions& options, const std::function<void(const std::string&)>& print) {
    ConsoleUpdateHost host(options.answer_yes, print);
    update::TOnlineUpdate client(host);
    if (!options.url.empty()) client.URL = options.url;
    client.PublicKey.assign(update::kUpdatePublicKey, update::kUpdatePublicKey + update::kUpdatePublicKeySize);
    // The running program cannot be replaced from here: its components are only listed.
    client.ReplaceComponents = false;
    client.OnStatus = [&](const std::string& text, int, int) { print(text); };
    client.OnRunStopped = [&](const std::string& reason) { print("stopped: " + reason); };
    client.OnFileDownloaded = [&](const std::string& path) { print("downloaded: " + path); };
    client.OnDatabasePlaced = [&](const std::string& path) { print("database replaced: " + path); };

    const update::UpdateOutcome outcome = client.Execute();
    for (const std::string& name : outcome.components_left)
        print("program component left to the window: " + name + " (start Kestrune.exe and choose 升级 to replace the program)");
    for (const update::FailedFile& file : outcome.failed) print("failed: " + file.name + ": " + file.reason);
    for (const std::string& path : outcome.placed) print("placed: " + path);
    if (!outcome.stopped.empty() && !outcome.control_file_trusted) return kUpdateFailed;
    if (!outcome.control_file_trusted) {
        print("failed: no control file");
        return kUpdateFailed;
    }
    if (outcome.declined) {
        print("declined: nothing was downloaded (answer with --yes)");
        return kDone;
    }
    if (outcome.selected.empty()) {
        print("no update");
        return kDone;
    }
    return outcome.failed.empty() ? kDone : kUpdateFailed;
}
