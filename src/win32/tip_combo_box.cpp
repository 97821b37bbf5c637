#include "win32/tip_combo_box.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

namespace vorlen::win32 {
namespace {

constexpr UINT_PTR kComboSubclass = 2;
constexpr UINT_PTR kListSubclass = 3;
// Not 1: the controls run timers of their own (the list scrolls with one),
// which must still reach them.
constexpr UINT_PTR kTipTimer = 0x5450;

// The text may overhang the field (the list's line) by this many pixels
// before a tip shows.
constexpr int kFieldAllowance = 6;
constexpr int kLineAllowance = 3;
// Where the field's tip sits relative to the field, which draws its text
// that far in.
constexpr POINT kFieldTipOffset{1, 3};

// A tracking tooltip of the common controls that the control places itself;
// the mouse passes through it to the control beneath.
class Tip {
public:
    enum class Border { None, Line };

    Tip(HWND control, Border border) {
        window_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                    TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, control, nullptr, nullptr,
                                    nullptr);
        // A themed tooltip would ignore the colours that make it look like
        // the control.
        ::SetWindowTheme(window_, L"", L"");
        tool_.cbSize = TTTOOLINFOW_V2_SIZE;
        tool_.uFlags = TTF_TRACK | TTF_TRANSPARENT;
        tool_.hwnd = control;
        Send(TTM_SETMAXTIPWIDTH, 0, 0x7FFF);
        Send(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool_));
        SetColours(COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT);
        RECT margin{0, -1, 0, -1};
        Send(TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
        if (border == Border::None) {
            ::SetWindowLongPtrW(window_, GWL_STYLE,
                                ::GetWindowLongPtrW(window_, GWL_STYLE) & ~WS_BORDER);
            ::SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                               SWP_FRAMECHANGED);
        }
    }
    ~Tip() { ::DestroyWindow(window_); }
    Tip(const Tip&) = delete;
    Tip& operator=(const Tip&) = delete;

    void SetColours(int background, int text) {
        Send(TTM_SETTIPBKCOLOR, ::GetSysColor(background), 0);
        Send(TTM_SETTIPTEXTCOLOR, ::GetSysColor(text), 0);
    }

    // Moves and refills a tip that is already shown. The control's font is
    // read at each show, so the tip follows a font the control got later.
    void Show(std::wstring text, POINT screen) {
        Send(WM_SETFONT, ::SendMessageW(tool_.hwnd, WM_GETFONT, 0, 0), FALSE);
        tool_.lpszText = text.data();
        Send(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool_));
        tool_.lpszText = nullptr;
        Send(TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x, screen.y));
        Send(TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool_));
    }

    void Hide() { Send(TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool_)); }

private:
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const {
        return ::SendMessageW(window_, message, wParam, lParam);
    }

    HWND window_;
    TOOLINFOW tool_{};
};

// One combo box with its list and their tips.
struct TipCombo {
    explicit TipCombo(HWND comboWindow, HWND listWindow)
        : combo(comboWindow),
          list(listWindow),
          fieldTip(comboWindow, Tip::Border::Line),
          lineTip(listWindow, Tip::Border::None) {}

