// The Win32 serial port under Wine, against simulated trackers on
// pseudo-terminals that scripts/windows-test maps as COM ports.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <future>
#include <string>
#include <thread>

#include "fakes.h"
#include "model/gbk.h"
#include "protocol/readback.h"
#include "protocol/transaction.h"
#include "serial/windows/serial_port.h"

namespace vorlen {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The COM port that scripts/windows-test mapped under this variable's name.
std::string MappedPort(const char* variable) {
    const char* name = std::getenv(variable);
    return name == nullptr ? std::string() : std::string(name);
}

class ComPort : public ::testing::Test {
protected:
    void SetUp() override {
        if (tracker.empty() || stalled.empty()) {
            GTEST_SKIP() << "no COM ports mapped: run scripts/windows-test";
        }
    }

    const std::string tracker = MappedPort("VORLEN_TEST_TRACKER_PORT");
    const std::string stalled = MappedPort("VORLEN_TEST_STALLED_PORT");
};

TEST_F(ComPort, TransactionsAndTheReadBackCrossTheLine) {
    const auto port = OpenPort(tracker);
    ASSERT_NE(port, nullptr);
    std::string reply;
    EXPECT_TRUE(RunTransaction(port.get(), "AT+OPENAT=710,13800138000;\r\n", reply));
    EXPECT_EQ(reply, "\r\nOK\r\n");
    reply.clear();
    EXPECT_TRUE(RunTransaction(port.get(), "AT+EGMR=0,7\r\n", reply));
    EXPECT_NE(reply.find("864507030000001"), std::string::npos) << reply;
    reply.clear();
    const std::string userId = GbkOf("车队一号");
    EXPECT_TRUE(RunTransaction(port.get(), "AT+OPENAT=801," + userId + ";\r\n", reply));

    TrackerForm form;
    testing::FakeFormView view;
    ReadBackConfiguration(port.get(), form, view, 1);
    ASSERT_FALSE(view.statuses.empty());
    EXPECT_EQ(view.statuses.back().mark, StatusMark::Success) << view.statuses.back().text;
    EXPECT_EQ(form.centerNumber, "13800138000");
    EXPECT_EQ(form.userId, userId) << "GBK bytes go out and come back unchanged";
}

TEST_F(ComPort, ReopeningDiscardsAReplyThatArrivedInBetween) {
    std::string reply;
    {
        const auto port = OpenPort(tracker);
        ASSERT_NE(port, nullptr);
        ASSERT_EQ(port->Write("AT+OPENAT=221,;\r\n", {}), 17u);
        std::this_thread::sleep_for(300ms);
        char late[64];
        EXPECT_GT(port->Read(late, sizeof late), 0u) << "the reply waits on an open port";
        ASSERT_EQ(port->Write("AT+OPENAT=231,;\r\n", {}), 17u);
        std::this_thread::sleep_for(300ms);
    }
    const auto reopened = OpenPort(tracker);
    ASSERT_NE(reopened, nullptr);
    std::this_thread::sleep_for(100ms);
    char left[64];
    EXPECT_EQ(reopened->Read(left, sizeof left), 0u) << "the open purged the late reply";
    EXPECT_TRUE(RunTransaction(reopened.get(), "AT+OPENAT=221,;\r\n", reply));
}

// What the tracker sent before a command answers nothing: the transaction
// reads it away and takes only its own answer.
TEST_F(ComPort, ATransactionSkipsWhatArrivedBeforeItsCommand) {
    const auto port = OpenPort(tracker);
    ASSERT_NE(port, nullptr);
    ASSERT_EQ(port->Write("AT+EGMR=0,7\r\n", {}), 13u);
    std::this_thread::sleep_for(300ms);
    std::string reply;
    EXPECT_TRUE(RunTransaction(port.get(), "AT+OPENAT=221,;\r\n", reply));
    EXPECT_EQ(reply, "\r\nOK\r\n");
}

TEST_F(ComPort, AHeldPortDoesNotOpenTwiceAndIsFreeOnceClosed) {
    const auto first = OpenPort(tracker);
    ASSERT_NE(first, nullptr);
    OpenFailure held;
    EXPECT_EQ(OpenPort(tracker, &held), nullptr);
    EXPECT_EQ(held.kind, OpenFailureKind::InUse) << held.systemText;
    first->Close();
    const auto again = OpenPort(tracker);
    EXPECT_NE(again, nullptr);
    OpenFailure missing;
    EXPECT_EQ(OpenPort("COM99", &missing), nullptr);
    EXPECT_EQ(missing.kind, OpenFailureKind::NoDevice) << missing.systemText;
    EXPECT_FALSE(missing.systemText.empty());
    EXPECT_EQ(OpenPort(""), nullptr);
}

// A write of a megabyte into a line that takes nothing, ended from another
// thread by `end` after half a second; how long the write took to return.
Clock::duration BlockedWriteEndsAfter(SerialPort& port, std::stop_source& stop,
                                      const std::function<void()>& end) {
    const std::string flood(1 << 20, 'A');
    auto writing = std::async(std::launch::async, [&] {
        const std::size_t written = port.Write(flood, stop.get_token());
        return std::make_pair(written, Clock::now());
    });
    EXPECT_EQ(writing.wait_for(500ms), std::future_status::timeout) << "the write is blocked";
    const auto ended = Clock::now();
    end();
    if (writing.wait_for(2s) != std::future_status::ready) {
        ADD_FAILURE() << "the write went on";
        port.Close();
    }
    const auto [written, returned] = writing.get();
    EXPECT_LT(written, flood.size());
    return returned - ended;
}

TEST_F(ComPort, CloseEndsAWriteBlockedOnAStalledLineAtOnce) {
    const auto port = SerialPort::Open(stalled, 30s);
    ASSERT_NE(port, nullptr);
    std::stop_source stop;
    EXPECT_LT(BlockedWriteEndsAfter(*port, stop, [&] { port->Close(); }), 200ms);

    char byte;
    EXPECT_EQ(port->Write("AT\r\n", {}), 0u) << "a closed port writes nothing";
    EXPECT_EQ(port->Read(&byte, 1), 0u);
}

// A driver that never completes the cancel (an adapter pulled out
// mid-write): Close gives the port up after the cancel's bound instead of
// waiting for ever, and lets go of it.
TEST_F(ComPort, ACancelThatNeverCompletesAbandonsThePortWithinItsBound) {
    const auto port = SerialPort::Open(stalled, 30s, nullptr, [](void*, void*) {});
    ASSERT_NE(port, nullptr);
    std::stop_source stop;
    const auto took = BlockedWriteEndsAfter(*port, stop, [&] { port->Close(); });
    EXPECT_GE(took, 400ms);
    EXPECT_LT(took, 1500ms);
    char byte;
    EXPECT_EQ(port->Write("AT\r\n", {}), 0u) << "an abandoned port writes nothing";
    EXPECT_EQ(port->Read(&byte, 1), 0u);
    EXPECT_NE(SerialPort::Open(stalled), nullptr) << "and holds the port no longer";
}

// The wake-up worker's stop ends its write; the port stays usable.
TEST_F(ComPort, AStopEndsABlockedWriteAndLeavesThePortOpen) {
    const auto port = SerialPort::Open(stalled, 30s);
    ASSERT_NE(port, nullptr);
    std::stop_source stop;
    EXPECT_LT(BlockedWriteEndsAfter(*port, stop, [&] { stop.request_stop(); }), 200ms);
    char byte;
    EXPECT_EQ(port->Read(&byte, 1), 0u) << "the stalled tracker says nothing";
    const auto reopened = SerialPort::Open(stalled);
    EXPECT_EQ(reopened, nullptr) << "the port is still held";
}

TEST_F(ComPort, AWriteThatTheLineDoesNotTakeEndsAfterItsTimeOut) {
    const auto port = SerialPort::Open(stalled, 300ms);
    ASSERT_NE(port, nullptr);
    const std::string flood(1 << 20, 'A');
    const auto started = Clock::now();
    EXPECT_LT(port->Write(flood, {}), flood.size());
    const auto took = Clock::now() - started;
    EXPECT_GE(took, 250ms);
    EXPECT_LT(took, 2s);
}

}  // namespace
}  // namespace vorlen
