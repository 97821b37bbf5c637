// What the simulated tracker answers, seen from the tool's side of the line.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <thread>

#include "protocol/commands.h"
#include "serial/posix/enumerate_device_nodes.h"
#include "serial/posix/serial_port.h"
#include "sim/sim_process.h"

namespace vorlen {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kAnswerWait = 2000ms;
constexpr auto kSilenceWait = 200ms;

// Sends one command line and collects the answer until it ends in OK or
// ERROR, or until `wait` has passed.
std::string AnswerTo(Port& port, const std::string& command,
                     std::chrono::milliseconds wait = kAnswerWait) {
    const std::string line = command + "\r\n";
    EXPECT_EQ(port.Write(line, {}), line.size());
    std::string answer;
    std::array<char, 1024> buffer;
    for (const auto deadline = Clock::now() + wait; Clock::now() < deadline;) {
        answer.append(buffer.data(), port.Read(buffer.data(), buffer.size()));
        if (answer.ends_with("OK\r\n") || answer.ends_with("ERROR\r\n")) {
            break;
        }
        std::this_thread::sleep_for(2ms);
    }
    return answer;
}

// The "#"-separated fields between the "@" and the end of their line.
std::string FieldList(const std::string& answer) {
    const std::size_t at = answer.find('@');
    return at == std::string::npos ? "" : answer.substr(at + 1, answer.find('\r', at) - at - 1);
}

struct Tracker {
    explicit Tracker(const std::vector<std::string>& options = {"--awake"})
        : sim(options), port(OpenPort(sim.LinkPath())) {
        EXPECT_NE(port, nullptr);
    }

    std::string Answer(const std::string& command, std::chrono::milliseconds wait = kAnswerWait) {
        return AnswerTo(*port, command, wait);
    }

