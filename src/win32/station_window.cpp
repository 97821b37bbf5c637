#include "win32/station_window.h"

#include <commdlg.h>

#include <algorithm>

#include "win32/dialog_template.h"
#include "win32/file_box.h"
#include "win32/form_template.h"
#include "win32/object_dialog_proc.h"
#include "win32/side_window.h"
#include "win32/status_colours.h"
#include "win32/wide_text.h"

namespace vorlen::win32 {
namespace {

using namespace fleet;

// Calls from the slots' threads arrive as this message, which runs the
// queued calls on the window's thread.
constexpr UINT kRunQueuedCalls = WM_APP + 1;

// Dialog units, in the form's font. The counters run along the top, the
// files under them; the ports' list and its buttons keep to the left, the
// tiles fill the rest; the journal line is at the bottom.
constexpr Rect kFrame{0, 0, 540, 330};  // about the Qt station's 960 by 600 pixels
constexpr int kMargin = 7;
constexpr int kGap = 4;
constexpr int kRowHeight = 14;      // an edit or a button
constexpr int kCaptionHeight = 9;   // a label
constexpr int kCountersHeight = 14;
constexpr int kLabelWidth = 130;
constexpr int kBrowseWidth = 50;
constexpr int kPortsWidth = 120;
constexpr int kPortsButtons[] = {kStationRefresh, kStationStart, kStationStop, kStationReport};
constexpr int kRetryWidth = 50;

struct FileRow {
    int label;
    int edit;
    int browse;
};
constexpr FileRow kFileRows[] = {
    {kStationProfileLabel, kStationProfile, kStationProfileBrowse},
    {kStationDevicesLabel, kStationDevices, kStationDevicesBrowse},
};
// The fields kept between runs: a label and an edit, without a button.
constexpr FileRow kFieldRows[] = {
    {kStationNameLabel, kStationName, 0},
    {kStationOperatorLabel, kStationOperator, 0},
    {kStationJournalLabel, kStationJournalWhere, 0},
};

std::vector<WORD> StationTemplate() {
    constexpr DWORD kLabel = SS_LEFT | WS_VISIBLE;
    constexpr DWORD kLine = SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS | WS_VISIBLE;
    constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE;
    std::vector<TemplateControl> controls{
        {ControlClass::Static, kLine, {}, kStationCounters, L""}};
    for (const FileRow& row : kFieldRows) {
        controls.push_back({ControlClass::Static, kLabel, {}, row.label, L""});
        controls.push_back({ControlClass::Edit, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_VISIBLE,
                            {}, row.edit, L""});
    }
    for (const FileRow& row : kFileRows) {
        controls.push_back({ControlClass::Static, kLabel, {}, row.label, L""});
        controls.push_back({ControlClass::Edit, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_VISIBLE,
                            {}, row.edit, L""});
        controls.push_back({ControlClass::Button, kButton, {}, row.browse, L""});
    }
    controls.push_back({ControlClass::Static, kLabel, {}, kStationSlotsLabel, L""});
    // Ticked is selected: a click or Space ticks a port, as in any list of
    // check boxes.
    controls.push_back({ControlClass::ListBox,
                        LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_MULTIPLESEL |
                            LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP | WS_VISIBLE,
                        {}, kStationSlots, L""});
    for (const int id : kPortsButtons) {
        controls.push_back({ControlClass::Button, kButton, {}, id, L""});
    }
    controls.push_back({ControlClass::Button, BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE, {},
                        kStationSound, L""});
    controls.push_back({ControlClass::Static, kLine, {}, kStationJournal, L""});
    const TemplateFrame frame{WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
                                  WS_MAXIMIZEBOX,
                              0, kFrame, L"", kFormFont, kFormPointSize};
    return BuildDialogTemplate(frame, controls);
}

// Dialog units in pixels: x across, y down.
POINT Pixels(HWND window, int x, int y) {
    RECT units{0, 0, x, y};
    ::MapDialogRect(window, &units);
    return {units.right, units.bottom};
}

void Place(HWND control, int x, int y, int width, int height) {
    ::MoveWindow(control, x, y, std::max(width, 0), std::max(height, 0), TRUE);
}

// How the outcome, the tile's last line, is drawn.
constexpr UINT kWrapped = DT_WORDBREAK | DT_EDITCONTROL;

HFONT ScaledFont(const LOGFONTW& base, TextLook look) {
    LOGFONTW font = base;
    font.lfHeight = base.lfHeight * look.percent / 100;
    font.lfWidth = 0;
    font.lfWeight = look.bold ? FW_BOLD : FW_NORMAL;
    return ::CreateFontIndirectW(&font);
}

// The tile's lines as its window text, for the tests and screen readers.
std::wstring TileText(const Tile& tile) {
    std::string text;
    for (const TileLineLook& row : kTileLines) {
        if (const std::string& line = LineOf(tile, row.line); !line.empty()) {
            text += (text.empty() ? "" : "\n") + line;
        }
    }
    return ShownInControl(text, true);
}

int LineHeight(HDC dc) {
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    return metrics.tmHeight;
}

// "Device list (*.csv)", "*.csv", ... each ended by a null, and a null
// after the last pair.
std::wstring FilterOf(StationFile kind) {
    std::wstring filter;
    for (const FileFilter& row : StationFileFilters(kind)) {
        const std::wstring pattern = WideOfUtf8(row.pattern);
        filter += WideOfUtf8(row.name) + L" (" + pattern + L")" + L'\0' + pattern + L'\0';
    }
    return filter + L'\0';
}

std::optional<std::filesystem::path> AskOpenFile(HWND owner, const std::wstring& caption,
                                                 StationFile kind) {
    const std::wstring filter = FilterOf(kind);
    std::vector<wchar_t> name(32768, L'\0');
    OPENFILENAMEW ask{};
    ask.lStructSize = sizeof ask;
    ask.hwndOwner = owner;
    ask.lpstrFilter = filter.c_str();
    ask.nFilterIndex = 1;
    ask.lpstrFile = name.data();
    ask.nMaxFile = static_cast<DWORD>(name.size());
    ask.lpstrTitle = caption.c_str();
    ask.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR |
                OFN_HIDEREADONLY;
    if (!ShowFileBox(ask, false)) {
        return std::nullopt;
    }
    return std::filesystem::path(std::wstring(name.data()));
}

}  // namespace

FleetStationWindow::FleetStationWindow(HINSTANCE instance, HWND owner, StationServices services)
    : instance_(instance), controller_(*this, std::move(services)) {
    const std::vector<WORD> station = StationTemplate();
    ::CreateDialogIndirectParamW(instance_, reinterpret_cast<LPCDLGTEMPLATEW>(station.data()),
                                 owner, ObjectDialogProc<FleetStationWindow>, reinterpret_cast<LPARAM>(this));
}

// The owner takes the window with it when it goes first.
FleetStationWindow::~FleetStationWindow() {
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
    for (HFONT font : lineFonts_) {
        ::DeleteObject(font);
    }
    ::DeleteObject(countersFont_);
}

void FleetStationWindow::SetLanguage(int language) { controller_.SetLanguage(language); }

INT_PTR FleetStationWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        // Escape would stop a running row of slots by a slip of the hand:
        // only the close box closes the station.
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) != IDCANCEL) {
            controller_.Press(LOWORD(wParam));
        }
        return TRUE;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlID == kStationSlots) {
            DrawSlotChoice(item);
        } else {
            DrawTile(item);
        }
        return TRUE;
    }
    case WM_SHOWWINDOW:
        if (wParam != FALSE) {
            controller_.Show();  // each showing offers the ports of that moment
        }
        return FALSE;
    case WM_CTLCOLORSTATIC:
        if (faults_.count(::GetDlgCtrlID(reinterpret_cast<HWND>(lParam))) != 0) {
            const auto dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc, ColourRef(kFaultText));
            ::SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        return FALSE;
    case WM_CLOSE:
        OnClose();
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    case kRunQueuedCalls:
        RunQueuedCalls();
        return TRUE;
    default:
        return OnResizing(message, lParam) ? TRUE : FALSE;
    }
}

