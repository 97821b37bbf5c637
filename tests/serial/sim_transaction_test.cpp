// Transactions through a real pseudo-terminal with the simulated tracker on
// the other side.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include <signal.h>

#include "../core/fakes.h"
#include "model/bilingual.h"
#include "protocol/send_command.h"
#include "protocol/transaction.h"
#include "serial/posix/serial_port.h"
#include "sim/sim_process.h"

namespace vorlen {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Polls like the tool but without its 50 ms pauses, for transactions whose
// timing is not the point.
bool QuickPause(std::chrono::milliseconds) {
    std::this_thread::sleep_for(10ms);
    return true;
}

// Counts the reads that delivered something.
class CountingPort : public Port {
public:
    explicit CountingPort(Port& line) : line_(line) {}
    std::size_t Write(std::string_view bytes, std::stop_token stop) override {
        return line_.Write(bytes, stop);
    }
    std::size_t Read(char* into, std::size_t room) override {
        const std::size_t count = line_.Read(into, room);
        dataReads += count > 0 ? 1 : 0;
        return count;
    }
    void Close() override { line_.Close(); }

    int dataReads = 0;

private:
    Port& line_;
};

struct TrackerOnLine {
    explicit TrackerOnLine(const std::vector<std::string>& options)
        : sim(options), port(OpenPort(sim.LinkPath())) {}

    test::SimProcess sim;
    std::shared_ptr<Port> port;
};

TEST(SimTransaction, AwakeTrackerAcknowledgesAtOnceAndLogsTheExactCommand) {
    TrackerOnLine line({"--awake"});
    ASSERT_NE(line.port, nullptr);
    int polls = 0;
    const Pause counted = [&](std::chrono::milliseconds pause) {
        ++polls;
        return RealPause()(pause);
    };
    std::string reply;
    const auto sent = Clock::now();
    EXPECT_TRUE(RunTransaction(line.port.get(), "AT+OPENAT=710,13800138000;\r\n", reply, counted));
    EXPECT_EQ(reply, "\r\nOK\r\n");
    EXPECT_LE(polls, 3);

    const auto log = line.sim.Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].bytes, "AT+OPENAT=710,13800138000;");
    const double sentSeconds = std::chrono::duration<double>(sent.time_since_epoch()).count();
    EXPECT_NEAR(log[0].seconds, sentSeconds, 1.0) << "the log is on the steady clock";
}

TEST(SimTransaction, ReplyInPiecesIsAcceptedOnceTheOkIsComplete) {
    TrackerOnLine line({"--awake", "--chunked"});
    ASSERT_NE(line.port, nullptr);
    CountingPort counting(*line.port);
    std::string reply;
    EXPECT_TRUE(RunTransaction(&counting, "AT+OPENAT=720,1;\r\n", reply));
    EXPECT_EQ(reply, "\r\nOK\r\n");
    EXPECT_GE(counting.dataReads, 2);
}

// The simulator's answering modes that the fault suites rely on.
TEST(SimTransaction, EchoRefusalAndFloodReachTheTransactionAsSent) {
    const struct {
        std::vector<std::string> options;
        const char* command;
        bool succeeds;
        std::string reply;
    } cases[] = {
        {{"--awake", "--echo"}, "AT+OPENAT=780,3;\r\n", true, "AT+OPENAT=780,3;\r\n\r\nOK\r\n"},
        {{"--awake", "--refuse", "710"}, "AT+OPENAT=710,123;\r\n", false, "\r\nERROR\r\n"},
        {{"--awake", "--refuse", "710"}, "AT+OPENAT=720,2;\r\n", true, "\r\nOK\r\n"},
        // No OK ever: the transaction ends once the reply buffer is full.
        {{"--awake", "--flood"}, "AT+OPENAT=902,;\r\n", false, ""},
    };
    for (const auto& c : cases) {
        TrackerOnLine line(c.options);
        ASSERT_NE(line.port, nullptr);
        std::string reply;
        EXPECT_EQ(RunTransaction(line.port.get(), c.command, reply, QuickPause), c.succeeds)
            << c.command;
        if (c.reply.empty()) {
            EXPECT_EQ(reply.size(), kReplyBufferSize - 1);
            EXPECT_EQ(reply.find("OK"), std::string::npos);
        } else {
            EXPECT_EQ(reply, c.reply);
        }
    }
}

