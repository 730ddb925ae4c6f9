// The software page as a user works it, over a catalogue with double-byte names and keys: the
// installed mark read from the machine's uninstall registrations in both registry views and
// gone with them, the columns sorted by a header click and reversed by a second with each tick
// staying with its program, the search narrowing the rows together with the filters and never
// matching half a character, a program chosen by its selection with "下一步" or Enter and
// ticked by a double click, and a clean-up that removed everything leaving it unmarked and
// unticked.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "check.h"
#include "control_ids.h"
#include "fixtures.h"
#include "kestrune_window.h"
#include "package_writer.h"
#include "uninstall_registration.h"
#include "waiting.h"

namespace {

using Names = std::vector<std::string>;

constexpr int kList = ID_RLV_QX_SelSoftWarelist;
constexpr int kSearch = ID_RE_QX_SelSoftwareSearch;
constexpr int kStatusColumn = 4;
constexpr char kInstalled[] = "已安装";
constexpr char kNothingChosen[] = "您没有选择需要卸载的软件.";
const std::string kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The catalogue, line by line. "丄" is 0x81 0x41: its trail byte is an "A", which a search for
// "A" or "AB" must not find.
constexpr char kAbPhoto[] = "AB Photo Lab";
constexpr char kZhuB[] = "丄B 影音";
constexpr char kCapture[] = "图片截取器";
constexpr char kBravo[] = "bravo 播放器";
constexpr char kQuiet[] = "Quiet 影像工坊";

// Each program's identification record names it as it registers when installed.
const std::pair<const char*, StringList> kCatalogueFiles[] = {
    {"SID_NM_LI.hdb",
     {"KW-AB|AB Photo Lab|Photo Tools|1.0|5.1|6.1|32位", "KW-MV|丄B 影音|Video Players|2.0|6.1|6.1|64位",
      "截图-KW|图片截取器|Photo Tools|3.0|10.0|10.0|32位", "KW-BF|bravo 播放器|Video Players|1.0|5.1|5.1|64位",
      "KW-QT|Quiet 影像工坊|Photo Tools|1.0|6.1|6.1|32位"}},
    {"SID_NM_IDN.hdb",
     {"KW-AB|AB Photo Lab 窗口测试", "截图-KW|图片截取器 窗口测试", "KW-BF|bravo 播放器 窗口测试"}},
    {"SID_NM_MAPPED.hdb", {"KW-AB|SID_NM_IDN.hdb", "截图-KW|SID_NM_IDN.hdb", "KW-BF|SID_NM_IDN.hdb"}},
};

template <size_t N>
std::string PackageOf(const std::pair<const char*, StringList> (&files)[N]) {
    std::string package;
    for (const auto& file : files)
        AppendStoredFile(package, file.first, CompressHdb(EncipheredText(file.second, file.first)));
    return package;
}

std::string CurrentProcessSuffix() { return "-" + std::to_string(GetCurrentProcessId()); }

// An uninstall registration in the 32-bit registry view (Wow6432Node on 64-bit Windows), where
// 32-bit installers write theirs; removed at scope exit.
class Wow32UninstallRegistration {
public:
    Wow32UninstallRegistration(const std::string& name, const std::string& display_name, const std::string& location)
        : path_(kUninstallKey + name + CurrentProcessSuffix()) {
        HKEY key = nullptr;
        CHECK_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                                 nullptr, &key, nullptr),
                 ERROR_SUCCESS);
        if (!key) return;
        const std::pair<const char*, std::string> values[] = {{"DisplayName", display_name},
                                                               {"InstallLocation", location}};
        for (const auto& value : values)
            CHECK_EQ(RegSetValueExA(key, value.first, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.second.c_str()),
                                    static_cast<DWORD>(value.second.size() + 1)),
                     ERROR_SUCCESS);
        RegCloseKey(key);
    }
    ~Wow32UninstallRegistration() { RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), KEY_WOW64_32KEY, 0); }
    Wow32UninstallRegistration(const Wow32UninstallRegistration&) = delete;
    Wow32UninstallRegistration& operator=(const Wow32UninstallRegistration&) = delete;