void FleetStationWindow::OnInitDialog() {
    {
        const std::lock_guard lock(queueMutex_);
        queueTarget_ = window_;
    }
    MakeFonts();
    ::SendMessageW(Item(kStationCounters), WM_SETFONT, reinterpret_cast<WPARAM>(countersFont_), FALSE);
    HDC dc = ::GetDC(window_);
    HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(window_, WM_GETFONT, 0, 0)));
    const int choiceHeight = std::max(LineHeight(dc), ::GetSystemMetrics(SM_CYMENUCHECK)) + 4;
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(window_, dc);
    ::SendMessageW(Item(kStationSlots), LB_SETITEMHEIGHT, 0, choiceHeight);
    controller_.Restore();
    RECT frame;
    ::GetWindowRect(window_, &frame);
    minimumSize_ = {(frame.right - frame.left) * 3 / 4, (frame.bottom - frame.top) * 3 / 4};
    RECT client;
    ::GetClientRect(window_, &client);
    LayOut(client.right, client.bottom);
}

// The station stops before the window goes out of sight; its settings stay
// for the next showing.
void FleetStationWindow::OnClose() {
    if (controller_.Running()) {
        HCURSOR before = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        controller_.Close();
        ::SetCursor(before);
    }
    ::ShowWindow(window_, SW_HIDE);
}

