// The line monitor: a window of its own beside the form that shows the line
// record live, one row per write or read, with buttons to clear it, copy it
// and save it as a text file. Not modal: the form stays usable beside it.
// Escape and the close box only hide it; it goes with its owner.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "model/bilingual.h"
#include "protocol/line_record.h"

namespace vorlen::win32 {

class LineMonitorWindow {
public:
    // New rows are fetched this often while the window is shown.
    static constexpr UINT kRefreshMs = 100;
    // The window keeps as many rows as the record does, the newest ones.
    static constexpr int kShownRows = static_cast<int>(LineRecord::kEntries);

    // Control ids, for the owner's tests through the window system.
    static constexpr int kRows = 100;
    static constexpr int kClear = 101;
    static constexpr int kCopyAll = 102;
    static constexpr int kSave = 103;
    static constexpr int kSaveResult = 104;

    // `record` must outlive the window; `owner` is the form, which the
    // window stays above and goes with.
    LineMonitorWindow(HINSTANCE instance, HWND owner, LineRecord& record);
    ~LineMonitorWindow();
    LineMonitorWindow(const LineMonitorWindow&) = delete;
    LineMonitorWindow& operator=(const LineMonitorWindow&) = delete;

    // Shows the window with its captions in the language (as the form's
    // language list: 0 Chinese, anything else English), or brings it to the
    // front when it is already shown.
    void ShowAndRaise(int language);

    // For the owner's message loop: true when the message was the window's
    // keyboard input and has been handled.
    bool IsDialogMessage(MSG* message);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnShown(bool shown);
    void OnCommand(int id);
    void LayOut(int width, int height);
    void PlaceBesideOwner();
    void SetCaptions();
    void AppendNewRows();
    void AppendRow(HWND list, HDC dc, const std::wstring& row);
    void Clear();
    void CopyAll() const;
    void Save();
    HWND Item(int id) const { return ::GetDlgItem(window_, id); }

    HINSTANCE instance_;
    HWND owner_;
    LineRecord& record_;
    HWND window_ = nullptr;
    int language_ = kEnglish;
    bool placed_ = false;          // placed beside the form at its first showing
    std::uint64_t shownUpTo_ = 0;  // the sequence of the newest row shown
    int widestRow_ = 0;            // pixels, for the list's horizontal scrolling
    SIZE minimumSize_{};           // pixels: half the template's size
};

}  // namespace vorlen::win32