private:
    std::string path_;
};

// "AB Photo Lab" registered in the machine's own view and "图片截取器" in the 32-bit view, each
// with an install folder of its own; "bravo 播放器" has an identification record but no
// registration.
struct InstalledPrograms {
    ScratchFolder ab_folder{"C:\\", "kestrune-ab-photo"};
    ScratchFolder capture_folder{"C:\\", "kestrune-capture"};
    std::unique_ptr<UninstallRegistration> ab;
    std::unique_ptr<Wow32UninstallRegistration> capture;

    InstalledPrograms()
        : ab(new UninstallRegistration("KestruneWindowAB", "AB Photo Lab 窗口测试")),
          capture(new Wow32UninstallRegistration("KestruneWindowCapture", "图片截取器 窗口测试", capture_folder.Path())) {
        ab->Set("InstallLocation", ab_folder.Path());
    }
};

Names ShownNames(const KestruneWindow& window) { return window.ColumnTexts(kList, 1); }

Names InstalledNames(const KestruneWindow& window) {
    Names names;
    for (int row = 0; row < window.RowCount(kList); ++row)
        if (window.Cell(kList, row, kStatusColumn) == kInstalled) names.push_back(window.Cell(kList, row, 1));
    return names;
}

// The marks come from a read on a thread of the window's own: awaited, then checked.
void CheckInstalledOnceRead(const KestruneWindow& window, const Names& expected) {
    PollUntil([&] { return InstalledNames(window) == expected; }, kReactionTimeout);
    CHECK_EQ(InstalledNames(window), expected);
}

Names TickedNames(const KestruneWindow& window) {
    Names names;
    for (int row = 0; row < window.RowCount(kList); ++row)
        if (window.IsTicked(kList, row)) names.push_back(window.Cell(kList, row, 1));
    return names;
}

Names SelectedNames(const KestruneWindow& window) {
    Names names;
    for (int row = 0; row < window.RowCount(kList); ++row)
        if (window.IsSelected(kList, row)) names.push_back(window.Cell(kList, row, 1));
    return names;
}

int RowOf(const KestruneWindow& window, const std::string& name) {
    const Names names = ShownNames(window);
    for (size_t row = 0; row < names.size(); ++row)
        if (names[row] == name) return static_cast<int>(row);
    throw std::runtime_error("no row shows " + name);
}

// The one ticked program is also the one selected; none when name is empty.
void CheckOnlyTicked(const KestruneWindow& window, const std::string& name) {
    const Names expected = name.empty() ? Names{} : Names{name};
    CHECK_EQ(TickedNames(window), expected);
    CHECK_EQ(SelectedNames(window), expected);
}

void Search(KestruneWindow& window, const std::string& text) {
    window.ClearText(kSearch);
    window.TypeText(kSearch, text);
    CHECK_EQ(window.Text(kSearch), text);
}

// "下一步" from the software page proposes the chosen program's install folders; "上一步" returns.
void CheckNextProposes(KestruneWindow& window, HWND answer, const Names& folders) {
    CHECK(answer == nullptr);
    CHECK_EQ(window.ShownPage(), "install-path");
    CHECK_EQ(window.ColumnTexts(ID_RLV_QX_SelSoftWareInstalledPathlist, 1), folders);
    CHECK(window.Click(ID_RBN_QX_SelSoftwareInstalledPath_Previous) == nullptr);
    CHECK_EQ(window.ShownPage(), "software");
}

}  // namespace

