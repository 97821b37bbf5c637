// Pausing between polls. Real timing is the default; tests count pauses, and
// the wake-up worker's pauses end early on a stop request.
#pragma once

#include <chrono>
#include <functional>
#include <stop_token>

namespace vorlen {

// Pauses the calling thread. Returns false when the pause was cut short by a
// stop request; the caller must then stop at once.
using Pause = std::function<bool(std::chrono::milliseconds)>;

// Sleeps the whole time; never stopped.
const Pause& RealPause();

// How soon a stoppable wait notices a stop request.
inline constexpr std::chrono::milliseconds kStopCheck{5};

// Sleeps until the time has passed or, within kStopCheck, `stop` is requested.
Pause StoppablePause(std::stop_token stop);

}  // namespace vorlen
