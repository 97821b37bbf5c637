// The setting buttons against the simulated tracker: what each puts on the
// line, what a refusal shows, and that only a click or Space sends.
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <chrono>
#include <utility>

#include "sim_form.h"

namespace vorlen::testing {
namespace {

using namespace control;
using Clock = std::chrono::steady_clock;

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
    std::pair<int, QString> shownAfter;  // {0, ""} when nothing more to look at
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
    SimForm rig;
    TrackerConfigDialog& form = rig.form;
    form.UnlockConfigArea();
    for (const ButtonCase& c : kButtonCases) {
        SCOPED_TRACE(c.what);
        Choose(ListOf(form, kWorkingModeList), c.workingMode);
        SwitchFence(form, c.fenceOn);
        for (const auto& [list, entry] : c.chosen) {
            Choose(ListOf(form, list), entry);
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
        EXPECT_EQ(form.CurrentStatusMark(), StatusMark::Success) << StatusText(form).toStdString();
        if (c.shownAfter.first != 0) {
            EXPECT_EQ(Shown(form, c.shownAfter.first), c.shownAfter.second);
        }
        for (const auto& [edit, text] : c.typed) {
            Type(form, edit, "");
        }
    }
    EXPECT_TRUE(rig.messages.texts.empty());
}

TEST(Buttons, ReadImeiFillsTheEditOrEmptiesItWhenTheReplyQuotesNothing) {
    const struct {
        std::vector<std::string> options;
        QString shown;
    } cases[] = {
        {{"--awake"}, "864507030000001"},
        {{"--awake", "--imei", ""}, ""},
    };
    for (const auto& c : cases) {
        SimForm rig(c.options);
        rig.form.UnlockConfigArea();
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
    };
    SimForm rig;
    TrackerConfigDialog& form = rig.form;
    for (const int language : {kEnglish, kChinese}) {
        if (language == kChinese) {
            Choose(ListOf(form, kLanguageList), kChinese);
        }
        form.UnlockConfigArea();
        const QString status = StatusText(form);
        const StatusMark mark = form.CurrentStatusMark();
        for (const auto& c : cases) {
            Choose(ListOf(form, kWorkingModeList), c.workingMode);
            Type(form, c.edit, c.typed);
            rig.messages.texts.clear();
            Press(form, c.button);
            EXPECT_EQ(rig.messages.texts,
                      std::vector<std::string>{language == kChinese ? c.chinese : c.english});
            EXPECT_EQ(rig.messages.captions.back(), "Vorlen");
            EXPECT_EQ(StatusText(form), status);
            EXPECT_EQ(form.CurrentStatusMark(), mark);
            Type(form, c.edit, "");
        }
    }
    EXPECT_TRUE(rig.sim.Commands().empty());
}

// The one slow test of this suite: the real time-out.
TEST(Buttons, ASilentTrackerFailsTheCommandAfterFiftyEmptyPolls) {
    SimForm rig({"--silent"});
    rig.form.UnlockConfigArea();
    Choose(ListOf(rig.form, kLanguageList), kChinese);
    const auto pressed = Clock::now();
    Press(rig.form, kOpenGps);
    EXPECT_GE(Clock::now() - pressed, std::chrono::milliseconds(50 * 50));
    EXPECT_EQ(StatusText(rig.form), "打开GPS失败!");
    EXPECT_EQ(rig.form.CurrentStatusMark(), StatusMark::Failure);
}

// Typing is limited, but a read-back may leave a text longer than its field
// (the simulator's factory password has six digits). The save then stops at
// that field; the action must stop too, or it would send and then show the
// older values of the fields after it.
TEST(Buttons, AnOverlongReadBackValueStopsEveryActionUntilShortened) {
    SimForm rig;
    TrackerConfigDialog& form = rig.form;
    form.show();
    form.UnlockConfigArea();
    Press(form, kReadConfig);
    ASSERT_EQ(Shown(form, kUserPassword), "123456");
    Type(form, kUserId, "typed");
    const std::size_t sent = rig.sim.Commands().size();

    for (const int button : {kOpenGps, kSetUserNumber1}) {
        Press(form, button);
    }
    EXPECT_EQ(rig.sim.Commands().size(), sent);
    EXPECT_EQ(rig.messages.texts, std::vector<std::string>(2, "Enter no more than 4 characters."));
    EXPECT_EQ(form.focusWidget(), form.Control(kUserPassword));
    EXPECT_EQ(Shown(form, kUserId), "typed");

    Type(form, kUserPassword, "1234");
    Press(form, kOpenGps);
    EXPECT_EQ(rig.sim.Commands().back(), "AT+OPENAT=221,;");
    EXPECT_EQ(Shown(form, kUserId), "typed");
}

// The window's thread waits for the tracker; the pointer shows it.
TEST(Buttons, TheBusyCursorShowsWhileTheTrackerIsAsked) {
    class CursorWatchingPort : public Port {
    public:
        std::size_t Write(std::string_view) override {
            const QCursor* cursor = QApplication::overrideCursor();
            busyAtWrite = cursor != nullptr && cursor->shape() == Qt::WaitCursor;
            return 0;  // a failed write ends the transaction at once
        }
        std::size_t Read(char*, std::size_t) override { return 0; }
        void Close() override {}
        bool busyAtWrite = false;
    };
    auto port = std::make_shared<CursorWatchingPort>();
    FakeMachine machine;
    machine.portNames = {"tracker"};
    TrackerConfigServices services = machine.Services();
    services.openPort = [port](const std::string&) { return port; };
    TrackerConfigDialog form(services);
    form.UnlockConfigArea();

    Press(form, kOpenGps);
    EXPECT_TRUE(port->busyAtWrite);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Enter in an edit or on a focused button would otherwise send a setting the
// operator did not ask for, or end the form and lose what was typed.
TEST(Buttons, EnterNeverPressesAButtonNorEndsTheFormButSpaceDoes) {
    SimForm rig;
    TrackerConfigDialog& form = rig.form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.UnlockConfigArea();
    Choose(ListOf(form, kWorkingModeList), kP2S);
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

}  // namespace
}  // namespace vorlen::testing
