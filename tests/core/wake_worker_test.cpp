#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <vector>

#include "protocol/transaction.h"
#include "protocol/wake_worker.h"

namespace vorlen {
namespace {

using std::chrono::milliseconds;

// A tracker that ignores the first `silentAttempts` commands it receives and
// acknowledges every later one.
class ResettingTracker : public Port {
public:
    explicit ResettingTracker(int silentAttempts = 0) : silent_(silentAttempts) {}

    std::size_t Write(std::string_view bytes) override {
        std::lock_guard lock(mutex_);
        commands_.emplace_back(bytes);
        if (silent_ > 0) {
            --silent_;
        } else {
            pending_ = "\r\nOK\r\n";
        }
        return bytes.size();
    }
    std::size_t Read(char* into, std::size_t room) override {
        std::lock_guard lock(mutex_);
        const std::size_t n = pending_.copy(into, room);
        pending_.erase(0, n);
        return n;
    }
    void Close() override {}

    std::vector<std::string> Commands() const {
        std::lock_guard lock(mutex_);
        return commands_;
    }

private:
    mutable std::mutex mutex_;
    int silent_;
    std::string pending_;
    std::vector<std::string> commands_;
};

// Records every pause; `stopAfter` pauses in, it reports a stop.
struct RecordingPause {
    std::vector<milliseconds> pauses;
    std::size_t stopAfter = SIZE_MAX;
    std::function<void()> onPause;
    Pause Get() {
        return [this](milliseconds duration) {
            pauses.push_back(duration);
            if (onPause) {
                onPause();
            }
            return pauses.size() < stopAfter;
        };
    }
};

TEST(WakeTracker, AnAwakeTrackerGetsExactlyTheTwoCommandsWithTheRetryPauseBetween) {
    PortSlot ports;
    auto tracker = std::make_shared<ResettingTracker>();
    ports.Replace(tracker);
    RecordingPause pause;
    EXPECT_TRUE(WakeTracker({}, ports, pause.Get()));
    EXPECT_EQ(tracker->Commands(),
              (std::vector<std::string>{"AT+ISP=RCAL:8\r\n", "AT+ESLP=0\r\n"}));
    EXPECT_EQ(pause.pauses, (std::vector<milliseconds>{kPollPause, kWakeRetryPause, kPollPause}));
}

TEST(WakeTracker, RepeatsTheFirstCommandUntilAcknowledged) {
    PortSlot ports;
    auto tracker = std::make_shared<ResettingTracker>(2);
    ports.Replace(tracker);
    RecordingPause pause;
    EXPECT_TRUE(WakeTracker({}, ports, pause.Get()));
    EXPECT_EQ(tracker->Commands(),
              (std::vector<std::string>{"AT+ISP=RCAL:8\r\n", "AT+ISP=RCAL:8\r\n",
                                        "AT+ISP=RCAL:8\r\n", "AT+ESLP=0\r\n"}));
    // Each silent attempt waits out its 50 empty polls before the retry pause.
    EXPECT_EQ(pause.pauses.size(), 2u * (kEmptyPollLimit + 1) + 1 + 1 + 1);
}

TEST(WakeTracker, WithoutAPortRetriesEveryRetryPauseUntilStopped) {
    PortSlot ports;
    RecordingPause pause;
    pause.stopAfter = 5;
    EXPECT_FALSE(WakeTracker({}, ports, pause.Get()));
    EXPECT_EQ(pause.pauses, std::vector<milliseconds>(5, kWakeRetryPause));
}

TEST(WakeTracker, TakesTheSlotsPortAfreshForEveryAttempt) {
    PortSlot ports;
    auto oldPort = std::make_shared<ResettingTracker>(1000);
    auto newPort = std::make_shared<ResettingTracker>();
    ports.Replace(oldPort);
    RecordingPause pause;
    pause.onPause = [&] {
        if (pause.pauses.size() == 3) {
            ports.Replace(newPort);  // the operator picks another port
        }
    };
    EXPECT_TRUE(WakeTracker({}, ports, pause.Get()));
    EXPECT_EQ(oldPort->Commands(), std::vector<std::string>{"AT+ISP=RCAL:8\r\n"});
    EXPECT_EQ(newPort->Commands(),
              (std::vector<std::string>{"AT+ISP=RCAL:8\r\n", "AT+ESLP=0\r\n"}));
}

TEST(WakeTracker, AStopRequestedBeforehandSendsNothing) {
    PortSlot ports;
    auto tracker = std::make_shared<ResettingTracker>();
    ports.Replace(tracker);
    std::stop_source stop;
    stop.request_stop();
    RecordingPause pause;
    EXPECT_FALSE(WakeTracker(stop.get_token(), ports, pause.Get()));
    EXPECT_TRUE(tracker->Commands().empty());
}

TEST(WakeUpWorker, UnlocksWithItsCurrentTicketOnceAwake) {
    PortSlot ports;
    ports.Replace(std::make_shared<ResettingTracker>());
    WakeUpWorker worker([](std::stop_token) { return Pause([](milliseconds) { return true; }); });
    std::promise<WakeUpWorker::Ticket> awake;
    worker.Restart(ports, [&](WakeUpWorker::Ticket t) { awake.set_value(t); });
    const WakeUpWorker::Ticket ticket = awake.get_future().get();
    EXPECT_TRUE(worker.Accepts(ticket));
    worker.Stop();
    EXPECT_FALSE(worker.Accepts(ticket));  // an unlock still queued after a stop is dropped
}

TEST(WakeUpWorker, AStoppedWorkerEndsWithinAPollAndSendsNothingMore) {
    PortSlot ports;
    auto tracker = std::make_shared<ResettingTracker>(1 << 30);
    ports.Replace(tracker);
    WakeUpWorker worker;  // real, stoppable pauses
    std::atomic<bool> unlocked = false;
    worker.Restart(ports, [&](WakeUpWorker::Ticket) { unlocked = true; });
    while (tracker->Commands().empty()) {
        std::this_thread::yield();
    }
    worker.Restart(ports, [&](WakeUpWorker::Ticket) { unlocked = true; });
    worker.Stop();
    const std::size_t sent = tracker->Commands().size();
    EXPECT_FALSE(worker.Running());
    std::this_thread::sleep_for(milliseconds(120));
    EXPECT_EQ(tracker->Commands().size(), sent);
    EXPECT_FALSE(unlocked);
    for (const std::string& command : tracker->Commands()) {
        EXPECT_EQ(command, kWakeCommand);  // every restart begins with the first command again
    }
}

}  // namespace
}  // namespace vorlen
