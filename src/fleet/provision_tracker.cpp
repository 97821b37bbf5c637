#include "fleet/provision_tracker.h"

#include <chrono>

#include "model/gbk.h"
#include "model/validation.h"
#include "protocol/result_messages.h"
#include "protocol/set_all.h"
#include "fleet/counting_port.h"
#include "fleet/read_tracker.h"
#include "fleet/tool_texts.h"
#include "fleet/wake.h"

namespace vorlen::fleet {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Set-all's step n reports the failure line of command type n - 1, and every
// type has a line of its own.
int StepOfFailure(const std::string& failure, int language) {
    for (int step = 1; step <= kSetAllSteps; ++step) {
        if (ResultText(static_cast<CommandType>(step - 1), false, language) == failure) {
            return step;
        }
    }
    return 0;
}

// Sends the profile; true when all nineteen steps were acknowledged.
bool SetAll(Port& port, Profile& sent, const RunSettings& settings, const ShowPhase& show,
            Outcome& outcome) {
    CountingPort counted(port, [&](int step) {
        show(kSetting, Say(text::kSetting, settings.language,
                           {.count = step, .total = kSetAllSteps}));
    });
    CommandStatus status;
    SendAllSettings(&counted, sent.form, sent.selections, status, settings.language);
    if (status.Succeeded()) {
        return true;
    }
    outcome.result = Result::StepFailed;
    outcome.failure = GbkToUtf8(status.Text());
    outcome.failedStep = StepOfFailure(status.Text(), settings.language);
    return false;
}

// The record as set-all leaves it: its check trims the fields it sends
// trimmed (the interval, the upload count, the fence's numbers).
Profile AsSetAllSends(Profile profile) {
    ValidateAllFields(profile.form, profile.selections);
    return profile;
}

// Reads the configuration and compares it with `expected`; false with the
// outcome's failure when the read fails.
bool Compare(Port& port, const Profile& expected, const RunSettings& settings, Outcome& outcome) {
    const std::optional<Profile> held =
        ReadConfiguration(port, settings.language, outcome.failure);
    if (!held) {
        outcome.result = Result::ReadBackFailed;
        return false;
    }
    outcome.softwareVersion = GbkToUtf8(held->form.softwareVersion);
    outcome.differences = Differences(expected, *held);
    return true;
}

// The IMEI, then the configuration as found; the profile the tracker is to
// hold, or nothing when the run for it ends here.
std::optional<Profile> Identify(Port& port, const TrackerPlan& plan, const RunSettings& settings,
                                Outcome& outcome) {
    const std::optional<std::string> imei = ReadImei(port, settings.language, outcome.failure);
    if (!imei) {
        outcome.result = Result::ReadBackFailed;
        return std::nullopt;
    }
    outcome.imei = GbkToUtf8(*imei);
    if (const std::optional<std::string> other =
            plan.claims ? plan.claims->Claim(outcome.imei, outcome.port) : std::nullopt) {
        outcome.result = Result::ReadBackFailed;
        outcome.failure =
            Say(text::kImeiHeld, settings.language, {.port = *other, .imei = outcome.imei});
        return std::nullopt;
    }
    std::optional<Profile> target = plan.target(*imei);
    if (target && plan.numbered) {
        target = plan.numbered(*target, settings.language, outcome);
        if (!target) {
            plan.identified(outcome);
            return std::nullopt;
        }
    }
    const Profile expected = AsSetAllSends(target.value_or(Profile{}));
    const bool read = Compare(port, expected, settings, outcome);
    plan.identified(outcome);
    if (!read) {
        return std::nullopt;
    }
    if (!target) {
        outcome.differences.clear();
        outcome.result = Result::NotListed;
        return std::nullopt;
    }
    const bool holds = outcome.differences.empty();
    if (plan.mode == Mode::Check || (holds && !plan.force)) {
        outcome.result = holds ? Result::Unchanged : Result::Differs;
        return std::nullopt;
    }
    outcome.differences.clear();
    return target;
}

// Set-all, then the read-back that verifies it.
void Configure(Port& port, Profile sent, const RunSettings& settings, const ShowPhase& show,
               Outcome& outcome) {
    const Clock::time_point setAllStart = Clock::now();
    outcome.written = true;
    const bool set = SetAll(port, sent, settings, show, outcome);
    outcome.timings.setAllSeconds = SecondsSince(setAllStart);
    if (!set) {
        return;
    }
    const Clock::time_point verifyStart = Clock::now();
    show(kVerifying, Say(text::kVerifying, settings.language));
    if (Compare(port, sent, settings, outcome)) {
        outcome.result = outcome.differences.empty() ? Result::Done : Result::Differs;
    }
    outcome.timings.verifySeconds = SecondsSince(verifyStart);
}

}  // namespace

void ProvisionAwakeTracker(Port& port, const TrackerPlan& plan, const RunSettings& settings,
                           const ShowPhase& show, Outcome& outcome) {
    const Clock::time_point identifyStart = Clock::now();
    show(kIdentifying, Say(text::kIdentifying, settings.language));
    const std::optional<Profile> target = Identify(port, plan, settings, outcome);
    outcome.timings.identifySeconds = SecondsSince(identifyStart);
    if (target) {
        Configure(port, *target, settings, show, outcome);
    }
    if (plan.claims) {
        plan.claims->Release(outcome.port);
    }
}

Outcome ProvisionTracker(Port& port, const std::string& portName, const TrackerPlan& plan,
                         const RunSettings& settings, const ShowPhase& show) {
    Outcome outcome;
    outcome.port = portName;
    outcome.mode = plan.mode;
    const Clock::time_point start = Clock::now();
    show(kWaking, Say(text::kWaking, settings.language, {.detail = WakeSeconds(settings)}));
    const bool awake = WakeWithin(port, settings.wakeTimeout);
    outcome.timings.wakeSeconds = SecondsSince(start);
    if (awake) {
        // Once identified, the port's line names the tracker it is writing.
        const ShowPhase withImei = [&](Phase phase, const std::string& what) {
            show(phase, outcome.imei.empty() || phase == kIdentifying
                            ? what
                            : "IMEI " + outcome.imei + ": " + what);
        };
        ProvisionAwakeTracker(port, plan, settings, withImei, outcome);
    }
    outcome.timings.totalSeconds = SecondsSince(start);
    return outcome;
}

}  // namespace vorlen::fleet
