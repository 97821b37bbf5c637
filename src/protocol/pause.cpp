#include "protocol/pause.h"

#include <algorithm>
#include <thread>

namespace vorlen {

const Pause& RealPause() {
    static const Pause pause = [](std::chrono::milliseconds duration) {
        std::this_thread::sleep_for(duration);
        return true;
    };
    return pause;
}

// The pause looks at the stop between short sleeps instead of registering a
// std::stop_callback: with MinGW's libstdc++, a callback's removal can wait
// for ever on a semaphore whose wake-up was lost (a worker hung that way
// under Wine), and condition_variable_any's stop-token waits use the same
// callbacks.
Pause StoppablePause(std::stop_token stop) {
    return [stop](std::chrono::milliseconds duration) {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point end = Clock::now() + duration;
        for (Clock::time_point now = Clock::now(); now < end && !stop.stop_requested();
             now = Clock::now()) {
            std::this_thread::sleep_for(std::min<Clock::duration>(end - now, kStopCheck));
        }
        return !stop.stop_requested();
    };
}

}  // namespace vorlen
