#include "window_driver.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <set>
#include <stdexcept>

#include "remote_buffer.h"
#include "waiting.h"

namespace {

constexpr char kMessageBoxClass[] = "#32770";
// A program that replaces itself ends, lets its replacement copy files, and starts again.
constexpr DWORD kReplacementTimeout = 90000;
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr size_t kTextCapacity = 4096;
// A picture that still changes after this long (a blinking caret, a running progress bar) is
// taken as it last looked.
constexpr DWORD kPictureSettleTimeout = 3000;
constexpr DWORD kPictureSettleInterval = 250;

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

DWORD ProcessOf(HWND window) {
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    return process_id;
}

// WM_GETTEXT: the system copies the text across the process boundary.
std::string WindowTextOf(HWND window) {
    const auto length = static_cast<size_t>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
    std::string text(length + 1, '\0');
    const auto copied = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(copied));
    return text;
}

struct TopLevelSearch {
    DWORD process_id;
    std::string window_class;  // empty: any
    std::string caption;       // empty: any
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<TopLevelSearch*>(context);
    if ((search->process_id == 0 || ProcessOf(window) == search->process_id) && IsWindowVisible(window) &&
        (search->window_class.empty() || ClassOf(window) == search->window_class) &&
        (search->caption.empty() || WindowTextOf(window) == search->caption))
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD process_id, const std::string& window_class, const std::string& caption) {
    TopLevelSearch search{process_id, window_class, caption, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct ChildSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindChildById(HWND child, LPARAM context) {
    auto* search = reinterpret_cast<ChildSearch*>(context);
    if (GetDlgCtrlID(child) != search->id) return TRUE;
    search->found = child;
    return FALSE;
}

HWND FindChild(HWND window, int id) {
    ChildSearch search{id, nullptr};
    EnumChildWindows(window, FindChildById, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The text control of a message box; its id is 0xFFFF, which some systems keep as -1.
HWND MessageBoxTextControl(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if ((GetDlgCtrlID(child) & 0xFFFF) == kMessageBoxTextId) return child;
    return nullptr;
}

// Replies to SendMessageCallback arrive on this thread while it pumps its messages; each call
// has its own number, so a reply that comes after its wait was given up harms nothing.
std::set<ULONG_PTR>& HandledDeliveries() {
    static std::set<ULONG_PTR> handled;
    return handled;
}

void CALLBACK DeliveryHandled(HWND, UINT, ULONG_PTR delivery, LRESULT) { HandledDeliveries().insert(delivery); }

std::string AnsiOf(const std::wstring& text) {
    if (text.empty()) return "";
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, &ansi[0], length, nullptr, nullptr);
    return ansi;
}

std::string ExeNameOf(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

}  // namespace

WindowDriver::WindowDriver(const std::string& exe_path, const std::string& window_class,
                           const std::string& box_caption, const std::string& arguments)
    : exe_name_(ExeNameOf(exe_path)), box_caption_(box_caption) {
    const std::string folder = exe_path.substr(0, exe_path.size() - exe_name_.size());
    std::string command_line = "\"" + exe_path + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(exe_path.c_str(), &command_line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started))
        throw std::runtime_error("cannot start " + exe_path + ", error " + std::to_string(GetLastError()));
    process_.Reset(started.hProcess);
    thread_.Reset(started.hThread);
    process_id_ = started.dwProcessId;

    WaitUntil(
        [&] {
            if (!IsRunning()) throw std::runtime_error(exe_name_ + " ended during its start-up");
            const std::vector<HWND> windows = TopLevelWindows(process_id_, window_class, "");
            window_ = windows.empty() ? nullptr : windows.front();
            return window_ != nullptr;
        },
        kReactionTimeout, "the window of class " + window_class + " of " + exe_name_);
    // The window's thread answers sent messages once its start-up has run to the message loop,
    // or to the loop of a message box that the start-up shows.
    Settle();
}

WindowDriver::WindowDriver(const std::string& window_class, const std::string& box_caption, DWORD other_than)
    : exe_name_("the program of the " + window_class + " window"), box_caption_(box_caption) {
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(0, window_class, ""))
                if (ProcessOf(window) != other_than) window_ = window;
            return window_ != nullptr;
        },
        kReplacementTimeout, "a window of class " + window_class + " of another process");
    process_id_ = ProcessOf(window_);
    process_.Reset(OpenProcess(PROCESS_ALL_ACCESS, FALSE, process_id_));
    if (!process_.IsOpen()) throw std::runtime_error("cannot open the process of " + exe_name_);
    Settle();
}

