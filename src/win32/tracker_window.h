// The form as a Win32 dialog: made by the dialog manager from the layout
// table, the operator's events go to the toolkit-free TrackerConfigDialog,
// and the window does what the dialog asks of the screen. Texts are UTF-16
// on the screen and UTF-8 towards the dialog.
//
// The form has no default button: Enter neither presses a button nor ends
// the form, so a setting is sent only by a click or by Space on its button.
// Escape and the close box end it. A list changes under the mouse wheel only
// while it has the keyboard focus.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "dialog/dialog_window.h"
#include "dialog/tracker_config_dialog.h"
#include "win32/caption_fit.h"
#include "win32/line_monitor_window.h"
#include "win32/station_window.h"
#include "win32/tip_combo_box.h"

namespace vorlen::win32 {

class TrackerWindow : public DialogWindow {
public:
    TrackerWindow(TrackerConfigServices services, HINSTANCE instance);
    ~TrackerWindow() override;
    TrackerWindow(const TrackerWindow&) = delete;
    TrackerWindow& operator=(const TrackerWindow&) = delete;

    // Shows the form, then opens the first port (which can take seconds, as
    // an outgoing Bluetooth port does), and returns once the operator has
    // closed the form.
    void Run();

    // DialogWindow.
    std::string Text(int controlId) const override;
    void SetText(int controlId, const std::string& text) override;
    void Enable(int controlId, bool enable) override;
    bool IsChecked(int controlId) const override;
    void SetChecked(int controlId, bool checked) override;
    void FillList(int listId, const std::vector<std::string>& entries) override;
    void SelectEntry(int listId, int index) override;
    int SelectedEntry(int listId) const override;
    MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                              MessageButtons buttons) override;
    void FocusField(int controlId) override;
    void ShowBusy(bool busy) override;
    void ShowStatusMark(StatusMark mark) override;
    void RunOnWindowThread(std::function<void()> call) override;
    void ShowAbout() override;
    Rect Frame() const override;
    Rect ScreenArea() const override;
    SideWindow* MakeLineMonitor(LineRecord& record) override;
    SideWindow* MakeStation(fleet::StationServices services) override;
    void SetMenuText(unsigned command, const std::string& text) override;
    std::optional<std::filesystem::path> AskProfilePath(const std::string& caption,
                                                        bool forSaving) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnCommand(int id, int code);
    void OnEditChanged(int id, HWND edit);
    INT_PTR OnControlColour(HDC dc, HWND control);
    bool PaintMinimised();
    void Close();
    void RunQueuedCalls();
    bool EndsNothing(const MSG& message) const;
    bool IsFormMessage(const MSG& message) const;
    bool IsOwnedWindowMessage(MSG* message) const;
    HWND Control(int id) const;

    HINSTANCE instance_;
    HWND window_ = nullptr;
    mutable std::map<int, HWND> controls_;  // the form's controls by id, as looked up
    HICON largeIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HBRUSH successBrush_;
    HBRUSH failureBrush_;
    CaptionFonts captionFonts_;  // for the multi-line buttons' captions
    StatusMark mark_ = StatusMark::None;
    HCURSOR cursorBeforeBusy_ = nullptr;
    std::map<int, std::wstring> accepted_;  // each edit's text as last set or accepted
    bool settingText_ = false;              // the program, not the operator, changes an edit
    TipsOnFirstHover tips_;

    std::mutex queueMutex_;
    HWND queueTarget_ = nullptr;  // null once closed: later calls are dropped
    std::vector<std::function<void()>> queue_;

    // Made at their first showing; the monitor reads the dialog's line
    // record, the station never takes the dialog's port.
    std::unique_ptr<LineMonitorWindow> lineMonitor_;
    std::unique_ptr<FleetStationWindow> station_;

    // Last, so that it is gone before the rest: it stops the worker first.
    TrackerConfigDialog dialog_;
};

}  // namespace vorlen::win32
