#include "fleet/slot_loop.h"

#include <algorithm>
#include <array>
#include <memory>

#include "model/gbk.h"
#include "protocol/pause.h"
#include "protocol/port_slot.h"
#include "protocol/wake_worker.h"
#include "fleet/journal_record.h"
#include "fleet/journal_texts.h"
#include "fleet/outcome_lines.h"
#include "fleet/provision_tracker.h"
#include "fleet/read_tracker.h"
#include "fleet/recorded_plan.h"
#include "fleet/slot_port.h"
#include "fleet/tool_texts.h"
#include "serial/open_failure_hint.h"

namespace vorlen::fleet {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

// The phases of a tracker's run as the slot names them.
constexpr std::array<std::pair<Phase, SlotPhase>, 3> kRunPhases{{
    {kIdentifying, SlotPhase::Identifying},
    {kSetting, SlotPhase::Setting},
    {kVerifying, SlotPhase::Verifying},
}};

SlotPhase SlotPhaseOf(Phase phase) {
    const auto found = std::find_if(kRunPhases.begin(), kRunPhases.end(),
                                    [phase](const auto& row) { return row.first == phase; });
    return found == kRunPhases.end() ? SlotPhase::Identifying : found->second;
}

class SlotLoop {
public:
    SlotLoop(std::size_t index, const SlotHost& host)
        : host_(host), name_(host.setup.slots[index]), language_(host.setup.language) {
        state_.slot = name_;
    }

    void Run();

private:
    std::shared_ptr<Port> AwaitPort();
    bool Wake(SlotPort& line);
    bool AwaitNextTracker(SlotPort& line);
    bool MayStart();
    bool RunTracker(SlotPort& line);
    bool RefuseTracker(SlotPort& line);
    void Explain(Outcome& outcome, const SlotPort& line, bool portThere) const;
    bool Rest(milliseconds duration, Port& line, const std::function<bool()>& enough = {});
    bool PortNamed(const Port& line) const;
    bool PortThere(Port& line) const;
    void Show(SlotPhase phase, std::string what);
    std::string Said(const Bilingual& text, const Fill& fill = {}) const {
        return Say(text, language_, fill);
    }

