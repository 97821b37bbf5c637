// The tool's one form, without a toolkit: the operator picks the port and the
// language, wakes the tracker and sets its parameters. It owns the record,
// the port list, the port, the wake-up worker and the language, and carries
// every handler of the form; it reaches the screen only through the
// DialogWindow that a window toolkit implements.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "dialog/dialog_window.h"
#include "dialog/side_windows.h"
#include "dialog/tracker_config_services.h"
#include "model/selections.h"
#include "model/tracker_form.h"
#include "protocol/command_type.h"
#include "protocol/form_view.h"
#include "protocol/line_record.h"
#include "protocol/port_slot.h"
#include "protocol/wake_worker.h"
#include "serial/port_info.h"

namespace vorlen {

struct ButtonAction;
struct Profile;

// After StartUp() the form is like this: lists filled, English captions (or
// the language asked for at start), the configuration area locked, the port
// asked for or else the first one opened and its outcome in the status box. Until the tracker has been woken only the port list, the
// language list, the status box and Wake Tracker are usable.
//
// Every setting button saves the controls, checks its fields and sends its
// command; the window's thread waits for the tracker's answer meanwhile.
class TrackerConfigDialog : public FormView {
public:
    // The window must outlive the form. Nothing is shown until StartUp().
    TrackerConfigDialog(TrackerConfigServices services, DialogWindow& window,
                        WakeUpWorker::PauseFactory wakePause = StoppablePause);
    ~TrackerConfigDialog() override;
    TrackerConfigDialog(const TrackerConfigDialog&) = delete;
    TrackerConfigDialog& operator=(const TrackerConfigDialog&) = delete;

    // Fills the lists, applies the language, locks the area and opens the
    // port asked for, or the first. The window calls it once its controls exist.
    void StartUp();
    // StartUp() less the port: a window that shows itself before it opens
    // the port (which can take seconds) calls this, shows, and then
    // OpenSelectedPort().
    void PrepareForm();

    TrackerForm& Record() { return record_; }

    // Save (true) copies the controls into the record and stops with a
    // message at the first field longer than its limit, which then has the
    // focus; fields after it keep their values. Load (false) writes every
    // field into its control and always succeeds.
    bool UpdateData(bool save);

    // The choice lists' selected entries now, -1 for an empty list.
    Selections CurrentSelections() const;
    int Language() const;  // 0 Chinese, anything else English
    int PortIndex() const;
    // The name of the port the form holds open, or "" when it holds none.
    const std::string& PortInUse() const { return portInUse_; }

    const PortList& Ports() const { return ports_; }
    PortSlot& PortHandle() { return port_; }
    // Every byte that went to the tracker and came back, for the line monitor.
    LineRecord& Line() { return line_; }
    StatusMark CurrentStatusMark() const { return statusMark_; }

    static constexpr std::string_view kProgramName = "Vorlen";

    // Every message box of the form; text and caption are GBK.
    MessageAnswer ShowMessage(const std::string& text,
                              MessageButtons buttons = MessageButtons::Ok,
                              std::string_view caption = kProgramName);

    // FormView. The status text is GBK bytes.
    void ReportStatus(const std::string& text, StatusMark mark) override;
    void Refresh() override;
    void ShowReading(const TrackerReading& reading) override;

    // Selects entry `index` of a choice list; an index the list lacks leaves
    // it without a selection.
    void SelectEntry(int listId, int index);
    void EnableControl(int controlId, bool enable);
    // Enables the centre, IP/port, APN and user-ID groups for the working
    // mode selected now.
    void ApplyWorkingModeEnabling();

    // Enables or disables every control inside the group box in the layout,
    // edges included, the box itself too; returns how many. Anything that
    // is not a group box gives 0.
    int EnableGroupChildren(int groupId, bool enable);

    void LockConfigArea();
    void UnlockConfigArea();
    // Clears the fence check box (the control only) and disables the fence
    // type and the six fence parameters.
    void ResetFenceControls();
    // Enables the fence parameters the selected fence type uses.
    void ApplyFenceEnabling();
    void ApplyLanguage();

    // Opens the port selected in the port list and reports the outcome;
    // with no port selected, does nothing.
    void OpenSelectedPort();

    // The form's controls in their state after PrepareForm(), so a window
    // can be made that way: whether the control starts disabled, and its
    // caption as shown (UTF-8), empty for one that has none of its own.
    static bool LockedAtStart(int controlId);
    static std::string CaptionAtStart(int controlId);

    // The operator's events, forwarded by the window. A press of a button or
    // of the check box, or a pick in a list, does what the layout table
    // says. A window reports every list about to open, whatever the list
    // shows; the form decides which lists take their entries afresh (the
    // port list, where cables come and go).
    void OnControlWorked(int controlId);
    void OnListOpening(int listId);
    void OnButtonClicked(int buttonId);
    void OnFenceOpenClicked();
    void OnPortChanged();
    // Lists the machine's ports afresh: a cable plugged in since shows up,
    // one pulled out is gone. The selection stays on the port that was
    // picked while it is listed; nothing is opened or closed.
    void OnPortListOpening();
    void OnLanguageChanged() { ApplyLanguage(); }
    void OnFenceTypeChanged() { ApplyFenceEnabling(); }
    void OnWorkingModeChanged() { ApplyWorkingModeEnabling(); }
    // The window menu's items: the about box, saving and loading a profile.
    void OnSystemCommand(unsigned command);
    // Saves the form (after the usual save, which may stop at an over-long
    // field) to a profile file the operator names.
    bool ProfileWillLoadOrSaveAnyway();
    void OnSaveProfile();
    // Loads a profile file into the form, only when all of it is valid; a
    // bad one is refused in a message naming the key and the line.
    void OnLoadProfile();
    // Every way of closing the form ends here (the close box, Escape): the
    // port is closed and a running wake-up stopped.
    void OnClose();

private:
    // Replaces the port list with the machine's ports, and the port asked
    // for at start behind them when they do not include it, and selects the
    // one named `kept` (nothing when it is not listed), or the first without
    // one. Ports that cannot be listed leave the list as it was.
    void FillPortList(const std::optional<std::string>& kept = std::nullopt);
    void FillList(int listId);
    void DisableFenceControls();
    // Enables the fence parameters the tracker's fence kind uses.
    void ApplyFenceKindEnabling(int kind);

    void RunButtonAction(const ButtonAction& action);
    void SendCommand(CommandType type);
    // The port closed itself as its device went: the status box says so.
    void ReportPortGone();
    // The same while the wake-up runs, which has no failure line of its own.
    void ReportWakePortGone();
    void OnWakeTracker();
    void ClosePort();
    std::optional<std::filesystem::path> AskProfilePath(bool forSaving);
    // A control's text goes to the window as it is shown; what it shows is
    // read back as the bytes the control was given while the operator has
    // left it as it was (see GbkOfShownText).
    void ShowText(int controlId, const std::string& gbk);
    std::string ShownText(int controlId) const;
    void ApplyProfile(const Profile& profile);

    TrackerConfigServices services_;
    DialogWindow& window_;
    std::map<int, std::string> given_;  // the GBK bytes each control was last given
    TrackerForm record_;
    StatusMark statusMark_ = StatusMark::None;
    bool areaUnlocked_ = false;
    PortList ports_;
    // Declared before the port, which records into it.
    LineRecord line_;
    PortSlot port_;
    std::string portInUse_;
    // The line monitor and the station beside the form.
    SideWindows sides_;
    // Declared after the port it reads, so it is stopped before the port goes.
    WakeUpWorker wakeWorker_;
};

}  // namespace vorlen
