// What the line monitor's behaviour needs of a window toolkit: a list of
// rows, three buttons and a line for the save's outcome. A window implements
// this over its real controls and forwards each button press by its id; the
// monitor never sees a widget. Texts cross it as UTF-8, as the rows are.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vorlen {

// The monitor's controls; a window may give its own controls these ids.
inline constexpr int kMonitorTitle = 0;  // the window's own title
inline constexpr int kMonitorRows = 100;
inline constexpr int kMonitorClear = 101;
inline constexpr int kMonitorCopyAll = 102;
inline constexpr int kMonitorSave = 103;
inline constexpr int kMonitorSaveResult = 104;

// The buttons in the order they stand, left to right.
inline constexpr std::array<int, 3> kMonitorButtons{kMonitorClear, kMonitorCopyAll, kMonitorSave};

class MonitorWindow {
public:
    virtual ~MonitorWindow() = default;

    // A button's caption, the save result's line or the window's title.
    virtual void SetText(int controlId, const std::string& text) = 0;

    // Adds rows, each without a line end, below those shown. The window
    // keeps only the newest LineMonitor::kShownRows and follows the newest
    // row while the operator is there.
    virtual void AppendRows(const std::vector<std::string>& rows) = 0;
    virtual void ClearRows() = 0;

    // Puts the text on the clipboard, line ends as the system's programs
    // paste them.
    virtual void CopyText(const std::string& text) = 0;

    // Asks where to save the log; nothing when the operator cancels.
    // `filter` names the text files the box offers.
    virtual std::optional<std::filesystem::path> AskSavePath(const std::string& caption,
                                                             const std::string& filter) = 0;

    // The save's outcome on the save result's line: `message`, then the
    // file's path as the window writes paths.
    virtual void ShowSaveResult(const std::string& message, const std::filesystem::path& file) = 0;
};

}  // namespace vorlen