TEST(SimTransaction, TrackerThatDiesInMidTransactionMakesItFailQuietly) {
    TrackerOnLine line({"--awake", "--silent"});
    ASSERT_NE(line.port, nullptr);
    bool killed = false;
    const Pause killFirst = [&](std::chrono::milliseconds pause) {
        if (!killed) {
            line.sim.Kill();
            killed = true;
        }
        return QuickPause(pause);
    };
    std::string reply;
    EXPECT_FALSE(RunTransaction(line.port.get(), "AT+OPENAT=901,;\r\n", reply, killFirst));
    EXPECT_TRUE(killed);
    EXPECT_EQ(reply, "");
    EXPECT_FALSE(RunTransaction(line.port.get(), "AT+OPENAT=901,;\r\n", reply, QuickPause));
}

// Line faults over one command (Set APN), the set-all and the read-back: an
// echo that repeats the OK inside a refused command, an answer that comes
// after the command was given up on, a byte at every poll and never OK.
struct LineFaultCase {
    const char* name;
    std::vector<std::string> options;
    CommandType action;
    std::string status;     // of the last run
    std::size_t received;   // command lines of the last run that reached the tracker
    std::chrono::milliseconds within;  // the last run's longest time
    bool again = false;     // run once more after the late answer has landed
};

void PrintTo(const LineFaultCase& c, std::ostream* out) { *out << c.name; }

class LineFaults : public ::testing::TestWithParam<LineFaultCase> {};

TEST_P(LineFaults, EndInTimeAndReportOnlyWhatTheTrackerAcknowledged) {
    const LineFaultCase& c = GetParam();
    TrackerOnLine line(c.options);
    ASSERT_NE(line.port, nullptr);
    TrackerForm form = testing::FilledForm();
    form.apn = "OKNET";
    const Selections selections{.workingMode = kModeP2P, .warningType = 3, .baseStationCount = 7};
    testing::FakeFormView view;
    const auto run = [&] {
        const std::size_t before = line.sim.Commands().size();
        const auto start = Clock::now();
        SendCommand(c.action, line.port.get(), form, selections, view, kEnglish);
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
        // The tracker logs a line as it arrives; the last one is in by now.
        return std::make_pair(line.sim.Commands().size() - before, took);
    };
    auto [received, took] = run();
    if (c.again) {
        std::this_thread::sleep_for(1s);  // the late answer is on the line
        std::tie(received, took) = run();
    }
    std::printf("[ line     ] %s: %lld ms\n", c.name, static_cast<long long>(took.count()));
    ASSERT_FALSE(view.statuses.empty());
    EXPECT_EQ(view.statuses.back().text, c.status);
    EXPECT_EQ(received, c.received);
    EXPECT_LT(took, c.within);
}

const std::vector<std::string> kEchoRefusingApn{"--awake", "--echo", "--refuse", "802"};
const std::vector<std::string> kTrickle{"--awake", "--trickle"};

INSTANTIATE_TEST_SUITE_P(
    Sim, LineFaults,
    ::testing::Values(
        LineFaultCase{"EchoedOkSetApn", kEchoRefusingApn, CommandType::SetApn, "Set APN failed!", 1, 500ms},
        LineFaultCase{"EchoedOkSetAll", kEchoRefusingApn, CommandType::SetAll, "Set APN failed!", 18, 3s},
        LineFaultCase{"EchoReadBack", {"--awake", "--echo"}, CommandType::ReadConfig,
                      "Read config success!", 3, 500ms},
        LineFaultCase{"LateOkSetApn", {"--awake", "--late", "802"}, CommandType::SetApn,
                      "Set APN failed!", 1, 4s, true},
        LineFaultCase{"LateOkSetAll", {"--awake", "--late", "711"}, CommandType::SetAll,
                      "Set 1th pre-stored phonenumber failed!", 1, 4s, true},
        LineFaultCase{"LateOkReadBack", {"--awake", "--late", "901"}, CommandType::ReadConfig,
                      "Read config failed!", 1, 4s, true},
        LineFaultCase{"TrickleSetApn", kTrickle, CommandType::SetApn, "Set APN failed!", 1, 7s},
        LineFaultCase{"TrickleSetAll", kTrickle, CommandType::SetAll,
                      "Set 1th pre-stored phonenumber failed!", 1, 7s},
        LineFaultCase{"TrickleReadBack", kTrickle, CommandType::ReadConfig, "Read config failed!", 1, 7s}),
    [](const ::testing::TestParamInfo<LineFaultCase>& info) { return info.param.name; });

TEST(SimProcess, StopsOnRequestAndTakesItsLinkAlong) {
    test::SimProcess sim;
    EXPECT_EQ(sim.Stop(), 0);
    std::error_code ignored;
    EXPECT_FALSE(std::filesystem::is_symlink(sim.LinkPath(), ignored));
}

}  // namespace
}  // namespace vorlen
