#include "qt/tracker_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLibraryInfo>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTranslator>

#include "dialog/system_command.h"
#include "model/bilingual.h"
#include "model/control_ids.h"
#include "model/tracker_form.h"
#include "qt/about_dialog.h"
#include "qt/control_text.h"
#include "qt/dialog_metrics.h"
#include "qt/gbk_length_validator.h"
#include "qt/line_monitor_window.h"
#include "qt/message_box.h"
#include "qt/opening_combo_box.h"
#include "qt/settings_store.h"
#include "qt/station_window.h"
#include "qt/status_colours.h"
#include "qt/tip_combo_box.h"
#include "qt/wrapping_push_button.h"

namespace vorlen {
namespace {

using namespace control;

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TrackerWindow::TrackerWindow(TrackerConfigServices services, QWidget* parent)
    : QDialog(parent), dialog_(std::move(services), *this) {
    setWindowTitle(FromUtf8(TrackerConfigDialog::kProgramName));
    setWindowIcon(ApplicationIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    baseUnits_ = BaseUnitsOf(font());
    setFixedSize(PixelRect(kFormRect, baseUnits_).size());

    CreateControls();
    AddMenuItems();
    dialog_.StartUp();
}

TrackerWindow::~TrackerWindow() = default;

void TrackerWindow::CreateControls() {
    for (const DialogControl& row : DialogLayout()) {
        QWidget* widget = CreateControl(row);
        widget->setGeometry(PixelRect(FieldRect(row), baseUnits_));
        if (row.Has(control_flag::kHidden)) {
            widget->hide();
        }
        if (row.id != kNoControlId) {
            controls_[row.id] = widget;
        }
    }
}

QWidget* TrackerWindow::CreateControl(const DialogControl& row) {
    const QString caption = FromUtf8(row.caption);
    switch (row.kind) {
    case ControlKind::PushButton: {
        QPushButton* button = row.Has(control_flag::kMultiLine)
                                  ? new WrappingPushButton(caption, this)
                                  : new QPushButton(caption, this);
        // Not even the focused button becomes the default: Enter would send
        // a command the operator did not ask for.
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this,
                [this, id = row.id] { dialog_.OnControlWorked(id); });
        return button;
    }
    case ControlKind::Edit: {
        if (row.Has(control_flag::kMultiLine)) {
            statusBox_ = new QPlainTextEdit(this);
            statusBox_->setReadOnly(row.Has(control_flag::kReadOnly));
            statusBox_->setVerticalScrollBarPolicy(row.Has(control_flag::kVerticalScroll)
                                                       ? Qt::ScrollBarAlwaysOn
                                                       : Qt::ScrollBarAlwaysOff);
            statusBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            return statusBox_;
        }
        auto* edit = new QLineEdit(this);
        edit->setValidator(new GbkLengthValidator(FieldForControl(row.id), edit));
        return edit;
    }
    case ControlKind::DropDownList:
        return CreateList(row);
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(caption, this);
        connect(box, &QCheckBox::clicked, this,
                [this, id = row.id] { dialog_.OnControlWorked(id); });
        return box;
    }
    case ControlKind::Label: {
        auto* label = new QLabel(caption, this);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment((row.Has(control_flag::kCentered) ? Qt::AlignHCenter : Qt::AlignLeft) |
                            Qt::AlignTop);
        return label;
    }
    case ControlKind::GroupBox: {
        // Like a Windows group box, only a frame: the controls inside are
        // the form's, and clicks go through to them.
        auto* box = new QGroupBox(this);
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
        box->lower();
        return box;
    }
    }
    return nullptr;
}

// A wheel turned over a list the operator is not working in must not change
// it: over the port list that would reopen the port. So a list takes the
// focus only from the keyboard or a click, and its wheel events are
// filtered while it lacks the focus. `activated` comes from the operator
// only, never from the program's own filling or selecting, like a Windows
// selection-change notification. Every list's opening goes to the form.
QComboBox* TrackerWindow::CreateList(const DialogControl& row) {
    OpeningComboBox* list = row.Has(control_flag::kShowsTips) ? new TipComboBox(this)
                                                              : new OpeningComboBox(this);
    connect(list, &OpeningComboBox::popupAboutToShow, this,
            [this, id = row.id] { dialog_.OnListOpening(id); });
    connect(list, &QComboBox::activated, this, [this, id = row.id] { dialog_.OnControlWorked(id); });
    list->setMaxVisibleItems(OpenListRows(row));
    list->setFocusPolicy(Qt::StrongFocus);
    list->installEventFilter(this);
    return list;
}

bool TrackerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        if (auto* list = qobject_cast<QComboBox*>(watched); list != nullptr && !list->hasFocus()) {
            event->ignore();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Linux gives a program no say in the window menu, so its items live in the
// form's context menu and on their shortcuts.
void TrackerWindow::AddMenuItems() {
    for (const WindowMenuItem& item : WindowMenuItems()) {
        if (item.command == kAboutCommand) {
            auto* separator = new QAction(this);
            separator->setSeparator(true);
            addAction(separator);
        }
        auto* action = new QAction(FromUtf8(item.caption.english), this);
        action->setShortcut(QKeySequence(FromUtf8(item.shortcut)));
        connect(action, &QAction::triggered, this,
                [this, command = item.command] { dialog_.OnSystemCommand(command); });
        addAction(action);
        menuItems_[item.command] = action;
    }
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

QWidget* TrackerWindow::Control(int id) const {
    const auto found = controls_.find(id);
    return found != controls_.end() ? found->second : nullptr;
}

QComboBox* TrackerWindow::List(int listId) const {
    return qobject_cast<QComboBox*>(Control(listId));
}

std::string TrackerWindow::Text(int controlId) const {
    const QWidget* widget = Control(controlId);
    if (widget == nullptr) {
        return {};
    }
    return ControlText(*widget).toStdString();
}

void TrackerWindow::SetText(int controlId, const std::string& text) {
    QWidget* widget = Control(controlId);
    if (widget == nullptr) {
        return;
    }
    const QString shown = FromUtf8(text);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        if (auto* limit = edit->findChild<GbkLengthValidator*>()) {
            limit->SetText(shown);
            return;
        }
    }
    SetControlText(*widget, shown);
}

void TrackerWindow::Enable(int controlId, bool enable) {
    if (QWidget* widget = Control(controlId)) {
        widget->setEnabled(enable);
    }
}

bool TrackerWindow::IsChecked(int controlId) const {
    const auto* box = qobject_cast<const QCheckBox*>(Control(controlId));
    return box != nullptr && box->isChecked();
}

void TrackerWindow::SetChecked(int controlId, bool checked) {
    if (auto* box = qobject_cast<QCheckBox*>(Control(controlId))) {
        box->setChecked(checked);
    }
}

void TrackerWindow::FillList(int listId, const std::vector<std::string>& entries) {
    QComboBox* list = List(listId);
    if (list == nullptr) {
        return;
    }
    list->clear();
    for (const std::string& entry : entries) {
        list->addItem(FromUtf8(entry));
    }
    list->setCurrentIndex(-1);
}

void TrackerWindow::SelectEntry(int listId, int index) {
    if (QComboBox* list = List(listId)) {
        list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
    }
}

int TrackerWindow::SelectedEntry(int listId) const {
    const QComboBox* list = List(listId);
    return list != nullptr ? list->currentIndex() : -1;
}

MessageAnswer TrackerWindow::ShowMessage(const std::string& text, const std::string& caption,
                                         MessageButtons buttons) {
    return ShowMessageBox(this, text, caption, buttons);
}

void TrackerWindow::FocusField(int controlId) {
    QWidget* widget = Control(controlId);
    if (widget == nullptr) {
        return;
    }
    widget->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->selectAll();
    }
}

void TrackerWindow::ShowBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void TrackerWindow::ShowStatusMark(StatusMark mark) {
    if (statusBox_ != nullptr) {
        vorlen::ShowStatusMark(*statusBox_, mark);
    }
}

// A queued call dies with the window, so a late call finds no dead form.
void TrackerWindow::RunOnWindowThread(std::function<void()> call) {
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void TrackerWindow::ShowAbout() {
    AboutDialog about(this);
    about.exec();
}

Rect TrackerWindow::Frame() const { return RectOf(frameGeometry()); }

Rect TrackerWindow::ScreenArea() const { return RectOf(screen()->availableGeometry()); }

// Windows of their own, which go with the form.
SideWindow* TrackerWindow::MakeLineMonitor(LineRecord& record) {
    return new LineMonitorWindow(record, kEnglish, this);
}

SideWindow* TrackerWindow::MakeStation(fleet::StationServices services) {
    if (!services.settings) {
        services.settings = std::make_shared<QtSettingsStore>();
    }
    return new fleet::FleetStationWindow(std::move(services), kEnglish, this);
}

void TrackerWindow::UseLanguage(int language) {
    if (language != kChinese) {
        if (qtChinese_) {
            QCoreApplication::removeTranslator(qtChinese_.get());
        }
        return;
    }
    if (!qtChinese_) {
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            return;  // the buttons stay in English
        }
        qtChinese_ = std::move(translator);
    }
    QCoreApplication::installTranslator(qtChinese_.get());
}

void TrackerWindow::SetMenuText(unsigned command, const std::string& text) {
    if (const auto item = menuItems_.find(command); item != menuItems_.end()) {
        item->second->setText(FromUtf8(text));
    }
}

std::optional<std::filesystem::path> TrackerWindow::AskProfilePath(const std::string& caption,
                                                                    bool forSaving) {
    QFileDialog ask(this, FromUtf8(caption));
    ask.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    ask.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    ask.setNameFilters({QStringLiteral("Vorlen profile (*.toml)"), QStringLiteral("All files (*)")});
    ask.setDefaultSuffix(QStringLiteral("toml"));
    if (ask.exec() != QDialog::Accepted || ask.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(ask.selectedFiles().front().toStdU16String());
}

void TrackerWindow::done(int result) {
    dialog_.OnClose();
    QDialog::done(result);
}

}  // namespace vorlen
