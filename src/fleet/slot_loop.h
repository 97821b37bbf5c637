// One slot of the station, on its own thread: the port, the wake-up, each
// tracker's run, and the wait for the next tracker, until the station stops.
#pragma once

#include <cstddef>
#include <functional>
#include <stop_token>
#include <string>

#include "fleet/imei.h"
#include "fleet/outcome.h"
#include "fleet/station.h"

namespace vorlen::fleet {

// What a slot shares with the station as a whole.
struct SlotHost {
    const StationSetup& setup;
    const StationSystem& system;
    std::stop_token stop;
    // The IMEIs of the trackers the slots are running.
    ImeiClaims& claims;
    // Whether the slot may start another tracker (--count not yet reached).
    std::function<bool()> mayStart;
    // The slot's state changed.
    std::function<void(const SlotState& state)> changed;
    // A tracker's outcome is in and recorded; `journalFailure` is the
    // journal's reason when its row could not be written, else "".
    std::function<void(const Outcome& outcome, const std::string& journalFailure)> finished;
    // True once each time the operator has asked for the tracker in the
    // slot to be run again.
    std::function<bool()> retryAsked;
};

// Returns once the station has stopped, after the slot's current command.
void RunSlot(std::size_t index, const SlotHost& host);

}  // namespace vorlen::fleet
