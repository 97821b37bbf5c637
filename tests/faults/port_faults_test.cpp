// Faults of the port itself: held by another program, unplugged and
// replugged while the wake-up runs, and closing the window whatever the
// wake-up is doing.
#include <cstdio>
#include <gtest/gtest.h>
#include <optional>

#include "../window/rig.h"
#include "model/control_ids.h"

namespace vorlen::testing {
namespace {

// The second status line after a failed open.
const std::string kInUse =
    "Another program is using this port. Close that program, then pick the port again.";
const std::string kGone =
    "The device is not there (any more). Plug the cable in, then pick the port again.";

// Who holds the first port when the window starts.
enum class Holder { SerialPortOfAnotherProgram, AnotherWindow };

class HeldPort : public ::testing::TestWithParam<Holder> {};

TEST_P(HeldPort, FailsInRedAndALaterPortStillOpens) {
    test::SimProcess held;
    test::SimProcess free;
    Machine otherMachine{{held.LinkPath()}};
    std::shared_ptr<SerialPort> holderPort;
    std::unique_ptr<TrackerWindow> holderWindow;
    if (GetParam() == Holder::SerialPortOfAnotherProgram) {
        holderPort = SerialPort::Open(held.LinkPath());
        ASSERT_NE(holderPort, nullptr);
    } else {
        holderWindow = std::make_unique<TrackerWindow>(otherMachine.Services());
        ASSERT_EQ(otherMachine.opened.size(), 1u);
    }

    Machine machine{{held.LinkPath(), free.LinkPath()}};
    TrackerWindow form(machine.Services());
    form.show();
    EXPECT_EQ(StatusText(form), "Open " + held.LinkPath() + " Failed!\n" + kInUse);
    EXPECT_EQ(form.Dialog().CurrentStatusMark(), StatusMark::Failure);
    EXPECT_EQ(StatusBackground(form), kRed);
    EXPECT_EQ(form.Dialog().PortHandle().Current(), nullptr);
    EXPECT_TRUE(machine.opened.empty());

    Choose(form, kPortList, 1);
    EXPECT_EQ(StatusText(form), "Init and Open " + free.LinkPath() + " Success!");
    EXPECT_EQ(StatusBackground(form), kGreen);
    ASSERT_TRUE(WakeUp(form));
    Press(form, kOpenGps);
    EXPECT_EQ(StatusText(form), "Open GPS power successfully!");
    std::vector<std::string> expected = kWakeUpCommands;
    expected.push_back("AT+OPENAT=221,;");
    EXPECT_EQ(free.Commands(), expected);
    EXPECT_TRUE(held.Commands().empty()) << "nothing reaches the held port";

    // Once the other program lets go, the port opens.
    holderPort.reset();
    holderWindow.reset();
    Choose(form, kPortList, 0);
    EXPECT_EQ(StatusText(form), "Init and Open " + held.LinkPath() + " Success!");
    EXPECT_FALSE(Unlocked(form));
}

INSTANTIATE_TEST_SUITE_P(Faults, HeldPort,
                         ::testing::Values(Holder::SerialPortOfAnotherProgram,
                                           Holder::AnotherWindow),
                         [](const ::testing::TestParamInfo<Holder>& info) {
                             return info.param == Holder::AnotherWindow
                                        ? "ByAnotherWindow"
                                        : "ByAnotherProgram";
                         });

// A port name the test controls, like a device node that comes and goes
// with its adapter.
class Socket {
public:
    Socket() {
        char pattern[] = "/tmp/vorlen-socket-XXXXXX";
        directory_ = ::mkdtemp(pattern);
        path_ = directory_ + "/ttyTracker";
    }
    ~Socket() {
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }
    void Plug(const test::SimProcess& sim) { std::filesystem::create_symlink(sim.LinkPath(), path_); }
    void Unplug() { std::filesystem::remove(path_); }
    const std::string& Path() const { return path_; }

private:
    std::string directory_;
    std::string path_;
};

const std::string kWentAway =
    "The port went away: plug the adapter back in and pick the port again.";

TEST(Unplugged, TheWakeUpKeepsTryingAndFinishesOnTheRepluggedTracker) {
    Socket socket;
    std::optional<test::SimProcess> first(std::in_place, std::vector<std::string>{"--silent"});
    socket.Plug(*first);
    Machine machine{{socket.Path()}};
    TrackerWindow form(machine.Services());
    form.show();
    Press(form, kWakeTracker);
    ASSERT_TRUE(first->WaitForCommands(1, 2000ms));

    // Pulled out: the tracker is gone, and so is its device node.
    first->Kill();
    socket.Unplug();
    RecordingPort& dead = *machine.opened.at(0);
    EXPECT_TRUE(WaitUntil([&] { return StatusText(form) == kWentAway; }, 10s))
        << "the status box says at once that the port went";
    EXPECT_EQ(StatusBackground(form), kRed);
    EXPECT_TRUE(dead.closed);
    const std::size_t writesWhenGone = dead.Writes().size();
    QTest::qWait(300);
    EXPECT_EQ(dead.Writes().size(), writesWhenGone) << "no retrying on the closed port";
    EXPECT_FALSE(Unlocked(form));

    // The operator picks the port again while it is missing.
    Choose(form, kPortList, 0);
    EXPECT_EQ(StatusText(form), "Open " + socket.Path() + " Failed!\n" + kGone);
    EXPECT_EQ(StatusBackground(form), kRed);
    QTest::qWait(300);  // the worker, now without a port, keeps going
    EXPECT_FALSE(Unlocked(form));
    const std::size_t deadWrites = dead.Writes().size();

    // Plugged in again: the worker's next attempt reaches the new tracker.
    test::SimProcess second;
    socket.Plug(second);
    Choose(form, kPortList, 0);
    EXPECT_EQ(StatusText(form), "Init and Open " + socket.Path() + " Success!");
    EXPECT_TRUE(WaitUntil([&] { return Unlocked(form); }));
    EXPECT_EQ(second.Commands(), kWakeUpCommands);
    EXPECT_EQ(dead.Writes().size(), deadWrites) << "nothing more goes to the closed port";
}

// What the wake-up worker is doing when the operator closes the window.
struct ClosingCase {
    const char* name;
    std::vector<std::string> simOptions;
    bool killTracker;
    bool unplug;
    bool escape = false;  // the Escape key instead of the close box
};

void PrintTo(const ClosingCase& c, std::ostream* out) { *out << c.name; }

class ClosingDuringWakeUp : public ::testing::TestWithParam<ClosingCase> {};

TEST_P(ClosingDuringWakeUp, ReturnsAtOnceAndTheWorkerStops) {
    const ClosingCase& c = GetParam();
    Socket socket;
    test::SimProcess sim(c.simOptions);
    socket.Plug(sim);
    Machine machine{{socket.Path()}};
    auto form = std::make_unique<TrackerWindow>(machine.Services());
    form->show();
    Press(*form, kWakeTracker);
    ASSERT_TRUE(sim.WaitForCommands(1, 2000ms));
    RecordingPort& port = *machine.opened.at(0);
    if (c.killTracker) {
        sim.Kill();
        // The worker has found the line dead: the form says so and closes it.
        ASSERT_TRUE(WaitUntil([&] { return StatusText(*form) == kWentAway; }, 10s));
    }
    if (c.unplug) {
        socket.Unplug();
        Choose(*form, kPortList, 0);
        ASSERT_EQ(form->Dialog().PortHandle().Current(), nullptr);
    }
    QTest::qWait(150);  // in the middle of an attempt or a pause

    const auto start = Clock::now();
    if (c.escape) {
        QTest::keyClick(form.get(), Qt::Key_Escape);
    } else {
        form->close();
    }
    const std::chrono::duration<double, std::milli> took = Clock::now() - start;
    std::printf("[ closing  ] %s: close returned after %.2f ms\n", c.name, took.count());
    ::testing::Test::RecordProperty("close_us", static_cast<int>(took.count() * 1000));
    EXPECT_LT(took, 200ms);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->Dialog().PortHandle().Current(), nullptr);

    const std::size_t writes = port.Writes().size();
    const std::size_t logged = c.killTracker ? 0 : sim.Commands().size();
    QTest::qWait(300);
    EXPECT_EQ(port.Writes().size(), writes) << "the worker has stopped";
    if (!c.killTracker) {
        EXPECT_EQ(sim.Commands().size(), logged);
    }
    EXPECT_FALSE(Unlocked(*form));
    form.reset();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ClosingDuringWakeUp,
    ::testing::Values(ClosingCase{"SilentTracker", {"--silent"}, false, false},
                      ClosingCase{"SilentTrackerEscape", {"--silent"}, false, false, true},
                      ClosingCase{"FloodingTracker", {"--flood"}, false, false},
                      ClosingCase{"DeadTracker", {"--silent"}, true, false},
                      ClosingCase{"UnpluggedPort", {"--silent"}, true, true}),
    [](const ::testing::TestParamInfo<ClosingCase>& info) { return info.param.name; });

}  // namespace
}  // namespace vorlen::testing
