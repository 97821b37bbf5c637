#include "win32/tracker_window.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "dialog/dialog_layout.h"
#include "dialog/system_command.h"
#include "model/control_ids.h"
#include "model/tracker_form.h"
#include "model/typing_limit.h"
#include "win32/about_box.h"
#include "win32/side_window.h"
#include "win32/form_template.h"
#include "win32/list_wheel.h"
#include "win32/profile_path_dialog.h"
#include "win32/registry_store.h"
#include "win32/resource_ids.h"
#include "win32/status_colours.h"
#include "win32/tip_combo_box.h"
#include "win32/wide_text.h"
#include "win32/window_menu.h"

namespace vorlen::win32 {
namespace {

using namespace control;

// The worker's unlock and every other call from another thread arrive as
// this message, which runs the queued calls on the window's thread.
constexpr UINT kRunQueuedCalls = WM_APP + 1;

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool IsEnterKey(const MSG& message) {
    return (message.message == WM_KEYDOWN || message.message == WM_CHAR) &&
           message.wParam == VK_RETURN;
}

// The status box and the buttons whose captions wrap.
bool IsMultiLine(int controlId) {
    const DialogControl* row = FindDialogControl(controlId);
    return row != nullptr && row->Has(control_flag::kMultiLine);
}

bool IsList(HWND control) {
    wchar_t name[16] = {};
    ::GetClassNameW(control, name, static_cast<int>(std::size(name)));
    return ::lstrcmpiW(name, WC_COMBOBOXW) == 0;
}

HICON LoadFormIcon(HINSTANCE instance, int sizeMetric) {
    const int size = ::GetSystemMetrics(sizeMetric);
    return static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(kFormIcon), IMAGE_ICON, size, size, 0));
}

}  // namespace

TrackerWindow::TrackerWindow(TrackerConfigServices services, HINSTANCE instance)
    : instance_(instance),
      successBrush_(::CreateSolidBrush(kSuccessColour)),
      failureBrush_(::CreateSolidBrush(kFailureColour)),
      dialog_(std::move(services), *this) {}

TrackerWindow::~TrackerWindow() {
    lineMonitor_.reset();
    station_.reset();
    ::DeleteObject(successBrush_);
    ::DeleteObject(failureBrush_);
    for (HICON icon : {largeIcon_, smallIcon_}) {
        if (icon != nullptr) {
            ::DestroyIcon(icon);
        }
    }
}

