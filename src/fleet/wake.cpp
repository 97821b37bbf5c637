#include "fleet/wake.h"

#include <algorithm>
#include <memory>
#include <stop_token>

#include "protocol/port_slot.h"
#include "protocol/wake_worker.h"

namespace vorlen::fleet {

bool WakeWithin(Port& port, std::chrono::milliseconds timeout) {
    using Clock = std::chrono::steady_clock;
    PortSlot slot;
    slot.Replace(std::shared_ptr<Port>(std::shared_ptr<Port>(), &port));  // not owned
    std::stop_source stop;
    const Clock::time_point deadline = Clock::now() + timeout;
    const Pause stoppable = StoppablePause(stop.get_token());
    // Every pause of the wake-up, the transactions' polls included, ends at
    // the deadline; the stop then ends the wake-up before its next attempt.
    const Pause pause = [&](std::chrono::milliseconds duration) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left <= std::chrono::milliseconds::zero()) {
            stop.request_stop();
            return false;
        }
        return stoppable(std::min(duration, left));
    };
    return WakeTracker(stop.get_token(), slot, pause);
}

}  // namespace vorlen::fleet
