#include "window_update_host.h"

#include <shellapi.h>
#include <urlmon.h>

#include "update_dialogs.h"
#include "win32/ansi_text.h"

namespace update {

namespace {

const char kCaption[] = "Kestrune";

using ShowHtmlDialogFunction = HRESULT(WINAPI*)(HWND, IMoniker*, VARIANT*, WCHAR*, VARIANT*);

}  // namespace

void WindowUpdateHost::ShowMessage(const std::string& text) {
    MessageBoxA(owner_, text.c_str(), kCaption, MB_OK | MB_ICONINFORMATION);
}

bool WindowUpdateHost::Ask(const std::string& question) {
    return MessageBoxA(owner_, question.c_str(), kCaption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// MSHTML's HTML dialog, looked up at run time: without it the page is not shown.
void WindowUpdateHost::ShowHtmlDialog(const std::string& url) {
    HMODULE mshtml = LoadLibraryA("mshtml.dll");
    if (!mshtml) return;
    auto show = reinterpret_cast<ShowHtmlDialogFunction>(
        reinterpret_cast<void*>(GetProcAddress(mshtml, "ShowHTMLDialog")));
    IMoniker* moniker = nullptr;
    if (show && SUCCEEDED(CreateURLMoniker(nullptr, WideFromAnsi(url).c_str(), &moniker))) {
        show(owner_, moniker, nullptr, nullptr, nullptr);
        moniker->Release();
    }
    FreeLibrary(mshtml);
}

// Started, not waited for: through the shell where the system has Vista's kernel, else WinExec.
void WindowUpdateHost::StartCommand(const std::string& command) {
    if (GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetLocaleInfoEx"))
        ShellExecuteA(nullptr, "open", command.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    else
        WinExec(command.c_str(), SW_SHOWNORMAL);
}

void WindowUpdateHost::OpenUrl(const std::string& url) {
    const std::string parameters = "-new " + url;
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", "iexplore.exe", parameters.c_str(), nullptr, SW_SHOWDEFAULT));
    if (result <= 32) ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
}

bool WindowUpdateHost::ShowWhatsNew(const WhatsNewText& text) { return ShowWhatsNewDialog(owner_, text); }

bool WindowUpdateHost::ShowLicence(const LicenceText& text) { return ShowLicenceDialog(owner_, text); }

void WindowUpdateHost::PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The program is ending: leave the quit for the main loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace update