// With the form: the station stops, and what its slots still send is dropped.
void FleetStationWindow::OnDestroy() {
    {
        const std::lock_guard lock(queueMutex_);
        queueTarget_ = nullptr;
        queue_.clear();
    }
    controller_.Close();
}

// The tiles' lines and the counters in the form's font, as the look table
// grows them.
void FleetStationWindow::MakeFonts() {
    LOGFONTW base{};
    const auto formFont = reinterpret_cast<HFONT>(::SendMessageW(window_, WM_GETFONT, 0, 0));
    ::GetObjectW(formFont, sizeof base, &base);
    MakeTileFonts(100);
    countersFont_ = ScaledFont(base, kCountersLook);
}

// The tiles' lines shrunk to `percent`, made again only when it changes.
void FleetStationWindow::MakeTileFonts(int percent) {
    if (percent == tileFontsPercent_) {
        return;
    }
    LOGFONTW base{};
    const auto formFont = reinterpret_cast<HFONT>(::SendMessageW(window_, WM_GETFONT, 0, 0));
    ::GetObjectW(formFont, sizeof base, &base);
    for (std::size_t i = 0; i < kTileLines.size(); ++i) {
        ::DeleteObject(lineFonts_[i]);
        lineFonts_[i] = ScaledFont(base, Shrunk(kTileLines[i].look, percent));
    }
    tileFontsPercent_ = percent;
}

void FleetStationWindow::LayOut(int width, int height) {
    const POINT margin = Pixels(window_, kMargin, kMargin);
    const POINT gap = Pixels(window_, kGap, kGap);
    const POINT row = Pixels(window_, kLabelWidth, kRowHeight);
    const POINT caption = Pixels(window_, kBrowseWidth, kCaptionHeight);
    const POINT counters = Pixels(window_, kPortsWidth, kCountersHeight);
    const int labelWidth = row.x;
    const int browseWidth = caption.x;
    const int portsWidth = counters.x;
    const int inner = width - 2 * margin.x;

    int y = margin.y;
    Place(Item(kStationCounters), margin.x, y, inner, counters.y);
    y += counters.y + gap.y;
    for (const FileRow& field : kFieldRows) {
        Place(Item(field.label), margin.x, y + (row.y - caption.y) / 2, labelWidth, caption.y);
        Place(Item(field.edit), margin.x + labelWidth + gap.x, y, inner - labelWidth - gap.x, row.y);
        y += row.y + gap.y;
    }
    for (const FileRow& file : kFileRows) {
        Place(Item(file.label), margin.x, y + (row.y - caption.y) / 2, labelWidth, caption.y);
        Place(Item(file.edit), margin.x + labelWidth + gap.x, y,
              inner - labelWidth - browseWidth - 2 * gap.x, row.y);
        Place(Item(file.browse), width - margin.x - browseWidth, y, browseWidth, row.y);
        y += row.y + gap.y;
    }
    const int journalTop = height - margin.y - caption.y;
    Place(Item(kStationJournal), margin.x, journalTop, inner, caption.y);
    const int soundTop = journalTop - gap.y - row.y;
    Place(Item(kStationSound), margin.x, soundTop, portsWidth, row.y);
    const int buttonsTop = soundTop - gap.y - row.y;
    constexpr int kButtons = static_cast<int>(std::size(kPortsButtons));
    const int buttonWidth = (portsWidth - (kButtons - 1) * gap.x) / kButtons;
    for (std::size_t i = 0; i < std::size(kPortsButtons); ++i) {
        Place(Item(kPortsButtons[i]), margin.x + static_cast<int>(i) * (buttonWidth + gap.x),
              buttonsTop, buttonWidth, row.y);
    }
    Place(Item(kStationSlotsLabel), margin.x, y, portsWidth, caption.y);
    const int listTop = y + caption.y + gap.y / 2;
    Place(Item(kStationSlots), margin.x, listTop, portsWidth, buttonsTop - gap.y - listTop);
    LayOutTiles({margin.x + portsWidth + margin.x, y, width - margin.x, journalTop - gap.y});
}