    HWND combo;
    HWND list;
    Tip fieldTip;
    Tip lineTip;  // always in the highlight colours, as the line under the mouse
};

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring LineText(HWND list, int index) {
    const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT got = ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                       reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

// The text's width in pixels in the control's font.
int TextWidth(HWND control, const std::wstring& text) {
    HDC dc = ::GetDC(control);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font != nullptr ? ::SelectObject(dc, font) : nullptr;
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    if (previous != nullptr) {
        ::SelectObject(dc, previous);
    }
    ::ReleaseDC(control, dc);
    return size.cx;
}

POINT CursorIn(HWND window) {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(window, &cursor);
    return cursor;
}

POINT ScreenCorner(HWND window, const RECT& rect) {
    POINT corner{rect.left, rect.top};
    ::ClientToScreen(window, &corner);
    return corner;
}

// The field less the drop-down button and two pixels beside it.
RECT FieldArea(HWND combo) {
    RECT area;
    ::GetClientRect(combo, &area);
    area.right -= ::GetSystemMetrics(SM_CXHTHUMB) + 2;
    return area;
}

bool Shows(UINT message, LPARAM lParam, UINT flag) {
    return message == WM_WINDOWPOSCHANGED &&
           (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & flag) != 0;
}

void OnFieldMouseMove(TipCombo& tips, POINT point) {
    const RECT area = FieldArea(tips.combo);
    if (!::PtInRect(&area, point)) {
        tips.fieldTip.Hide();
        return;
    }
    std::wstring text = WindowText(tips.combo);
    if (TextWidth(tips.combo, text) <= area.right - area.left - kFieldAllowance) {
        tips.fieldTip.Hide();
        return;
    }
    // The tip looks like the field: highlighted while it has the focus.
    if (::GetFocus() == tips.combo) {
        tips.fieldTip.SetColours(COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT);
    } else {
        tips.fieldTip.SetColours(COLOR_WINDOW, COLOR_WINDOWTEXT);
    }
    const POINT corner = ScreenCorner(tips.combo, area);
    tips.fieldTip.Show(std::move(text), {corner.x + kFieldTipOffset.x, corner.y + kFieldTipOffset.y});
    ::SetTimer(tips.combo, kTipTimer, kTipCheckMs, nullptr);
}

// Below the last line there is no line to explain: a tip that is shown
// stays where it is.
void OnLineMouseMove(TipCombo& tips, POINT point) {
    RECT client;
    ::GetClientRect(tips.list, &client);
    if (!::PtInRect(&client, point)) {
        tips.lineTip.Hide();
        return;
    }
    const LRESULT hit = ::SendMessageW(tips.list, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
    const int index = static_cast<short>(LOWORD(hit));
    if (HIWORD(hit) != 0 || index < 0) {
        return;
    }
    std::wstring text = LineText(tips.list, index);
    RECT line{};
    ::SendMessageW(tips.list, LB_GETITEMRECT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&line));
    if (TextWidth(tips.list, text) <= line.right - line.left - kLineAllowance) {
        tips.lineTip.Hide();
        return;
    }
    tips.lineTip.Show(std::move(text), ScreenCorner(tips.list, line));
    ::SetTimer(tips.list, kTipTimer, kTipCheckMs, nullptr);
}

// The check of a shown tip: the cursor left, or the control went away under it.
void OnTipTimer(HWND control, const RECT& area, Tip& tip) {
    const POINT cursor = CursorIn(control);
    if (::PtInRect(&area, cursor) && ::IsWindowVisible(control)) {
        return;
    }
    ::KillTimer(control, kTipTimer);
    tip.Hide();
}

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR data) {
    TipCombo& tips = *reinterpret_cast<TipCombo*>(data);
    if (message == WM_MOUSEMOVE) {
        OnLineMouseMove(tips, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    } else if (message == WM_TIMER && wParam == kTipTimer) {
        RECT client;
        ::GetClientRect(list, &client);
        OnTipTimer(list, client, tips.lineTip);
        return 0;
    } else if (Shows(message, lParam, SWP_SHOWWINDOW)) {
        tips.fieldTip.Hide();  // the list may open over the field
    } else if (Shows(message, lParam, SWP_HIDEWINDOW)) {
        tips.lineTip.Hide();
    }
    return ::DefSubclassProc(list, message, wParam, lParam);
}

// The combo destroys its list as it goes; the list leaves the tips first.
LRESULT CALLBACK ComboProc(HWND combo, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR data) {
    auto* tips = reinterpret_cast<TipCombo*>(data);
    if (message == WM_MOUSEMOVE) {
        OnFieldMouseMove(*tips, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    } else if (message == WM_TIMER && wParam == kTipTimer) {
        OnTipTimer(combo, FieldArea(combo), tips->fieldTip);
        return 0;
    } else if (Shows(message, lParam, SWP_HIDEWINDOW)) {
        tips->fieldTip.Hide();
    } else if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(tips->list, ListProc, kListSubclass);
        ::RemoveWindowSubclass(combo, ComboProc, kComboSubclass);
        delete tips;
    }
    return ::DefSubclassProc(combo, message, wParam, lParam);
}

HWND ListOf(HWND combo) {
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    return combo != nullptr && ::GetComboBoxInfo(combo, &parts) ? parts.hwndList : nullptr;
}

}  // namespace

void AttachTipComboBox(HWND combo) {
    const HWND list = ListOf(combo);
    if (list == nullptr) {
        return;
    }
    auto* tips = new TipCombo(combo, list);
    ::SetWindowSubclass(list, ListProc, kListSubclass, reinterpret_cast<DWORD_PTR>(tips));
    ::SetWindowSubclass(combo, ComboProc, kComboSubclass, reinterpret_cast<DWORD_PTR>(tips));
}

void TipsOnFirstHover::Add(HWND combo) {
    if (const HWND list = ListOf(combo)) {
        waiting_.push_back({combo, list});
    }
}

void TipsOnFirstHover::Notice(const MSG& message) {
    if (message.message != WM_MOUSEMOVE) {
        return;
    }
    const auto hovered = std::ranges::find_if(waiting_, [&](const Waiting& w) {
        return w.combo == message.hwnd || w.list == message.hwnd;
    });
    if (hovered != waiting_.end()) {
        AttachTipComboBox(hovered->combo);
        waiting_.erase(hovered);
    }
}

}  // namespace vorlen::win32
