#include <gtest/gtest.h>

#include <future>

#include "fakes.h"
#include "protocol/transaction.h"
#include "protocol/wake_worker.h"

namespace vorlen {
namespace {

using std::chrono::milliseconds;
using testing::RecordingPause;
using testing::ScriptedTracker;
using Commands = std::vector<std::string>;

const std::string kWake = "AT+ISP=RCAL:8\r\n";
const std::string kSleepOff = "AT+ESLP=0\r\n";

// A tracker that ignores its first `silent` commands and acknowledges the rest.
std::shared_ptr<ScriptedTracker> Resetting(int silent) {
    return std::make_shared<ScriptedTracker>([silent](const std::string&) mutable {
        return silent-- > 0 ? std::string() : std::string("\r\nOK\r\n");
    });
}

TEST(WakeTracker, RepeatsTheFirstCommandUntilAcknowledgedThenSendsTheSecond) {
    for (int silent : {0, 2}) {
        PortSlot ports;
        auto tracker = Resetting(silent);
        ports.Replace(tracker);
        RecordingPause pause;
        EXPECT_TRUE(WakeTracker({}, ports, pause.Get()));
        Commands expected(static_cast<std::size_t>(silent + 1), kWake);
        expected.push_back(kSleepOff);
        EXPECT_EQ(tracker->written, expected);
        // Each silent attempt waits out its empty polls, then the retry pause.
        std::vector<milliseconds> pauses;
        for (int attempt = 0; attempt < silent; ++attempt) {
            pauses.insert(pauses.end(), kEmptyPollLimit, kPollPause);
            pauses.push_back(kWakeRetryPause);
        }
        pauses.insert(pauses.end(), {kPollPause, kWakeRetryPause, kPollPause});
        EXPECT_EQ(pause.pauses, pauses) << silent;
    }
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
    auto oldPort = Resetting(1000);
    auto newPort = Resetting(0);
    ports.Replace(oldPort);
    RecordingPause pause;
    pause.onPause = [&] {
        if (pause.pauses.size() == 3) {
            ports.Replace(newPort);  // the operator picks another port
        }
    };
    EXPECT_TRUE(WakeTracker({}, ports, pause.Get()));
    EXPECT_EQ(oldPort->written, Commands{kWake});
    EXPECT_EQ(newPort->written, (Commands{kWake, kSleepOff}));
}

// The adapter pulled out after the first write: nothing more is written to
// its port, every attempt tells of it, and the port picked again finishes.
TEST(WakeTracker, APortWhoseDeviceWentGetsNothingMoreAndIsToldOf) {
    PortSlot ports;
    auto pulled = Resetting(1000);
    auto replugged = Resetting(0);
    ports.Replace(pulled);
    std::vector<std::shared_ptr<Port>> told;
    RecordingPause pause;
    pause.onPause = [&] {
        pulled->gone = true;
        if (told.size() == 3) {
            ports.Replace(replugged);
        }
    };
    EXPECT_TRUE(WakeTracker({}, ports, pause.Get(),
                            [&](const std::shared_ptr<Port>& port) { told.push_back(port); }));
    EXPECT_EQ(pulled->written, Commands{kWake});
    EXPECT_EQ(told, std::vector<std::shared_ptr<Port>>(3, pulled));
    EXPECT_EQ(replugged->written, (Commands{kWake, kSleepOff}));
}

TEST(WakeTracker, AStopRequestedBeforehandSendsNothing) {
    PortSlot ports;
    auto tracker = Resetting(0);
    ports.Replace(tracker);
    std::stop_source stop;
    stop.request_stop();
    RecordingPause pause;
    EXPECT_FALSE(WakeTracker(stop.get_token(), ports, pause.Get()));
    EXPECT_TRUE(tracker->written.empty());
}

TEST(WakeUpWorker, UnlocksWithItsCurrentTicketOnceAwake) {
    PortSlot ports;
    ports.Replace(Resetting(0));
    WakeUpWorker worker([](std::stop_token) { return testing::NoPause(); });
    std::promise<WakeUpWorker::Ticket> awake;
    worker.Restart(ports, [&](WakeUpWorker::Ticket t) { awake.set_value(t); });
    const WakeUpWorker::Ticket ticket = awake.get_future().get();
    EXPECT_TRUE(worker.Accepts(ticket));
    worker.Stop();
    EXPECT_FALSE(worker.Accepts(ticket));  // an unlock still queued after a stop is dropped
}

TEST(WakeUpWorker, AStoppedWorkerEndsWithinAPollAndSendsNothingMore) {
    PortSlot ports;
    auto tracker = Resetting(1 << 30);
    ports.Replace(tracker);
    WakeUpWorker worker;  // real, stoppable pauses
    std::atomic<bool> unlocked = false;
    worker.Restart(ports, [&](WakeUpWorker::Ticket) { unlocked = true; });
    while (tracker->Written().empty()) {
        std::this_thread::yield();
    }
    worker.Restart(ports, [&](WakeUpWorker::Ticket) { unlocked = true; });
    worker.Stop();
    const std::size_t sent = tracker->Written().size();
    EXPECT_FALSE(worker.Running());
    std::this_thread::sleep_for(milliseconds(120));
    EXPECT_EQ(tracker->Written().size(), sent);
    EXPECT_FALSE(unlocked);
    for (const std::string& command : tracker->Written()) {
        EXPECT_EQ(command, kWakeCommand);  // every restart begins with the first command again
    }
}

}  // namespace
}  // namespace vorlen