// A modeless dialog with its own loop, so that Enter can be kept from the
// dialog manager, which would press the focused button with it.
void TrackerWindow::Run() {
    const std::vector<WORD> form = FormTemplate();
    ::CreateDialogIndirectParamW(instance_, reinterpret_cast<LPCDLGTEMPLATEW>(form.data()), nullptr,
                                 DialogProc, reinterpret_cast<LPARAM>(this));
    if (window_ == nullptr) {
        return;
    }
    ::ShowWindow(window_, SW_SHOWNORMAL);
    ::UpdateWindow(window_);
    dialog_.OpenSelectedPort();
    HACCEL shortcuts = CreateWindowMenuAccelerators();
    MSG message;
    while (window_ != nullptr && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (EndsNothing(message)) {
            continue;
        }
        tips_.Notice(message);
        // A shortcut reaches the form as its window menu item would.
        if (IsFormMessage(message) && ::TranslateAcceleratorW(window_, shortcuts, &message)) {
            continue;
        }
        if (lineMonitor_ != nullptr && lineMonitor_->IsDialogMessage(&message)) {
            continue;
        }
        if (IsOwnedWindowMessage(&message)) {
            continue;
        }
        if (!::IsDialogMessageW(window_, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    ::DestroyAcceleratorTable(shortcuts);
}

// The keyboard in the form's other modeless windows (the station), which
// the program opens above the form.
bool TrackerWindow::IsOwnedWindowMessage(MSG* message) const {
    HWND root = ::GetAncestor(message->hwnd, GA_ROOT);
    return root != nullptr && root != window_ && ::GetWindow(root, GW_OWNER) == window_ &&
           ::IsDialogMessageW(root, message);
}

bool TrackerWindow::IsFormMessage(const MSG& message) const {
    return window_ != nullptr && (message.hwnd == window_ || ::IsChild(window_, message.hwnd));
}

// Enter on any control of the form, except in an open list, where it picks
// the entry under the highlight.
bool TrackerWindow::EndsNothing(const MSG& message) const {
    if (!IsEnterKey(message) || !IsFormMessage(message)) {
        return false;
    }
    return !(IsList(message.hwnd) && ::SendMessageW(message.hwnd, CB_GETDROPPEDSTATE, 0, 0));
}

INT_PTR CALLBACK TrackerWindow::DialogProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        auto* self = reinterpret_cast<TrackerWindow*>(lParam);
        self->window_ = window;
        self->OnInitDialog();
        return TRUE;
    }
    auto* self = reinterpret_cast<TrackerWindow*>(::GetWindowLongPtrW(window, DWLP_USER));
    return self != nullptr ? self->OnMessage(message, wParam, lParam) : FALSE;
}

void TrackerWindow::OnInitDialog() {
    {
        const std::lock_guard lock(queueMutex_);
        queueTarget_ = window_;
    }
    AddWindowMenuItems(window_);
    largeIcon_ = LoadFormIcon(instance_, SM_CXICON);
    smallIcon_ = LoadFormIcon(instance_, SM_CXSMICON);
    ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_));
    ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    dialog_.PrepareForm();
    // After the lists are filled: under Wine every message to a list with a
    // wheel rule costs round trips to the Wine server, which keeps the rule
    // as a property of the list's window.
    for (const DialogControl& row : DialogLayout()) {
        if (row.kind == ControlKind::DropDownList) {
            KeepWheelToFocusedList(Control(row.id));
        }
        if (row.Has(control_flag::kShowsTips)) {
            tips_.Add(Control(row.id));
        }
    }
}

INT_PTR TrackerWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SYSCOMMAND:
        if (const std::optional<unsigned> command = FormCommandOf(static_cast<unsigned>(wParam))) {
            dialog_.OnSystemCommand(*command);
            return TRUE;
        }
        return FALSE;
    case WM_PAINT:
        return PaintMinimised();
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(largeIcon_);
    case WM_CLOSE:
        Close();
        return TRUE;
    case kRunQueuedCalls:
        RunQueuedCalls();
        return TRUE;
    default:
        return FALSE;
    }
}

void TrackerWindow::OnCommand(int id, int code) {
    if (id == IDCANCEL) {  // Escape
        Close();
        return;
    }
    if (id == IDOK) {  // Enter that reached the dialog manager after all
        return;
    }
    HWND control = Control(id);
    if (control == nullptr) {
        return;
    }
    if (code == EN_CHANGE) {
        OnEditChanged(id, control);
    } else if (code == CBN_DROPDOWN) {
        dialog_.OnListOpening(id);
    } else if (code == CBN_SELCHANGE || (code == BN_CLICKED && !IsList(control))) {
        // Like a pick in the Linux window: the operator's only, never the
        // program's own selecting.
        dialog_.OnControlWorked(id);
    }
}

// EM_LIMITTEXT would count UTF-16 units; the field's limit counts GBK bytes.
// So every change the operator makes is checked after the fact and undone
// when the rule refuses it, with the caret where the change was.
void TrackerWindow::OnEditChanged(int id, HWND edit) {
    if (settingText_ || (::GetWindowLongW(edit, GWL_STYLE) & ES_READONLY) != 0) {
        return;
    }
    const std::wstring shown = WindowText(edit);
    std::wstring& accepted = accepted_[id];
    if (JudgeTyping(FieldForControl(id), Utf8OfWide(accepted), Utf8OfWide(shown)) !=
        Typing::Refused) {
        accepted = shown;
        return;
    }
    DWORD end = 0;
    ::SendMessageW(edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
    const long grown = static_cast<long>(shown.size()) - static_cast<long>(accepted.size());
    const long caret = std::clamp(static_cast<long>(end) - std::max(grown, 0L), 0L,
                                  static_cast<long>(accepted.size()));
    settingText_ = true;
    ::SetWindowTextW(edit, accepted.c_str());
    settingText_ = false;
    ::SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(caret), caret);
    ::MessageBeep(MB_OK);
}