    test::SimProcess sim;
    std::shared_ptr<Port> port;
};

constexpr const char* kOk = "\r\nOK\r\n";
constexpr const char* kError = "\r\nERROR\r\n";

TEST(SimTracker, AcknowledgesEveryCommandOfTheCatalogue) {
    Tracker tracker;
    const std::vector<std::string> commands = {
        "AT+OPENAT=711,1,13800138000;", "AT+OPENAT=711,9,;", "AT+OPENAT=710,+8613800000000;",
        "AT+OPENAT=70,4;", "AT+OPENAT=70,-1;", "AT+OPENAT=720,3;", "AT+OPENAT=730,30,5;",
        "AT+OPENAT=750,500,10;", "AT+OPENAT=751,500,10,11403.5678,E,2232.1234,N;",
        "AT+OPENAT=760,;", "AT+OPENAT=770,\xC4\xE3\\x;", "AT+OPENAT=780,7;",
        "AT+OPENAT=801,ID 42;", "AT+OPENAT=802,CMNET,,;", "AT+OPENAT=803,10.0.0.1,9000;",
        "AT+OPENAT=221,;", "AT+OPENAT=231,;", "AT+OPENAT=999,;", "AT+EGMR=1,7,\"359000000000009\"",
        "AT+ISP=RCAL:8", "AT+ESLP=0",
    };
    for (const std::string& command : commands) {
        EXPECT_EQ(tracker.Answer(command), kOk) << command;
    }
    EXPECT_EQ(tracker.sim.Commands(), commands) << "the log holds the exact bytes";
}

TEST(SimTracker, AnswersErrorToUnknownAndMalformedCommands) {
    Tracker tracker;
    // No such code or hemisphere, user number slot 0, an argument missing, no
    // number, no comma or semicolon, an argument to a query, an open quote.
    for (const char* command :
         {"AT+OPENAT=712,1;", "AT+OPENAT=711,0,123;", "AT+OPENAT=711,1;", "AT+OPENAT=70,P2P;",
          "AT+OPENAT=999;", "AT+OPENAT=710,123", "AT+OPENAT=751,500,10,1,X,2,N;",
          "AT+OPENAT=901,1;", "AT+EGMR=1,7,\"unterminated", "AT+XYZ=1", "HELLO"}) {
        EXPECT_EQ(tracker.Answer(command), kError) << command;
    }
    // A refused value changes nothing.
    EXPECT_EQ(FieldList(tracker.Answer("AT+OPENAT=902,;")).substr(0, 4), "1#0#");
}

TEST(SimTracker, AnswersOnlyTheWakeUpCallsWhileAsleep) {
    Tracker tracker(std::vector<std::string>{});
    EXPECT_EQ(tracker.Answer("AT+OPENAT=710,123;", kSilenceWait), "");
    EXPECT_EQ(tracker.Answer("AT+ESLP=0", kSilenceWait), "") << "before the calibration call";
    EXPECT_EQ(tracker.Answer("AT+ISP=RCAL:8"), kOk);
    EXPECT_EQ(tracker.Answer("AT+OPENAT=710,123;", kSilenceWait), "");
    EXPECT_EQ(tracker.Answer("AT+ESLP=0"), kOk);
    EXPECT_EQ(tracker.Answer("AT+OPENAT=710,123;"), kOk);
}

TEST(SimTracker, StaysSilentToTheWakeUpWhileStillResetting) {
    Tracker tracker({"--wake-after", "0.5"});
    const auto first = Clock::now();
    EXPECT_EQ(tracker.Answer("AT+ISP=RCAL:8", kSilenceWait), "");
    std::this_thread::sleep_until(first + 550ms);
    EXPECT_EQ(tracker.Answer("AT+ISP=RCAL:8"), kOk);
}

TEST(SimTracker, KeepsItsSettingsWhenThePortIsReopenedUntilAFactoryReset) {
    Tracker tracker;
    for (const char* command :
         {"AT+OPENAT=710,+8613800000000;", "AT+OPENAT=711,3,139;", "AT+OPENAT=770,654321;",
          "AT+OPENAT=801,ID42;", "AT+EGMR=1,7,\"359000000000009\""}) {
        ASSERT_EQ(tracker.Answer(command), kOk) << command;
    }
    tracker.port->Close();
    tracker.port = OpenPort(tracker.sim.LinkPath());
    ASSERT_NE(tracker.port, nullptr);
    EXPECT_EQ(FieldList(tracker.Answer("AT+OPENAT=901,;")),
              "+8613800000000##ID42#654321###139#######359000000000009#");

    EXPECT_EQ(tracker.Answer("AT+OPENAT=999,;"), kOk);
    EXPECT_EQ(FieldList(tracker.Answer("AT+OPENAT=901,;")),
              "###123456##########359000000000009#")
        << "factory values, but the IMEI stays";
}

// Acknowledged, yet stored otherwise: the number of 711 (not its slot) and
// the first value of the others get a 9; 760 leaves the fence on.
TEST(SimTracker, MisstoredSettingsAreAcknowledgedButKeptOtherwise) {
    Tracker tracker({"--awake", "--misstore", "711", "--misstore", "730", "--misstore", "760"});
    for (const char* command : {"AT+OPENAT=711,2,139;", "AT+OPENAT=730,60,5;",
                                "AT+OPENAT=750,300,5;", "AT+OPENAT=760,;"}) {
        ASSERT_EQ(tracker.Answer(command), kOk) << command;
    }
    EXPECT_EQ(FieldList(tracker.Answer("AT+OPENAT=901,;")),
              "###123456##1399########864507030000001#");
    EXPECT_EQ(FieldList(tracker.Answer("AT+OPENAT=902,;")).substr(0, 13), "1#0#0#609#5#C");
    EXPECT_EQ(FieldList(tracker.Answer("AT+OPENAT=903,;")), "1##N##E#300#5#2#");
}

TEST(SimTracker, QueriesReportInTheOrderTheReadBackExpects) {
    Tracker tracker;
    for (const char* command :
         {"AT+OPENAT=70,4;", "AT+OPENAT=720,2;", "AT+OPENAT=730,60,5;",
          "AT+OPENAT=802,apn,user,secret;", "AT+OPENAT=803,1.2.3.4,9000;", "AT+OPENAT=780,3;",
          "AT+OPENAT=231,;", "AT+OPENAT=751,500,10,11403.5678,E,2232.1234,N;"}) {
        ASSERT_EQ(tracker.Answer(command), kOk) << command;
    }
    const std::string services = tracker.Answer("AT+OPENAT=902,;");
    EXPECT_EQ(FieldList(services), "0#4#2#60#5#apn#user#secret#1.2.3.4#9000#3#1.04#SIM#");
    EXPECT_TRUE(services.ends_with(kOk));
    EXPECT_EQ(FieldList(tracker.Answer("AT+OPENAT=903,;")),
              "1#2232.1234#N#11403.5678#E#500#10#3#");

    ASSERT_EQ(tracker.Answer("AT+OPENAT=750,300,5;"), kOk);
    EXPECT_EQ(FieldList(tracker.Answer("AT+OPENAT=903,;")),
              "1#2232.1234#N#11403.5678#E#300#5#2#");
    ASSERT_EQ(tracker.Answer("AT+OPENAT=760,;"), kOk);
    EXPECT_EQ(FieldList(tracker.Answer("AT+OPENAT=903,;")),
              "0#2232.1234#N#11403.5678#E#300#5#2#");
}

TEST(SimTracker, ReportsTheImeiBetweenQuotes) {
    Tracker tracker({"--awake", "--imei", "864507030000001"});
    EXPECT_EQ(ExtractImei(tracker.Answer("AT+EGMR=0,7")), "864507030000001");
    ASSERT_EQ(tracker.Answer("AT+EGMR=1,7,\"359000000000009\""), kOk);
    EXPECT_EQ(ExtractImei(tracker.Answer("AT+EGMR=0,7")), "359000000000009");
}

// SIGUSR1 swaps the tracker behind the terminal: the new one sleeps, holds
// the factory configuration and the next IMEI, the count carried.
TEST(SimTracker, SigusrOnePutsANewTrackerBehindTheSameTerminal) {
    Tracker tracker({"--awake", "--imei", "864507030000099"});
    ASSERT_EQ(tracker.Answer("AT+OPENAT=801,ID42;"), kOk);
    ASSERT_EQ(::kill(tracker.sim.Pid(), SIGUSR1), 0);
    const auto deadline = Clock::now() + kAnswerWait;
    while (!tracker.Answer("AT+EGMR=0,7", kSilenceWait).empty() && Clock::now() < deadline) {
    }
    EXPECT_EQ(tracker.Answer("AT+EGMR=0,7", kSilenceWait), "") << "asleep";
    ASSERT_EQ(tracker.Answer("AT+ISP=RCAL:8"), kOk);
    ASSERT_EQ(tracker.Answer("AT+ESLP=0"), kOk);
    EXPECT_EQ(ExtractImei(tracker.Answer("AT+EGMR=0,7")), "864507030000100");
    EXPECT_EQ(FieldList(tracker.Answer("AT+OPENAT=901,;")),
              "###123456##########864507030000100#");
}

TEST(SimTracker, ItsLinkIsListedAsAVirtualPortThatWorks) {
    Tracker tracker;
    tracker.port->Close();
    const std::filesystem::path sys = tracker.sim.Directory() + "/sys";
    std::filesystem::create_directories(sys / "class" / "tty");
    PortList ports;
    EnumeratePorts(ports, DeviceRoots{sys, tracker.sim.Directory()});
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0].portName, tracker.sim.LinkPath());
    EXPECT_TRUE(ports[0].friendlyName.starts_with("Virtual serial port (pts/"));
    const auto port = OpenPort(ports[0].portName);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(AnswerTo(*port, "AT+OPENAT=221,;"), kOk);
}

}  // namespace
}  // namespace vorlen