WindowDriver::~WindowDriver() {
    if (IsRunning()) {
        TerminateProcess(process_.Get(), 1);
        WaitForSingleObject(process_.Get(), 5000);
    }
}

bool WindowDriver::IsRunning() const { return WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }

HWND WindowDriver::RequestClose() { return Deliver(window_, WM_CLOSE, 0, 0, "WM_CLOSE"); }

bool WindowDriver::WaitForExit(DWORD timeout_ms) {
    return PollUntil([&] { return !IsRunning(); }, timeout_ms);
}

void WindowDriver::Settle() const {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, kReactionTimeout, &result))
        throw std::runtime_error("the window of " + exe_name_ + " does not answer messages");
}

HWND WindowDriver::Control(int id) const {
    HWND control = FindChild(window_, id);
    if (!control) throw std::runtime_error("no control with id " + std::to_string(id) + " below the window");
    return control;
}

bool WindowDriver::IsShown(int id) const { return IsWindowVisible(Control(id)) != FALSE; }

bool WindowDriver::IsEnabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }

std::string WindowDriver::Text(int id) const { return WindowTextOf(Control(id)); }

HWND WindowDriver::Deliver(HWND target, UINT message, WPARAM wparam, LPARAM lparam, const std::string& what) const {
    static ULONG_PTR next_delivery = 0;
    const ULONG_PTR delivery = ++next_delivery;
    const std::vector<HWND> known = MessageBoxes();
    if (!SendMessageCallbackA(target, message, wparam, lparam, DeliveryHandled, delivery))
        throw std::runtime_error("cannot send " + what + ", error " + std::to_string(GetLastError()));
    HWND opened = nullptr;
    WaitUntil(
        [&] {
            if (HandledDeliveries().count(delivery)) return true;
            opened = NewMessageBox(known);
            return opened != nullptr;
        },
        kReactionTimeout, "the window to handle " + what);
    return HandledDeliveries().count(delivery) ? nullptr : opened;
}

HWND WindowDriver::Click(int button_id) {
    return Deliver(Control(button_id), BM_CLICK, 0, 0, "a click on button " + std::to_string(button_id));
}

HWND WindowDriver::ClickLink(int label_id) { return Notify(label_id, STN_CLICKED); }

HWND WindowDriver::Notify(int control_id, WORD code) {
    HWND control = Control(control_id);
    return Deliver(GetParent(control), WM_COMMAND, MAKEWPARAM(control_id, code), reinterpret_cast<LPARAM>(control),
                   "notification " + std::to_string(code) + " of control " + std::to_string(control_id));
}

HWND WindowDriver::ChooseComboEntry(int combo_id, int index) {
    HWND combo = Control(combo_id);
    if (index >= ComboCount(combo_id))
        throw std::runtime_error("combo " + std::to_string(combo_id) + " has no entry " + std::to_string(index));
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    return Notify(combo_id, CBN_SELCHANGE);
}

HWND WindowDriver::ClickTab(int tab_id, const std::string& caption) {
    HWND tab = Control(tab_id);
    int index = 0;
    while (index < TabCount(tab_id) && TabCaption(tab_id, index) != caption) ++index;
    if (index == TabCount(tab_id))
        throw std::runtime_error("tab control " + std::to_string(tab_id) + " has no tab \"" + caption + "\"");
    RemoteBuffer remote(process_.Get(), sizeof(RECT));
    if (!SendMessageA(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index), remote.AsParameter()))
        throw std::runtime_error("tab \"" + caption + "\" has no place on screen");
    RECT face = {};
    remote.Read(&face, sizeof face);
    const LPARAM centre = MAKELPARAM((face.left + face.right) / 2, (face.top + face.bottom) / 2);
    HWND box = Deliver(tab, WM_LBUTTONDOWN, MK_LBUTTON, centre, "a click on tab \"" + caption + "\"");
    if (box) return box;
    return Deliver(tab, WM_LBUTTONUP, 0, centre, "the release of a click on tab \"" + caption + "\"");
}

HWND WindowDriver::SetItemState(int list_id, int row, UINT state, UINT mask, const std::string& what) {
    LVITEMA item = {};
    item.stateMask = mask;
    item.state = state;
    RemoteBuffer remote(process_.Get(), sizeof item);
    remote.Write(&item, sizeof item);
    return Deliver(Control(list_id), LVM_SETITEMSTATE, static_cast<WPARAM>(row), remote.AsParameter(), what);
}

HWND WindowDriver::SetTicked(int list_id, int row, bool ticked) {
    return SetItemState(list_id, row, INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1), LVIS_STATEIMAGEMASK,
                        std::string(ticked ? "ticking" : "unticking") + " row " + std::to_string(row));
}