TEST(installed_programs_are_marked_from_both_registry_views_and_the_mark_goes_with_the_registration) {
    ScratchFolder scratch("C:\\", "kestrune-software-page");
    WriteFile(scratch / "catalogue.hdb3", PackageOf(kCatalogueFiles));
    auto installed = std::make_unique<InstalledPrograms>();
    KestruneCopy copy(scratch / "catalogue.hdb3");
    KestruneWindow window(copy);
    CHECK(window.MessageBoxes().empty());

    // The first four columns keep their places; the mark stands in the fifth.
    CHECK_EQ(window.ColumnTexts(kList, 0), (Names{"0", "1", "2", "3", "4"}));
    CHECK_EQ(ShownNames(window), (Names{kAbPhoto, kZhuB, kCapture, kBravo, kQuiet}));
    CHECK_EQ(window.ColumnTexts(kList, 2), (Names{"5.1", "6.1", "10.0", "5.1", "6.1"}));
    CHECK_EQ(window.ColumnTexts(kList, 3), (Names{"32位", "64位", "32位", "64位", "32位"}));
    CheckInstalledOnceRead(window, {kAbPhoto, kCapture});
    CHECK_EQ(window.ColumnTexts(kList, kStatusColumn), (Names{kInstalled, "", kInstalled, "", ""}));
    window.Picture("installed_marks");

    // A new listing reads the registrations again: the 32-bit one is gone.
    installed->capture.reset();
    CHECK(window.ChooseComboEntry(ID_RCB_QX_SelSoftwareOS, 2) == nullptr);  // Win 7
    CHECK(window.ChooseComboEntry(ID_RCB_QX_SelSoftwareOS, 0) == nullptr);  // 所有类型
    CheckInstalledOnceRead(window, {kAbPhoto});

    // F5 in the list reads them again without a new listing: the tick stays.
    installed->ab.reset();
    window.SetTicked(kList, RowOf(window, kBravo), true);
    CHECK(window.ClickRow(kList, RowOf(window, kBravo)) == nullptr);
    window.PressKey(VK_F5);
    CheckInstalledOnceRead(window, {});
    CheckOnlyTicked(window, kBravo);
    CheckClosesAndRemovesWorkingFolder(window);
}

TEST(a_header_click_sorts_by_its_column_and_a_second_reverses_and_each_tick_stays_with_its_program) {
    ScratchFolder scratch("C:\\", "kestrune-software-page");
    WriteFile(scratch / "catalogue.hdb3", PackageOf(kCatalogueFiles));
    InstalledPrograms installed;
    KestruneCopy copy(scratch / "catalogue.hdb3");
    KestruneWindow window(copy);
    CheckInstalledOnceRead(window, {kAbPhoto, kCapture});  // the status column sorts by them
    window.SetTicked(kList, RowOf(window, kAbPhoto), true);

    // Letters fold and digit runs go by value ("5.1" < "6.1" < "10.0"); equal cells keep the
    // catalogue's order, and the reverse order is the exact reverse.
    const struct {
        int column;
        Names ascending;
    } sorts[] = {
        {1, {kAbPhoto, kBravo, kQuiet, kZhuB, kCapture}},
        {2, {kAbPhoto, kBravo, kZhuB, kQuiet, kCapture}},
        {3, {kAbPhoto, kCapture, kQuiet, kZhuB, kBravo}},
        {kStatusColumn, {kZhuB, kBravo, kQuiet, kAbPhoto, kCapture}},
        {0, {kAbPhoto, kZhuB, kCapture, kBravo, kQuiet}},
    };
    for (const auto& sort : sorts) {
        for (const bool descending : {false, true}) {
            CONTEXT("column " + std::to_string(sort.column) + (descending ? " descending" : " ascending"));
            CHECK(window.ClickHeader(kList, sort.column) == nullptr);
            const Names expected = descending ? Names(sort.ascending.rbegin(), sort.ascending.rend()) : sort.ascending;
            CHECK_EQ(ShownNames(window), expected);
            for (int column = 0; column <= kStatusColumn; ++column) {
                const int arrow = window.HeaderFormat(kList, column) & (HDF_SORTUP | HDF_SORTDOWN);
                CHECK_EQ(arrow, column != sort.column ? 0 : descending ? HDF_SORTDOWN : HDF_SORTUP);
            }
            CheckOnlyTicked(window, kAbPhoto);
            // The index column still names each program's catalogue line.
            CHECK_EQ(window.Cell(kList, RowOf(window, kCapture), 0), "2");
        }
    }

    CHECK(window.ClickHeader(kList, 1) == nullptr);
    CHECK(window.ClickHeader(kList, 1) == nullptr);
    window.Picture("sorted_by_name_descending");
    window.SetTicked(kList, RowOf(window, kCapture), true);
    CheckOnlyTicked(window, kCapture);
    CheckNextProposes(window, window.Click(ID_RBN_QX_SelSoftware_Next), {installed.capture_folder.Path()});
    window.SetTicked(kList, RowOf(window, kAbPhoto), true);
    CheckOnlyTicked(window, kAbPhoto);
    CheckNextProposes(window, window.Click(ID_RBN_QX_SelSoftware_Next), {installed.ab_folder.Path()});
    CheckClosesAndRemovesWorkingFolder(window);
}

