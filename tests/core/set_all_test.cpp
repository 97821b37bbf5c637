#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes.h"
#include "form/bilingual.h"
#include "form/gbk.h"
#include "protocol/result_messages.h"
#include "protocol/set_all.h"

namespace vorlen {
namespace {

using testing::AcknowledgeEverything;
using testing::FakeFormView;
using testing::NoPause;
using testing::ScriptedTracker;

TrackerForm FilledForm() {
    TrackerForm form;
    for (int slot = 1; slot <= 9; ++slot) {
        UserNumber(form, slot) = "1380013800" + std::to_string(slot);
    }
    form.userNumber5 = "";
    form.centerNumber = " 10086";
    form.intervalTime = " 30 ";
    form.uploadCount = "5 ";
    form.fenceRadius = " 500";
    form.userPassword = "1234";
    form.userId = "ID42";
    form.apn = "cmnet";
    form.apnUser = "user";
    form.apnPassword = "pass";
    form.serverIp = "10.0.0.1";
    form.serverPort = "8080";
    return form;
}

constexpr Selections kP2P{.workingMode = 0, .warningType = 3, .baseStationCount = 7};

// Refuses (stays silent to) every command starting with `prefix`.
ScriptedTracker::Script Refusing(std::string prefix) {
    return [prefix](const std::string& command) {
        return command.starts_with(prefix) ? std::string() : std::string("OK\r\n");
    };
}

TEST(SetAll, SendsTheNineteenCommandsInOrder) {
    ScriptedTracker tracker(AcknowledgeEverything);
    TrackerForm form = FilledForm();
    FakeFormView view;
    SendAllSettings(&tracker, form, kP2P, view, kChinese, NoPause());

    const std::vector<std::string> expected{
        "AT+OPENAT=711,1,13800138001;\r\n", "AT+OPENAT=711,2,13800138002;\r\n",
        "AT+OPENAT=711,3,13800138003;\r\n", "AT+OPENAT=711,4,13800138004;\r\n",
        "AT+OPENAT=711,5,;\r\n",            "AT+OPENAT=711,6,13800138006;\r\n",
        "AT+OPENAT=711,7,13800138007;\r\n", "AT+OPENAT=711,8,13800138008;\r\n",
        "AT+OPENAT=711,9,13800138009;\r\n", "AT+OPENAT=710, 10086;\r\n",
        "AT+OPENAT=70,0;\r\n",              "AT+OPENAT=720,3;\r\n",
        "AT+OPENAT=730,30,5;\r\n",          "AT+OPENAT=760,;\r\n",
        "AT+OPENAT=770,1234;\r\n",          "AT+OPENAT=780,7;\r\n",
        "AT+OPENAT=801,ID42;\r\n",          "AT+OPENAT=802,cmnet,user,pass;\r\n",
        "AT+OPENAT=803,10.0.0.1,8080;\r\n",
    };
    EXPECT_EQ(tracker.written, expected);
    EXPECT_EQ(form.intervalTime, "30");
    EXPECT_EQ(form.fenceRadius, " 500");  // the fence is off: left alone
    ASSERT_EQ(view.statuses.size(), 1u);
    EXPECT_EQ(view.statuses[0].text, GbkOf("成功设置所有配置信息!"));
    EXPECT_EQ(view.statuses[0].mark, StatusMark::Success);
}

TEST(SetAll, StopsAtTheFirstUnacknowledgedStepWithItsOwnFailureLine) {
    const struct {
        std::string refused;
        std::size_t written;
        std::string status;
    } cases[] = {
        {"AT+OPENAT=711,1,", 1, "Set 1th pre-stored phonenumber failed!"},
        {"AT+OPENAT=711,9,", 9, "Set 9th pre-stored phonenumber failed!"},
        {"AT+OPENAT=730,", 13, "Set interval time and count failed!"},
        {"AT+OPENAT=760,", 14, "Set fence information failed!"},
        {"AT+OPENAT=803,", 19, "Set IP and port number failed!"},
    };
    for (const auto& c : cases) {
        ScriptedTracker tracker(Refusing(c.refused));
        TrackerForm form = FilledForm();
        FakeFormView view;
        SendAllSettings(&tracker, form, kP2P, view, kEnglish, NoPause());
        EXPECT_EQ(tracker.written.size(), c.written) << c.refused;
        EXPECT_TRUE(tracker.written.back().starts_with(c.refused));
        ASSERT_EQ(view.statuses.size(), 1u);
        EXPECT_EQ(view.statuses[0].text, c.status);
        EXPECT_EQ(view.statuses[0].mark, StatusMark::Failure);
    }
}

TEST(SetAll, NoPortFailsAtTheFirstStep) {
    TrackerForm form = FilledForm();
    FakeFormView view;
    SendAllSettings(nullptr, form, kP2P, view, kChinese, NoPause());
    ASSERT_EQ(view.statuses.size(), 1u);
    EXPECT_EQ(view.statuses[0].text, GbkOf("第一个绑定号码设置失败!"));
    EXPECT_EQ(view.statuses[0].mark, StatusMark::Failure);
    EXPECT_EQ(form.intervalTime, " 30 ");  // never reached step 13
}

// The fence on with no fence type has no command: the step fails without
// writing anything (and without resending step 13).
TEST(SetAll, FenceOnWithoutTypeStopsAtTheFenceStepWritingNothing) {
    ScriptedTracker tracker(AcknowledgeEverything);
    TrackerForm form = FilledForm();
    form.fenceEnabled = 1;
    FakeFormView view;
    SendAllSettings(&tracker, form, kP2P, view, kEnglish, NoPause());
    ASSERT_EQ(tracker.written.size(), 13u);
    EXPECT_EQ(tracker.written.back(), "AT+OPENAT=730,30,5;\r\n");
    ASSERT_EQ(view.statuses.size(), 1u);
    EXPECT_EQ(view.statuses[0].text, "Set fence information failed!");
    EXPECT_EQ(view.statuses[0].mark, StatusMark::Failure);
}

}  // namespace
}  // namespace vorlen
