#include "dialog/tracker_config_dialog.h"

#include <algorithm>
#include <array>
#include <span>
#include <utility>
#include <vector>

#include "dialog/button_actions.h"
#include "dialog/captions.h"
#include "dialog/choice_lists.h"
#include "dialog/dialog_layout.h"
#include "dialog/system_command.h"
#include "model/bilingual.h"
#include "model/control_ids.h"
#include "model/find_row.h"
#include "model/gbk.h"
#include "model/shown_text.h"
#include "model/validation_messages.h"
#include "profile/profile_file.h"
#include "profile/profile_keys.h"
#include "profile/profile_messages.h"
#include "protocol/readback.h"
#include "protocol/recorded_port.h"
#include "protocol/send_command.h"
#include "serial/open_failure_hint.h"
#include "serial/open_messages.h"

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

// The lists whose entries are in the form's language, in the order a
// language switch fills them.
constexpr std::array<int, 3> kLanguageLists{kWarningTypeList, kFenceTypeList, kWorkingModeList};
// What each of the tracker's fence kinds uses of the parameters; the kinds
// the list shows are its circle and custom fences. Other kinds leave the
// parameters as they are.
struct FenceKindUse {
    int kind;
    bool circleParameters;  // the radius and the interval
    bool otherParameters;   // the coordinates
};
constexpr std::array<FenceKindUse, 3> kFenceKindUses{{
    {kFenceKindWithoutParameters, false, false},
    {kFenceKindOfFirstEntry + kCircleFence, true, false},
    {kFenceKindOfFirstEntry + kCustomFence, true, true},
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

std::string TooLongMessage(int maxLength, int language) {
    static constexpr Bilingual kText{"Enter no more than %1 characters.", "最多只能输入%1个字符。"};
    std::string text = InLanguage(kText, language);
    text.replace(text.find("%1"), 2, std::to_string(maxLength));
    return text;
}

constexpr Bilingual kProfileSaved{"Profile saved to {detail}", "配置文件已保存到 {detail}"};
constexpr Bilingual kProfileLoaded{"Profile loaded from {detail}", "已从 {detail} 载入配置文件"};

// The status line after a profile was saved or loaded, naming the file.
std::string ProfileDoneText(const Bilingual& pattern, const std::filesystem::path& path,
                            int language) {
    const auto utf8 = path.u8string();
    const std::string_view name(reinterpret_cast<const char*>(utf8.data()), utf8.size());
    return profile_text::Describe(pattern, language, 0, {}, name);
}

// The busy pointer for as long as a transaction holds the window's thread.
class BusyWhile {
public:
    explicit BusyWhile(DialogWindow& window) : window_(window) { window_.ShowBusy(true); }
    ~BusyWhile() { window_.ShowBusy(false); }
    BusyWhile(const BusyWhile&) = delete;
    BusyWhile& operator=(const BusyWhile&) = delete;

private:
    DialogWindow& window_;
};

// The station opened from the form never takes the port the form holds.
fleet::StationServices StationBesideForm(fleet::StationServices station,
                                         const std::string& formPort) {
    station.formPort = [&formPort] { return formPort; };
    return station;
}

}  // namespace

TrackerConfigDialog::TrackerConfigDialog(TrackerConfigServices services, DialogWindow& window,
                                         WakeUpWorker::PauseFactory wakePause)
    : services_(std::move(services)),
      window_(window),
      sides_(window, line_, StationBesideForm(services_.station, portInUse_)),
      wakeWorker_(std::move(wakePause)) {}

TrackerConfigDialog::~TrackerConfigDialog() { OnClose(); }

void TrackerConfigDialog::StartUp() {
    PrepareForm();
    OpenSelectedPort();
}

// The lists in the language's words are filled by the language's
// application; each list is filled once.
void TrackerConfigDialog::PrepareForm() {
    UpdateData(false);
    FillPortList(services_.start.port);
    for (const ChoiceList& list : ChoiceLists()) {
        if (std::ranges::find(kLanguageLists, list.controlId) == kLanguageLists.end()) {
            FillList(list.controlId);
        }
    }
    window_.SelectEntry(kLanguageList, services_.start.language == kChinese ? kChinese : kEnglish);
    ApplyLanguage();
    LockConfigArea();
}

bool TrackerConfigDialog::LockedAtStart(int controlId) {
    const DialogControl* area = FindDialogControl(kConfigArea);
    const DialogControl* row = FindDialogControl(controlId);
    return row != nullptr && controlId != kNoControlId && Contains(area->rect, row->rect);
}

std::string TrackerConfigDialog::CaptionAtStart(int controlId) {
    for (const Caption& caption : LanguageCaptions()) {
        if (caption.controlId == controlId) {
            return std::string(Utf8In(caption.text, kEnglish));
        }
    }
    return {};
}

bool TrackerConfigDialog::UpdateData(bool save) {
    for (const FieldSpec& field : ExchangeOrder()) {
        if (field.text == nullptr) {
            if (save) {
                record_.fenceEnabled = window_.IsChecked(field.controlId) ? 1 : 0;
            } else {
                // Only a read-back stores a value other than 0 and 1; any
                // non-zero value means the fence is on.
                window_.SetChecked(field.controlId, record_.fenceEnabled != 0);
            }
            continue;
        }
        std::string& value = record_.*field.text;
        if (!save) {
            ShowText(field.controlId, value);
            continue;
        }
        value = ShownText(field.controlId);
        if (field.maxLength > 0 && value.size() > static_cast<std::size_t>(field.maxLength)) {
            ShowMessage(TooLongMessage(field.maxLength, Language()));
            window_.FocusField(field.controlId);
            return false;
        }
    }
    if (!save) {
        window_.ShowStatusMark(statusMark_);
    }
    return true;
}

Selections TrackerConfigDialog::CurrentSelections() const {
    Selections selections;
    selections.workingMode = window_.SelectedEntry(kWorkingModeList);
    selections.warningType = window_.SelectedEntry(kWarningTypeList);
    selections.baseStationCount = window_.SelectedEntry(kBaseStationList);
    selections.fenceType = window_.SelectedEntry(kFenceTypeList);
    selections.northSouth = window_.SelectedEntry(kNorthSouthList);
    selections.eastWest = window_.SelectedEntry(kEastWestList);
    return selections;
}

int TrackerConfigDialog::Language() const { return window_.SelectedEntry(kLanguageList); }

int TrackerConfigDialog::PortIndex() const { return window_.SelectedEntry(kPortList); }

MessageAnswer TrackerConfigDialog::ShowMessage(const std::string& text, MessageButtons buttons,
                                               std::string_view caption) {
    const std::string captionText(caption);
    if (services_.showMessage) {
        return services_.showMessage(text, captionText, buttons);
    }
    return window_.ShowMessage(GbkToUtf8(text), GbkToUtf8(captionText), buttons);
}

void TrackerConfigDialog::ReportStatus(const std::string& text, StatusMark mark) {
    record_.statusText = text;
    statusMark_ = mark;
    UpdateData(false);
}

void TrackerConfigDialog::Refresh() { UpdateData(false); }

void TrackerConfigDialog::SelectEntry(int listId, int index) { window_.SelectEntry(listId, index); }

void TrackerConfigDialog::EnableControl(int controlId, bool enable) {
    window_.Enable(controlId, enable);
}

void TrackerConfigDialog::ApplyWorkingModeEnabling() {
    const int mode = window_.SelectedEntry(kWorkingModeList);
    if (mode < 0 || mode >= static_cast<int>(kGroupsOfMode.size())) {
        return;
    }
    for (std::size_t group = 0; group < kModeGroups.size(); ++group) {
        EnableGroupChildren(kModeGroups[group],
                            kGroupsOfMode[static_cast<std::size_t>(mode)][group]);
    }
}

// Membership comes from the layout in dialog units, so it is the same on
// every toolkit. The untitled boxes have no id to address them by; they
// show no caption that a disabled state would grey.
int TrackerConfigDialog::EnableGroupChildren(int groupId, bool enable) {
    const DialogControl* group = FindDialogControl(groupId);
    if (group == nullptr || group->kind != ControlKind::GroupBox) {
        return 0;
    }
    int count = 0;
    for (const DialogControl& row : DialogLayout()) {
        if (row.id != kNoControlId && Contains(group->rect, row.rect)) {
            window_.Enable(row.id, enable);
            ++count;
        }
    }
    return count;
}

void TrackerConfigDialog::LockConfigArea() {
    areaUnlocked_ = false;
    EnableGroupChildren(kConfigArea, false);
}

void TrackerConfigDialog::UnlockConfigArea() {
    areaUnlocked_ = true;
    EnableGroupChildren(kConfigArea, true);
    ResetFenceControls();
    ApplyWorkingModeEnabling();
}

void TrackerConfigDialog::ResetFenceControls() {
    window_.SetChecked(kFenceOpen, false);
    DisableFenceControls();
}

void TrackerConfigDialog::DisableFenceControls() {
    EnableControl(kFenceTypeList, false);
    for (const FenceParameter& parameter : kFenceParameters) {
        EnableControl(parameter.id, false);
    }
}

void TrackerConfigDialog::ApplyFenceEnabling() {
    const int type = window_.SelectedEntry(kFenceTypeList);
    if (type == kCircleFence || type == kCustomFence) {
        ApplyFenceKindEnabling(kFenceKindOfFirstEntry + type);
    }
}

void TrackerConfigDialog::ApplyFenceKindEnabling(int kind) {
    const FenceKindUse* use =
        FindRow(std::span<const FenceKindUse>(kFenceKindUses), &FenceKindUse::kind, kind);
    if (use == nullptr) {
        return;
    }
    for (const FenceParameter& parameter : kFenceParameters) {
        EnableControl(parameter.id,
                      parameter.circleUses ? use->circleParameters : use->otherParameters);
    }
}

// The lists follow each reply that was answered; the working mode's groups
// follow the system reply, the fence's controls its switch and kind.
void TrackerConfigDialog::ShowReading(const TrackerReading& reading) {
    const Selections& read = reading.selections;
    if (reading.SystemAnswered()) {
        window_.SelectEntry(kWorkingModeList, read.workingMode);
        window_.SelectEntry(kWarningTypeList, read.warningType);
        window_.SelectEntry(kBaseStationList, read.baseStationCount);
        ApplyWorkingModeEnabling();
    }
    if (!reading.FenceAnswered()) {
        return;
    }
    window_.SelectEntry(kNorthSouthList, read.northSouth);
    window_.SelectEntry(kEastWestList, read.eastWest);
    if (reading.form.fenceEnabled == 0) {
        DisableFenceControls();
        return;
    }
    EnableControl(kFenceTypeList, true);
    window_.SelectEntry(kFenceTypeList, read.fenceType);
    ApplyFenceKindEnabling(reading.fenceKind);
}

void TrackerConfigDialog::ApplyLanguage() {
    const int language = Language();
    // Each list keeps the operator's choice in the new words: the groups
    // enabled still follow the mode that was set, and Set ALL sends it.
    for (const int listId : kLanguageLists) {
        const int chosen = window_.SelectedEntry(listId);
        FillList(listId);
        if (chosen >= 0) {
            window_.SelectEntry(listId, chosen);
        }
    }
    ResetFenceControls();
    for (const Caption& caption : LanguageCaptions()) {
        ShowText(caption.controlId, InLanguage(caption.text, language));
    }
    for (const WindowMenuItem& item : WindowMenuItems()) {
        window_.SetMenuText(item.command, std::string(Utf8In(item.caption, language)));
    }
    window_.UseLanguage(language);
    sides_.SetLanguage(language);
    // The status box keeps the last outcome: the operator who switches
    // language right after an action still sees how it went.
    UpdateData(false);
    // The load shows the saved fence switch again; the box stays cleared so
    // that it matches the fence controls, which are all disabled now.
    window_.SetChecked(kFenceOpen, false);
}

void TrackerConfigDialog::OpenSelectedPort() {
    const int index = PortIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= ports_.size()) {
        return;
    }
    const std::string name = ports_[static_cast<std::size_t>(index)].portName;
    OpenFailure why;
    std::shared_ptr<Port> port = services_.openPort(name, &why);
    const bool opened = port != nullptr;
    if (opened) {
        port = std::make_shared<RecordedPort>(std::move(port), line_);
    }
    port_.Replace(std::move(port));
    portInUse_ = opened ? name : std::string();
    const std::string result = OpenResultText(name, opened, Language());
    ReportStatus(opened ? result : WithOpenFailureHint(result, why, Language()),
                 opened ? StatusMark::Success : StatusMark::Failure);
}

