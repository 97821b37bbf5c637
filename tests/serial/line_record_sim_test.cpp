// The line record around a real pseudo-terminal with the simulated tracker
// on the other side: what the record holds is what the simulator logged.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "../core/fakes.h"
#include "model/bilingual.h"
#include "model/tracker_form.h"
#include "protocol/line_record.h"
#include "protocol/readback.h"
#include "protocol/recorded_port.h"
#include "protocol/transaction.h"
#include "protocol/wake_worker.h"
#include "serial/posix/serial_port.h"
#include "sim/sim_process.h"

namespace vorlen {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Polls like the tool but without its 50 ms pauses.
bool QuickPause(std::chrono::milliseconds) {
    std::this_thread::sleep_for(5ms);
    return true;
}

// Keeps a copy of everything the line delivered, beneath the record.
class Tap : public Port {
public:
    explicit Tap(std::shared_ptr<Port> line) : line_(std::move(line)) {}
    std::size_t Write(std::string_view bytes, std::stop_token stop) override {
        return line_->Write(bytes, stop);
    }
    std::size_t Read(char* into, std::size_t room) override {
        const std::size_t count = line_->Read(into, room);
        received.append(into, count);
        dataReads += count > 0 ? 1 : 0;
        return count;
    }
    void Close() override { line_->Close(); }

    std::string received;
    std::size_t dataReads = 0;

private:
    std::shared_ptr<Port> line_;
};

// One write and what came back after it, up to the next write.
struct Exchange {
    std::string written;
    std::string received;
    std::chrono::milliseconds time;
};

std::vector<Exchange> Exchanges(const LineRecord& record) {
    std::vector<Exchange> exchanges;
    for (const LineEntry& entry : record.Since(0)) {
        if (entry.direction == LineDirection::Written) {
            EXPECT_EQ(entry.notWritten, 0u) << entry.bytes;
            exchanges.push_back({entry.bytes, "", entry.time});
        } else if (!exchanges.empty()) {
            exchanges.back().received += entry.bytes;
        } else {
            ADD_FAILURE() << "received before anything was written: " << entry.bytes;
        }
    }
    return exchanges;
}

struct RecordedTracker {
    explicit RecordedTracker(const std::vector<std::string>& options)
        : sim(options),
          serial(OpenPort(sim.LinkPath())),
          tap(std::make_shared<Tap>(serial)),
          port(std::make_shared<RecordedPort>(tap, record)) {}

    // Each write is one whole command, logged by the simulator (without its
    // line end) at the time the record gives it.
    void ExpectWritesAsLogged(const std::vector<Exchange>& exchanges) const {
        const std::vector<test::LoggedCommand> log = sim.Log();
        ASSERT_EQ(exchanges.size(), log.size());
        for (std::size_t i = 0; i < log.size(); ++i) {
            EXPECT_EQ(exchanges[i].written, log[i].bytes + "\r\n") << i;
            const double recorded =
                std::chrono::duration<double>(started.time_since_epoch() + exchanges[i].time).count();
            EXPECT_NEAR(recorded, log[i].seconds, 0.1) << i;
        }
    }

    test::SimProcess sim;
    const Clock::time_point started = Clock::now();
    LineRecord record;
    std::shared_ptr<Port> serial;
    std::shared_ptr<Tap> tap;
    std::shared_ptr<RecordedPort> port;
};

TEST(RecordedLine, HoldsTheWakeUpAsTheTrackerSawIt) {
    RecordedTracker line({"--wake-after", "0.3"});
    ASSERT_NE(line.serial, nullptr);
    PortSlot ports;
    ports.Replace(line.port);
    ASSERT_TRUE(WakeTracker({}, ports, QuickPause));

    const std::vector<Exchange> exchanges = Exchanges(line.record);
    line.ExpectWritesAsLogged(exchanges);
    // Ignored while still resetting, then acknowledged, then the second one.
    ASSERT_GE(exchanges.size(), 3u);
    for (std::size_t i = 0; i + 2 < exchanges.size(); ++i) {
        EXPECT_EQ(exchanges[i].written, kWakeCommand);
        EXPECT_EQ(exchanges[i].received, "");
    }
    EXPECT_EQ(exchanges[exchanges.size() - 2].written, kWakeCommand);
    EXPECT_EQ(exchanges.back().written, kStayAwakeCommand);
    EXPECT_EQ(exchanges[exchanges.size() - 2].received, "\r\nOK\r\n");
    EXPECT_EQ(exchanges.back().received, "\r\nOK\r\n");
}

TEST(RecordedLine, HoldsTheReadBackQueriesAndTheirReplies) {
    RecordedTracker line({"--awake"});
    ASSERT_NE(line.serial, nullptr);
    TrackerForm form;
    testing::FakeFormView view;
    ReadBackConfiguration(line.port.get(), form, view, kEnglish, QuickPause);
    ASSERT_EQ(view.statuses.size(), 1u);
    ASSERT_EQ(view.statuses[0].mark, StatusMark::Success);

    const std::vector<Exchange> exchanges = Exchanges(line.record);
    line.ExpectWritesAsLogged(exchanges);
    ASSERT_EQ(exchanges.size(), 3u);
    std::string received;
    for (const Exchange& exchange : exchanges) {
        EXPECT_TRUE(exchange.received.ends_with("OK\r\n")) << exchange.received;
        received += exchange.received;
    }
    EXPECT_EQ(received, line.tap->received);
    // One entry per read that delivered bytes.
    EXPECT_EQ(line.record.Since(0).size(), exchanges.size() + line.tap->dataReads);
}

TEST(RecordedLine, HoldsARefusedCommandAndTheErrorAnswer) {
    RecordedTracker line({"--awake", "--refuse", "710"});
    ASSERT_NE(line.serial, nullptr);
    std::string reply;
    EXPECT_FALSE(RunTransaction(line.port.get(), "AT+OPENAT=710,123;\r\n", reply, QuickPause));

    const std::vector<Exchange> exchanges = Exchanges(line.record);
    line.ExpectWritesAsLogged(exchanges);
    ASSERT_EQ(exchanges.size(), 1u);
    EXPECT_EQ(exchanges[0].written, "AT+OPENAT=710,123;\r\n");
    EXPECT_EQ(exchanges[0].received, "\r\nERROR\r\n");
}

// A tracker that sends digits without end: the record keeps only its newest
// entries, each no larger than one read.
TEST(RecordedLine, StaysBoundedUnderAFloodingTracker) {
    test::SimProcess sim({"--awake", "--flood"});
    LineRecord record(Clock::now, 32);
    RecordedPort port(OpenPort(sim.LinkPath()), record);
    std::string reply;
    constexpr int kCommands = 5;
    for (int i = 0; i < kCommands; ++i) {
        EXPECT_FALSE(RunTransaction(&port, "AT+OPENAT=902,;\r\n", reply, QuickPause));
    }
    const std::vector<LineEntry> entries = record.Since(0);
    ASSERT_EQ(entries.size(), 32u);
    // Each command ends once its reply buffer is full: at least ten reads.
    EXPECT_GE(entries.back().sequence, kCommands * (1 + 10u));
    for (const LineEntry& entry : entries) {
        EXPECT_LE(entry.bytes.size(), kReadChunk);
        EXPECT_EQ(entry.notKept, 0u);
    }
}

}  // namespace
}  // namespace vorlen
