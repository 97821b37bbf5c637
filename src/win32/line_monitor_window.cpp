#include "win32/line_monitor_window.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "win32/dialog_template.h"
#include "win32/file_box.h"
#include "win32/form_template.h"
#include "win32/object_dialog_proc.h"
#include "win32/side_window.h"
#include "win32/wide_text.h"

namespace vorlen::win32 {
namespace {

constexpr UINT_PTR kRefreshTimer = 1;

// Dialog units, in the form's font. The rows fill everything above the
// buttons; the buttons keep to the bottom left, the save result beside them.
constexpr Rect kFrame{0, 0, 320, 180};
constexpr int kMargin = 7;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kGap = 4;
constexpr int kResultHeight = 8;

// The rows' list is made at start-up: the template knows no list box.
std::vector<WORD> MonitorTemplate() {
    std::vector<TemplateControl> controls;
    for (const int id : kMonitorButtons) {
        controls.push_back({ControlClass::Button, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE,
                            {0, 0, kButtonWidth, kButtonHeight}, id, L""});
    }
    controls.push_back({ControlClass::Static, SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS | WS_VISIBLE,
                        {0, 0, kButtonWidth, kResultHeight}, LineMonitorWindow::kSaveResult, L""});
    const TemplateFrame frame{WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX,
                              0, kFrame, L"", kFormFont, kFormPointSize};
    return BuildDialogTemplate(frame, controls);
}

}  // namespace

LineMonitorWindow::LineMonitorWindow(HINSTANCE instance, HWND owner, LineRecord& record)
    : instance_(instance), monitor_(record, *this) {
    const std::vector<WORD> monitor = MonitorTemplate();
    ::CreateDialogIndirectParamW(instance_, reinterpret_cast<LPCDLGTEMPLATEW>(monitor.data()),
                                 owner, ObjectDialogProc<LineMonitorWindow>, reinterpret_cast<LPARAM>(this));
}

// The owner takes the window with it when it goes first.
LineMonitorWindow::~LineMonitorWindow() {
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
}

void LineMonitorWindow::SetLanguage(int language) { monitor_.SetLanguage(language); }

INT_PTR LineMonitorWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        ::ShowWindow(window_, SW_HIDE);
        return TRUE;
    case WM_SHOWWINDOW:
        OnShown(wParam != FALSE);
        return FALSE;
    case WM_TIMER:
        if (wParam == kRefreshTimer) {
            monitor_.Refresh();
        }
        return TRUE;
    default:
        return OnResizing(message, lParam) ? TRUE : FALSE;
    }
}

void LineMonitorWindow::OnInitDialog() {
    HWND list = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, L"LISTBOX", L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT, 0, 0,
        0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kRows)), instance_, nullptr);
    ::SendMessageW(list, WM_SETFONT, ::SendMessageW(window_, WM_GETFONT, 0, 0), FALSE);
    // First in the tab order, which is the order of the children.
    ::SetWindowPos(list, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RECT frame;
    ::GetWindowRect(window_, &frame);
    minimumSize_ = {(frame.right - frame.left) / 2, (frame.bottom - frame.top) / 2};
    RECT client;
    ::GetClientRect(window_, &client);
    LayOut(client.right, client.bottom);
}

// Polling only while someone looks; the rows that came in meanwhile follow
// at once.
void LineMonitorWindow::OnShown(bool shown) {
    if (shown) {
        monitor_.Refresh();
        ::SetTimer(window_, kRefreshTimer, kRefreshMs, nullptr);
    } else {
        ::KillTimer(window_, kRefreshTimer);
    }
}

void LineMonitorWindow::OnCommand(int id) {
    if (id == IDCANCEL) {  // Escape
        ::ShowWindow(window_, SW_HIDE);
    } else {
        monitor_.Press(id);
    }
}