void FleetStationWindow::LayOutTiles(const RECT& area) {
    const int gap = Pixels(window_, kGap, kGap).x;
    const std::vector<TileRect> places =
        TilePlaces(static_cast<int>(tiles_.size()),
                   {area.left, area.top, area.right - area.left, area.bottom - area.top}, gap);
    const POINT retry = Pixels(window_, kRetryWidth, kRowHeight);
    if (!places.empty()) {
        HDC dc = ::GetDC(window_);
        HGDIOBJ oldFont = ::SelectObject(
            dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(window_, WM_GETFONT, 0, 0)));
        MakeTileFonts(TileTextPercent(places.front().height, LineHeight(dc)));
        ::SelectObject(dc, oldFont);
        ::ReleaseDC(window_, dc);
    }
    for (std::size_t i = 0; i < tiles_.size(); ++i) {
        const TileRect& place = places[i];
        Place(tiles_[i].control, place.x, place.y, place.width, place.height);
        const int width = std::min<int>(retry.x, place.width - 2 * gap);
        Place(tiles_[i].retry, place.x + place.width - gap - width,
              place.y + place.height - gap - retry.y, width, retry.y);
    }
}

// The tile's lines in the look table's fonts, each on one line but the
// last, which wraps in the room left above the Retry button; on the colour
// of the slot's state.
void FleetStationWindow::DrawTile(const DRAWITEMSTRUCT& item) const {
    const auto shown = std::find_if(tiles_.begin(), tiles_.end(), [&](const ShownTile& t) {
        return t.control == item.hwndItem;
    });
    if (shown == tiles_.end()) {
        return;
    }
    const Tile& tile = shown->tile;
    HDC dc = item.hDC;
    RECT box = item.rcItem;
    const std::optional<Rgb> colour = TileColour(tile.mark);
    if (HBRUSH brush = colour ? ::CreateSolidBrush(ColourRef(*colour)) : nullptr) {
        ::FillRect(dc, &box, brush);
        ::DeleteObject(brush);
    } else {
        ::FillRect(dc, &box, ::GetSysColorBrush(COLOR_BTNFACE));
    }
    ::DrawEdge(dc, &box, EDGE_ETCHED, BF_RECT | BF_ADJUST);
    ::InflateRect(&box, -4, -4);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, colour ? ColourRef(kTileText) : ::GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ oldFont = ::SelectObject(dc, lineFonts_[0]);
    for (std::size_t i = 0; i < kTileLines.size(); ++i) {
        ::SelectObject(dc, lineFonts_[i]);
        const bool last = i + 1 == kTileLines.size();
        RECT place = box;
        if (!last) {
            place.bottom = std::min(box.bottom, box.top + LineHeight(dc));
        } else if (!tile.retry.empty()) {
            // The failure text wraps above the Retry button, never under it.
            RECT button{};
            ::GetWindowRect(shown->retry, &button);
            ::MapWindowPoints(nullptr, item.hwndItem, reinterpret_cast<POINT*>(&button), 2);
            place.bottom = std::min(place.bottom, button.top);
        }
        const std::wstring text = WideOfUtf8(LineOf(tile, kTileLines[i].line));
        const HFONT fitted = last ? FittedOutcomeFont(dc, text, place) : nullptr;
        if (fitted != nullptr) {
            ::SelectObject(dc, fitted);
        }
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &place,
                    DT_CENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
                        (last ? kWrapped : DT_SINGLELINE));
        if (fitted != nullptr) {
            ::SelectObject(dc, lineFonts_[i]);
            ::DeleteObject(fitted);
        }
        box.top = place.bottom;
    }
    ::SelectObject(dc, oldFont);
}

