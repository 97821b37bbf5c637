// Set ALL and Read Config against the simulated tracker: what goes on the
// line, and what comes back into the real controls.
#include <QAbstractButton>
#include <map>

#include "sim_form.h"

namespace vorlen::testing {
namespace {

using namespace control;

constexpr int kLongGprs = 3;

// A whole configuration as the operator types and picks it.
const std::map<int, QString> kTyped{
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

void FillForm(TrackerConfigDialog& form) {
    Choose(ListOf(form, kWorkingModeList), kLongGprs);
    SwitchFence(form, true);
    for (const auto& [list, entry] : kChosen) {
        Choose(ListOf(form, list), entry);
    }
    for (const auto& [edit, text] : kTyped) {
        Type(form, edit, text);
    }
}

TEST(SetAllAndReadBack, NineteenCommandsInOrderThenReadConfigFillsAnotherForm) {
    test::SimProcess sim({"--awake"});
    MessageLog messages;
    {
        TrackerConfigDialog form(SimServices({sim.LinkPath()}, messages));
        form.UnlockConfigArea();
        FillForm(form);
        Press(form, kSetAll);
        EXPECT_EQ(StatusText(form), "Set all config successfully!");
        EXPECT_EQ(form.CurrentStatusMark(), StatusMark::Success);
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
    TrackerConfigDialog form(SimServices({sim.LinkPath()}, messages));
    form.UnlockConfigArea();
    Press(form, kReadConfig);
    EXPECT_EQ(StatusText(form), "Read config success!");
    EXPECT_EQ(form.CurrentStatusMark(), StatusMark::Success);
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
    EXPECT_TRUE(messages.texts.empty());
}

TEST(SetAllAndReadBack, SetAllShowsOnlyTheFirstRefusalAndSendsNothing) {
    SimForm rig;
    rig.form.UnlockConfigArea();
    const QString status = StatusText(rig.form);
    Type(rig.form, kUserNumber1 + 1, "138-0013");
    Type(rig.form, kUserPassword, "12");
    Press(rig.form, kSetAll);
    EXPECT_EQ(rig.messages.texts, std::vector<std::string>{"Input number2 is invalid!"});
    EXPECT_TRUE(rig.sim.Commands().empty());
    EXPECT_EQ(StatusText(rig.form), status);
}

TEST(SetAllAndReadBack, ARefusedFenceEndsSetAllAfterItsStep) {
    SimForm rig({"--awake", "--refuse", "750"});
    rig.form.UnlockConfigArea();
    Type(rig.form, kUserPassword, "1234");
    SwitchFence(rig.form, true);
    Type(rig.form, kFenceRadius, "100");
    Type(rig.form, kFenceInterval, "5");
    Press(rig.form, kSetAll);
    const std::vector<std::string> commands = rig.sim.Commands();
    ASSERT_EQ(commands.size(), 14u);
    EXPECT_EQ(commands.back(), "AT+OPENAT=750,100,5;");
    EXPECT_EQ(StatusText(rig.form), "Set fence information failed!");
    EXPECT_EQ(rig.form.CurrentStatusMark(), StatusMark::Failure);
}

TEST(SetAllAndReadBack, AFailureAt902KeepsWhat901FilledIn) {
    SimForm rig({"--awake", "--refuse", "902"});
    TrackerConfigDialog& form = rig.form;
    form.UnlockConfigArea();
    Choose(ListOf(form, kWorkingModeList), 1);
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
    EXPECT_EQ(form.CurrentStatusMark(), StatusMark::Failure);
}

}  // namespace
}  // namespace vorlen::testing
