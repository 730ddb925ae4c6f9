// A page pair of the wizard: a middle page and its button page, with the handlers of their
// controls. The main window creates each page once and routes every control's messages to them.
#pragma once

#include <windows.h>

class TForm_Tarnwick_CN;

class WizardPage {
public:
    explicit WizardPage(TForm_Tarnwick_CN& form) : form_(form) {}
    virtual ~WizardPage() = default;
    WizardPage(const WizardPage&) = delete;
    WizardPage& operator=(const WizardPage&) = delete;

    // Creates the middle page (803 × 414) in middle_host and the button page (807 × 31) in
    // button_host, both hidden until shown as a pair.
    virtual void Create(HWND middle_host, HWND button_host) = 0;
    // A click on a button, link or menu item of this page; true when this page handled it.
    virtual bool OnClick(int id) = 0;
    // Any other notification of a control (a drop-down's new choice ...); true when handled.
    virtual bool OnCommand(int, int) { return false; }
    // A control's WM_NOTIFY; true when this page handled it (result then holds the answer).
    virtual bool OnNotify(const NMHDR&, LRESULT&) { return false; }
    // Text colour of a label of this page; false for the default black on white.
    virtual bool LabelColour(int, COLORREF&) { return false; }

    HWND Page() const { return page_; }
    HWND Buttons() const { return buttons_; }
    void ShowPair();

protected:
    // The two panels of the pair, hidden.
    void CreatePanels(HWND middle_host, HWND button_host);

    TForm_Tarnwick_CN& form_;
    HWND page_ = nullptr;
    HWND buttons_ = nullptr;
};