HWND WindowDriver::SetSelected(int list_id, int row, bool selected) {
    return SetItemState(list_id, row, selected ? LVIS_SELECTED | LVIS_FOCUSED : 0, LVIS_SELECTED | LVIS_FOCUSED,
                        std::string(selected ? "selecting" : "deselecting") + " row " + std::to_string(row));
}

HWND WindowDriver::MouseAt(HWND control, POINT point, std::initializer_list<UINT> messages, const std::string& what) {
    const LPARAM at = MAKELPARAM(point.x, point.y);
    for (UINT message : messages) {
        const WPARAM buttons = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK ? MK_LBUTTON : 0;
        if (HWND box = Deliver(control, message, buttons, at, what)) return box;
    }
    return nullptr;
}

POINT WindowDriver::RowMiddle(int list_id, int row) const {
    RemoteBuffer remote(process_.Get(), sizeof(RECT));
    RECT label = {LVIR_LABEL, 0, 0, 0};
    remote.Write(&label, sizeof label);
    if (!SendMessageA(Control(list_id), LVM_GETITEMRECT, static_cast<WPARAM>(row), remote.AsParameter()))
        throw std::runtime_error("list " + std::to_string(list_id) + " has no row " + std::to_string(row));
    remote.Read(&label, sizeof label);
    return {(label.left + label.right) / 2, (label.top + label.bottom) / 2};
}

HWND WindowDriver::ClickRow(int list_id, int row) {
    return MouseAt(Control(list_id), RowMiddle(list_id, row), {WM_LBUTTONDOWN, WM_LBUTTONUP},
                   "a click on row " + std::to_string(row));
}

HWND WindowDriver::DoubleClickRow(int list_id, int row) {
    return MouseAt(Control(list_id), RowMiddle(list_id, row),
                   {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP},
                   "a double click on row " + std::to_string(row));
}

HWND WindowDriver::ClickHeader(int list_id, int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(Control(list_id), LVM_GETHEADER, 0, 0));
    RemoteBuffer remote(process_.Get(), sizeof(RECT));
    if (!header || !SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), remote.AsParameter()))
        throw std::runtime_error("list " + std::to_string(list_id) + " has no column " + std::to_string(column));
    RECT face = {};
    remote.Read(&face, sizeof face);
    return MouseAt(header, {(face.left + face.right) / 2, (face.top + face.bottom) / 2}, {WM_LBUTTONDOWN, WM_LBUTTONUP},
                   "a click on the header of column " + std::to_string(column));
}

void WindowDriver::SendText(HWND control, UINT message, WPARAM wparam, const std::string& text,
                            const std::string& what) {
    // The system copies the text across the process boundary only for a message sent and awaited.
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(control, message, wparam, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                             kReactionTimeout, &result))
        throw std::runtime_error("the window does not handle " + what);
}

void WindowDriver::TypeText(int edit_id, const std::string& text) {
    HWND edit = Control(edit_id);
    for (size_t at = 0; at < text.size();) {
        const size_t length = IsDBCSLeadByte(static_cast<BYTE>(text[at])) && at + 1 < text.size() ? 2 : 1;
        SendText(edit, EM_REPLACESEL, TRUE, text.substr(at, length), "typing \"" + text.substr(at, length) + "\"");
        at += length;
    }
}

void WindowDriver::ClearText(int edit_id) {
    HWND edit = Control(edit_id);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendText(edit, EM_REPLACESEL, TRUE, "", "deleting the text");
}

void WindowDriver::ShowDropDown(int combo_id, bool shown) {
    SendMessageA(Control(combo_id), CB_SHOWDROPDOWN, shown, 0);
}

void WindowDriver::PointAt(int id) {
    const RECT area = ScreenRect(id);
    SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
}

void WindowDriver::PressKey(WORD key, std::initializer_list<WORD> held) {
    // Keyboard input goes to the thread of the foreground window.
    SetForegroundWindow(window_);
    WaitUntil([&] { return GetForegroundWindow() == window_; }, kReactionTimeout, "the window to come to the front");
    std::vector<INPUT> inputs;
    const auto add = [&inputs](WORD virtual_key, bool up) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtual_key;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtual_key, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    for (WORD down : held) add(down, false);
    add(key, false);
    add(key, true);
    for (auto up = held.end(); up != held.begin();) add(*--up, true);
    const auto count = static_cast<UINT>(inputs.size());
    if (SendInput(count, inputs.data(), sizeof(INPUT)) != count)
        throw std::runtime_error("cannot send key " + std::to_string(key) + ", error " +
                                 std::to_string(GetLastError()));
}

