#include "protocol/pause.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace vorlen {

const Pause& RealPause() {
    static const Pause pause = [](std::chrono::milliseconds duration) {
        std::this_thread::sleep_for(duration);
        return true;
    };
    return pause;
}

// A stop callback and a plain condition variable, rather than the waits of
// condition_variable_any that take a stop token: under MinGW's threads those
// can miss the stop and sleep on (seen under Wine).
Pause StoppablePause(std::stop_token stop) {
    return [stop](std::chrono::milliseconds duration) {
        std::mutex mutex;
        std::condition_variable wake;
        bool stopped = false;
        const std::stop_callback onStop(stop, [&] {
            const std::lock_guard hold(mutex);
            stopped = true;
            wake.notify_all();
        });
        std::unique_lock lock(mutex);
        wake.wait_for(lock, duration, [&] { return stopped; });
        return !stop.stop_requested();
    };
}

}  // namespace vorlen