void LineMonitorWindow::LayOut(int width, int height) {
    RECT units{kMargin, kMargin, kButtonWidth, kButtonHeight};
    ::MapDialogRect(window_, &units);
    RECT spacing{kGap, kResultHeight, 0, 0};
    ::MapDialogRect(window_, &spacing);
    const int margin = units.left;
    const int buttonWidth = units.right;
    const int buttonHeight = units.bottom;
    const int gap = spacing.left;
    const int resultHeight = spacing.top;
    const int buttonTop = height - margin - buttonHeight;
    ::MoveWindow(Item(kRows), margin, margin, std::max(width - 2 * margin, 0),
                 std::max(buttonTop - gap - margin, 0), TRUE);
    int x = margin;
    for (const int id : kMonitorButtons) {
        ::MoveWindow(Item(id), x, buttonTop, buttonWidth, buttonHeight, TRUE);
        x += buttonWidth + gap;
    }
    ::MoveWindow(Item(kSaveResult), x, buttonTop + (buttonHeight - resultHeight) / 2,
                 std::max(width - margin - x, 0), resultHeight, TRUE);
}

void LineMonitorWindow::SetText(int controlId, const std::string& text) {
    const std::wstring shown = WideOfUtf8(text);
    if (controlId == kMonitorTitle) {
        ::SetWindowTextW(window_, shown.c_str());
    } else {
        ::SetDlgItemTextW(window_, controlId, shown.c_str());
    }
}

// One redraw for all the rows. The list follows the newest row while the
// operator is there.
void LineMonitorWindow::AppendRows(const std::vector<std::string>& rows) {
    HWND list = Item(kRows);
    RECT client;
    ::GetClientRect(list, &client);
    const LRESULT rowHeight = std::max<LRESULT>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), 1);
    const LRESULT visibleRows = client.bottom / rowHeight;
    const bool following = ::SendMessageW(list, LB_GETTOPINDEX, 0, 0) + visibleRows >=
                           ::SendMessageW(list, LB_GETCOUNT, 0, 0);

    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    HDC dc = ::GetDC(list);
    const auto font = reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = ::SelectObject(dc, font);
    for (const std::string& row : rows) {
        AppendRow(list, dc, WideOfUtf8(row));
    }
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(list, dc);
    while (::SendMessageW(list, LB_GETCOUNT, 0, 0) > kShownRows) {
        ::SendMessageW(list, LB_DELETESTRING, 0, 0);
    }
    ::SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widestRow_), 0);
    if (following) {
        ::SendMessageW(list, LB_SETTOPINDEX, ::SendMessageW(list, LB_GETCOUNT, 0, 0) - 1, 0);
    }
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void LineMonitorWindow::AppendRow(HWND list, HDC dc, const std::wstring& row) {
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, row.c_str(), static_cast<int>(row.size()), &size);
    widestRow_ = std::max(widestRow_, static_cast<int>(size.cx) + 4);
}

void LineMonitorWindow::ClearRows() {
    HWND list = Item(kRows);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    widestRow_ = 0;
    ::SendMessageW(list, LB_SETHORIZONTALEXTENT, 0, 0);
}

void LineMonitorWindow::CopyText(const std::string& copied) {
    const std::wstring text = ShownInControl(copied, true);
    if (!::OpenClipboard(window_)) {
        return;
    }
    ::EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(::GlobalLock(memory)));
        ::GlobalUnlock(memory);
        if (::SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
            ::GlobalFree(memory);
        }
    }
    ::CloseClipboard();
}

std::optional<std::filesystem::path> LineMonitorWindow::AskSavePath(const std::string& caption,
                                                                    const std::string& filter) {
    const std::wstring title = WideOfUtf8(caption);
    // The filter is its caption and its pattern, each ended by a null,
    // and a null after the last pair.
    const std::wstring filters = WideOfUtf8(filter) + L'\0' + L"*.txt" + L'\0' + L'\0';
    std::wstring path(32768, L'\0');
    OPENFILENAMEW ask{};
    ask.lStructSize = sizeof ask;
    ask.hwndOwner = window_;
    ask.lpstrFilter = filters.c_str();
    ask.lpstrFile = path.data();
    ask.nMaxFile = static_cast<DWORD>(path.size());
    ask.lpstrTitle = title.c_str();
    ask.lpstrDefExt = L"txt";
    ask.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!ShowFileBox(ask, true)) {
        return std::nullopt;
    }
    path.resize(path.find(L'\0'));
    return std::filesystem::path(path);
}

void LineMonitorWindow::ShowSaveResult(const std::string& message,
                                       const std::filesystem::path& file) {
    ::SetDlgItemTextW(window_, kSaveResult, (WideOfUtf8(message) + file.native()).c_str());
}

}  // namespace vorlen::win32