// Port names are the system's device names, which are plain ASCII.
void TrackerConfigDialog::FillPortList(const std::optional<std::string>& kept) {
    PortList found;
    try {
        services_.enumeratePorts(found);
    } catch (const PortEnumerationError&) {
        return;  // no ports to offer; the operator sees the list as it was
    }
    ports_ = std::move(found);
    const std::optional<std::string>& given = services_.start.port;
    if (given && std::none_of(ports_.begin(), ports_.end(),
                              [&](const PortInfo& port) { return port.portName == *given; })) {
        ports_.push_back({*given, *given, *given, 0, *given});
    }
    std::vector<std::string> names;
    int selection = kept ? -1 : 0;
    for (const PortInfo& port : ports_) {
        if (kept && port.portName == *kept) {
            selection = static_cast<int>(names.size());
        }
        names.push_back(port.portName);
    }
    window_.FillList(kPortList, names);
    window_.SelectEntry(kPortList, selection);
}

void TrackerConfigDialog::OnPortListOpening() {
    const int index = PortIndex();
    const bool picked = index >= 0 && static_cast<std::size_t>(index) < ports_.size();
    FillPortList(picked ? ports_[static_cast<std::size_t>(index)].portName : std::string());
}

void TrackerConfigDialog::FillList(int listId) {
    const ChoiceList* list = FindChoiceList(listId);
    const int language = Language();
    std::vector<std::string> entries;
    for (const Bilingual& entry : list->entries) {
        entries.push_back(std::string(Utf8In(entry, language)));
    }
    window_.FillList(listId, entries);
    window_.SelectEntry(listId, list->selectedAfterFill);
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
    {
        const BusyWhile busy(window_);
        vorlen::SendCommand(type, port.get(), record_, CurrentSelections(), *this, Language(),
                            services_.transactionPause);
    }
    if (port != nullptr && port->Gone()) {
        ReportPortGone();
    }
}

