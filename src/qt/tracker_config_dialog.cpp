#include "qt/tracker_config_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <array>

#include "qt/about_dialog.h"
#include "dialog/button_actions.h"
#include "dialog/captions.h"
#include "dialog/choice_lists.h"
#include "model/control_ids.h"
#include "qt/control_text.h"
#include "qt/dialog_metrics.h"
#include "model/gbk.h"
#include "qt/gbk_length_validator.h"
#include "qt/message_box.h"
#include "qt/status_colours.h"
#include "dialog/system_command.h"
#include "model/validation_messages.h"
#include "qt/wrapping_push_button.h"
#include "protocol/send_command.h"
#include "serial/open_messages.h"
#include "qt/tip_combo_box.h"

namespace vorlen {
namespace {

using namespace control;

// The fence parameters in the order they are switched, and whether a circle
// fence uses them (a custom fence uses all of them).
struct FenceParameter {
    int id;
    bool circleUses;
};
constexpr std::array<FenceParameter, 6> kFenceParameters{{
    {kFenceRadius, true},
    {kFenceInterval, true},
    {kLatitude, false},
    {kNorthSouthList, false},
    {kLongitude, false},
    {kEastWestList, false},
}};

// The setting groups a working mode uses, in the order they are switched.
constexpr std::array<int, 4> kModeGroups{kCenterGroup, kIpPortGroup, kApnGroup, kUserIdGroup};
constexpr std::array<std::array<bool, 4>, 5> kGroupsOfMode{{
    {false, false, false, false},  // P2P
    {true, false, false, false},   // P2S
    {false, true, true, true},     // custom GPRS connection
    {false, true, true, true},     // long GPRS connection
    {false, true, true, true},     // GPRS power saving
}};

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString FromGbk(const std::string& text) { return QString::fromStdString(GbkToUtf8(text)); }

// What a save stores for a control's text. An edit the operator has not
// touched keeps the field's exact bytes, even bytes that are not GBK and show
// as U+FFFD; once edited, such a character becomes '?', since GBK has no
// code for it.
std::string GbkOfControlText(const QString& text, const std::string& field) {
    if (text == FromGbk(field)) {
        return field;
    }
    if (std::optional<std::string> gbk = Utf8ToGbk(text.toStdString())) {
        return *gbk;
    }
    std::string bytes;
    for (const char32_t character : text.toUcs4()) {
        const std::optional<std::string> gbk =
            Utf8ToGbk(QString::fromUcs4(&character, 1).toStdString());
        bytes += gbk ? *gbk : "?";
    }
    return bytes;
}

std::string TooLongMessage(int maxLength, int language) {
    static constexpr Bilingual kText{"Enter no more than %1 characters.", "最多只能输入%1个字符。"};
    std::string text = InLanguage(kText, language);
    text.replace(text.find("%1"), 2, std::to_string(maxLength));
    return text;
}

Rect RectOf(const QRect& rect) { return {rect.x(), rect.y(), rect.width(), rect.height()}; }

// While a transaction holds the window's thread the window cannot repaint;
// the busy pointer tells the operator that the tool is still working.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

TrackerConfigDialog::TrackerConfigDialog(TrackerConfigServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)) {
    setWindowTitle(FromUtf8(kProgramName));
    setWindowIcon(ApplicationIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    baseUnits_ = BaseUnitsOf(font());
    setFixedSize(PixelRect(kFormRect, baseUnits_).size());

    CreateControls();
    ConnectSelectionChanges();
    SetUpButtonActions();
    AddAboutItem();
    StartUp();
}

TrackerConfigDialog::~TrackerConfigDialog() { CloseDown(); }

void TrackerConfigDialog::CreateControls() {
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

QWidget* TrackerConfigDialog::CreateControl(const DialogControl& row) {
    const QString caption = FromUtf8(row.caption);
    switch (row.kind) {
    case ControlKind::PushButton: {
        QPushButton* button = row.Has(control_flag::kMultiLine)
                                  ? new WrappingPushButton(caption, this)
                                  : new QPushButton(caption, this);
        // Not even the focused button becomes the default: Enter would send
        // a command the operator did not ask for.
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, id = row.id] { OnButtonClicked(id); });
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
        const FieldSpec* field = FieldForControl(row.id);
        edit->setValidator(new GbkLengthValidator(field != nullptr ? field->maxLength : 0, edit));
        return edit;
    }
    case ControlKind::DropDownList:
        return CreateList(row);
    case ControlKind::CheckBox:
        fenceOpen_ = new QCheckBox(caption, this);
        connect(fenceOpen_, &QCheckBox::clicked, this, &TrackerConfigDialog::OnFenceOpenClicked);
        return fenceOpen_;
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

QComboBox* TrackerConfigDialog::CreateList(const DialogControl& row) {
    // Entries that can be wider than their list show in full in a tip.
    static constexpr struct {
        int id;
        QComboBox* TrackerConfigDialog::*member;
        bool showsTips;
    } kLists[] = {
        {kWarningTypeList, &TrackerConfigDialog::warningTypeList_, true},
        {kWorkingModeList, &TrackerConfigDialog::workingModeList_, true},
        {kPortList, &TrackerConfigDialog::portList_, true},
        {kEastWestList, &TrackerConfigDialog::eastWestList_, false},
        {kNorthSouthList, &TrackerConfigDialog::northSouthList_, false},
        {kFenceTypeList, &TrackerConfigDialog::fenceTypeList_, true},
        {kLanguageList, &TrackerConfigDialog::languageList_, true},
        {kBaseStationList, &TrackerConfigDialog::baseStationList_, false},
    };
    for (const auto& list : kLists) {
        if (list.id == row.id) {
            QComboBox* combo = list.showsTips ? new TipComboBox(this) : new QComboBox(this);
            combo->setMaxVisibleItems(OpenListRows(row));
            this->*list.member = combo;
            return combo;
        }
    }
    return new QComboBox(this);
}

void TrackerConfigDialog::AddAboutItem() {
    // Linux gives a program no say in the window menu, so the about item
    // lives in the form's context menu and on F1.
    auto* about = new QAction(QStringLiteral("&About Vorlen..."), this);
    about->setShortcut(Qt::Key_F1);
    connect(about, &QAction::triggered, this, [this] { OnSystemCommand(kAboutCommand); });
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

// `activated` comes from the operator only, never from the program's own
// filling or selecting, like a Windows selection-change notification.
void TrackerConfigDialog::ConnectSelectionChanges() {
    connect(portList_, &QComboBox::activated, this, &TrackerConfigDialog::OnPortChanged);
    connect(languageList_, &QComboBox::activated, this, &TrackerConfigDialog::ApplyLanguage);
    connect(fenceTypeList_, &QComboBox::activated, this, &TrackerConfigDialog::ApplyFenceEnabling);
    connect(workingModeList_, &QComboBox::activated, this,
            &TrackerConfigDialog::ApplyWorkingModeEnabling);
}

void TrackerConfigDialog::StartUp() {
    UpdateData(false);
    FillPortList();
    for (const ChoiceList& list : ChoiceLists()) {
        FillList(list.controlId);
    }
    ResetFenceControls();
    ApplyLanguage();
    LockConfigArea();
    OpenSelectedPort();
}

bool TrackerConfigDialog::UpdateData(bool save) {
    for (const FieldSpec& field : ExchangeOrder()) {
        QWidget* widget = Control(field.controlId);
        if (field.text == nullptr) {
            if (save) {
                record_.fenceEnabled = fenceOpen_->isChecked() ? 1 : 0;
            } else {
                // Only a read-back stores a value other than 0 and 1; any
                // non-zero value means the fence is on.
                fenceOpen_->setChecked(record_.fenceEnabled != 0);
            }
            continue;
        }
        std::string& value = record_.*field.text;
        if (!save) {
            SetControlText(*widget, FromGbk(value));
            continue;
        }
        value = GbkOfControlText(ControlText(*widget), value);
        if (field.maxLength > 0 && value.size() > static_cast<std::size_t>(field.maxLength)) {
            ShowMessage(TooLongMessage(field.maxLength, Language()));
            widget->setFocus();
            if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
                edit->selectAll();
            }
            return false;
        }
    }
    if (!save) {
        ShowStatusMark(*statusBox_, statusMark_);
    }
    return true;
}

Selections TrackerConfigDialog::CurrentSelections() const {
    Selections selections;
    selections.workingMode = workingModeList_->currentIndex();
    selections.warningType = warningTypeList_->currentIndex();
    selections.baseStationCount = baseStationList_->currentIndex();
    selections.fenceType = fenceTypeList_->currentIndex();
    selections.northSouth = northSouthList_->currentIndex();
    selections.eastWest = eastWestList_->currentIndex();
    return selections;
}

int TrackerConfigDialog::Language() const { return languageList_->currentIndex(); }

int TrackerConfigDialog::PortIndex() const { return portList_->currentIndex(); }

MessageAnswer TrackerConfigDialog::ShowMessage(const std::string& text, MessageButtons buttons,
                                               std::string_view caption) {
    const std::string captionText(caption);
    if (services_.showMessage) {
        return services_.showMessage(text, captionText, buttons);
    }
    return ShowMessageBox(this, text, captionText, buttons);
}

QWidget* TrackerConfigDialog::Control(int id) const {
    const auto found = controls_.find(id);
    return found != controls_.end() ? found->second : nullptr;
}

void TrackerConfigDialog::SetButtonAction(int buttonId, std::function<void()> action) {
    buttonActions_[buttonId] = std::move(action);
}

void TrackerConfigDialog::ReportStatus(const std::string& text, StatusMark mark) {
    record_.statusText = text;
    statusMark_ = mark;
    UpdateData(false);
}

void TrackerConfigDialog::Refresh() { UpdateData(false); }

void TrackerConfigDialog::SelectEntry(int listId, int index) {
    if (QComboBox* list = List(listId)) {
        list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
    }
}

void TrackerConfigDialog::EnableControl(int controlId, bool enable) {
    if (QWidget* widget = Control(controlId)) {
        widget->setEnabled(enable);
    }
}

void TrackerConfigDialog::ApplyWorkingModeEnabling() {
    const int mode = workingModeList_->currentIndex();
    if (mode < 0 || mode >= static_cast<int>(kGroupsOfMode.size())) {
        return;
    }
    for (std::size_t group = 0; group < kModeGroups.size(); ++group) {
        EnableGroupChildren(Control(kModeGroups[group]),
                            kGroupsOfMode[static_cast<std::size_t>(mode)][group]);
    }
}

int TrackerConfigDialog::EnableGroupChildren(QWidget* box, bool enable) {
    auto* group = qobject_cast<QGroupBox*>(box);
    if (group == nullptr || group->parentWidget() == nullptr) {
        return 0;
    }
    const Rect area = RectOf(group->geometry());
    int count = 0;
    for (QObject* child : group->parentWidget()->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && !widget->isWindow() && Contains(area, RectOf(widget->geometry()))) {
            widget->setEnabled(enable);
            ++count;
        }
    }
    return count;
}

void TrackerConfigDialog::LockConfigArea() { EnableGroupChildren(Control(kConfigArea), false); }

void TrackerConfigDialog::UnlockConfigArea() {
    EnableGroupChildren(Control(kConfigArea), true);
    ResetFenceControls();
    ApplyWorkingModeEnabling();
}

void TrackerConfigDialog::ResetFenceControls() {
    fenceOpen_->setChecked(false);
    EnableControl(kFenceTypeList, false);
    for (const FenceParameter& parameter : kFenceParameters) {
        EnableControl(parameter.id, false);
    }
}

void TrackerConfigDialog::ApplyFenceEnabling() {
    const int type = fenceTypeList_->currentIndex();
    if (type != kCircleFence && type != kCustomFence) {
        return;
    }
    for (const FenceParameter& parameter : kFenceParameters) {
        EnableControl(parameter.id, type == kCustomFence || parameter.circleUses);
    }
}

void TrackerConfigDialog::ApplyLanguage() {
    const int language = Language();
    FillList(kWarningTypeList);
    FillList(kFenceTypeList);
    ResetFenceControls();
    FillList(kWorkingModeList);
    for (const Caption& caption : LanguageCaptions()) {
        if (QWidget* widget = Control(caption.controlId)) {
            SetControlText(*widget, FromUtf8(Utf8In(caption.text, language)));
        }
    }
    record_.statusText.clear();
    UpdateData(false);
    // The load shows the saved fence switch again; the box stays cleared so
    // that it matches the fence controls, which are all disabled now.
    fenceOpen_->setChecked(false);
}

void TrackerConfigDialog::OpenSelectedPort() {
    const int index = PortIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= ports_.size()) {
        return;
    }
    const std::string name = ports_[static_cast<std::size_t>(index)].portName;
    std::shared_ptr<Port> port = services_.openPort(name);
    const bool opened = port != nullptr;
    port_.Replace(std::move(port));
    ReportStatus(OpenResultText(name, opened, Language()),
                 opened ? StatusMark::Success : StatusMark::Failure);
}

void TrackerConfigDialog::done(int result) {
    CloseDown();
    QDialog::done(result);
}

void TrackerConfigDialog::FillPortList() {
    PortList found;
    try {
        services_.enumeratePorts(found);
    } catch (const PortEnumerationError&) {
        return;  // no ports to offer; the operator sees an empty list
    }
    ports_ = std::move(found);
    portList_->clear();
    for (const PortInfo& port : ports_) {
        portList_->addItem(QString::fromStdString(port.portName));
    }
    if (portList_->count() > 0) {
        portList_->setCurrentIndex(0);
    }
}

void TrackerConfigDialog::FillList(int listId) {
    const ChoiceList* entries = FindChoiceList(listId);
    QComboBox* list = List(listId);
    const int language = Language();
    list->clear();
    for (const Bilingual& entry : entries->entries) {
        list->addItem(FromUtf8(Utf8In(entry, language)));
    }
    if (list->count() > 0) {
        list->setCurrentIndex(entries->selectedAfterFill);
    }
}

QComboBox* TrackerConfigDialog::List(int listId) const {
    return qobject_cast<QComboBox*>(Control(listId));
}

void TrackerConfigDialog::SetUpButtonActions() {
    for (const ButtonAction& action : ButtonActions()) {
        SetButtonAction(action.buttonId, [this, &action] { RunButtonAction(action); });
    }
    SetButtonAction(kWakeTracker, [this] { OnWakeTracker(); });
}

// A save that stops at an over-long field (only a read-back can put one
// there) ends the action: the rest of the record would still hold older
// values, which the command or the refresh after it would use.
void TrackerConfigDialog::RunButtonAction(const ButtonAction& action) {
    if (action.check != nullptr) {
        if (!UpdateData(true)) {
            return;
        }
        if (const Verdict refused = action.check(record_, CurrentSelections())) {
            ShowMessage(InLanguage(MessageText(*refused), Language()));
            return;
        }
    }
    SendCommand(action.type);
}

// Saves again, so the command carries the controls' text as typed; only the
// trimming the command itself does reaches the line.
void TrackerConfigDialog::SendCommand(CommandType type) {
    if (!UpdateData(true)) {
        return;
    }
    const std::shared_ptr<Port> port = port_.Current();
    const BusyCursor busy;
    vorlen::SendCommand(type, port.get(), record_, CurrentSelections(), *this, Language());
}

// The worker runs on its own thread; its unlock request is queued to the
// window's thread and dropped there when a later press or the closing has
// stopped that worker in the meantime.
void TrackerConfigDialog::OnWakeTracker() {
    static constexpr Bilingual kText{"Please reset tracker!", "请重启追踪器!"};
    static constexpr Bilingual kCaption{"WakeUp Tracker", "唤醒追踪器"};
    const int language = Language();
    if (ShowMessage(InLanguage(kText, language), MessageButtons::OkCancel,
                    InLanguage(kCaption, language)) != MessageAnswer::Ok) {
        return;
    }
    wakeWorker_.Restart(port_, [this](WakeUpWorker::Ticket ticket) {
        QMetaObject::invokeMethod(
            this,
            [this, ticket] {
                if (wakeWorker_.Accepts(ticket)) {
                    UnlockConfigArea();
                }
            },
            Qt::QueuedConnection);
    });
}

void TrackerConfigDialog::OnButtonClicked(int buttonId) {
    const auto action = buttonActions_.find(buttonId);
    if (action != buttonActions_.end() && action->second) {
        action->second();
    }
}

void TrackerConfigDialog::OnFenceOpenClicked() {
    UpdateData(true);
    if (record_.fenceEnabled == 0) {
        ResetFenceControls();
    } else {
        EnableControl(kFenceTypeList, true);
        ApplyFenceEnabling();
    }
}

// Choosing a port, even the one already open, starts over on it: the old
// one is closed first, since a port opens for one user at a time, and the
// tracker has to be woken again before anything is sent.
void TrackerConfigDialog::OnPortChanged() {
    ClosePort();
    OpenSelectedPort();
    LockConfigArea();
}

void TrackerConfigDialog::OnSystemCommand(unsigned command) {
    if (OpensAboutBox(command)) {
        AboutDialog about(this);
        about.exec();
    }
}

void TrackerConfigDialog::ClosePort() {
    if (std::shared_ptr<Port> port = port_.Replace(nullptr)) {
        port->Close();
    }
}

// The port first: closing it wakes a write the worker may be waiting in, so
// the stop returns within one poll.
void TrackerConfigDialog::CloseDown() {
    ClosePort();
    wakeWorker_.Stop();
}

}  // namespace vorlen