INT_PTR TrackerWindow::OnControlColour(HDC dc, HWND control) {
    if (control != Control(kStatusBox) || mark_ == StatusMark::None) {
        return FALSE;
    }
    const bool success = mark_ == StatusMark::Success;
    ::SetBkColor(dc, success ? kSuccessColour : kFailureColour);
    return reinterpret_cast<INT_PTR>(success ? successBrush_ : failureBrush_);
}

bool TrackerWindow::PaintMinimised() {
    if (!::IsIconic(window_)) {
        return false;
    }
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window_, &paint);
    ::SendMessageW(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    ::GetClientRect(window_, &client);
    const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, largeIcon_);
    ::EndPaint(window_, &paint);
    return true;
}

// The form closes the port and stops the worker first; calls the worker
// queued meanwhile die with the window.
void TrackerWindow::Close() {
    dialog_.OnClose();
    {
        const std::lock_guard lock(queueMutex_);
        queueTarget_ = nullptr;
        queue_.clear();
    }
    lineMonitor_.reset();
    station_.reset();
    HWND window = window_;
    window_ = nullptr;
    ::DestroyWindow(window);
}

void TrackerWindow::RunOnWindowThread(std::function<void()> call) {
    const std::lock_guard lock(queueMutex_);
    if (queueTarget_ == nullptr) {
        return;
    }
    queue_.push_back(std::move(call));
    ::PostMessageW(queueTarget_, kRunQueuedCalls, 0, 0);
}

void TrackerWindow::RunQueuedCalls() {
    std::vector<std::function<void()>> calls;
    {
        const std::lock_guard lock(queueMutex_);
        calls.swap(queue_);
    }
    for (const std::function<void()>& call : calls) {
        call();
    }
}

// Under Wine every GetDlgItem asks the Wine server, and the start-up alone
// looks controls up a few hundred times; the form's controls live as long as
// the form, so each is looked up once.
HWND TrackerWindow::Control(int id) const {
    if (window_ == nullptr) {
        return nullptr;
    }
    const auto [known, added] = controls_.try_emplace(id, nullptr);
    if (added) {
        known->second = ::GetDlgItem(window_, id);
    }
    return known->second;
}

std::string TrackerWindow::Text(int controlId) const {
    HWND control = Control(controlId);
    if (control == nullptr) {
        return {};
    }
    return TextOfControl(WindowText(control), IsMultiLine(controlId));
}

void TrackerWindow::SetText(int controlId, const std::string& text) {
    HWND control = Control(controlId);
    if (control == nullptr) {
        return;
    }
    const std::wstring shown = ShownInControl(text, IsMultiLine(controlId));
    accepted_[controlId] = shown;
    // The template already holds the start-up captions, and a load rewrites
    // every field: only a change goes to the control.
    if (WindowText(control) == shown) {
        return;
    }
    settingText_ = true;
    ::SetWindowTextW(control, shown.c_str());
    settingText_ = false;
    if (IsMultiLine(controlId) && FindDialogControl(controlId)->kind == ControlKind::PushButton) {
        const auto formFont = reinterpret_cast<HFONT>(::SendMessageW(window_, WM_GETFONT, 0, 0));
        captionFonts_.Fit(control, formFont);
    }
}

