// One port's whole run: wake, identify, read back, then set-all and a second
// read-back where the tracker differs from what it is to hold.
#pragma once

#include <functional>
#include <optional>

#include "profile/profile.h"
#include "protocol/port.h"
#include "provision/outcome.h"
#include "provision/phases.h"

namespace vorlen::provision {

struct TrackerPlan {
    Mode mode = Mode::Provision;
    bool force = false;  // set-all even when the tracker already holds the profile
    // The profile (with its device row applied) the tracker of this IMEI is
    // to hold, or nothing when the device list does not name it. Every
    // profile given must have passed the set-all check.
    std::function<std::optional<Profile>(const std::string& imei)> target;
    // Called once the IMEI and the software version are known.
    std::function<void(const Outcome& identified)> identified;
};

// Runs on the caller's thread; one thread per port runs it in parallel with
// the others.
Outcome ProvisionTracker(Port& port, const std::string& portName, const TrackerPlan& plan,
                         const RunSettings& settings, const ShowPhase& show);

}  // namespace vorlen::provision