// Under the command's failure line, as after an open of a missing port. The
// port list lists the ports afresh when it opens, without this one.
void TrackerConfigDialog::ReportPortGone() {
    ClosePort();
    ReportStatus(WithOpenFailureHint(record_.statusText, {OpenFailureKind::NoDevice, "", ""},
                                     Language()),
                 StatusMark::Failure);
}

// The worker runs on its own thread; its unlock request goes to the window's
// thread and is dropped there when a later press or the closing has stopped
// that worker in the meantime. The area is locked while it runs, also after
// an earlier wake-up: the worker and the form's own commands would share the
// line, and each could take the other's OK.
void TrackerConfigDialog::OnWakeTracker() {
    static constexpr Bilingual kText{"Please reset tracker!", "请重启追踪器!"};
    static constexpr Bilingual kCaption{"WakeUp Tracker", "唤醒追踪器"};
    const int language = Language();
    if (ShowMessage(InLanguage(kText, language), MessageButtons::OkCancel,
                    InLanguage(kCaption, language)) != MessageAnswer::Ok) {
        return;
    }
    LockConfigArea();
    wakeWorker_.Restart(
        port_,
        [this](WakeUpWorker::Ticket ticket) {
            window_.RunOnWindowThread([this, ticket] {
                if (wakeWorker_.Accepts(ticket)) {
                    UnlockConfigArea();
                }
            });
        },
        [this](WakeUpWorker::Ticket ticket, const std::shared_ptr<Port>& gone) {
            window_.RunOnWindowThread([this, ticket, gone] {
                if (wakeWorker_.Accepts(ticket) && port_.Current() == gone) {
                    ReportWakePortGone();
                }
            });
        });
}