TEST(the_search_narrows_by_name_or_key_with_the_filters_and_never_matches_half_a_character) {
    ScratchFolder scratch("C:\\", "kestrune-software-page");
    WriteFile(scratch / "catalogue.hdb3", PackageOf(kCatalogueFiles));
    KestruneCopy copy(scratch / "catalogue.hdb3");
    KestruneWindow window(copy);
    CHECK_EQ(window.Text(ID_RL_QX_SelSoftwareSearch), "搜索:");

    // Sub-type 0 is 所有类型, 8 图像处理工具 (Photo Tools); OS 0 is 所有类型, 2 Win 7.
    const struct {
        const char* search;
        int sub_type;
        int os;
        Names shown;
    } cases[] = {
        {"", 0, 0, {kAbPhoto, kZhuB, kCapture, kBravo, kQuiet}},
        {"A", 0, 0, {kAbPhoto, kBravo}},  // not the trail byte of "丄"
        {"ab", 0, 0, {kAbPhoto}},         // nor that trail byte and the "B" after it
        {"丄", 0, 0, {kZhuB}},
        {"  BRAVO ", 0, 0, {kBravo}},
        {"截图", 0, 0, {kCapture}},  // its key
        {"photo", 0, 0, {kAbPhoto}},  // the sub-type is not searched
        {"影", 0, 0, {kZhuB, kQuiet}},
        {"影", 8, 0, {kQuiet}},
        {"kw", 8, 0, {kAbPhoto, kCapture, kQuiet}},
        {"影", 0, 2, {kZhuB, kQuiet}},
        {"播放", 0, 2, {}},
        {"播放", 0, 0, {kBravo}},
    };
    for (const auto& c : cases) {
        CONTEXT(std::string("search \"") + c.search + "\", sub-type " + std::to_string(c.sub_type) + ", OS " +
                std::to_string(c.os));
        CHECK(window.ChooseComboEntry(ID_RCB_QX_SelSoftwareSubType, c.sub_type) == nullptr);
        CHECK(window.ChooseComboEntry(ID_RCB_QX_SelSoftwareOS, c.os) == nullptr);
        Search(window, c.search);
        CHECK_EQ(ShownNames(window), c.shown);
        // A new listing keeps the search.
        CHECK(window.ChooseComboEntry(ID_RCB_QX_SelSoftwareType, 1) == nullptr);
        CHECK(window.ChooseComboEntry(ID_RCB_QX_SelSoftwareType, 0) == nullptr);
        CHECK_EQ(ShownNames(window), c.shown);
    }
    CHECK(window.ChooseComboEntry(ID_RCB_QX_SelSoftwareSubType, 8) == nullptr);
    Search(window, "影");
    window.Picture("search_with_sub_type");

    // The search keeps the sort order, and a tick while its program stays in sight; a program
    // the search hides loses its tick.
    CHECK(window.ChooseComboEntry(ID_RCB_QX_SelSoftwareSubType, 0) == nullptr);
    CHECK(window.ClickHeader(kList, 1) == nullptr);
    CHECK(window.ClickHeader(kList, 1) == nullptr);
    window.ClearText(kSearch);
    window.SetTicked(kList, RowOf(window, kAbPhoto), true);
    Search(window, "a");
    CHECK_EQ(ShownNames(window), (Names{kBravo, kAbPhoto}));
    CheckOnlyTicked(window, kAbPhoto);
    Search(window, "截图");
    window.ClearText(kSearch);
    CHECK_EQ(ShownNames(window).size(), 5u);
    CheckOnlyTicked(window, "");
    AnswerMessage(window, window.Click(ID_RBN_QX_SelSoftware_Next), kNothingChosen, IDOK);
    CheckClosesAndRemovesWorkingFolder(window);
}

