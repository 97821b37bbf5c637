#include <gtest/gtest.h>

#include "fakes.h"
#include "model/bilingual.h"
#include "model/gbk.h"
#include "protocol/commands.h"
#include "protocol/set_all.h"

namespace vorlen {
namespace {

using testing::FakeFormView;
using testing::FilledForm;
using testing::NoPause;
using testing::ScriptedTracker;

constexpr Selections kP2P{.workingMode = kModeP2P, .warningType = 3, .baseStationCount = 7};

// Stays silent to every command starting with `prefix` and acknowledges the rest.
ScriptedTracker::Script Refusing(std::string prefix) {
    return [prefix](const std::string& command) {
        return command.starts_with(prefix) ? std::string() : std::string("OK\r\n");
    };
}

// Unlike the single button, set-all sends the upload count in every mode and
// the centre number as typed.
TEST(SetAll, SendsTheNineteenCommandsInOrder) {
    ScriptedTracker tracker(Refusing("never"));
    TrackerForm form = FilledForm();
    FakeFormView view;
    SendAllSettings(&tracker, form, kP2P, view, kChinese, NoPause());

    std::vector<std::string> expected;
    for (int slot = 1; slot <= 9; ++slot) {
        expected.push_back(*BuildCommand(SetUserNumber(slot), form, kP2P));
    }
    expected.insert(expected.end(),
                    {"AT+OPENAT=710, 10086;\r\n", "AT+OPENAT=70,0;\r\n", "AT+OPENAT=720,3;\r\n",
                     "AT+OPENAT=730,30,5;\r\n", "AT+OPENAT=760,;\r\n", "AT+OPENAT=770,1234;\r\n",
                     "AT+OPENAT=780,7;\r\n", "AT+OPENAT=801,ID42;\r\n",
                     "AT+OPENAT=802,cmnet,user,pass;\r\n", "AT+OPENAT=803,10.0.0.1,8080;\r\n"});
    EXPECT_EQ(tracker.written, expected);
    EXPECT_EQ(form.intervalTime, "30");
    EXPECT_EQ(form.fenceRadius, " 500");  // the fence is off: left alone
    ASSERT_EQ(view.statuses.size(), 1u);
    EXPECT_EQ(view.statuses[0].text, GbkOf("成功设置所有配置信息!"));
    EXPECT_EQ(view.statuses[0].mark, StatusMark::Success);
}

TEST(SetAll, StopsAtTheFirstFailingStepWithItsOwnFailureLine) {
    const struct {
        std::string refused;
        bool fenceOn;  // with no fence type: the fence step has no command to send
        std::size_t written;
        std::string status;
    } cases[] = {
        {"AT+OPENAT=711,1,", false, 1, "Set 1th pre-stored phonenumber failed!"},
        {"AT+OPENAT=711,9,", false, 9, "Set 9th pre-stored phonenumber failed!"},
        {"AT+OPENAT=730,", false, 13, "Set interval time and count failed!"},
        {"AT+OPENAT=760,", false, 14, "Set fence information failed!"},
        {"never", true, 13, "Set fence information failed!"},
        {"AT+OPENAT=803,", false, 19, "Set IP and port number failed!"},
    };
    for (const auto& c : cases) {
        ScriptedTracker tracker(Refusing(c.refused));
        TrackerForm form = FilledForm();
        form.fenceEnabled = c.fenceOn;
        FakeFormView view;
        SendAllSettings(&tracker, form, kP2P, view, kEnglish, NoPause());
        EXPECT_EQ(tracker.written.size(), c.written) << c.refused;
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

}  // namespace
}  // namespace vorlen
