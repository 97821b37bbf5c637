#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "protocol/transaction.h"
#include "serial/posix/serial_port.h"

namespace vorlen {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using Clock = std::chrono::steady_clock;

// A pseudo-terminal whose slave side plays the serial device; the test
// holds the master side, the far end of the cable.
class Cable {
public:
    Cable() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            ADD_FAILURE() << "no pseudo-terminal";
            return;
        }
        path_ = ::ptsname(master_);
        ::fcntl(master_, F_SETFL, O_NONBLOCK);
    }
    ~Cable() { HangUp(); }

    const std::string& device() const { return path_; }

    void Send(std::string_view bytes) const {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()),
                  static_cast<ssize_t>(bytes.size()));
    }

    // What has arrived at the far end within `wait`.
    std::string Received(std::chrono::milliseconds wait = 200ms) const {
        std::string bytes;
        const auto deadline = Clock::now() + wait;
        std::array<char, 4096> buffer;
        while (Clock::now() < deadline) {
            const ssize_t count = ::read(master_, buffer.data(), buffer.size());
            if (count > 0) {
                bytes.append(buffer.data(), static_cast<std::size_t>(count));
            } else {
                std::this_thread::sleep_for(5ms);
            }
        }
        return bytes;
    }

    void HangUp() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }

private:
    int master_ = -1;
    std::string path_;
};

// A write that the far end never reads: it fills the terminal's buffers.
const std::string kMoreThanTheLineHolds(1 << 20, 'x');

TEST(SerialPort, OpensRawAt115200WithoutFlowControl) {
    Cable cable;
    // Another descriptor on the same terminal shows its settings; start it
    // from cooked settings so that every change is visible.
    const int observer = ::open(cable.device().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(observer, 0);
    termios cooked{};
    ASSERT_EQ(::tcgetattr(observer, &cooked), 0);
    cooked.c_lflag |= ICANON | ECHO | ISIG;
    cooked.c_iflag |= IXON | IXOFF | IXANY | ICRNL;
    cooked.c_oflag |= OPOST | ONLCR;
    cooked.c_cflag |= PARENB | CSTOPB | CRTSCTS;
    cooked.c_cc[VMIN] = 1;
    ::cfsetspeed(&cooked, B9600);
    ASSERT_EQ(::tcsetattr(observer, TCSANOW, &cooked), 0);

    const auto port = OpenPort(cable.device());
    ASSERT_NE(port, nullptr);
    termios line{};
    ASSERT_EQ(::tcgetattr(observer, &line), 0);
    ::close(observer);
    EXPECT_EQ(::cfgetospeed(&line), speed_t{B115200});
    EXPECT_EQ(::cfgetispeed(&line), speed_t{B115200});
    EXPECT_EQ(line.c_cflag & CSIZE, tcflag_t{CS8});
    EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD), tcflag_t{CLOCAL | CREAD});
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | IXANY | ICRNL), 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(line.c_cc[VMIN], 0);
    EXPECT_EQ(line.c_cc[VTIME], 0);
}

TEST(SerialPort, CarriesBytesUnchangedBothWays) {
    Cable cable;
    const auto port = OpenPort(cable.device());
    ASSERT_NE(port, nullptr);
    const std::string command = "AT+OPENAT=770,\xC4\xE3\x00\r\n"s;
    EXPECT_EQ(port->Write(command, {}), command.size());
    EXPECT_EQ(cable.Received(), command);

    const std::string reply = "\r\nOK\r\n\x03\x11\x13";
    cable.Send(reply);
    std::this_thread::sleep_for(50ms);
    std::array<char, 64> buffer{};
    const std::size_t count = port->Read(buffer.data(), buffer.size());
    EXPECT_EQ(std::string(buffer.data(), count), reply);
}

TEST(SerialPort, ReadReturnsAtOnceWithNothingAndDropsWhatCameBeforeOpening) {
    Cable cable;
    {
        // A late reply to a session that has ended.
        const auto earlier = OpenPort(cable.device());
        ASSERT_NE(earlier, nullptr);
        cable.Send("\r\nOK\r\n");
        std::this_thread::sleep_for(50ms);
    }
    const auto port = OpenPort(cable.device());
    ASSERT_NE(port, nullptr);
    std::array<char, 64> buffer{};
    const auto start = Clock::now();
    EXPECT_EQ(port->Read(buffer.data(), buffer.size()), 0u);
    EXPECT_EQ(port->Read(buffer.data(), buffer.size()), 0u);
    EXPECT_LT(Clock::now() - start, 500ms);
}

TEST(SerialPort, IsExclusiveWhileOpenAndOpensAgainAfterClose) {
    Cable cable;
    const auto first = OpenPort(cable.device());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(OpenPort(cable.device()), nullptr);
    first->Close();
    const auto again = OpenPort(cable.device());
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Write("AT\r\n", {}), 4u);
    EXPECT_EQ(OpenPort("/nonexistent/ttyUSB0"), nullptr);
    EXPECT_EQ(OpenPort(""), nullptr);
}

TEST(SerialPort, WriteThatTheLineDoesNotTakeStopsAtTheBoundWithAShortCount) {
    Cable cable;
    const auto port = SerialPort::Open(cable.device(), 300ms);
    ASSERT_NE(port, nullptr);
    const auto start = Clock::now();
    const std::size_t written = port->Write(kMoreThanTheLineHolds, {});
    const auto took = Clock::now() - start;
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, kMoreThanTheLineHolds.size());
    EXPECT_GE(took, 300ms);
    EXPECT_LT(took, 1500ms);
}