// The wake-up goes on without a port and carries on on the one picked again.
void TrackerConfigDialog::ReportWakePortGone() {
    static constexpr Bilingual kText{
        "The port went away: plug the adapter back in and pick the port again.",
        "端口已断开：请重新插上适配器，然后重新选择端口。"};
    ClosePort();
    ReportStatus(InLanguage(kText, Language()), StatusMark::Failure);
}

void TrackerConfigDialog::OnControlWorked(int controlId) {
    using Handler = void (TrackerConfigDialog::*)();
    static constexpr std::array<std::pair<Reaction, Handler>, 5> kHandlers{{
        {Reaction::FenceOpenClick, &TrackerConfigDialog::OnFenceOpenClicked},
        {Reaction::PortChange, &TrackerConfigDialog::OnPortChanged},
        {Reaction::LanguageChange, &TrackerConfigDialog::OnLanguageChanged},
        {Reaction::FenceTypeChange, &TrackerConfigDialog::OnFenceTypeChanged},
        {Reaction::WorkingModeChange, &TrackerConfigDialog::OnWorkingModeChanged},
    }};
    const DialogControl* row = FindDialogControl(controlId);
    if (row == nullptr) {
        return;
    }
    if (row->reaction == Reaction::Press) {
        OnButtonClicked(controlId);
    }
    for (const auto& [reaction, handler] : kHandlers) {
        if (reaction == row->reaction) {
            (this->*handler)();
        }
    }
}

// Only the port list's entries change while the tool runs; the other lists'
// openings change nothing.
void TrackerConfigDialog::OnListOpening(int listId) {
    if (listId == kPortList) {
        OnPortListOpening();
    }
}

