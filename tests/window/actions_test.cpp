// Every action against the simulated tracker: what each button puts on the
// line, what a refusal shows, Set ALL and Read Config into the real controls,
// the wake-up, and that only a click or Space sends.
#include <QApplication>
#include <QLineEdit>
#include <algorithm>
#include <map>
#include <thread>
#include <utility>

#include "rig.h"

namespace vorlen::testing {
namespace {

constexpr int kP2P = 0;
constexpr int kP2S = 1;
constexpr int kLongGprs = 3;
constexpr int kPowerSaving = 4;

struct ButtonCase {
    const char* what;
    int workingMode;  // chosen first: it decides which groups are usable
    std::vector<std::pair<int, QString>> typed;
    std::vector<std::pair<int, int>> chosen;  // list, entry
    bool fenceOn;
    int button;
    std::string sent;  // without CR LF
    std::pair<int, std::string> shownAfter;  // {0, ""} when nothing more to look at
};

const ButtonCase kButtonCases[] = {
    {"user number 4", kP2P, {{kUserNumber1 + 3, "13800138000"}}, {}, false,
     kSetUserNumber1 + 3, "AT+OPENAT=711,4,13800138000;", {}},
    {"centre number checked trimmed, sent as typed", kP2S, {{kCenterNumber, " 123 "}}, {}, false,
     kSetCenterNumber, "AT+OPENAT=710, 123 ;", {kCenterNumber, " 123 "}},
    {"working mode", kPowerSaving, {}, {}, false, kSetSystemMode, "AT+OPENAT=70,4;", {}},
    {"warning type", kP2P, {}, {{kWarningTypeList, 3}}, false, kSetWarningType,
     "AT+OPENAT=720,3;", {}},
    {"interval in P2P sends one upload", kP2P, {{kIntervalTime, " 30 "}, {kUploadCount, "5"}}, {},
     false, kSetIntervalAndUpload, "AT+OPENAT=730,30,1;", {kIntervalTime, "30"}},
    {"fence off whatever its fields hold", kP2P, {{kFenceRadius, "x"}}, {}, false,
     kSetElectricFence, "AT+OPENAT=760,;", {}},
    {"circle fence", kP2P, {{kFenceRadius, " 500"}, {kFenceInterval, "10"}},
     {{kFenceTypeList, 0}}, true, kSetElectricFence, "AT+OPENAT=750,500,10;",
     {kFenceRadius, "500"}},
    {"custom fence, longitude first", kP2P,
     {{kFenceRadius, "500"}, {kFenceInterval, "10"}, {kLatitude, "2232.1234"},
      {kLongitude, "11403.5678"}},
     {{kFenceTypeList, 1}, {kNorthSouthList, 0}, {kEastWestList, 1}}, true, kSetElectricFence,
     "AT+OPENAT=751,500,10,11403.5678,W,2232.1234,N;", {}},
    {"password", kP2P, {{kUserPassword, "1234"}}, {}, false, kSetUserPassword,
     "AT+OPENAT=770,1234;", {}},
    {"base stations", kP2P, {}, {{kBaseStationList, 5}}, false, kSetBaseStationNumber,
     "AT+OPENAT=780,5;", {}},
    {"user ID checked trimmed, sent as typed", kLongGprs, {{kUserId, " car7 "}}, {}, false,
     kSetUserId, "AT+OPENAT=801, car7 ;", {}},
    {"APN", kLongGprs, {{kApn, "cmnet"}, {kApnUser, "guest"}, {kApnPassword, "pw"}}, {}, false,
     kSetApn, "AT+OPENAT=802,cmnet,guest,pw;", {}},
    {"IP and port", kLongGprs, {{kServerIp, "10.0.0.1"}, {kServerPort, "9000"}}, {}, false,
     kSetIpAndPort, "AT+OPENAT=803,10.0.0.1,9000;", {}},
    {"factory settings", kP2P, {}, {}, false, kResetConfig, "AT+OPENAT=999,;", {}},
    {"GPS on", kP2P, {}, {}, false, kOpenGps, "AT+OPENAT=221,;", {}},
    {"GPS off", kP2P, {}, {}, false, kCloseGps, "AT+OPENAT=231,;", {}},
    {"IMEI read", kP2P, {}, {}, false, kReadImei, "AT+EGMR=0,7", {}},
    {"IMEI write, from its hidden button", kP2P, {{kImei, "354660000000001"}}, {}, false,
     kWriteImei, "AT+EGMR=1,7,\"354660000000001\"", {}},
};

TEST(Buttons, EachSendsItsExactCommandAndReportsSuccess) {
    Rig rig;
    TrackerWindow& form = rig.form;
    form.Dialog().UnlockConfigArea();
    for (const ButtonCase& c : kButtonCases) {
        SCOPED_TRACE(c.what);
        Choose(form, kWorkingModeList, c.workingMode);
        SwitchFence(form, c.fenceOn);
        for (const auto& [list, entry] : c.chosen) {
            Choose(form, list, entry);
        }
        for (const auto& [edit, text] : c.typed) {
            Type(form, edit, text);
        }
        const std::size_t before = rig.sim.Commands().size();

        Press(form, c.button);

        EXPECT_TRUE(rig.sim.WaitForCommands(before + 1, std::chrono::seconds(1)));
        const std::vector<std::string> commands = rig.sim.Commands();
        EXPECT_EQ(std::vector<std::string>(commands.begin() + static_cast<long>(before), commands.end()),
                  std::vector<std::string>{c.sent});
        EXPECT_EQ(form.Dialog().CurrentStatusMark(), StatusMark::Success) << StatusText(form);
        if (c.shownAfter.first != 0) {
            EXPECT_EQ(Shown(form, c.shownAfter.first), c.shownAfter.second);
        }
        for (const auto& [edit, text] : c.typed) {
            Type(form, edit, "");
        }
    }
    EXPECT_TRUE(rig.machine.messages.empty());
}

TEST(Buttons, ReadImeiFillsTheEditOrEmptiesItWhenTheReplyQuotesNothing) {
    const struct {
        std::vector<std::string> options;
        std::string shown;
    } cases[] = {
        {{"--awake"}, "864507030000001"},
        {{"--awake", "--imei", ""}, ""},
    };
    for (const auto& c : cases) {
        Rig rig(c.options);
        rig.form.Dialog().UnlockConfigArea();
        Type(rig.form, kImei, "999");
        Press(rig.form, kReadImei);
        EXPECT_EQ(Shown(rig.form, kImei), c.shown);
        EXPECT_EQ(StatusText(rig.form), "Read IMEI successfully!");
    }
}

// Refused input: one message in the form's language, nothing on the line, the
// status box as it was.
TEST(Buttons, InputThatFailsItsCheckIsRefusedInAMessageAndNothingIsSent) {
    const struct {
        int workingMode;
        int edit;
        QString typed;
        int button;
        std::string english;
        std::string chinese;
    } cases[] = {
        {kP2P, kUserNumber1 + 1, " 123", kSetUserNumber1 + 1, "Input number is invalid!",
         "输入的号码不符合要求"},
        {kP2S, kCenterNumber, "12", kSetCenterNumber, "Center number is invalid!",
         "请输入合法的中心号码!"},
        {kP2P, kIntervalTime, "100", kSetIntervalAndUpload, "Interval time is invalid!",
         "请输入合法的间隔时间!"},
        // A separator would split the command: each free text's button names it.
        {kLongGprs, kApnPassword, "pa#ss", kSetApn,
         "APN password must not contain , ; # or control characters!",
         "APN密码不能含有 , ; # 或控制字符!"},
        {kLongGprs, kServerPort, "90,1", kSetIpAndPort,
         "Server port must not contain , ; # or control characters!", "端口不能含有 , ; # 或控制字符!"},
        {kLongGprs, kUserId, "ab;c", kSetUserId,
         "User ID must not contain , ; # or control characters!", "用户ID不能含有 , ; # 或控制字符!"},
    };
    Rig rig;
    TrackerWindow& form = rig.form;
    for (const int language : {kEnglish, kChinese}) {
        Choose(form, kLanguageList, language);
        form.Dialog().UnlockConfigArea();
        const std::string status = StatusText(form);
        const StatusMark mark = form.Dialog().CurrentStatusMark();
        for (const auto& c : cases) {
            Choose(form, kWorkingModeList, c.workingMode);
            Type(form, c.edit, c.typed);
            rig.machine.messages.clear();
            Press(form, c.button);
            EXPECT_EQ(rig.machine.messages,
                      std::vector<std::string>{language == kChinese ? c.chinese : c.english});
            EXPECT_EQ(rig.machine.captions.back(), "Vorlen");
            EXPECT_EQ(StatusText(form), status);
            EXPECT_EQ(form.Dialog().CurrentStatusMark(), mark);
            Type(form, c.edit, "");
        }
    }
    EXPECT_TRUE(rig.sim.Commands().empty());
}

// The one slow test of this suite: the real time-out.
TEST(Buttons, ASilentTrackerFailsTheCommandAfterFiftyEmptyPolls) {
    Rig rig({"--silent"});
    rig.form.Dialog().UnlockConfigArea();
    Choose(rig.form, kLanguageList, kChinese);
    const auto pressed = Clock::now();
    Press(rig.form, kOpenGps);
    EXPECT_GE(Clock::now() - pressed, std::chrono::milliseconds(50 * 50));
    EXPECT_EQ(StatusText(rig.form), "打开GPS失败!");
    EXPECT_EQ(rig.form.Dialog().CurrentStatusMark(), StatusMark::Failure);
}

// Typing is limited, but a read-back may leave a text longer than its field
// (the simulator's factory password has six digits). The save then stops at
// that field; the action must stop too, or it would send and then show the
// older values of the fields after it.
TEST(Buttons, AnOverlongReadBackValueStopsEveryActionUntilShortened) {
    Rig rig;
    TrackerWindow& form = rig.form;
    form.show();
    form.Dialog().UnlockConfigArea();
    Press(form, kReadConfig);
    ASSERT_EQ(Shown(form, kUserPassword), "123456");
    Type(form, kUserId, "typed");
    const std::size_t sent = rig.sim.Commands().size();

    for (const int button : {kOpenGps, kSetUserNumber1}) {
        Press(form, button);
    }
    EXPECT_EQ(rig.sim.Commands().size(), sent);
    EXPECT_EQ(rig.machine.messages, std::vector<std::string>(2, "Enter no more than 4 characters."));
    EXPECT_EQ(form.focusWidget(), form.Control(kUserPassword));
    EXPECT_EQ(Shown(form, kUserId), "typed");

    Type(form, kUserPassword, "1234");
    Press(form, kOpenGps);
    EXPECT_EQ(rig.sim.Commands().back(), "AT+OPENAT=221,;");
    EXPECT_EQ(Shown(form, kUserId), "typed");
}

// The window's thread waits for the tracker; the pointer shows it.
TEST(Buttons, TheBusyCursorShowsWhileTheTrackerIsAsked) {
    Machine machine{{"tracker"}, false};
    TrackerWindow form(machine.Services());
    bool busyAtWrite = false;
    machine.opened.at(0)->beforeWrite = [&](std::string_view) {
        const QCursor* cursor = QApplication::overrideCursor();
        busyAtWrite = cursor != nullptr && cursor->shape() == Qt::WaitCursor;
    };
    form.Dialog().UnlockConfigArea();

    Press(form, kOpenGps);
    EXPECT_TRUE(busyAtWrite);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Enter in an edit or on a focused button would otherwise send a setting the
// operator did not ask for, or end the form and lose what was typed.
TEST(Buttons, EnterNeverPressesAButtonNorEndsTheFormButSpaceDoes) {
    Rig rig;
    TrackerWindow& form = rig.form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.Dialog().UnlockConfigArea();
    Choose(form, kWorkingModeList, kP2S);
    Type(form, kCenterNumber, "123");
    QWidget* button = form.Control(kSetCenterNumber);

    for (QWidget* target : {form.Control(kCenterNumber), button}) {
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter, Qt::KeypadModifier);
    }
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(rig.sim.Commands().empty());

    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(rig.sim.Commands(), std::vector<std::string>{"AT+OPENAT=710,123;"});
}

// A whole configuration as the operator types and picks it.
const std::map<int, std::string> kTyped{
    {kUserNumber1 + 0, "13800000001"}, {kUserNumber1 + 1, "13800000002"},
    {kUserNumber1 + 2, "13800000003"}, {kUserNumber1 + 3, "13800000004"},
    {kUserNumber1 + 4, ""},            {kUserNumber1 + 5, "+8613800000006"},
    {kUserNumber1 + 6, "13800000007"}, {kUserNumber1 + 7, "13800000008"},
    {kUserNumber1 + 8, "13800000009"}, {kCenterNumber, "+8613900000000"},
    {kIntervalTime, "30"},             {kUploadCount, "5"},
    {kFenceRadius, "500"},             {kFenceInterval, "10"},
    {kLatitude, "2232.1234"},          {kLongitude, "11403.5678"},
    {kUserPassword, "1234"},           {kUserId, "car7"},
    {kApn, "cmnet"},                   {kApnUser, "guest"},
    {kApnPassword, "secret"},          {kServerIp, "10.0.0.1"},
    {kServerPort, "9000"},
};
const std::map<int, int> kChosen{
    {kWarningTypeList, 2}, {kBaseStationList, 5}, {kFenceTypeList, 1},
    {kNorthSouthList, 1},  {kEastWestList, 0},
};

void FillForm(TrackerWindow& form) {
    Choose(form, kWorkingModeList, kLongGprs);
    SwitchFence(form, true);
    for (const auto& [list, entry] : kChosen) {
        Choose(form, list, entry);
    }
    for (const auto& [edit, text] : kTyped) {
        Type(form, edit, QString::fromStdString(text));
    }
}

TEST(SetAllAndReadBack, NineteenCommandsInOrderThenReadConfigFillsAnotherForm) {
    test::SimProcess sim({"--awake"});
    Machine machine{{sim.LinkPath()}};
    {
        TrackerWindow form(machine.Services());
        form.Dialog().UnlockConfigArea();
        FillForm(form);
        Press(form, kSetAll);
        EXPECT_EQ(StatusText(form), "Set all config successfully!");
        EXPECT_EQ(form.Dialog().CurrentStatusMark(), StatusMark::Success);
    }
    const std::vector<std::string> expected{
        "AT+OPENAT=711,1,13800000001;",
        "AT+OPENAT=711,2,13800000002;",
        "AT+OPENAT=711,3,13800000003;",
        "AT+OPENAT=711,4,13800000004;",
        "AT+OPENAT=711,5,;",
        "AT+OPENAT=711,6,+8613800000006;",
        "AT+OPENAT=711,7,13800000007;",
        "AT+OPENAT=711,8,13800000008;",
        "AT+OPENAT=711,9,13800000009;",
        "AT+OPENAT=710,+8613900000000;",
        "AT+OPENAT=70,3;",
        "AT+OPENAT=720,2;",
        "AT+OPENAT=730,30,5;",
        "AT+OPENAT=751,500,10,11403.5678,E,2232.1234,S;",
        "AT+OPENAT=770,1234;",
        "AT+OPENAT=780,5;",
        "AT+OPENAT=801,car7;",
        "AT+OPENAT=802,cmnet,guest,secret;",
        "AT+OPENAT=803,10.0.0.1,9000;",
    };
    EXPECT_EQ(sim.Commands(), expected);

    // A fresh form, as after a restart of the tool, reads it all back.
    TrackerWindow form(machine.Services());
    form.Dialog().UnlockConfigArea();
    Press(form, kReadConfig);
    EXPECT_EQ(StatusText(form), "Read config success!");
    EXPECT_EQ(form.Dialog().CurrentStatusMark(), StatusMark::Success);
    for (const auto& [edit, text] : kTyped) {
        EXPECT_EQ(Shown(form, edit), text) << edit;
    }
    EXPECT_EQ(Shown(form, kImei), "864507030000001");
    EXPECT_EQ(Shown(form, kSoftwareVersion), "V1.04 SIM");
    EXPECT_EQ(ListOf(form, kWorkingModeList)->currentIndex(), kLongGprs);
    for (const auto& [list, entry] : kChosen) {
        EXPECT_EQ(ListOf(form, list)->currentIndex(), entry) << list;
    }
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(form.Control(kFenceOpen))->isChecked());
    const std::map<int, bool> enabled{
        {kFenceTypeList, true}, {kFenceRadius, true},    {kFenceInterval, true},
        {kLatitude, true},      {kNorthSouthList, true}, {kLongitude, true},
        {kEastWestList, true},  {kCenterNumber, false},  {kSetCenterNumber, false},
        {kApn, true},           {kServerIp, true},       {kUserId, true},
    };
    for (const auto& [id, on] : enabled) {
        EXPECT_EQ(form.Control(id)->isEnabled(), on) << id;
    }
    EXPECT_TRUE(machine.messages.empty());
}

// A user ID read back with a byte that is not GBK (shown as U+FFFD) and a
// blank at its end: the check trims the record, but the edit still shows
// what it was given, so the bytes go out as they came.
TEST(SetAllAndReadBack, BytesOutsideGbkThatTheOperatorDidNotEditGoOutAsReceived) {
    test::SimProcess sim({"--awake"});
    Machine machine{{sim.LinkPath()}};
    TrackerWindow form(machine.Services());
    form.Dialog().UnlockConfigArea();
    FillForm(form);
    const std::string readBack = "car\xFF" "7 ";
    ASSERT_TRUE(form.Dialog().UpdateData(true));
    form.Dialog().Record().userId = readBack;
    form.Dialog().Refresh();
    const std::string sent = "AT+OPENAT=801," + readBack + ";\r\n";

    Press(form, kSetUserId);
    ASSERT_EQ(StatusText(form), "Set user ID successfully!");
    EXPECT_EQ(machine.opened.at(0)->Writes().back().bytes, sent);

    Press(form, kSetAll);
    ASSERT_EQ(StatusText(form), "Set all config successfully!");
    const std::vector<WriteAttempt> writes = machine.opened.at(0)->Writes();
    ASSERT_EQ(writes.size(), 20u);
    EXPECT_EQ(writes[17].bytes, sent) << "set-all step 17";
}

TEST(SetAllAndReadBack, SetAllShowsOnlyTheFirstRefusalAndSendsNothing) {
    Rig rig;
    rig.form.Dialog().UnlockConfigArea();
    const std::string status = StatusText(rig.form);
    Type(rig.form, kUserNumber1 + 1, "138-0013");
    Type(rig.form, kUserPassword, "12");
    Type(rig.form, kApn, "cmnet,x");
    Press(rig.form, kSetAll);
    EXPECT_EQ(rig.machine.messages, std::vector<std::string>{"Input number2 is invalid!"});
    // The free texts are checked last, on every press.
    Type(rig.form, kUserNumber1 + 1, "");
    Type(rig.form, kUserPassword, "1234");
    Press(rig.form, kSetAll);
    EXPECT_EQ(rig.machine.messages.back(), "APN must not contain , ; # or control characters!");
    EXPECT_TRUE(rig.sim.Commands().empty());
    EXPECT_EQ(StatusText(rig.form), status);
}

TEST(SetAllAndReadBack, ARefusedFenceEndsSetAllAfterItsStep) {
    Rig rig({"--awake", "--refuse", "750"});
    rig.form.Dialog().UnlockConfigArea();
    Type(rig.form, kUserPassword, "1234");
    SwitchFence(rig.form, true);
    Type(rig.form, kFenceRadius, "100");
    Type(rig.form, kFenceInterval, "5");
    Press(rig.form, kSetAll);
    const std::vector<std::string> commands = rig.sim.Commands();
    ASSERT_EQ(commands.size(), 14u);
    EXPECT_EQ(commands.back(), "AT+OPENAT=750,100,5;");
    EXPECT_EQ(StatusText(rig.form), "Set fence information failed!");
    EXPECT_EQ(rig.form.Dialog().CurrentStatusMark(), StatusMark::Failure);
}

TEST(SetAllAndReadBack, AFailureAt902KeepsWhat901FilledIn) {
    Rig rig({"--awake", "--refuse", "902"});
    TrackerWindow& form = rig.form;
    form.Dialog().UnlockConfigArea();
    Choose(form, kWorkingModeList, 1);
    Type(form, kCenterNumber, "5550100");
    Press(form, kSetCenterNumber);
    Type(form, kCenterNumber, "1");
    Type(form, kApn, "typed");

    Press(form, kReadConfig);
    EXPECT_EQ(rig.sim.Commands(),
              (std::vector<std::string>{"AT+OPENAT=710,5550100;", "AT+OPENAT=901,;",
                                        "AT+OPENAT=902,;"}));
    EXPECT_EQ(Shown(form, kCenterNumber), "5550100");
    EXPECT_EQ(Shown(form, kImei), "864507030000001");
    EXPECT_EQ(Shown(form, kApn), "typed");
    EXPECT_EQ(ListOf(form, kWorkingModeList)->currentIndex(), 1);
    EXPECT_EQ(StatusText(form), "Read config failed!");
    EXPECT_EQ(form.Dialog().CurrentStatusMark(), StatusMark::Failure);
}

using namespace std::chrono_literals;

const std::string kWake = kWakeUpCommands[0];
const std::string kStayAwake = kWakeUpCommands[1];
const std::vector<std::string> kAsleep;  // the simulator waits for the wake-up

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
    Rig rig(kAsleep);
    rig.machine.answer = MessageAnswer::Cancel;
    for (const auto& c : cases) {
        Choose(rig.form, kLanguageList, c.language);
        Press(rig.form, kWakeTracker);
        EXPECT_EQ(rig.machine.messages.back(), c.text);
        EXPECT_EQ(rig.machine.captions.back(), c.caption);
    }
    QTest::qWait(200);  // a worker would have sent its first command at once
    EXPECT_TRUE(rig.sim.Commands().empty());
    EXPECT_FALSE(Unlocked(rig.form));
}

TEST(WakeUp, AnAnsweringTrackerIsWokenAndTheAreaUnlockedWithTheFenceReset) {
    Rig rig(kAsleep);
    TrackerWindow& form = rig.form;
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
    Rig rig({"--refuse", "ESLP"});
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
    Rig rig(kAsleep);
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
    Machine machine{{tracker.Directory() + "/ttyGone", tracker.LinkPath()}};
    TrackerWindow form(machine.Services());
    ASSERT_EQ(form.Dialog().PortHandle().Current(), nullptr);
    form.Dialog().UnlockConfigArea();  // woken once before

    Press(form, kWakeTracker);
    Choose(form, kPortList, 1);
    EXPECT_FALSE(Unlocked(form));

    QTRY_VERIFY(Unlocked(form));
    EXPECT_EQ(tracker.Commands(), (std::vector<std::string>{kWake, kStayAwake}));
}

}  // namespace
}  // namespace vorlen::testing
