#include "dialog/station_controller.h"

#include <algorithm>
#include <cstdio>
#include <array>
#include <utility>
#include <vector>

#include "fleet/hidden_password.h"
#include "fleet/host.h"
#include "fleet/journal/summary.h"
#include "fleet/journal_line.h"
#include "fleet/journal_time.h"
#include "fleet/outcome_lines.h"
#include "fleet/printable.h"
#include "fleet/profile_proof.h"
#include "fleet/report.h"
#include "fleet/slot_name.h"
#include "fleet/tool_texts.h"
#include "serial/enumerate_ports.h"
#include "serial/socket_name.h"

namespace vorlen::fleet {
namespace {

namespace station_text {
inline constexpr Bilingual kTitle{"Fleet Station", "批量工位"};
inline constexpr Bilingual kProfile{"Profile", "配置文件"};
inline constexpr Bilingual kDevices{"Device list (optional)", "设备列表(可选)"};
inline constexpr Bilingual kSlots{"Slots", "工位端口"};
inline constexpr Bilingual kBrowse{"Browse...", "浏览..."};
inline constexpr Bilingual kRefresh{"Refresh", "刷新"};
inline constexpr Bilingual kStart{"Start", "开始"};
inline constexpr Bilingual kStop{"Stop", "停止"};
inline constexpr Bilingual kRetry{"Retry", "重试"};
// Short enough for a label beside its field; the README tells the rest (an
// empty station is the computer's name, an empty journal the default file).
inline constexpr Bilingual kStationName{"Station", "工位名称"};
inline constexpr Bilingual kOperator{"Operator", "操作员"};
inline constexpr Bilingual kJournalWhere{"Journal (file or PostgreSQL URI)",
                                         "日志(文件或PostgreSQL URI)"};
inline constexpr Bilingual kPasswordNotKept{
    "The journal's password is not kept for the next run: put it in libpq's password file "
    "(~/.pgpass, on Windows %APPDATA%\\postgresql\\pgpass.conf) and leave it out of the "
    "journal field.",
    "日志的密码不会保存到下次运行: 请把它写入libpq的密码文件(~/.pgpass, Windows上为"
    "%APPDATA%\\postgresql\\pgpass.conf), 不要写在日志栏中。"};
inline constexpr Bilingual kNotKept{"The station's fields could not be kept for the next run: {detail}",
                                    "工位的设置无法保存到下次运行: {detail}"};
inline constexpr Bilingual kSound{"Sound at each outcome", "结果提示音"};
inline constexpr Bilingual kSoundFailed{"Sound at each outcome (none is heard: {detail})",
                                        "结果提示音(无法播放: {detail})"};
inline constexpr Bilingual kReport{"Report...", "报告..."};
inline constexpr Bilingual kReportTitle{"Trackers' summary of {detail}", "{detail}的追踪器统计"};
inline constexpr Bilingual kReportUnwritten{"Cannot write today's report {port}: {detail}",
                                            "无法写入今天的报告{port}: {detail}"};
inline constexpr Bilingual kNoBrowser{
    "Today's report is written to {port}, but no browser could be started to show it.",
    "今天的报告已写入{port}, 但无法启动浏览器显示它。"};
inline constexpr Bilingual kChooseProfile{"Choose the profile", "选择配置文件"};
inline constexpr Bilingual kChooseDevices{"Choose the device list", "选择设备列表"};

inline constexpr Bilingual kJournalAt{"Outcomes are recorded in the journal {detail}",
                                      "结果记录在日志{detail}中"};
inline constexpr Bilingual kNoJournal{"No journal is kept: the outcomes are not recorded",
                                      "不记录日志: 结果不会被保存"};
inline constexpr Bilingual kJournalMissed{
    "The journal {port} missed outcomes: {detail}",
    "日志{port}没有记录部分结果: {detail}"};

inline constexpr Bilingual kNoProfile{"Choose the profile first.", "请先选择配置文件。"};
inline constexpr Bilingual kNoSlot{"Tick at least one slot.", "请至少勾选一个端口。"};
inline constexpr Bilingual kTooManySlots{
    "Tick at most {count} slots: the window has room for no more tiles.",
    "最多勾选{count}个端口: 窗口放不下更多的工位。"};
inline constexpr Bilingual kFormsPort{
    "The form holds {port} open: close the port in the form, or untick it here.",
    "主窗口正在使用{port}: 请在主窗口中关闭该串口, 或在此取消勾选。"};
}  // namespace station_text

std::string Utf8(const Bilingual& text, int language) {
    return std::string(Utf8In(text, language));
}

// The controls the operator may change only while the station stands still.
constexpr std::array kInputs{kStationProfile, kStationProfileBrowse, kStationDevices,
                             kStationDevicesBrowse, kStationSlots, kStationRefresh,
                             kStationName, kStationOperator, kStationJournalWhere};

// The fields kept between runs, by their keys in the settings store.
constexpr std::array<std::pair<int, const char*>, 3> kKeptFields{{
    {kStationName, "station"},
    {kStationOperator, "operator"},
    {kStationJournalWhere, "journal"},
}};
constexpr const char* kSoundKey = "sound";

// A journal's connection text that holds a password: never kept.
bool HoldsPassword(const std::string& where) { return WithoutPasswords(where) != where; }

// A port in the slot list: its socket and the adapter's own description,
// once. A port with nothing to describe it (Wine's COM ports, a Linux port
// without a model) is described by its own name, which is then not said twice.
std::string SlotLabel(const PortInfo& port) {
    std::string label = ShortPort(port.portName);
    if (!port.description.empty() && port.description != label &&
        port.description != port.portName) {
        label += "  " + port.description;
    }
    return label;
}

// The colour of a slot's tile: busy while a tracker is worked on, then its
// outcome's until the next tracker starts, even while the slot waits for
// its port again (a tracker that is its own USB adapter is taken out so).
TileMark MarkOf(const SlotState& state) {
    constexpr std::array kWorking{SlotPhase::Identifying, SlotPhase::Setting, SlotPhase::Verifying};
    if (std::find(kWorking.begin(), kWorking.end(), state.phase) != kWorking.end()) {
        return TileMark::Working;
    }
    if (!state.last) {
        return TileMark::Idle;
    }
    return Passed(*state.last) ? TileMark::Passed : TileMark::Failed;
}

// Retry is offered while a failed tracker is still in its slot, which waits
// for the next one: its slot runs it again.
bool OffersRetry(const SlotState& state) {
    return state.phase == SlotPhase::Finished && MarkOf(state) == TileMark::Failed;
}

// A tile tells of one tracker only: the one worked on, or the last one with
// its outcome until the next starts. The IMEI is named once, on its own
// line, as soon as the tracker has said it.
Tile TileOf(const SlotState& state, const std::string& heading, int language) {
    const TileMark mark = MarkOf(state);
    const bool ended = mark == TileMark::Passed || mark == TileMark::Failed;
    const std::string imei = !state.imei.empty() || !ended ? state.imei : state.last->imei;
    return {heading,
            state.slot,
            state.what,
            imei.empty() ? "" : "IMEI " + imei,
            ended ? OutcomeOnlyLine(*state.last, {std::chrono::milliseconds::zero(), language})
                  : "",
            mark,
            OffersRetry(state) ? Utf8(station_text::kRetry, language) : ""};
}

// Calls the slots' threads post to the window thread find the controller
// through this: gone with the controller, and ignored when they belong to a
// run before the current one.
struct Liveness {
    int run = 0;
};

}  // namespace

struct StationController::State {
    State(StationWindow& window, StationServices services)
        : window(window), services(std::move(services)) {}