TEST(SerialPort, CloseFromAnotherThreadEndsAWaitingWriteAtOnce) {
    Cable cable;
    const auto port = OpenPort(cable.device());
    ASSERT_NE(port, nullptr);
    std::size_t written = 0;
    std::thread worker([&] { written = port->Write(kMoreThanTheLineHolds, {}); });
    std::this_thread::sleep_for(200ms);  // the worker is now waiting for room
    const auto closing = Clock::now();
    port->Close();
    worker.join();
    EXPECT_LT(Clock::now() - closing, 1000ms) << "the write waited out its time-out";
    EXPECT_LT(written, kMoreThanTheLineHolds.size());

    // Whatever takes the closed descriptor's number now is never written to.
    char reused[] = "/tmp/vorlen-reused-XXXXXX";
    const int file = ::mkstemp(reused);
    ASSERT_GE(file, 0);
    std::array<char, 8> buffer{};
    EXPECT_EQ(port->Write("AT\r\n", {}), 0u);
    EXPECT_EQ(port->Read(buffer.data(), buffer.size()), 0u);
    port->Close();
    EXPECT_EQ(::lseek(file, 0, SEEK_END), 0);
    ::close(file);
    ::unlink(reused);
}

// A restarted wake-up stops its old worker in the middle of a write; the port
// stays open for the new one, whose writes wait as usual.
TEST(SerialPort, StopRequestEndsAWaitingWriteAtOnceAndOnlyThatWrite) {
    Cable cable;
    const auto port = SerialPort::Open(cable.device(), 400ms);
    ASSERT_NE(port, nullptr);
    std::stop_source stop;
    std::size_t written = 0;
    std::thread worker([&] { written = port->Write(kMoreThanTheLineHolds, stop.get_token()); });
    std::this_thread::sleep_for(150ms);
    const auto stopping = Clock::now();
    stop.request_stop();
    worker.join();
    EXPECT_LT(Clock::now() - stopping, 100ms) << "the write waited out its time-out";
    EXPECT_LT(written, kMoreThanTheLineHolds.size());

    EXPECT_EQ(port->Write("AT", stop.get_token()), 0u) << "a stopped token writes nothing";
    const auto start = Clock::now();
    port->Write(kMoreThanTheLineHolds, {});
    EXPECT_GE(Clock::now() - start, 400ms) << "an old stop cut a later write short";
}

TEST(SerialPort, HangUpOfTheFarEndDeliversNothingAndWritesNothing) {
    Cable cable;
    const auto port = OpenPort(cable.device());
    ASSERT_NE(port, nullptr);
    cable.HangUp();
    std::array<char, 8> buffer{};
    const auto start = Clock::now();
    EXPECT_EQ(port->Read(buffer.data(), buffer.size()), 0u);
    EXPECT_EQ(port->Write("AT+ISP=RCAL:8\r\n", {}), 0u);
    EXPECT_LT(Clock::now() - start, 1000ms);
}

TEST(SerialPort, ClosingDiscardsWhatTheLineHasNotSentInsteadOfWaitingForIt) {
    Cable cable;
    const auto port = SerialPort::Open(cable.device(), 200ms);
    ASSERT_NE(port, nullptr);
    // The far end reads nothing, so most of this waits in the terminal's
    // output buffers; only its line buffer (4 KiB) has taken some.
    constexpr std::size_t kFarLineBuffer = 4096;
    const std::size_t written = port->Write(kMoreThanTheLineHolds, {});
    ASSERT_GT(written, 2 * kFarLineBuffer);
    const auto closing = Clock::now();
    port->Close();
    EXPECT_LT(Clock::now() - closing, 1000ms);
    EXPECT_LE(cable.Received(100ms).size(), kFarLineBuffer) << "the unsent output was kept";
}

// How many of this process's descriptors are open on `device`.
int DescriptorsOn(const std::string& device) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code unreadable;
        count += std::filesystem::read_symlink(entry.path(), unreadable) == device ? 1 : 0;
    }
    return count;
}

// The far end goes away while the port is held, before a command or while
// the tracker's reply is awaited.
class DeviceGone : public ::testing::TestWithParam<bool> {};

TEST_P(DeviceGone, ClosesThePortAtOnceAndTheNextCommandFailsAtOnce) {
    const bool noticedByRead = GetParam();
    Cable cable;
    const auto port = OpenPort(cable.device());
    ASSERT_NE(port, nullptr);
    ASSERT_EQ(DescriptorsOn(cable.device()), 1);
    cable.HangUp();
    if (noticedByRead) {
        std::array<char, 8> buffer{};
        EXPECT_EQ(port->Read(buffer.data(), buffer.size()), 0u);
        EXPECT_EQ(DescriptorsOn(cable.device()), 0) << "the read kept the dead device open";
    }

    for (int command = 0; command < 2; ++command) {
        std::string reply;
        const auto start = Clock::now();
        EXPECT_FALSE(RunTransaction(port.get(), "AT+ISP=RCAL:8\r\n", reply));
        EXPECT_LT(Clock::now() - start, 100ms) << "command " << command;
        EXPECT_EQ(DescriptorsOn(cable.device()), 0);
    }
    port->Close();
}

INSTANTIATE_TEST_SUITE_P(SerialPort, DeviceGone, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "WhileAwaitingAReply" : "BeforeACommand";
                         });

}  // namespace
}  // namespace vorlen
