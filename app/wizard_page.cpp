#include "wizard_page.h"

#include "main_window.h"
#include "panels.h"

void WizardPage::CreatePanels(HWND middle_host, HWND button_host) {
    page_ = CreatePanel(middle_host, 0, 0, 803, 414);
    buttons_ = CreatePanel(button_host, 0, 0, 807, 31);
    ShowWindow(page_, SW_HIDE);
    ShowWindow(buttons_, SW_HIDE);
    form_.AddPagePair(page_, buttons_);
}

void WizardPage::ShowPair() { form_.ShowPagePair(page_, buttons_); }