    StationWindow& window;
    StationServices services;
    int language = kEnglish;
    std::vector<SlotChoice> choices;
    std::shared_ptr<Liveness> liveness = std::make_shared<Liveness>();
    std::unique_ptr<Journal> journal;  // outlives the station that records into it
    std::string journalFile;           // "" when no journal is kept
    std::unique_ptr<Station> station;
    std::vector<SlotState> slots;
    std::vector<std::string> headings;  // by slot: its name and its port shown short
    StationCounts counts;
    std::vector<std::string> journalFailures;
    JournalHealth journalHealth;

    std::string soundFailure;  // why the last sound could not be played

    void ShowCaptions();
    void Restore();
    void Keep(const std::vector<std::pair<std::string, std::string>>& values);
    void KeepFields();
    void ShowSoundSwitch();
    void Sound(StationSound sound);
    void ShowCounters();
    void ShowJournalLine();
    void OfferPorts(bool keepTicks);
    bool IsFormsPort(const PortInfo& port, const std::string& formPort) const;
    void Browse(int editId, StationFile kind, const Bilingual& caption);
    void Start();
    std::optional<StationSetup> CheckedSetup();
    void RunStation(StationSetup setup);
    void Changed(std::size_t index, const SlotState& state, const StationCounts& now);
    void Stop();
    void Retry(int buttonId);
    void Report();
    void EndRun();
    void ShowRunning(bool running);
    std::string FormPort() const { return services.formPort ? services.formPort() : ""; }
};

void StationController::State::ShowCaptions() {
    const std::array<std::pair<int, const Bilingual*>, 13> captions{{
        {kStationNameLabel, &station_text::kStationName},
        {kStationOperatorLabel, &station_text::kOperator},
        {kStationJournalLabel, &station_text::kJournalWhere},
        {kStationTitle, &station_text::kTitle},
        {kStationProfileLabel, &station_text::kProfile},
        {kStationProfileBrowse, &station_text::kBrowse},
        {kStationDevicesLabel, &station_text::kDevices},
        {kStationDevicesBrowse, &station_text::kBrowse},
        {kStationSlotsLabel, &station_text::kSlots},
        {kStationRefresh, &station_text::kRefresh},
        {kStationStart, &station_text::kStart},
        {kStationStop, &station_text::kStop},
        {kStationReport, &station_text::kReport},
    }};
    for (const auto& [id, caption] : captions) {
        window.SetText(id, Utf8(*caption, language));
    }
    ShowSoundSwitch();
    ShowCounters();
    ShowJournalLine();
}

// The fields as the operator left them at the last run; the sound on
// unless it was turned off.
void StationController::State::Restore() {
    const SettingsStore* store = services.settings.get();
    for (const auto& [id, key] : kKeptFields) {
        if (const std::optional<std::string> kept = store ? store->Read(key) : std::nullopt) {
            window.SetText(id, *kept);
        }
    }
    const std::optional<std::string> sound = store ? store->Read(kSoundKey) : std::nullopt;
    window.SetChecked(kStationSound, sound != "off");
    if (const std::string where = window.Text(kStationJournalWhere); !where.empty()) {
        journalFile = WithoutPasswords(where);
        ShowJournalLine();
    }
}

// A store that takes nothing is told once per attempt; the station runs on.
void StationController::State::Keep(const std::vector<std::pair<std::string, std::string>>& values) {
    if (!services.settings) {
        return;
    }
    for (const auto& [key, value] : values) {
        if (const std::string failure = services.settings->Write(key, value); !failure.empty()) {
            window.ShowMessage(Say(station_text::kNotKept, language, {.detail = failure}));
            return;
        }
    }
}

// At Start, the fields the station runs with, but a journal URI's password,
// which a settings store would keep in the clear: that URI is not kept, and
// the operator is told where a password belongs.
void StationController::State::KeepFields() {
    std::vector<std::pair<std::string, std::string>> values;
    bool password = false;
    for (const auto& [id, key] : kKeptFields) {
        const std::string value = window.Text(id);
        if (HoldsPassword(value)) {
            password = true;
        } else {
            values.emplace_back(key, value);
        }
    }
    Keep(values);
    if (password) {
        window.ShowMessage(Utf8(station_text::kPasswordNotKept, language));
    }
}

// A sound that cannot be played is told on its switch, in red, until one
// plays again: the operator who listens for it must know.
void StationController::State::ShowSoundSwitch() {
    window.SetText(kStationSound, soundFailure.empty()
                                      ? Utf8(station_text::kSound, language)
                                      : Say(station_text::kSoundFailed, language,
                                            {.detail = soundFailure}));
    window.ShowFault(kStationSound, !soundFailure.empty());
}

void StationController::State::Sound(StationSound sound) {
    if (!window.IsChecked(kStationSound)) {
        return;
    }
    if (std::string failure = window.PlaySound(sound); failure != soundFailure) {
        soundFailure = std::move(failure);
        ShowSoundSwitch();
    }
}

void StationController::State::ShowCounters() {
    window.SetText(kStationCounters, CountersLine(counts, language));
}

void StationController::State::ShowJournalLine() {
    std::string line = journalFile.empty()
                           ? Utf8(station_text::kNoJournal, language)
                           : Say(station_text::kJournalAt, language, {.detail = journalFile});
    if (const std::string health = JournalLine(journalHealth, language); !health.empty()) {
        line += "\n" + health;
    }
    for (const std::string& failure : journalFailures) {
        line += "\n" + Say(station_text::kJournalMissed, language,
                           {.port = journalFile, .detail = failure});
    }
    window.SetText(kStationJournal, line);
    window.ShowFault(kStationJournal, !journalFailures.empty() || !journalHealth.taking ||
                                          journalHealth.waiting > 0);
}

// A port is the form's when either of its names leads to the port the form
// holds: the form opens the kernel's name, the station the socket's.
bool StationController::State::IsFormsPort(const PortInfo& port,
                                           const std::string& formPort) const {
    return !formPort.empty() &&
           (SamePort(formPort, port.portName) || SamePort(formPort, port.devicePath));
}

// The machine's ports but the form's; with `keepTicks` the ticked ones stay
// ticked, and stay offered while their adapter is out of its socket.
void StationController::State::OfferPorts(bool keepTicks) {
    const std::vector<std::string> ticked =
        keepTicks ? window.TickedSlots() : std::vector<std::string>{};
    const auto isTicked = [&ticked](const std::string& name) {
        return std::find(ticked.begin(), ticked.end(), name) != ticked.end();
    };
    PortList ports;
    try {
        services.enumeratePorts(ports);
    } catch (const PortEnumerationError&) {
        ports.clear();  // offered as none, as the form's list is
    }
    const std::string formPort = FormPort();
    std::vector<SlotChoice> offered;
    for (const PortInfo& port : ports) {
        if (!IsFormsPort(port, formPort)) {
            const std::string& name = port.portName;
            offered.push_back({name, SlotLabel(port), isTicked(name)});
        }
    }
    for (const SlotChoice& before : choices) {
        const bool listed = std::any_of(offered.begin(), offered.end(), [&](const SlotChoice& c) {
            return c.name == before.name;
        });
        if (!listed && isTicked(before.name) && !SamePort(before.name, formPort)) {
            offered.push_back({before.name, before.label, true});
        }
    }
    choices = offered;
    window.ShowSlotChoices(choices);
}

void StationController::State::Browse(int editId, StationFile kind, const Bilingual& caption) {
    if (const auto file = window.AskFile(Utf8(caption, language), kind)) {
        const std::u8string name = file->u8string();
        window.SetText(editId, std::string(name.begin(), name.end()));
    }
}

void StationController::State::Start() {
    if (station) {
        return;
    }
    if (std::optional<StationSetup> setup = CheckedSetup()) {
        KeepFields();
        RunStation(std::move(*setup));
    }
}

// Everything the station needs, each refusal told in a message; nothing
// changes until all of it holds.
std::optional<StationSetup> StationController::State::CheckedSetup() {
    StationSetup setup;
    const std::string profileFile = window.Text(kStationProfile);
    if (profileFile.empty()) {
        window.ShowMessage(Utf8(station_text::kNoProfile, language));
        return std::nullopt;
    }
    std::vector<std::string> mistakes;
    std::optional<Profile> profile = CheckedProfileFile(profileFile, language, mistakes);
    if (!profile) {
        std::string message;
        for (const std::string& mistake : mistakes) {
            message += (message.empty() ? "" : "\n") + mistake;
        }
        window.ShowMessage(message);
        return std::nullopt;
    }
    setup.profile = std::move(*profile);
    if (const std::string devices = window.Text(kStationDevices); !devices.empty()) {
        std::string failure;
        setup.devices = LoadDeviceList(devices, setup.profile, language, failure);
        if (!setup.devices) {
            window.ShowMessage(failure);
            return std::nullopt;
        }
    }
    setup.slots = window.TickedSlots();
    if (setup.slots.empty()) {
        window.ShowMessage(Utf8(station_text::kNoSlot, language));
        return std::nullopt;
    }
    if (setup.slots.size() > kStationMostSlots) {
        window.ShowMessage(Say(station_text::kTooManySlots, language, {.count = kStationMostSlots}));
        return std::nullopt;
    }
    const std::string formPort = FormPort();
    for (const std::string& slot : setup.slots) {
        if (!formPort.empty() && SamePort(slot, formPort)) {
            window.ShowMessage(Say(station_text::kFormsPort, language, {.port = slot}));
            return std::nullopt;
        }
    }
    const std::string where = window.Text(kStationJournalWhere);
    const std::string shownWhere = WithoutPasswords(where.empty() ? DefaultJournalFile() : where);
    std::string failure;
    journal = services.openJournal(where, failure);
    if (!journal && !failure.empty()) {
        window.ShowMessage(Say(text::kJournalFailed, language,
                               {.port = shownWhere, .detail = failure}));
        return std::nullopt;
    }
    journalFile = journal ? shownWhere : "";
    setup.journal = journal.get();
    const std::string station = window.Text(kStationName);
    setup.record = {station.empty() ? HostName() : station, window.Text(kStationOperator),
                    "provision", profileFile, FileSha256(profileFile)};
    setup.language = language;
    return setup;
}

void StationController::State::RunStation(StationSetup setup) {
    const int run = ++liveness->run;
    slots.clear();
    headings.clear();
    std::vector<Tile> tiles;
    for (const SlotName& slot : NumberedSlots(setup.slots)) {
        SlotState waiting;
        waiting.slot = slot.port;
        slots.push_back(waiting);
        headings.push_back(SlotHeading(slot));
        tiles.push_back(TileOf(slots.back(), headings.back(), language));
    }
    counts = {};
    journalFailures.clear();
    journalHealth = {};
    window.ShowTiles(tiles);
    ShowCounters();
    ShowJournalLine();
    ShowRunning(true);
    const std::weak_ptr<Liveness> token = liveness;
    setup.journalChanged = [this, token, run](const JournalHealth& health) {
        window.RunOnWindowThread([this, token, run, health] {
            const std::shared_ptr<Liveness> live = token.lock();
            if (live && live->run == run) {
                journalHealth = health;
                ShowJournalLine();
            }
        });
    };
    setup.countsChanged = [this, token, run](const StationCounts& now) {
        window.RunOnWindowThread([this, token, run, now] {
            const std::shared_ptr<Liveness> live = token.lock();
            if (live && live->run == run) {
                counts = now;
                ShowCounters();
            }
        });
    };
    station = std::make_unique<Station>(
        std::move(setup),
        [this, token, run](std::size_t index, const SlotState& state, const StationCounts& now) {
            window.RunOnWindowThread([this, token, run, index, state, now] {
                const std::shared_ptr<Liveness> live = token.lock();
                if (live && live->run == run) {
                    Changed(index, state, now);
                }
            });
        },
        services.system);
}

void StationController::State::Changed(std::size_t index, const SlotState& state,
                                       const StationCounts& now) {
    if (index >= slots.size()) {
        return;
    }
    const std::optional<StationSound> sound = SoundFor(slots[index], state);
    slots[index] = state;
    counts = now;
    window.ShowTile(index, TileOf(state, headings[index], language));
    ShowCounters();
    if (sound) {
        Sound(*sound);
    }
    // A row the journal did not take is told at once, not when the run ends.
    // A slot's last words may come after the run has ended and let its
    // station go.
    if (!station) {
        return;
    }
    if (std::vector<std::string> missed = station->JournalFailures(); missed != journalFailures) {
        journalFailures = std::move(missed);
        ShowJournalLine();
    }
    const bool allStopped = std::all_of(slots.begin(), slots.end(), [](const SlotState& slot) {
        return slot.phase == SlotPhase::Stopped;
    });
    if (allStopped) {
        EndRun();
    }
}

// Today on the operator's clock, from midnight to midnight: what a shift
// asks at its end. Read through a journal of its own, opened to read only,
// so a running station keeps recording meanwhile.
void StationController::State::Report() {
    const Zone& zone = *services.zone;
    const std::tm today = zone.Wall(services.now()).calendar;
    char day[48];
    std::snprintf(day, sizeof day, "%04d-%02d-%02d", today.tm_year + 1900, today.tm_mon + 1,
                  today.tm_mday);
    const std::filesystem::path file =
        services.reportFolder / ("summary-" + std::string(day) + ".html");
    const std::string shown = Printable(file.string());
    JournalFilter filter;
    filter.since = AskedTime(day, zone, false).value_or("");
    filter.until = AskedTime(day, zone, true).value_or("");
    std::string failure;
    std::error_code ignored;
    std::filesystem::create_directories(services.reportFolder, ignored);
    const std::unique_ptr<Journal> reader = services.openJournalToRead(failure);
    if (!reader || !SaveSummaryHtml(*reader, filter, zone,
                                    Say(station_text::kReportTitle, language, {.detail = day}),
                                    file, failure)) {
        window.ShowMessage(Say(station_text::kReportUnwritten, language,
                               {.port = shown, .detail = Printable(failure)}));
        return;
    }
    if (!services.openInBrowser(file)) {
        window.ShowMessage(Say(station_text::kNoBrowser, language, {.port = shown}));
    }
}

void StationController::State::Stop() {
    if (station) {
        station->RequestStop();
        window.Enable(kStationStop, false);
    }
}

// Only a tile that offers Retry takes it: a press that arrives after its
// tracker has gone, or after another has started, does nothing.
void StationController::State::Retry(int buttonId) {
    const auto index = static_cast<std::size_t>(buttonId - kStationFirstRetry);
    if (station && index < slots.size() && OffersRetry(slots[index])) {
        station->Retry(index);
    }
}

// The slots have ended: their ports are closed, the journal lets go of its
// file, and the operator may change the inputs again.
void StationController::State::EndRun() {
    journalFailures = station->JournalFailures();
    counts = station->Counts();
    station.reset();
    journal.reset();
    ShowCounters();
    ShowJournalLine();
    ShowRunning(false);
}

void StationController::State::ShowRunning(bool running) {
    for (const int id : kInputs) {
        window.Enable(id, !running);
    }
    window.Enable(kStationStart, !running);
    window.Enable(kStationStop, running);
}

std::optional<StationSound> SoundFor(const SlotState& before, const SlotState& now) {
    if (now.phase != SlotPhase::Finished || before.phase == SlotPhase::Finished || !now.last) {
        return std::nullopt;
    }
    return Passed(*now.last) ? StationSound::Passed : StationSound::Failed;
}

StationController::StationController(StationWindow& window, StationServices services)
    : state_(std::make_unique<State>(window, std::move(services))) {
    state_->journalFile = DefaultJournalFile();
}

void StationController::Restore() { state_->Restore(); }

StationController::~StationController() {
    state_->liveness.reset();
    state_->station.reset();
    state_->journal.reset();
}

void StationController::SetLanguage(int language) {
    state_->language = language;
    state_->ShowCaptions();
}

void StationController::Show() {
    if (!state_->station) {
        state_->OfferPorts(true);
    }
    state_->ShowRunning(Running());
}

void StationController::Press(int buttonId) {
    State& state = *state_;
    const std::array<std::pair<int, std::function<void()>>, 7> presses{{
        {kStationProfileBrowse,
         [&] { state.Browse(kStationProfile, StationFile::Profile, station_text::kChooseProfile); }},
        {kStationDevicesBrowse,
         [&] { state.Browse(kStationDevices, StationFile::DeviceList, station_text::kChooseDevices); }},
        {kStationRefresh, [&] { state.OfferPorts(true); }},
        {kStationStart, [&] { state.Start(); }},
        {kStationStop, [&] { state.Stop(); }},
        {kStationSound,
         [&] { state.Keep({{kSoundKey, state.window.IsChecked(kStationSound) ? "on" : "off"}}); }},
        {kStationReport, [&] { state.Report(); }},
    }};
    for (const auto& [id, press] : presses) {
        if (id == buttonId) {
            press();
        }
    }
    if (buttonId >= kStationFirstRetry && buttonId < kStationFirstRetry + kStationMostSlots) {
        state.Retry(buttonId);
    }
}

bool StationController::Running() const { return state_->station != nullptr; }

void StationController::Close() {
    if (state_->station) {
        state_->station->RequestStop();
        state_->station->Wait();
        state_->EndRun();
    }
}

StationServices RealStationServices(std::function<std::string()> formPort) {
    StationServices services;
    services.enumeratePorts = [](PortList& ports) {
        EnumeratePorts(ports);
        // Only a socket's own name replaces the port's: on Windows the device
        // path is "\\.\COM3" or an interface path, and the port is COM3,
        // as the form names it.
        for (PortInfo& port : ports) {
            if (std::string socket = SocketPortName(port.devicePath); socket != port.devicePath) {
                port.portName = std::move(socket);
            }
        }
    };
    services.formPort = std::move(formPort);
    services.openJournal = [](const std::string& where,
                              std::string& failure) -> std::unique_ptr<Journal> {
        const std::string file = where.empty() ? DefaultJournalFile() : where;
        if (file.empty()) {
            failure.clear();
            return nullptr;
        }
        return OpenJournal(file, failure);
    };
    services.openJournalToRead = [](std::string& failure) -> std::unique_ptr<Journal> {
        const std::string file = DefaultJournalFileToRead();
        if (file.empty()) {
            failure = Utf8(text::kNoJournalHere, kEnglish);
            return nullptr;
        }
        return OpenJournalForReading(file, failure);
    };
    services.reportFolder = UserDataFolder() / "reports";
    services.openInBrowser = OpenInBrowser;
    return services;
}

}  // namespace vorlen::fleet