void TrackerWindow::Enable(int controlId, bool enable) {
    HWND control = Control(controlId);
    if (control != nullptr && (::IsWindowEnabled(control) != FALSE) != enable) {
        ::EnableWindow(control, enable);
    }
}

bool TrackerWindow::IsChecked(int controlId) const {
    HWND control = Control(controlId);
    return control != nullptr && ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TrackerWindow::SetChecked(int controlId, bool checked) {
    HWND control = Control(controlId);
    if (control != nullptr && IsChecked(controlId) != checked) {
        ::SendMessageW(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void TrackerWindow::FillList(int listId, const std::vector<std::string>& entries) {
    HWND list = Control(listId);
    if (list == nullptr) {
        return;
    }
    ::SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : entries) {
        const std::wstring shown = WideOfUtf8(entry);
        ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
    }
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void TrackerWindow::SelectEntry(int listId, int index) {
    HWND list = Control(listId);
    if (list == nullptr) {
        return;
    }
    const int count = static_cast<int>(::SendMessageW(list, CB_GETCOUNT, 0, 0));
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index >= 0 && index < count ? index : -1),
                   0);
}

int TrackerWindow::SelectedEntry(int listId) const {
    HWND list = Control(listId);
    return list != nullptr ? static_cast<int>(::SendMessageW(list, CB_GETCURSEL, 0, 0)) : -1;
}

MessageAnswer TrackerWindow::ShowMessage(const std::string& text, const std::string& caption,
                                         MessageButtons buttons) {
    const UINT type = buttons == MessageButtons::OkCancel ? MB_OKCANCEL : MB_OK;
    const int answer =
        ::MessageBoxW(window_, WideOfUtf8(text).c_str(), WideOfUtf8(caption).c_str(), type);
    return answer == IDOK ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

void TrackerWindow::FocusField(int controlId) {
    HWND control = Control(controlId);
    if (control == nullptr) {
        return;
    }
    ::SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    ::SendMessageW(control, EM_SETSEL, 0, -1);
}

// The window's thread does not take messages while it waits for the
// tracker, so the pointer stays until it is set back.
void TrackerWindow::ShowBusy(bool busy) {
    if (busy) {
        cursorBeforeBusy_ = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    } else {
        ::SetCursor(cursorBeforeBusy_);
    }
}

void TrackerWindow::ShowStatusMark(StatusMark mark) {
    if (mark == mark_) {
        return;  // a new text repaints the box itself
    }
    mark_ = mark;
    if (HWND box = Control(kStatusBox)) {
        ::InvalidateRect(box, nullptr, TRUE);
    }
}

void TrackerWindow::ShowAbout() { ShowAboutBox(instance_, window_); }

Rect TrackerWindow::Frame() const { return FrameOf(window_); }

Rect TrackerWindow::ScreenArea() const {
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    if (!::GetMonitorInfoW(::MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &screen)) {
        return Frame();
    }
    const RECT& area = screen.rcWork;
    return {area.left, area.top, area.right - area.left, area.bottom - area.top};
}

SideWindow* TrackerWindow::MakeLineMonitor(LineRecord& record) {
    lineMonitor_ = std::make_unique<LineMonitorWindow>(instance_, window_, record);
    return lineMonitor_->Made() ? lineMonitor_.get() : nullptr;
}

SideWindow* TrackerWindow::MakeStation(fleet::StationServices services) {
    if (!services.settings) {
        services.settings = std::make_shared<RegistryStore>();
    }
    station_ = std::make_unique<FleetStationWindow>(instance_, window_, std::move(services));
    return station_->Made() ? station_.get() : nullptr;
}

void TrackerWindow::SetMenuText(unsigned command, const std::string& text) {
    SetWindowMenuCaption(window_, command, WideOfUtf8(text));
}

std::optional<std::filesystem::path> TrackerWindow::AskProfilePath(const std::string& caption,
                                                                    bool forSaving) {
    return win32::AskProfilePath(window_, WideOfUtf8(caption), forSaving);
}

}  // namespace vorlen::win32
