#include "kestrune_window.h"

#include <algorithm>
#include <vector>

#include "check.h"
#include "control_ids.h"
#include "waiting.h"

namespace {

// Each page pair, by a control that only its middle page has and one of its button page.
struct PagePair {
    const char* name;
    int middle_control;
    int button_control;
};

const PagePair kPagePairs[] = {
    {"software", ID_RLV_QX_SelSoftWarelist, ID_RBN_QX_SelSoftware_Next},
    {"install-path", ID_RLV_QX_SelSoftWareInstalledPathlist, ID_RBN_QX_SelSoftwareInstalledPath_Analyzed},
    {"analysis", ID_RLB_QX_SelSoftwareAnalyed_FindedInfo, ID_RBN_QX_SelSoftwareAnalyzed_Next},
    {"report", ID_RPC_QX_SelSoftwareUninstall_Report, ID_RBN_QX_SelSoftwareUninstall_Clean},
    {"clean", ID_RLB_QX_SelSoftwareUninstallC_CleanInfo, ID_RBN_QX_SelSoftwareUninstallC_Back},
    {"about", ID_RPC_QX_Other, ID_RBN_QX_Other_Back},
    {"submit", ID_RzMemo3, ID_RBN_QX_Other_Back},
    {"update", ID_RMO_QX_Update_Info, ID_RBN_QX_Update_CheckUpdate},
};

constexpr char kScreenshotsVariable[] = "KESTRUNE_SCREENSHOTS";

std::string ProgramBaseName() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    name = name.substr(name.find_last_of('\\') + 1);
    return name.substr(0, name.rfind('.'));
}

}  // namespace

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string full = path;
    return full.substr(0, full.find_last_of('\\'));
}

std::string WorkingFolder() {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = temp;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder + "\\SID_UP";
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Environment(const char* name) {
    char value[4096] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length < sizeof value ? std::string(value, length) : std::string();
}

KestruneCopy::KestruneCopy(const std::string& package, const std::string& program_path)
    : folder_("C:\\", "kestrune-window") {
    const std::string program = program_path.empty() ? ProgramFolder() + "\\Kestrune.exe" : program_path;
    CHECK(CopyFileA(program.c_str(), ExePath().c_str(), FALSE));
    if (!package.empty()) CHECK(CopyFileA(package.c_str(), (folder_ / "REZ.hdb3").c_str(), FALSE));
}

KestruneWindow::KestruneWindow(const KestruneCopy& copy, const std::string& arguments)
    : WindowDriver(copy.ExePath(), "TForm_Tarnwick_CN", "Kestrune", arguments) {}

KestruneWindow::KestruneWindow(DWORD previous_process_id)
    : WindowDriver("TForm_Tarnwick_CN", "Kestrune", previous_process_id) {}

std::string KestruneWindow::ShownPage() const {
    std::vector<const PagePair*> middles;
    std::vector<int> button_controls;  // About and Submit share one button page
    for (const PagePair& pair : kPagePairs) {
        if (IsShown(pair.middle_control)) middles.push_back(&pair);
        if (IsShown(pair.button_control) &&
            std::find(button_controls.begin(), button_controls.end(), pair.button_control) == button_controls.end())
            button_controls.push_back(pair.button_control);
    }
    if (middles.size() == 1 && button_controls.size() == 1 && middles[0]->button_control == button_controls[0])
        return middles[0]->name;
    std::string description = "middle pages {";
    for (const PagePair* pair : middles) description += std::string(" ") + pair->name;
    description += " } with the buttons of {";
    for (const PagePair& pair : kPagePairs)
        if (std::find(button_controls.begin(), button_controls.end(), pair.button_control) != button_controls.end())
            description += std::string(" ") + pair.name;
    return description + " }";
}

void KestruneWindow::Picture(const std::string& name) const {
    static int number = 0;
    const std::string folder = Environment(kScreenshotsVariable);
    if (folder.empty()) return;
    char counter[8];
    snprintf(counter, sizeof counter, "%02d", ++number);
    Capture(folder + "\\" + ProgramBaseName() + "-" + counter + "-" + name + ".bmp");
}

void AnswerMessage(const KestruneWindow& window, HWND box, const std::string& expected_text, int button_id) {
    CHECK(box != nullptr);
    if (!box) return;
    CHECK_EQ(window.MessageText(box), expected_text);
    window.Answer(box, button_id);
}

void AnswerMessage(const KestruneWindow& window, const std::string& expected_text, int button_id) {
    AnswerMessage(window, window.WaitForMessageBox(), expected_text, button_id);
}

void KestruneWindow::PictureOfDropDown(int combo_id, const std::string& name) {
    if (Environment(kScreenshotsVariable).empty()) return;
    const int chosen = ComboSelection(combo_id);
    ShowDropDown(combo_id, true);
    Picture(name);
    ShowDropDown(combo_id, false);
    // A list closed while an entry under the mouse is lit may keep that entry: a picture must
    // change nothing, so the shown choice is put back (the window was told of no change).
    if (ComboSelection(combo_id) != chosen)
        SendMessageA(Control(combo_id), CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
}

void OpenReportOnceAnalysisEnded(KestruneWindow& window) {
    PollUntil(
        [&] {
            CHECK(window.Click(ID_RBN_QX_SelSoftwareAnalyzed_Next) == nullptr);
            return window.ShownPage() == "report";
        },
        kReactionTimeout);
    CHECK_EQ(window.ShownPage(), "report");
}

void CheckClosesAndRemovesWorkingFolder(KestruneWindow& window) {
    CHECK(window.RequestClose() == nullptr);
    CHECK(window.WaitForExit(kReactionTimeout));
    CHECK(!FolderExists(WorkingFolder()));
}