    const SlotHost& host_;
    const std::string& name_;
    const int language_;
    SlotState state_;
    bool shown_ = false;
    std::string shownImei_;
};

void SlotLoop::Run() {
    while (!host_.stop.stop_requested()) {
        const std::shared_ptr<Port> port = AwaitPort();
        if (!port) {
            break;
        }
        SlotPort line(*port, host_.stop);
        Show(SlotPhase::WaitingForTracker, Said(text::kSlotWaitingForTracker));
        // One tracker after another while the port stays.
        bool answered = Wake(line);
        while (answered && MayStart() && RunTracker(line)) {
            answered = AwaitNextTracker(line);
        }
        port->Close();
    }
    Show(SlotPhase::Stopped, Said(text::kSlotStopped));
}

// Looks for the port at the look's pace and opens it; a port that is there
// but refuses to open is tried again at the same pace, its reason shown.
std::shared_ptr<Port> SlotLoop::AwaitPort() {
    state_.imei.clear();
    const Pause pause = StoppablePause(host_.stop);
    do {
        if (!host_.system.portExists(name_)) {
            Show(SlotPhase::WaitingForPort, Said(text::kSlotWaitingForPort));
            continue;
        }
        OpenFailure why;
        if (std::shared_ptr<Port> port = host_.system.openPort(name_, &why)) {
            return port;
        }
        Show(SlotPhase::WaitingForPort,
             Said(text::kSlotPortRefused,
                  {.detail = GbkToUtf8(OpenFailureHint(why, language_))}));
    } while (pause(host_.system.portLook));
    return nullptr;
}

// The wake-up without a time limit: true once a tracker has answered it,
// false when the station stops or the port goes away.
bool SlotLoop::Wake(SlotPort& line) {
    std::stop_source wake;
    const Pause stoppable = StoppablePause(host_.stop);
    const Pause pause = [&](milliseconds duration) {
        if (PortNamed(line) && stoppable(duration)) {
            return true;
        }
        wake.request_stop();
        return false;
    };
    PortSlot ports;
    ports.Replace(std::shared_ptr<Port>(std::shared_ptr<Port>(), &line));  // not owned
    line.Listen();
    return WakeTracker(wake.get_token(), ports, pause);
}

// After an outcome the tracker stays in the slot until the operator takes it
// out: every sameTrackerLook it is woken and asked its IMEI, and only
// another IMEI starts a run, or the operator's Retry the same one again.
// True once that tracker has answered.
bool SlotLoop::AwaitNextTracker(SlotPort& line) {
    const std::string last = state_.last ? state_.last->imei : std::string();
    for (;;) {
        bool retry = false;
        const auto retryAsked = [this, &retry] { return retry = host_.retryAsked(); };
        if (!Rest(host_.system.sameTrackerLook, line, retryAsked) || !Wake(line)) {
            return false;
        }
        if (retry) {
            return true;
        }
        // A reply that names no IMEI cannot say it is the same tracker: it
        // gets a run, which fails it before anything is written.
        std::string failure;
        const std::optional<std::string> imei = ReadImei(line, language_, failure);
        if (!imei || GbkToUtf8(*imei) != last) {
            return true;
        }
    }
}

// Once the station has started its --count trackers the slot takes no
// other: it leaves the tracker that answered untouched and waits for the
// station to stop, which it does when the started ones have finished.
bool SlotLoop::MayStart() {
    if (host_.mayStart()) {
        return true;
    }
    Show(SlotPhase::Stopped, Said(text::kSlotCountReached));
    const Pause pause = StoppablePause(host_.stop);
    while (pause(host_.system.portLook)) {
    }
    return false;
}

// One tracker from its answer to the wake-up to its outcome, recorded and
// counted. False when the port went away during it.
bool SlotLoop::RunTracker(SlotPort& line) {
    const StationSetup& setup = host_.setup;
    if (setup.journal != nullptr && !setup.journal->Health().taking) {
        return RefuseTracker(line);
    }
    const RunSettings settings{milliseconds::zero(), language_};
    const Clock::time_point awake = Clock::now();
    Outcome outcome;
    outcome.port = name_;
    outcome.mode = setup.mode;
    outcome.timings.wakeSeconds = Seconds(awake - line.FirstAnswer().value_or(awake));
    state_.imei.clear();  // until this tracker has said its own
    host_.retryAsked();   // a Retry pressed before this run was for the one before
    TrackerRecord record(setup.journal, setup.record);
    std::string deviceValues;
    TrackerPlan plan = RecordedPlan(setup.profile, setup.devices, setup.mode, setup.force,
                                    deviceValues, record);
    plan.claims = &host_.claims;
    // The operator sees which tracker it is as soon as it has said so, not
    // only once its configuration has been read too.
    plan.target = [this, target = plan.target](const std::string& imei) {
        state_.imei = GbkToUtf8(imei);
        Show(SlotPhase::Identifying, state_.what);
        return target(imei);
    };
    plan.identified = [this, recorded = plan.identified](const Outcome& identified) {
        recorded(identified);
        state_.imei = identified.imei;
        Show(SlotPhase::Identifying, state_.what);
    };
    ProvisionAwakeTracker(
        line, plan, settings,
        [this](Phase phase, const std::string& what) { Show(SlotPhaseOf(phase), what); },
        outcome);
    outcome.timings.totalSeconds = outcome.timings.wakeSeconds + Seconds(Clock::now() - awake);
    const bool there = PortNamed(line);
    Explain(outcome, line, there);
    record.Finished(outcome, deviceValues);
    host_.finished(outcome, record.Failure());
    state_.last = outcome;
    state_.lastLine = FinishedLine(outcome, settings);
    Show(SlotPhase::Finished, Said(text::kSlotFinished));
    return there;
}

// A journal that takes no rows at all: the tracker that answered is not
// taken, nor any after it, until the station stops or the port goes.
bool SlotLoop::RefuseTracker(SlotPort& line) {
    Show(SlotPhase::WaitingForTracker, Said(text::kSlotJournalStopped));
    while (Rest(host_.system.sameTrackerLook, line)) {
    }
    return false;
}

// A run cut short by the station's stop, or by the port going away, says so
// instead of naming the command that could not be sent; the step stays.
void SlotLoop::Explain(Outcome& outcome, const SlotPort& line, bool portThere) const {
    const bool cut =
        outcome.result == Result::StepFailed || outcome.result == Result::ReadBackFailed;
    if (cut && line.Refused()) {
        outcome.failure = Said(text::kStationStopped);
    } else if (cut && !portThere) {
        outcome.failure = Said(text::kPortWentAway);
    }
}

// Waits `duration`, looking at the port at the look's pace, or until
// `enough` holds; false when the station stops or the port goes away.
bool SlotLoop::Rest(milliseconds duration, Port& line, const std::function<bool()>& enough) {
    const Pause pause = StoppablePause(host_.stop);
    const Clock::time_point until = Clock::now() + duration;
    for (;;) {
        if (!PortThere(line)) {
            return false;
        }
        const auto left = std::chrono::ceil<milliseconds>(until - Clock::now());
        if (left <= milliseconds::zero() || (enough && enough())) {
            return true;
        }
        if (!pause(std::min(left, host_.system.portLook))) {
            return false;
        }
    }
}

// The name still leads to a device, and the port has not found it gone.
bool SlotLoop::PortNamed(const Port& line) const {
    return !line.Gone() && host_.system.portExists(name_);
}

// As PortNamed, between commands: a read is how a port learns that its
// device has gone, and what it finds belongs to no command (the next
// command reads stale input away first anyway).
bool SlotLoop::PortThere(Port& line) const {
    std::array<char, 64> scratch;
    line.Read(scratch.data(), scratch.size());
    return PortNamed(line);
}

// Tells the station of every change; the same words again are no change.
void SlotLoop::Show(SlotPhase phase, std::string what) {
    if (shown_ && phase == state_.phase && what == state_.what && state_.imei == shownImei_) {
        return;
    }
    state_.phase = phase;
    state_.what = std::move(what);
    shown_ = true;
    shownImei_ = state_.imei;
    host_.changed(state_);
}

}  // namespace

void RunSlot(std::size_t index, const SlotHost& host) { SlotLoop(index, host).Run(); }

}  // namespace vorlen::fleet
