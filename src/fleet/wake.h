// Waking one tracker, with a limit the window does not have: a fleet run
// must end even when a tracker is never reset.
#pragma once

#include <chrono>

#include "protocol/port.h"

namespace vorlen::fleet {

// Runs the wake-up on `port` until the tracker has acknowledged both wake-up
// commands (true) or `timeout` has passed (false).
bool WakeWithin(Port& port, std::chrono::milliseconds timeout);

}  // namespace vorlen::fleet