void TrackerConfigDialog::OnButtonClicked(int buttonId) {
    if (buttonId == kWakeTracker) {
        OnWakeTracker();
    } else if (const ButtonAction* action = ActionForButton(buttonId)) {
        RunButtonAction(*action);
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
    static constexpr struct {
        unsigned command;
        void (TrackerConfigDialog::*handler)();
    } kHandlers[] = {
        {kSaveProfileCommand, &TrackerConfigDialog::OnSaveProfile},
        {kLoadProfileCommand, &TrackerConfigDialog::OnLoadProfile},
    };
    if (command == kAboutCommand) {
        window_.ShowAbout();
    }
    if (command == kLineMonitorCommand) {
        sides_.ShowLineMonitor(Language());
    }
    if (command == kFleetStationCommand) {
        sides_.ShowStation(Language());
    }
    for (const auto& item : kHandlers) {
        if (command == item.command) {
            (this->*item.handler)();
        }
    }
}

std::optional<std::filesystem::path> TrackerConfigDialog::AskProfilePath(bool forSaving) {
    static constexpr Bilingual kSaveCaption{"Save Profile", "保存配置文件"};
    static constexpr Bilingual kLoadCaption{"Load Profile", "载入配置文件"};
    if (services_.askProfilePath) {
        return services_.askProfilePath(forSaving);
    }
    return window_.AskProfilePath(
        std::string(Utf8In(forSaving ? kSaveCaption : kLoadCaption, Language())), forSaving);
}

// A profile Load would refuse is saved only when the operator says so.
bool TrackerConfigDialog::ProfileWillLoadOrSaveAnyway() {
    const int language = Language();
    const std::vector<ProfileError> faults =
        FieldsThatWillNotLoad(record_, CurrentSelections(), language);
    if (faults.empty()) {
        return true;
    }
    std::string text = InLanguage(profile_text::kWillNotLoad, language);
    for (const ProfileError& fault : faults) {
        text += "\n" + fault.message;
    }
    text += "\n\n" + InLanguage(profile_text::kSaveAnyway, language);
    return ShowMessage(text, MessageButtons::OkCancel) == MessageAnswer::Ok;
}

void TrackerConfigDialog::OnSaveProfile() {
    if (!UpdateData(true) || !ProfileWillLoadOrSaveAnyway()) {
        return;
    }
    const std::optional<std::filesystem::path> path = AskProfilePath(true);
    if (!path) {
        return;
    }
    if (!SaveProfileFile(*path, record_, CurrentSelections())) {
        ShowMessage(SaveFailedMessage(*path, Language()));
        return;
    }
    ReportStatus(ProfileDoneText(kProfileSaved, *path, Language()), StatusMark::Success);
}

void TrackerConfigDialog::OnLoadProfile() {
    const std::optional<std::filesystem::path> path = AskProfilePath(false);
    if (!path) {
        return;
    }
    const ProfileResult loaded = LoadProfileFile(*path, Language());
    if (!loaded) {
        ShowMessage(loaded.error.message);
        return;
    }
    ApplyProfile(*loaded.profile);
    ReportStatus(ProfileDoneText(kProfileLoaded, *path, Language()), StatusMark::Success);
}

// The fields a profile does not hold (the IMEI) keep what the operator typed.
void TrackerConfigDialog::ApplyProfile(const Profile& profile) {
    for (const FieldSpec& field : ExchangeOrder()) {
        if (field.text != nullptr) {
            record_.*field.text = ShownText(field.controlId);
        }
    }
    for (const ProfileKey& key : ProfileKeys()) {
        if (key.text != nullptr) {
            record_.*key.text = profile.form.*key.text;
        } else if (key.selection != nullptr) {
            window_.SelectEntry(key.listId, profile.selections.*key.selection);
        }
    }
    record_.fenceEnabled = profile.form.fenceEnabled;
    UpdateData(false);
    if (!areaUnlocked_) {
        return;
    }
    ApplyWorkingModeEnabling();
    if (record_.fenceEnabled != 0) {
        EnableControl(kFenceTypeList, true);
        ApplyFenceEnabling();
    } else {
        ResetFenceControls();
    }
}

void TrackerConfigDialog::ShowText(int controlId, const std::string& gbk) {
    given_[controlId] = gbk;
    window_.SetText(controlId, GbkToUtf8(gbk));
}

std::string TrackerConfigDialog::ShownText(int controlId) const {
    const auto given = given_.find(controlId);
    return GbkOfShownText(window_.Text(controlId),
                          given != given_.end() ? given->second : std::string());
}

void TrackerConfigDialog::ClosePort() {
    portInUse_.clear();
    if (std::shared_ptr<Port> port = port_.Replace(nullptr)) {
        port->Close();
    }
}

// The port first: closing it wakes a write the worker may be waiting in, so
// the stop returns within one poll.
void TrackerConfigDialog::OnClose() {
    ClosePort();
    wakeWorker_.Stop();
}

}  // namespace vorlen
