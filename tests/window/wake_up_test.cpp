// Waking the tracker from the window, changing the port meanwhile, and
// closing the form while a wake-up runs.
#include <QAbstractButton>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <thread>

#include "sim_form.h"

namespace vorlen::testing {
namespace {

using namespace control;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kWake = "AT+ISP=RCAL:8";
const std::string kStayAwake = "AT+ESLP=0";
const std::vector<std::string> kAsleep;  // the simulator waits for the wake-up

bool Unlocked(const TrackerConfigDialog& form) { return form.Control(kReadConfig)->isEnabled(); }

long Count(const std::vector<std::string>& commands, const std::string& command) {
    return std::count(commands.begin(), commands.end(), command);
}

TEST(WakeUp, CancelInTheConfirmationSendsNothing) {
    const struct {
        int language;
        std::string text;
        std::string caption;
    } cases[] = {
        {kEnglish, "Please reset tracker!", "WakeUp Tracker"},
        {kChinese, "请重启追踪器!", "唤醒追踪器"},
    };
    SimForm rig(kAsleep);
    rig.messages.answer = MessageAnswer::Cancel;
    for (const auto& c : cases) {
        Choose(ListOf(rig.form, kLanguageList), c.language);
        Press(rig.form, kWakeTracker);
        EXPECT_EQ(rig.messages.texts.back(), c.text);
        EXPECT_EQ(rig.messages.captions.back(), c.caption);
    }
    QTest::qWait(200);  // a worker would have sent its first command at once
    EXPECT_TRUE(rig.sim.Commands().empty());
    EXPECT_FALSE(Unlocked(rig.form));
}

TEST(WakeUp, AnAnsweringTrackerIsWokenAndTheAreaUnlockedWithTheFenceReset) {
    SimForm rig(kAsleep);
    TrackerConfigDialog& form = rig.form;
    qobject_cast<QAbstractButton*>(form.Control(kFenceOpen))->setChecked(true);

    Press(form, kWakeTracker);
    QTRY_VERIFY_WITH_TIMEOUT(Unlocked(form), 5000);

    const std::vector<test::LoggedCommand> log = rig.sim.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].bytes, kWake);
    EXPECT_EQ(log[1].bytes, kStayAwake);
    EXPECT_GE(log[1].seconds - log[0].seconds, 0.100);
    EXPECT_FALSE(qobject_cast<QAbstractButton*>(form.Control(kFenceOpen))->isChecked());
    for (const int id : {kFenceTypeList, kFenceRadius, kFenceInterval, kLatitude, kNorthSouthList,
                         kLongitude, kEastWestList}) {
        EXPECT_FALSE(form.Control(id)->isEnabled()) << id;
    }
    // P2P, the working mode at start, has no use for the centre number.
    EXPECT_FALSE(form.Control(kCenterNumber)->isEnabled());
    EXPECT_TRUE(form.Control(kUserNumber1)->isEnabled());
}

TEST(WakeUp, ASecondConfirmedPressStartsOverWithTheFirstCommand) {
    SimForm rig({"--refuse", "ESLP"});
    Press(rig.form, kWakeTracker);
    QTRY_VERIFY(Count(rig.sim.Commands(), kStayAwake) >= 1);
    ASSERT_EQ(Count(rig.sim.Commands(), kWake), 1);

    Press(rig.form, kWakeTracker);
    QTRY_VERIFY(Count(rig.sim.Commands(), kWake) == 2);
    EXPECT_FALSE(Unlocked(rig.form));
}

// The worker asks the window's thread to unlock. A request from a worker
// that a later press has replaced is dropped: only the current wake-up
// unlocks.
TEST(WakeUp, AnUnlockRequestFromAReplacedWorkerIsDropped) {
    SimForm rig(kAsleep);
    Press(rig.form, kWakeTracker);
    ASSERT_TRUE(rig.sim.WaitForCommands(2, 2s));
    std::this_thread::sleep_for(200ms);  // acknowledged; its request waits in the queue

    Press(rig.form, kWakeTracker);
    QCoreApplication::processEvents();
    EXPECT_FALSE(Unlocked(rig.form));
    QTRY_VERIFY(Unlocked(rig.form));
    EXPECT_EQ(Count(rig.sim.Commands(), kWake), 2);
}

// The first port cannot be opened, so every attempt fails at once and the
// worker repeats every 100 ms until the operator picks the tracker's port.
TEST(WakeUp, APortChangeLocksTheAreaAndTheWakeUpGoesOnWithTheNewPort) {
    test::SimProcess tracker(kAsleep);
    MessageLog messages;
    TrackerConfigDialog form(
        SimServices({tracker.Directory() + "/ttyGone", tracker.LinkPath()}, messages));
    ASSERT_EQ(form.PortHandle().Current(), nullptr);
    form.UnlockConfigArea();  // woken once before

    Press(form, kWakeTracker);
    Choose(ListOf(form, kPortList), 1);
    EXPECT_FALSE(Unlocked(form));

    QTRY_VERIFY(Unlocked(form));
    EXPECT_EQ(tracker.Commands(), (std::vector<std::string>{kWake, kStayAwake}));
}

// The worker is in the middle of a transaction that a silent tracker would
// let run for 2.5 s; closing neither waits for it nor lets it go on.
TEST(WakeUp, ClosingDuringAWakeUpReturnsAtOnceAndClosesThePort) {
    const struct {
        const char* how;
        void (*close)(TrackerConfigDialog&);
    } ways[] = {
        {"close box", [](TrackerConfigDialog& form) { form.close(); }},
        {"Escape", [](TrackerConfigDialog& form) { QTest::keyClick(&form, Qt::Key_Escape); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        SimForm rig({"--silent"});
        TrackerConfigDialog& form = rig.form;
        form.show();
        Press(form, kWakeTracker);
        ASSERT_TRUE(rig.sim.WaitForCommands(1, 1s));

        const auto closing = Clock::now();
        way.close(form);
        EXPECT_LT(Clock::now() - closing, 1s);
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.PortHandle().Current(), nullptr);
        EXPECT_EQ(rig.sim.Commands(), std::vector<std::string>{kWake});
    }
}

}  // namespace
}  // namespace vorlen::testing
