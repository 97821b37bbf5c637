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

Pause StoppablePause(std::stop_token stop) {
    return [stop](std::chrono::milliseconds duration) {
        std::mutex mutex;
        std::condition_variable_any wake;
        std::unique_lock lock(mutex);
        wake.wait_for(lock, stop, duration, [] { return false; });
        return !stop.stop_requested();
    };
}

}  // namespace vorlen
