// What the form's behaviour needs of a window toolkit. A window implements
// this over its real controls; the form addresses every control by its id
// from the layout table and never sees a widget. Texts cross it as UTF-8,
// lines broken by LF alone: the form keeps the GBK bytes behind them, and
// the window converts only to its toolkit's strings.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialog/dialog_layout.h"
#include "dialog/side_windows.h"
#include "protocol/status_mark.h"

namespace vorlen {

enum class MessageButtons { Ok, OkCancel };
enum class MessageAnswer { Ok, Cancel };

class DialogWindow {
public:
    virtual ~DialogWindow() = default;

    // The text a control shows: a caption, or an edit's contents, as the
    // operator sees it. The form, not the window, knows the bytes behind it.
    virtual std::string Text(int controlId) const = 0;
    virtual void SetText(int controlId, const std::string& text) = 0;

    virtual void Enable(int controlId, bool enable) = 0;

    virtual bool IsChecked(int controlId) const = 0;
    virtual void SetChecked(int controlId, bool checked) = 0;

    // Replaces a list's entries; nothing is selected afterwards.
    virtual void FillList(int listId, const std::vector<std::string>& entries) = 0;
    // An index the list lacks, -1 among them, leaves it without a selection.
    virtual void SelectEntry(int listId, int index) = 0;
    // -1 when nothing is selected.
    virtual int SelectedEntry(int listId) const = 0;

    // A modal box; returns when the operator has answered.
    virtual MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                                      MessageButtons buttons) = 0;

    // Puts the keyboard focus into an edit with all its text selected.
    virtual void FocusField(int controlId) = 0;

    // While a transaction holds the window's thread the window cannot
    // repaint; a busy pointer tells the operator the tool is still working.
    virtual void ShowBusy(bool busy) = 0;

    // The status box's background: green, red, or the usual colour.
    virtual void ShowStatusMark(StatusMark mark) = 0;

    // Runs `call` on the window's thread soon; safe from any thread.
    virtual void RunOnWindowThread(std::function<void()> call) = 0;

    // The modal about box.
    virtual void ShowAbout() = 0;

    // The form's frame and the usable area of its screen, in pixels: the
    // side windows open beside it (side_windows.h).
    virtual Rect Frame() const = 0;
    virtual Rect ScreenArea() const = 0;

    // The line monitor over `record`, and the fleet station with
    // `services`: made hidden, not modal, kept by the form's window until it
    // goes; null when the window cannot be made.
    virtual SideWindow* MakeLineMonitor(LineRecord& record) = 0;
    virtual SideWindow* MakeStation(fleet::StationServices services) = 0;

    // The language the form now speaks (0 Chinese, anything else English),
    // for what the toolkit draws itself: the buttons of its message boxes
    // and file dialogs. A window whose system draws them does nothing.
    virtual void UseLanguage(int /*language*/) {}

    // The caption of a window menu item (see system_command.h).
    virtual void SetMenuText(unsigned command, const std::string& text) = 0;

    // Asks which profile file to save to, or to load; nothing when the
    // operator cancels.
    virtual std::optional<std::filesystem::path> AskProfilePath(const std::string& caption,
                                                                bool forSaving) = 0;
};

}  // namespace vorlen