TEST(a_selected_row_is_chosen_by_next_or_enter_and_a_double_click_ticks_it) {
    ScratchFolder scratch("C:\\", "kestrune-software-page");
    WriteFile(scratch / "catalogue.hdb3", PackageOf(kCatalogueFiles));
    InstalledPrograms installed;
    KestruneCopy copy(scratch / "catalogue.hdb3");
    KestruneWindow window(copy);
    // Sorted by name, descending: no row shows its own catalogue line.
    CHECK(window.ClickHeader(kList, 1) == nullptr);
    CHECK(window.ClickHeader(kList, 1) == nullptr);
    CHECK_EQ(ShownNames(window), (Names{kCapture, kZhuB, kQuiet, kBravo, kAbPhoto}));

    // A row selected with the mouse: "下一步" takes it, and it comes back ticked.
    CHECK(window.ClickRow(kList, RowOf(window, kCapture)) == nullptr);
    CHECK_EQ(SelectedNames(window), Names{kCapture});
    CHECK_EQ(TickedNames(window), Names{});
    CheckNextProposes(window, window.Click(ID_RBN_QX_SelSoftware_Next), {installed.capture_folder.Path()});
    CheckOnlyTicked(window, kCapture);

    // Unticked, it is no longer chosen.
    window.SetTicked(kList, RowOf(window, kCapture), false);
    CheckOnlyTicked(window, "");
    AnswerMessage(window, window.Click(ID_RBN_QX_SelSoftware_Next), kNothingChosen, IDOK);

    // Selected with the keyboard, chosen with Enter.
    CHECK(window.ClickRow(kList, RowOf(window, kBravo)) == nullptr);
    window.PressKey(VK_DOWN);
    CHECK(PollUntil([&] { return SelectedNames(window) == Names{kAbPhoto}; }, kReactionTimeout));
    CHECK_EQ(SelectedNames(window), Names{kAbPhoto});
    window.PressKey(VK_RETURN);
    CHECK(PollUntil([&] { return window.ShownPage() == "install-path"; }, kReactionTimeout));
    CheckNextProposes(window, nullptr, {installed.ab_folder.Path()});
    CheckOnlyTicked(window, kAbPhoto);

    // A double click ticks its row, and the one-tick rule holds.
    for (const char* name : {kBravo, kZhuB}) {
        CONTEXT(std::string("double click on ") + name);
        CHECK(window.DoubleClickRow(kList, RowOf(window, name)) == nullptr);
        CheckOnlyTicked(window, name);
    }
    window.Picture("ticked_by_double_click");
    CheckClosesAndRemovesWorkingFolder(window);
}

