// Every action of the real vorlen.exe against simulated trackers on COM1
// (awake) and COM2 (silent); the trackers' logs show what went out.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "model/bilingual.h"
#include "model/control_ids.h"
#include "remote_form.h"

namespace vorlen::e2e {
namespace {

using namespace control;

constexpr int kP2P = 0;
constexpr int kP2S = 1;
constexpr int kLongGprs = 3;
constexpr int kPowerSaving = 4;
constexpr int kCom2 = 1;  // the silent tracker's place in the port list

const std::string kWake = "AT+ISP=RCAL:8";
const std::string kStayAwake = "AT+ESLP=0";

struct ButtonCase {
    const char* what;
    int workingMode;
    std::vector<std::pair<int, std::string>> typed;
    std::vector<std::pair<int, int>> chosen;
    bool fenceOn;
    int button;
    std::string sent;
};

const ButtonCase kButtonCases[] = {
    {"user number 4", kP2P, {{kUserNumber1 + 3, "13800138000"}}, {}, false, kSetUserNumber1 + 3,
     "AT+OPENAT=711,4,13800138000;"},
    {"centre number sent as typed", kP2S, {{kCenterNumber, " 123 "}}, {}, false, kSetCenterNumber,
     "AT+OPENAT=710, 123 ;"},
    {"working mode", kPowerSaving, {}, {}, false, kSetSystemMode, "AT+OPENAT=70,4;"},
    {"warning type", kP2P, {}, {{kWarningTypeList, 3}}, false, kSetWarningType,
     "AT+OPENAT=720,3;"},
    {"interval in P2P sends one upload", kP2P, {{kIntervalTime, "30"}, {kUploadCount, "5"}}, {},
     false, kSetIntervalAndUpload, "AT+OPENAT=730,30,1;"},
    {"fence off", kP2P, {}, {}, false, kSetElectricFence, "AT+OPENAT=760,;"},
    {"circle fence", kP2P, {{kFenceRadius, "500"}, {kFenceInterval, "10"}}, {{kFenceTypeList, 0}},
     true, kSetElectricFence, "AT+OPENAT=750,500,10;"},
    {"custom fence", kP2P,
     {{kFenceRadius, "500"}, {kFenceInterval, "10"}, {kLatitude, "2232.1234"},
      {kLongitude, "11403.5678"}},
     {{kFenceTypeList, 1}, {kNorthSouthList, 0}, {kEastWestList, 1}}, true, kSetElectricFence,
     "AT+OPENAT=751,500,10,11403.5678,W,2232.1234,N;"},
    {"password", kP2P, {{kUserPassword, "1234"}}, {}, false, kSetUserPassword,
     "AT+OPENAT=770,1234;"},
    {"base stations", kP2P, {}, {{kBaseStationList, 5}}, false, kSetBaseStationNumber,
     "AT+OPENAT=780,5;"},
    {"user ID", kLongGprs, {{kUserId, "car7"}}, {}, false, kSetUserId, "AT+OPENAT=801,car7;"},
    {"APN", kLongGprs, {{kApn, "cmnet"}, {kApnUser, "guest"}, {kApnPassword, "pw"}}, {}, false,
     kSetApn, "AT+OPENAT=802,cmnet,guest,pw;"},
    {"IP and port", kLongGprs, {{kServerIp, "10.0.0.1"}, {kServerPort, "9000"}}, {}, false,
     kSetIpAndPort, "AT+OPENAT=803,10.0.0.1,9000;"},
    {"factory settings", kP2P, {}, {}, false, kResetConfig, "AT+OPENAT=999,;"},
    {"GPS on", kP2P, {}, {}, false, kOpenGps, "AT+OPENAT=221,;"},
    {"GPS off", kP2P, {}, {}, false, kCloseGps, "AT+OPENAT=231,;"},
    {"IMEI read", kP2P, {}, {}, false, kReadImei, "AT+EGMR=0,7"},
};

TEST(Buttons, EachSendsItsExactCommandAndReportsSuccess) {
    RemoteForm form;
    form.Wake();
    TrackerLog log("VORLEN_LOG_COM1");
    for (const ButtonCase& c : kButtonCases) {
        SCOPED_TRACE(c.what);
        form.Choose(kWorkingModeList, c.workingMode);
        form.SwitchFence(c.fenceOn);
        for (const auto& [list, entry] : c.chosen) {
            form.Choose(list, entry);
        }
        for (const auto& [edit, text] : c.typed) {
            form.Type(edit, text);
        }
        log.Mark();
        form.Type(kStatusBox, "");
        form.Press(c.button);
        ASSERT_TRUE(log.WaitForCommands(1));
        EXPECT_TRUE(WaitUntil([&] { return !form.Shown(kStatusBox).empty(); }));
        EXPECT_EQ(log.Since(), std::vector<std::string>{c.sent});
        EXPECT_NE(form.Shown(kStatusBox).find("succ"), std::string::npos)
            << form.Shown(kStatusBox);
        for (const auto& [edit, text] : c.typed) {
            form.Type(edit, "");
        }
    }
    EXPECT_EQ(form.WaitForBox(0ms).window, nullptr);
}

// Refused input: one message in the form's language, nothing on the line.
TEST(Buttons, InputThatFailsItsCheckIsRefusedInAMessageAndNothingIsSent) {
    RemoteForm form;
    form.Wake();
    TrackerLog log("VORLEN_LOG_COM1");
    const struct {
        int language;
        std::string message;
    } cases[] = {{kEnglish, "Center number is invalid!"}, {kChinese, "请输入合法的中心号码!"}};
    for (const auto& c : cases) {
        form.Choose(kLanguageList, c.language);
        form.Choose(kWorkingModeList, kP2S);
        form.Type(kCenterNumber, "12");
        form.Press(kSetCenterNumber);
        const OwnedBox box = form.WaitForBox();
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.text, c.message);
        EXPECT_EQ(box.caption, "Vorlen");
        form.Answer(box, IDOK);
    }
    form.Press(kOpenGps);  // goes out after anything the refusals might have sent
    ASSERT_TRUE(log.WaitForCommands(1));
    EXPECT_EQ(log.Since(), std::vector<std::string>{"AT+OPENAT=221,;"});
}

// Typing counts GBK bytes: a Chinese character takes two. A change that
// breaks the limit, or brings in a control character or one GBK lacks, is
// undone; text the tracker put there may only get shorter.
TEST(Typing, TheLimitCountsGbkBytesAndRefusedChangesAreUndone) {
    RemoteForm form;
    form.Wake();
    const struct {
        int edit;
        std::string typed;
        std::string shown;
    } cases[] = {
        {kUserNumber1, "12345678901234567890", "12345678901234567890"},
        {kUserNumber1, "123456789012345678901", "12345678901234567890"},
        {kUserNumber1, "一二三四五六七八九十", "一二三四五六七八九十"},
        {kUserNumber1, "一二三四五六七八九十1", "一二三四五六七八九十"},
        {kUserPassword, "1234", "1234"},
        {kUserPassword, "12345", "1234"},
        {kApn, "cmnet", "cmnet"},
        {kApn, "cm\r\nnet", "cmnet"},
        {kApn, "cm\tnet", "cmnet"},
        {kApn, "cmßnet", "cmnet"},  // code page 936 has no sharp s
        {kApn, "cm\xF0\x9F\x98\x80", "cmnet"},
        {kApnPassword, "pa", "pa"},
        {kApnPassword, "p,a;s#s", "pa"},  // a separator undoes the whole change
    };
    for (const auto& c : cases) {
        form.Type(c.edit, c.typed);
        EXPECT_EQ(form.Shown(c.edit), c.shown) << c.typed;
    }
    // A keystroke into a full field has no effect either.
    ::SendMessageW(form.Item(kUserPassword), WM_CHAR, L'5', 1);
    EXPECT_EQ(form.Shown(kUserPassword), "1234");
}

// The read-back leaves the simulator's six-digit factory password in the
// four-digit field: the operator may shorten it, not lengthen it.
TEST(Typing, AnOverlongReadBackValueCanOnlyGetShorter) {
    RemoteForm form;
    form.Wake();
    form.Press(kResetConfig);
    ASSERT_TRUE(form.WaitForStatus("Reset config successfully!"));
    form.Press(kReadConfig);
    ASSERT_TRUE(form.WaitForStatus("Read config success!"));
    ASSERT_EQ(form.Shown(kUserPassword), "123456");
    form.Type(kUserPassword, "1234567");
    EXPECT_EQ(form.Shown(kUserPassword), "123456");
    form.Type(kUserPassword, "12345");
    EXPECT_EQ(form.Shown(kUserPassword), "12345");
}

// Enter in an edit or on a focused button sends nothing and keeps the form;
// Space on the focused button presses it.
TEST(Keyboard, EnterPressesNothingButSpaceDoes) {
    RemoteForm form;
    form.Wake();
    TrackerLog log("VORLEN_LOG_COM1");
    form.Choose(kWorkingModeList, kP2S);
    form.Type(kCenterNumber, "123");
    for (const int target : {kCenterNumber, kSetCenterNumber}) {
        form.Focus(target);
        form.PostKey(target, VK_RETURN);
    }
    form.Focus(kSetCenterNumber);
    form.PostKey(kSetCenterNumber, VK_SPACE);
    ASSERT_TRUE(log.WaitForCommands(1));
    ::Sleep(300);
    EXPECT_EQ(log.Since(), std::vector<std::string>{"AT+OPENAT=710,123;"});
    EXPECT_FALSE(form.WaitForExit(0ms));
}

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

TEST(SetAllAndReadBack, NineteenCommandsInOrderThenReadConfigFillsAFreshForm) {
    TrackerLog log("VORLEN_LOG_COM1");
    {
        RemoteForm form;
        form.Wake();
        log.Mark();
        form.Choose(kWorkingModeList, kLongGprs);
        form.SwitchFence(true);
        for (const auto& [list, entry] : kChosen) {
            form.Choose(list, entry);
        }
        for (const auto& [edit, text] : kTyped) {
            form.Type(edit, text);
        }
        form.Press(kSetAll);
        EXPECT_TRUE(form.WaitForStatus("Set all config successfully!", 10s));
    }
    const std::vector<std::string> expected{
        "AT+OPENAT=711,1,13800000001;",   "AT+OPENAT=711,2,13800000002;",
        "AT+OPENAT=711,3,13800000003;",   "AT+OPENAT=711,4,13800000004;",
        "AT+OPENAT=711,5,;",              "AT+OPENAT=711,6,+8613800000006;",
        "AT+OPENAT=711,7,13800000007;",   "AT+OPENAT=711,8,13800000008;",
        "AT+OPENAT=711,9,13800000009;",   "AT+OPENAT=710,+8613900000000;",
        "AT+OPENAT=70,3;",                "AT+OPENAT=720,2;",
        "AT+OPENAT=730,30,5;",            "AT+OPENAT=751,500,10,11403.5678,E,2232.1234,S;",
        "AT+OPENAT=770,1234;",            "AT+OPENAT=780,5;",
        "AT+OPENAT=801,car7;",            "AT+OPENAT=802,cmnet,guest,secret;",
        "AT+OPENAT=803,10.0.0.1,9000;",
    };
    EXPECT_EQ(log.Since(), expected);

    RemoteForm form;
    form.Wake();
    form.Press(kReadConfig);
    ASSERT_TRUE(form.WaitForStatus("Read config success!"));
    for (const auto& [edit, text] : kTyped) {
        EXPECT_EQ(form.Shown(edit), text) << edit;
    }
    EXPECT_EQ(form.Shown(kSoftwareVersion), "V1.04 SIM");
    EXPECT_EQ(form.Selected(kWorkingModeList), kLongGprs);
    for (const auto& [list, entry] : kChosen) {
        EXPECT_EQ(form.Selected(list), entry) << list;
    }
    EXPECT_TRUE(form.Checked(kFenceOpen));
    EXPECT_TRUE(form.Enabled(kLatitude));
    EXPECT_FALSE(form.Enabled(kCenterNumber));
}

TEST(WakeUp, CancelSendsNothingAndOkWakesAndUnlocks) {
    RemoteForm form;
    TrackerLog log("VORLEN_LOG_COM1");
    form.Press(kWakeTracker);
    OwnedBox box = form.WaitForBox();
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, "WakeUp Tracker");
    EXPECT_EQ(box.text, "Please reset tracker!");
    form.Answer(box, IDCANCEL);
    ::Sleep(300);
    EXPECT_TRUE(log.Since().empty());
    EXPECT_FALSE(form.Enabled(kOpenGps));

