// The form as a Qt window on Linux: the widgets are made from the layout
// table, the operator's events go to the toolkit-free TrackerConfigDialog,
// and the window does what the dialog asks of the screen.
//
// The form has no default button: Enter neither presses a button nor ends
// the form, so a setting is sent only by a click or by Space on its button.
// A list changes under the mouse wheel only while it has the keyboard focus.
#pragma once

#include <QDialog>
#include <map>
#include <memory>
#include <string>

#include "dialog/dialog_layout.h"
#include "dialog/dialog_units.h"
#include "dialog/dialog_window.h"
#include "dialog/tracker_config_dialog.h"

class QAction;
class QComboBox;
class QPlainTextEdit;
class QTranslator;

namespace vorlen {

class TrackerWindow : public QDialog, public DialogWindow {
    Q_OBJECT

public:
    explicit TrackerWindow(TrackerConfigServices services, QWidget* parent = nullptr);
    ~TrackerWindow() override;

    TrackerConfigDialog& Dialog() { return dialog_; }
    const TrackerConfigDialog& Dialog() const { return dialog_; }

    // The control with that id, or null.
    QWidget* Control(int id) const;
    BaseUnits DialogBaseUnits() const { return baseUnits_; }

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
    void UseLanguage(int language) override;
    void SetMenuText(unsigned command, const std::string& text) override;
    std::optional<std::filesystem::path> AskProfilePath(const std::string& caption,
                                                        bool forSaving) override;

protected:
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    QWidget* CreateControl(const DialogControl& row);
    QComboBox* CreateList(const DialogControl& row);
    void AddMenuItems();
    QComboBox* List(int listId) const;

    BaseUnits baseUnits_;
    std::map<int, QWidget*> controls_;
    QPlainTextEdit* statusBox_ = nullptr;
    std::map<unsigned, QAction*> menuItems_;
    // Qt's own texts in Chinese (the buttons Qt draws), while the form speaks
    // Chinese; empty when Debian's Qt translations are not installed.
    std::unique_ptr<QTranslator> qtChinese_;
    // Last, so that it is gone before the widgets it talks to.
    TrackerConfigDialog dialog_;
};

}  // namespace vorlen