// The program to clean: an uninstall registration that its identification record names and
// its registry record removes, and a core file. A second installed program stays.
std::string CleanupCatalogue(const std::string& core_file) {
    const std::pair<const char*, StringList> files[] = {
        {"SID_NM_LI.hdb", {"KW-CL|清除测试程序|Photo Tools|1.0|5.1|6.1|32位", "KW-KP|保留程序|Photo Tools|1.0|5.1|6.1|32位"}},
        {"SID_NM_IDN.hdb", {"KW-CL|清除测试程序 窗口测试", "KW-KP|保留程序 窗口测试"}},
        {"SID_NM_CF.hdb", {"KW-CL|" + core_file}},
        {"SID_NM_RN.hdb", {"KW-CL|HKLM|" + kUninstallKey + "KestruneWindowClean" + CurrentProcessSuffix()}},
        {"SID_NM_MAPPED.hdb", {"KW-CL|SID_NM_IDN.hdb|SID_NM_CF.hdb|SID_NM_RN.hdb", "KW-KP|SID_NM_IDN.hdb"}},
    };
    return PackageOf(files);
}

TEST(a_clean_up_that_removed_everything_leaves_the_program_unmarked_and_unticked) {
    ScratchFolder scratch("C:\\", "kestrune-window-clean");
    scratch.MakeFiles({"core.dll"});
    WriteFile(scratch / "catalogue.hdb3", CleanupCatalogue(scratch / "core.dll"));
    UninstallRegistration cleaned("KestruneWindowClean", "清除测试程序 窗口测试");
    cleaned.Set("InstallLocation", "C:\\kestrune-window-clean-gone");
    UninstallRegistration kept("KestruneWindowKept", "保留程序 窗口测试");
    kept.Set("InstallLocation", "C:\\kestrune-window-kept-gone");
    KestruneCopy copy(scratch / "catalogue.hdb3");
    KestruneWindow window(copy);
    CheckInstalledOnceRead(window, {"清除测试程序", "保留程序"});

    window.SetTicked(kList, 0, true);
    CHECK(window.Click(ID_RBN_QX_SelSoftware_Next) == nullptr);
    CHECK(window.Click(ID_RBN_QX_SelSoftwareInstalledPath_Analyzed) == nullptr);
    AnswerMessage(window, window.WaitForMessageBox(kWorkerTimeout),
                  "安装信息分析完毕,您可以选择[查看详细报告]或[下一步]来进行清理操作", IDOK);
    OpenReportOnceAnalysisEnded(window);
    CHECK(window.ChooseComboEntry(ID_RCB_QX_SelSoftwareUninstall_Protocol, 0) == nullptr);  // 我同意此分析结果
    HWND confirmation = window.Click(ID_RBN_QX_SelSoftwareUninstall_Clean);
    CHECK(confirmation != nullptr);
    if (!confirmation) return;
    CHECK(window.MessageText(confirmation).rfind("即将清除 \"清除测试程序\" 的以下项目:", 0) == 0);
    window.Answer(confirmation, IDYES);
    AnswerMessage(window, window.WaitForMessageBox(kWorkerTimeout), "恭喜您,清除操作已完成.", IDOK);

    CHECK(window.Click(ID_RBN_QX_SelSoftwareUninstallC_Back) == nullptr);
    CHECK_EQ(window.ShownPage(), "software");
    CHECK_EQ(ShownNames(window), (Names{"清除测试程序", "保留程序"}));
    CheckInstalledOnceRead(window, {"保留程序"});
    CheckOnlyTicked(window, "");
    window.Picture("after_a_complete_clean_up");
    // Once the worker has gone, "下一步" answers again: nothing is chosen.
    CHECK(PollUntil(
        [&] {
            HWND box = window.Click(ID_RBN_QX_SelSoftware_Next);
            if (box) AnswerMessage(window, box, kNothingChosen, IDOK);
            return box != nullptr;
        },
        kReactionTimeout));
    CheckClosesAndRemovesWorkingFolder(window);
}