HWND WindowDriver::FocusedControl() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

int WindowDriver::FocusedId() const {
    HWND focus = FocusedControl();
    return focus && IsChild(window_, focus) ? GetDlgCtrlID(focus) : 0;
}

int WindowDriver::ComboSelection(int combo_id) const {
    return static_cast<int>(SendMessageA(Control(combo_id), CB_GETCURSEL, 0, 0));
}

int WindowDriver::ComboCount(int combo_id) const {
    return static_cast<int>(SendMessageA(Control(combo_id), CB_GETCOUNT, 0, 0));
}

int WindowDriver::RowCount(int list_id) const {
    return static_cast<int>(SendMessageA(Control(list_id), LVM_GETITEMCOUNT, 0, 0));
}

std::string WindowDriver::Cell(int list_id, int row, int column) const {
    RemoteBuffer remote(process_.Get(), sizeof(LVITEMA) + kTextCapacity);
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = remote.Address() + sizeof item;
    item.cchTextMax = kTextCapacity;
    remote.Write(&item, sizeof item);
    const auto length = static_cast<size_t>(
        SendMessageA(Control(list_id), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), remote.AsParameter()));
    std::string text(std::min(length, kTextCapacity - 1), '\0');
    if (!text.empty()) remote.Read(&text[0], text.size(), sizeof item);
    return text;
}

std::vector<std::string> WindowDriver::ColumnTexts(int list_id, int column) const {
    std::vector<std::string> texts;
    const int rows = RowCount(list_id);
    for (int row = 0; row < rows; ++row) texts.push_back(Cell(list_id, row, column));
    return texts;
}

bool WindowDriver::IsTicked(int list_id, int row) const {
    const auto state = static_cast<UINT>(
        SendMessageA(Control(list_id), LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

bool WindowDriver::IsSelected(int list_id, int row) const {
    return SendMessageA(Control(list_id), LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) != 0;
}

int WindowDriver::HeaderFormat(int list_id, int column) const {
    HWND header = reinterpret_cast<HWND>(SendMessageA(Control(list_id), LVM_GETHEADER, 0, 0));
    RemoteBuffer remote(process_.Get(), sizeof(HDITEMA));
    HDITEMA item = {};
    item.mask = HDI_FORMAT;
    remote.Write(&item, sizeof item);
    if (!header || !SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column), remote.AsParameter()))
        throw std::runtime_error("list " + std::to_string(list_id) + " has no column " + std::to_string(column));
    remote.Read(&item, sizeof item);
    return item.fmt;
}

int WindowDriver::ProgressPosition(int bar_id) const {
    return static_cast<int>(SendMessageA(Control(bar_id), PBM_GETPOS, 0, 0));
}

int WindowDriver::ProgressLimit(int bar_id) const {
    return static_cast<int>(SendMessageA(Control(bar_id), PBM_GETRANGE, FALSE, 0));
}

// Asked in UTF-16: across processes Wine answers LB_GETTEXT in UTF-16 even to SendMessageA,
// and writes past a buffer sized for the code page 936 length.
std::vector<std::string> WindowDriver::Lines(int list_box_id) const {
    HWND list_box = Control(list_box_id);
    std::vector<std::string> lines;
    const auto count = static_cast<int>(SendMessageW(list_box, LB_GETCOUNT, 0, 0));
    for (int line = 0; line < count; ++line) {
        const auto length = SendMessageW(list_box, LB_GETTEXTLEN, static_cast<WPARAM>(line), 0);
        if (length == LB_ERR) throw std::runtime_error("list box " + std::to_string(list_box_id) + " holds no texts");
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(list_box, LB_GETTEXT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&text[0]));
        text.resize(text.find(L'\0'));
        lines.push_back(AnsiOf(text));
    }
    return lines;
}

int WindowDriver::TabCount(int tab_id) const {
    return static_cast<int>(SendMessageA(Control(tab_id), TCM_GETITEMCOUNT, 0, 0));
}

std::string WindowDriver::TabCaption(int tab_id, int index) const {
    RemoteBuffer remote(process_.Get(), sizeof(TCITEMA) + kTextCapacity);
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = remote.Address() + sizeof item;
    item.cchTextMax = kTextCapacity;
    remote.Write(&item, sizeof item);
    const char empty = '\0';
    remote.Write(&empty, 1, sizeof item);
    if (!SendMessageA(Control(tab_id), TCM_GETITEMA, static_cast<WPARAM>(index), remote.AsParameter())) return "";
    std::string text(kTextCapacity, '\0');
    remote.Read(&text[0], text.size(), sizeof item);
    text.resize(text.find('\0'));
    return text;
}

