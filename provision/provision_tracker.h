// One port's whole run: wake, set-all, read back, compare.
#pragma once

#include "profile/profile.h"
#include "protocol/port.h"
#include "provision/outcome.h"
#include "provision/phases.h"

namespace vorlen::provision {

// The profile must have passed the set-all check. Runs on the caller's
// thread; one thread per port runs it in parallel with the others.
Outcome ProvisionTracker(Port& port, const std::string& portName, const Profile& profile,
                         const RunSettings& settings, const ShowPhase& show);

}  // namespace vorlen::provision