// The outcome's font for this paint: as large as lets `text` wrap into
// `room`, whose width it keeps.
HFONT FleetStationWindow::FittedOutcomeFont(HDC dc, const std::wstring& text,
                                            const RECT& room) const {
    LOGFONTW base{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(window_, WM_GETFONT, 0, 0)), sizeof base,
                 &base);
    const TextLook look = FittingOutcome(tileFontsPercent_, [&](const TextLook& tried) {
        const HFONT font = ScaledFont(base, tried);
        const HGDIOBJ before = ::SelectObject(dc, font);
        RECT needed = room;
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
                    DT_CALCRECT | DT_NOPREFIX | kWrapped);
        ::SelectObject(dc, before);
        ::DeleteObject(font);
        return needed.bottom <= room.bottom && needed.right <= room.right;
    });
    return ScaledFont(base, look);
}

// A check box before each port's label, ticked when the entry is selected.
void FleetStationWindow::DrawSlotChoice(const DRAWITEMSTRUCT& item) const {
    HDC dc = item.hDC;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    ::FillRect(dc, &item.rcItem, ::GetSysColorBrush(COLOR_WINDOW));
    if (item.itemID != static_cast<UINT>(-1)) {
        const int side = std::min<int>(::GetSystemMetrics(SM_CXMENUCHECK),
                                       item.rcItem.bottom - item.rcItem.top - 2);
        const int top = (item.rcItem.top + item.rcItem.bottom - side) / 2;
        RECT check{item.rcItem.left + 2, top, item.rcItem.left + 2 + side, top + side};
        ::DrawFrameControl(dc, &check, DFC_BUTTON,
                           DFCS_BUTTONCHECK | ((item.itemState & ODS_SELECTED) ? DFCS_CHECKED : 0) |
                               (disabled ? DFCS_INACTIVE : 0));
        const LRESULT length = ::SendMessageW(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0);
        std::wstring label(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        ::SendMessageW(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(label.data()));
        label.resize(label.size() - 1);
        RECT text = item.rcItem;
        text.left = check.right + 4;
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
        ::DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &text,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (item.itemState & ODS_FOCUS) {
        ::DrawFocusRect(dc, &item.rcItem);
    }
}

void FleetStationWindow::RunOnWindowThread(std::function<void()> call) {
    const std::lock_guard lock(queueMutex_);
    if (queueTarget_ == nullptr) {
        return;
    }
    queue_.push_back(std::move(call));
    ::PostMessageW(queueTarget_, kRunQueuedCalls, 0, 0);
}

void FleetStationWindow::RunQueuedCalls() {
    std::vector<std::function<void()>> calls;
    {
        const std::lock_guard lock(queueMutex_);
        calls.swap(queue_);
    }
    for (const std::function<void()>& call : calls) {
        call();
    }
}

void FleetStationWindow::ShowFault(int controlId, bool fault) {
    if (fault ? faults_.insert(controlId).second : faults_.erase(controlId) != 0) {
        ::InvalidateRect(Item(controlId), nullptr, TRUE);
    }
}

bool FleetStationWindow::IsChecked(int controlId) const {
    return ::IsDlgButtonChecked(window_, controlId) == BST_CHECKED;
}

void FleetStationWindow::SetChecked(int controlId, bool checked) {
    ::CheckDlgButton(window_, controlId, checked ? BST_CHECKED : BST_UNCHECKED);
}

// The system's own sounds: the default beep for a tracker passed, the
// critical stop for a failed one.
std::string FleetStationWindow::PlaySound(StationSound sound) {
    const UINT beep = sound == StationSound::Passed ? MB_OK : MB_ICONHAND;
    if (::MessageBeep(beep) == FALSE) {
        return "MessageBeep failed, error " + std::to_string(::GetLastError());
    }
    return {};
}

void FleetStationWindow::SetText(int controlId, const std::string& text) {
    const std::wstring shown = WideOfUtf8(text);
    if (controlId == kStationTitle) {
        ::SetWindowTextW(window_, shown.c_str());
    } else {
        ::SetDlgItemTextW(window_, controlId, shown.c_str());
    }
}

std::string FleetStationWindow::Text(int controlId) const {
    HWND control = Item(controlId);
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return Utf8OfWide(text);
}

void FleetStationWindow::Enable(int controlId, bool enable) {
    ::EnableWindow(Item(controlId), enable);
}

void FleetStationWindow::ShowSlotChoices(const std::vector<SlotChoice>& choices) {
    HWND list = Item(kStationSlots);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    slotNames_.clear();
    for (const SlotChoice& choice : choices) {
        const std::wstring label = WideOfUtf8(choice.label);
        const LRESULT index =
            ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
        ::SendMessageW(list, LB_SETSEL, choice.ticked, index);
        slotNames_.push_back(choice.name);
    }
}

std::vector<std::string> FleetStationWindow::TickedSlots() const {
    HWND list = Item(kStationSlots);
    std::vector<std::string> ticked;
    for (std::size_t i = 0; i < slotNames_.size(); ++i) {
        if (::SendMessageW(list, LB_GETSEL, i, 0) > 0) {
            ticked.push_back(slotNames_[i]);
        }
    }
    return ticked;
}

void FleetStationWindow::ShowTiles(const std::vector<Tile>& tiles) {
    for (const ShownTile& shown : tiles_) {
        ::DestroyWindow(shown.control);
        ::DestroyWindow(shown.retry);
    }
    tiles_.clear();
    const auto formFont = ::SendMessageW(window_, WM_GETFONT, 0, 0);
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        // The tile paints around its button, which lies over it.
        HWND control = ::CreateWindowExW(
            0, L"STATIC", TileText(tiles[i]).c_str(),
            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_OWNERDRAW, 0, 0, 0, 0, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstTile + i)), instance_, nullptr);
        HWND retry = ::CreateWindowExW(
            0, L"BUTTON", L"", WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStationFirstRetry + i)), instance_,
            nullptr);
        ::SendMessageW(retry, WM_SETFONT, static_cast<WPARAM>(formFont), FALSE);
        ::SetWindowPos(retry, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        tiles_.push_back({control, retry, {}});
        ShowTile(i, tiles[i]);
    }
    RECT client;
    ::GetClientRect(window_, &client);
    LayOut(client.right, client.bottom);
}

void FleetStationWindow::ShowTile(std::size_t index, const Tile& tile) {
    if (index >= tiles_.size()) {
        return;
    }
    ShownTile& shown = tiles_[index];
    shown.tile = tile;
    ::SetWindowTextW(shown.control, TileText(tile).c_str());
    ::InvalidateRect(shown.control, nullptr, TRUE);
    ::SetWindowTextW(shown.retry, WideOfUtf8(tile.retry).c_str());
    ::ShowWindow(shown.retry, tile.retry.empty() ? SW_HIDE : SW_SHOW);
}

void FleetStationWindow::ShowMessage(const std::string& text) {
    wchar_t title[256] = {};
    ::GetWindowTextW(window_, title, static_cast<int>(std::size(title)));
    ::MessageBoxW(window_, WideOfUtf8(text).c_str(), title, MB_OK);
}

std::optional<std::filesystem::path> FleetStationWindow::AskFile(const std::string& caption,
                                                                 StationFile kind) {
    return AskOpenFile(window_, WideOfUtf8(caption), kind);
}

}  // namespace vorlen::win32
