// One port's whole run: wake, identify, read back, then set-all and a second
// read-back where the tracker differs from what it is to hold. A station,
// which wakes its trackers its own way, runs the part after the wake-up.
#pragma once

#include <functional>
#include <optional>

#include "profile/profile.h"
#include "protocol/port.h"
#include "fleet/imei.h"
#include "fleet/outcome.h"
#include "fleet/phases.h"

namespace vorlen::fleet {

struct TrackerPlan {
    Mode mode = Mode::Provision;
    bool force = false;  // set-all even when the tracker already holds the profile
    // The profile (with its device row applied) the tracker of this IMEI is
    // to hold, or nothing when the device list does not name it. Every
    // profile given must have passed the set-all check.
    std::function<std::optional<Profile>(const std::string& imei)> target;
    // The target with its numbered values' numbers (fleet/numbered_value.h),
    // called once the IMEI is known, before the tracker is compared; nothing,
    // with the outcome's result and failure, when it cannot have them. Null:
    // the target as it is.
    std::function<std::optional<Profile>(const Profile& target, int language, Outcome& outcome)>
        numbered;
    // Called once the IMEI and the software version are known.
    std::function<void(const Outcome& identified)> identified;
    // The IMEIs the ports running beside this one hold; null when it runs alone.
    ImeiClaims* claims = nullptr;
};

// Runs on the caller's thread; one thread per port runs it in parallel with
// the others.
Outcome ProvisionTracker(Port& port, const std::string& portName, const TrackerPlan& plan,
                         const RunSettings& settings, const ShowPhase& show);

// The run of a tracker that has just answered the wake-up: identify it, then
// set-all and verify where it is needed. `outcome` comes with the port, the
// mode and the wake-up's time; this adds the rest but the total time.
// `show` hears kIdentifying, kSetting and kVerifying.
void ProvisionAwakeTracker(Port& port, const TrackerPlan& plan, const RunSettings& settings,
                           const ShowPhase& show, Outcome& outcome);

}  // namespace vorlen::fleet
