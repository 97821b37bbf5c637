// The tool's one window: the form on which the operator picks the port and
// the language, wakes the tracker and sets its parameters.
#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "dialog/dialog_layout.h"
#include "dialog/dialog_units.h"
#include "dialog/tracker_config_services.h"
#include "model/tracker_form.h"
#include "protocol/command_type.h"
#include "protocol/form_view.h"
#include "protocol/port_slot.h"
#include "model/selections.h"
#include "protocol/wake_worker.h"
#include "serial/port_info.h"

class QCheckBox;
class QComboBox;
class QPlainTextEdit;

namespace vorlen {

struct ButtonAction;

// Built from the dialog layout table; every control is a direct child of the
// form, addressed by its control id. The form starts like this: lists filled,
// English captions, the configuration area locked, the first port opened and
// its outcome in the status box. Until the tracker has been woken only the
// port list, the language list, the status box and Wake Tracker are usable.
//
// Every setting button saves the controls, checks its fields and sends its
// command; the window's thread waits for the tracker's answer meanwhile. The
// form has no default button: Enter neither presses a button nor ends the
// form, so a setting is sent only by a click or by Space on its button.
class TrackerConfigDialog : public QDialog, public FormView {
    Q_OBJECT

public:
    explicit TrackerConfigDialog(TrackerConfigServices services, QWidget* parent = nullptr);
    ~TrackerConfigDialog() override;

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

    const PortList& Ports() const { return ports_; }
    PortSlot& PortHandle() { return port_; }
    StatusMark CurrentStatusMark() const { return statusMark_; }

    static constexpr std::string_view kProgramName = "Vorlen";

    // Every message box of the form; text and caption are GBK.
    MessageAnswer ShowMessage(const std::string& text,
                              MessageButtons buttons = MessageButtons::Ok,
                              std::string_view caption = kProgramName);

    // The control with that id, or null.
    QWidget* Control(int id) const;
    BaseUnits DialogBaseUnits() const { return baseUnits_; }

    // The action a push button runs when clicked; a button without one does
    // nothing.
    void SetButtonAction(int buttonId, std::function<void()> action);

    // FormView. The status text is GBK bytes.
    void ReportStatus(const std::string& text, StatusMark mark) override;
    void Refresh() override;
    void SelectEntry(int listId, int index) override;
    void EnableControl(int controlId, bool enable) override;
    void ApplyWorkingModeEnabling() override;

    // Enables or disables every control inside the group box, edges
    // included, the box itself too; returns how many. Anything that is not
    // a group box gives 0.
    int EnableGroupChildren(QWidget* box, bool enable);

    void LockConfigArea();
    void UnlockConfigArea();
    // Clears the fence check box (the control only) and disables the fence
    // type and the six fence parameters.
    void ResetFenceControls();
    void ApplyFenceEnabling();
    void ApplyLanguage();

    // Opens the port selected in the port list and reports the outcome;
    // with no port selected, does nothing.
    void OpenSelectedPort();

protected:
    // Every way of closing the form ends here (the close box, Escape): the
    // port is closed and a running wake-up stopped.
    void done(int result) override;

private:
    void CreateControls();
    QWidget* CreateControl(const DialogControl& row);
    QComboBox* CreateList(const DialogControl& row);
    void ConnectSelectionChanges();
    void AddAboutItem();
    void StartUp();

    void FillPortList();
    void FillList(int listId);
    QComboBox* List(int listId) const;

    void SetUpButtonActions();
    void RunButtonAction(const ButtonAction& action);
    void SendCommand(CommandType type);
    void OnWakeTracker();

    void OnButtonClicked(int buttonId);
    void OnFenceOpenClicked();
    void OnPortChanged();
    void OnSystemCommand(unsigned command);
    void ClosePort();
    void CloseDown();

    TrackerConfigServices services_;
    TrackerForm record_;
    StatusMark statusMark_ = StatusMark::None;
    PortList ports_;
    PortSlot port_;
    // Declared after the port it reads, so it is stopped before the port goes.
    WakeUpWorker wakeWorker_;
    BaseUnits baseUnits_;
    std::map<int, QWidget*> controls_;
    std::map<int, std::function<void()>> buttonActions_;

    QPlainTextEdit* statusBox_ = nullptr;
    QCheckBox* fenceOpen_ = nullptr;

    // The eight choice lists.
    QComboBox* portList_ = nullptr;
    QComboBox* languageList_ = nullptr;
    QComboBox* warningTypeList_ = nullptr;
    QComboBox* workingModeList_ = nullptr;
    QComboBox* fenceTypeList_ = nullptr;
    QComboBox* northSouthList_ = nullptr;
    QComboBox* eastWestList_ = nullptr;
    QComboBox* baseStationList_ = nullptr;
};

}  // namespace vorlen
