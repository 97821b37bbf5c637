// The line monitor: a window of its own beside the form that shows the line
// record live, one row per write or read, with buttons to clear it, copy it
// and save it as a text file. Not modal: the form stays usable beside it.
// Escape and the close box only hide it; it goes with its owner.
#pragma once

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "dialog/line_monitor.h"
#include "win32/side_window.h"

namespace vorlen::win32 {

// Shows the rows and buttons; the behaviour is LineMonitor's.
class LineMonitorWindow : public Win32SideWindow, private MonitorWindow {
public:
    // New rows are fetched this often while the window is shown.
    static constexpr UINT kRefreshMs = LineMonitor::kRefreshMs;
    // The window keeps as many rows as the record does, the newest ones.
    static constexpr int kShownRows = static_cast<int>(LineMonitor::kShownRows);

    // Control ids, for the owner's tests through the window system.
    static constexpr int kRows = kMonitorRows;
    static constexpr int kClear = kMonitorClear;
    static constexpr int kCopyAll = kMonitorCopyAll;
    static constexpr int kSave = kMonitorSave;
    static constexpr int kSaveResult = kMonitorSaveResult;

    // `record` must outlive the window; `owner` is the form, which the
    // window stays above and goes with.
    LineMonitorWindow(HINSTANCE instance, HWND owner, LineRecord& record);
    ~LineMonitorWindow() override;
    LineMonitorWindow(const LineMonitorWindow&) = delete;
    LineMonitorWindow& operator=(const LineMonitorWindow&) = delete;

    // Its captions follow the form's language.
    void SetLanguage(int language) override;

private:
    template <class Object>
    friend INT_PTR CALLBACK ObjectDialogProc(HWND, UINT, WPARAM, LPARAM);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnShown(bool shown);
    void OnCommand(int id);
    void LayOut(int width, int height) override;
    void SetText(int controlId, const std::string& text) override;
    void AppendRows(const std::vector<std::string>& rows) override;
    void ClearRows() override;
    void CopyText(const std::string& text) override;
    std::optional<std::filesystem::path> AskSavePath(const std::string& caption,
                                                     const std::string& filter) override;
    void ShowSaveResult(const std::string& message, const std::filesystem::path& file) override;
    void AppendRow(HWND list, HDC dc, const std::wstring& row);
    HWND Item(int id) const { return ::GetDlgItem(window_, id); }

    HINSTANCE instance_;
    int widestRow_ = 0;    // pixels, for the list's horizontal scrolling
    LineMonitor monitor_;
};

}  // namespace vorlen::win32