std::string WindowDriver::SelectedTab(int tab_id) const {
    const auto index = static_cast<int>(SendMessageA(Control(tab_id), TCM_GETCURSEL, 0, 0));
    return index < 0 ? "" : TabCaption(tab_id, index);
}

std::vector<HWND> WindowDriver::MessageBoxes() const {
    return TopLevelWindows(process_id_, kMessageBoxClass, box_caption_);
}

HWND WindowDriver::NewMessageBox(const std::vector<HWND>& known) const {
    for (HWND box : MessageBoxes())
        if (std::find(known.begin(), known.end(), box) == known.end()) return box;
    return nullptr;
}

HWND WindowDriver::WaitForMessageBox(DWORD timeout_ms) const {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            const std::vector<HWND> boxes = MessageBoxes();
            box = boxes.empty() ? nullptr : boxes.front();
            return box != nullptr;
        },
        timeout_ms, "a message box of " + exe_name_);
    return box;
}

std::string WindowDriver::MessageText(HWND box) const {
    HWND text = MessageBoxTextControl(box);
    return text ? WindowTextOf(text) : "";
}

void WindowDriver::Answer(HWND box, int button_id) const {
    HWND button = GetDlgItem(box, button_id);
    if (!button) throw std::runtime_error("the message box has no button " + std::to_string(button_id));
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button_id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    WaitUntil([&] { return !IsWindow(box); }, kReactionTimeout, "the message box to close");
}

RECT WindowDriver::ScreenRect(int id) const {
    RECT area = {};
    GetWindowRect(Control(id), &area);
    return area;
}

ScreenPicture WindowDriver::LookAt(int id) const { return ScreenPicture(ScreenRect(id)); }

ScreenPicture WindowDriver::SettledLook(const RECT& area) const {
    RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    Settle();
    ScreenPicture picture(area);
    PollUntil(
        [&] {
            ScreenPicture again(area);
            const bool settled = again == picture;
            picture = again;
            return settled;
        },
        kPictureSettleTimeout, kPictureSettleInterval);
    return picture;
}

// The picture holds every shown window of the program: the main window, its message boxes and
// open drop-down lists.
void WindowDriver::Capture(const std::string& bmp_path) const {
    // The mouse waits in a corner, where it lights up nothing.
    SetCursorPos(0, GetSystemMetrics(SM_CYSCREEN) - 1);
    SetForegroundWindow(window_);
    RECT area = {};
    for (HWND shown : TopLevelWindows(process_id_, "", "")) {
        RECT shown_area = {};
        GetWindowRect(shown, &shown_area);
        UnionRect(&area, &area, &shown_area);
    }
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&area, &area, &screen);
    SettledLook(area).Save(bmp_path);
}

HWND WindowDriver::ClickOpeningDialog(int button_id) {
    const auto dialogs = [&] {
        std::vector<HWND> found;
        for (HWND dialog : TopLevelWindows(process_id_, kMessageBoxClass, ""))
            if (WindowTextOf(dialog) != box_caption_) found.push_back(dialog);
        return found;
    };
    const std::vector<HWND> known = dialogs();
    // Posted: the handler stays inside the dialog until it is answered.
    PostMessageA(Control(button_id), BM_CLICK, 0, 0);
    HWND opened = nullptr;
    WaitUntil(
        [&] {
            for (HWND dialog : dialogs())
                if (std::find(known.begin(), known.end(), dialog) == known.end()) opened = dialog;
            return opened != nullptr;
        },
        kReactionTimeout, "a dialog opened by button " + std::to_string(button_id));
    return opened;
}

void WindowDriver::ChooseFolder(HWND chooser, const std::string& path) {
    // The path goes as a pointer that the chooser reads in its own process.
    RemoteBuffer remote(process_.Get(), path.size() + 1);
    remote.Write(path.c_str(), path.size() + 1);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(chooser, BFFM_SETSELECTIONA, TRUE, remote.AsParameter(), SMTO_NORMAL, kReactionTimeout,
                             &result))
        throw std::runtime_error("the folder chooser does not select " + path);
    HWND ok = GetDlgItem(chooser, IDOK);
    if (!ok) throw std::runtime_error("the folder chooser has no OK button");
    PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    WaitUntil([&] { return !IsWindow(chooser); }, kReactionTimeout, "the folder chooser to close");
}

HWND WindowDriver::ChooseMenuItem(int item_id) {
    return Deliver(window_, WM_COMMAND, MAKEWPARAM(item_id, 0), 0, "menu item " + std::to_string(item_id));
}