    form.Wake();
    EXPECT_EQ(log.Since(), (std::vector<std::string>{kWake, kStayAwake}));
    EXPECT_TRUE(form.Enabled(kFenceOpen));
    EXPECT_FALSE(form.Checked(kFenceOpen));
    EXPECT_FALSE(form.Enabled(kFenceRadius));
    EXPECT_FALSE(form.Enabled(kCenterNumber));  // P2P
}

// The worker goes on with the port chosen meanwhile.
TEST(WakeUp, APortChangeDuringTheWakeUpLocksAndTheNewPortsTrackerUnlocks) {
    RemoteForm form;
    TrackerLog awake("VORLEN_LOG_COM1");
    TrackerLog silent("VORLEN_LOG_COM2");
    form.Choose(kPortList, kCom2);
    EXPECT_TRUE(form.WaitForStatus("Init and Open COM2 Success!"));
    form.Press(kWakeTracker);
    const OwnedBox box = form.WaitForBox();
    ASSERT_NE(box.window, nullptr);
    form.Answer(box, IDOK);
    ASSERT_TRUE(silent.WaitForCommands(1));
    form.Choose(kPortList, 0);
    EXPECT_FALSE(form.Enabled(kOpenGps));
    ASSERT_TRUE(WaitUntil([&] { return form.Enabled(kOpenGps); }, 10s));
    EXPECT_EQ(awake.Since(), (std::vector<std::string>{kWake, kStayAwake}));
    EXPECT_EQ(silent.Since(), std::vector<std::string>{kWake});
}

TEST(WakeUp, ClosingDuringTheWakeUpEndsAtOnceAndSendsNothingMore) {
    TrackerLog silent("VORLEN_LOG_COM2");
    RemoteForm form;
    form.Choose(kPortList, kCom2);
    form.Press(kWakeTracker);
    const OwnedBox box = form.WaitForBox();
    ASSERT_NE(box.window, nullptr);
    form.Answer(box, IDOK);
    ASSERT_TRUE(silent.WaitForCommands(1));
    // Under Wine even a form closed with nothing running takes about two
    // seconds to end (Form.EscapeEndsTheForm); a worker that kept the form
    // waiting for a whole unanswered attempt would add 2.5 s more.
    const auto closing = Clock::now();
    ::PostMessageW(form.Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(form.WaitForExit(3500ms));
    EXPECT_LT(Clock::now() - closing, 3500ms);
    const std::size_t sent = silent.Since().size();
    ::Sleep(3000);  // longer than one unanswered attempt
    EXPECT_EQ(silent.Since().size(), sent);
}

}  // namespace
}  // namespace vorlen::e2e
