#include <gtest/gtest.h>

#include <set>

#include "fakes.h"
#include "dialog/button_actions.h"
#include "model/control_ids.h"
#include "model/gbk.h"
#include "protocol/send_command.h"

namespace vorlen {
namespace {

using testing::FakeFormView;
using testing::NoPause;
using testing::ScriptedTracker;

std::string Shown(const FakeFormView::Status& status) { return GbkToUtf8(status.text); }

TEST(SendCommand, ReadImeiStoresTheQuotedImeiBeforeReportingSuccess) {
    const struct {
        const char* reply;
        const char* imei;
    } cases[] = {
        {"+EGMR: \"351234567890123\"\r\nOK\r\n", "351234567890123"},
        {"OK\r\n", ""},  // no quotes: the IMEI is emptied, still a success
    };
    for (const auto& c : cases) {
        ScriptedTracker tracker([&](const std::string&) { return std::string(c.reply); });
        TrackerForm form;
        form.imei = "old";
        FakeFormView view;
        SendCommand(CommandType::ReadImei, &tracker, form, {}, view, kEnglish, NoPause());
        EXPECT_EQ(tracker.written, std::vector<std::string>{"AT+EGMR=0,7\r\n"});
        EXPECT_EQ(form.imei, c.imei);
        EXPECT_EQ(view.refreshes, 1);
        ASSERT_EQ(view.statuses.size(), 1u);
        EXPECT_EQ(Shown(view.statuses[0]), "Read IMEI successfully!");
        EXPECT_EQ(view.statuses[0].mark, StatusMark::Success);
    }
}

TEST(SendCommand, FailuresReportTheCommandsOwnLineAndKeepTheImei) {
    const struct {
        CommandType type;
        bool port;
        int language;
        std::size_t written;
        const char* text;
    } cases[] = {
        {CommandType::ReadImei, true, kChinese, 1, "读取IMEI失败!"},  // answered ERROR
        // The fence on without a fence type has no command: nothing is written.
        {CommandType::SetElectricFence, true, kEnglish, 0, "Set fence information failed!"},
        {CommandType::SetApn, false, kEnglish, 0, "Set APN failed!"},
    };
    for (const auto& c : cases) {
        ScriptedTracker tracker([](const std::string&) { return std::string("ERROR\r\n"); });
        TrackerForm form;
        form.imei = "351234567890123";
        form.fenceEnabled = 1;
        FakeFormView view;
        SendCommand(c.type, c.port ? &tracker : nullptr, form, {}, view, c.language, NoPause());
        EXPECT_EQ(tracker.written.size(), c.written) << c.text;
        EXPECT_EQ(form.imei, "351234567890123");
        ASSERT_EQ(view.statuses.size(), 1u);
        EXPECT_EQ(Shown(view.statuses[0]), c.text);
        EXPECT_EQ(view.statuses[0].mark, StatusMark::Failure);
    }
}

TEST(SendCommand, SequencesHandOverToTheReadBackAndSetAll) {
    ScriptedTracker tracker(testing::AcknowledgeEverything);
    TrackerForm form;
    form.userPassword = "1234";
    FakeFormView view;
    SendCommand(CommandType::ReadConfig, &tracker, form, {}, view, kEnglish, NoPause());
    EXPECT_EQ(tracker.written.size(), 3u);
    EXPECT_EQ(tracker.written.front(), "AT+OPENAT=901,;\r\n");
    tracker.written.clear();
    SendCommand(CommandType::SetAll, &tracker, form, {}, view, kEnglish, NoPause());
    EXPECT_EQ(tracker.written.size(), 19u);
    EXPECT_EQ(Shown(view.statuses.back()), "Set all config successfully!");
}

TEST(ButtonActions, EveryCommandHasExactlyOneButton) {
    std::set<int> types;
    std::set<int> buttons;
    for (const ButtonAction& action : ButtonActions()) {
        EXPECT_TRUE(types.insert(Index(action.type)).second) << Index(action.type);
        EXPECT_TRUE(buttons.insert(action.buttonId).second) << action.buttonId;
    }
    EXPECT_EQ(types.size(), static_cast<std::size_t>(kCommandTypeCount));
    EXPECT_EQ(ActionForButton(control::kWakeTracker), nullptr);
}

TEST(ButtonActions, EachUserNumberButtonChecksItsOwnSlot) {
    for (int slot = 1; slot <= 9; ++slot) {
        TrackerForm form;
        UserNumber(form, slot) = "138-0013";
        for (int button = 1; button <= 9; ++button) {
            const ButtonAction* action = ActionForButton(control::kSetUserNumber1 + button - 1);
            ASSERT_NE(action, nullptr);
            EXPECT_EQ(action->type, SetUserNumber(button));
            EXPECT_EQ(action->check(form, {}).has_value(), button == slot)
                << "slot " << slot << " button " << button;
        }
    }
}

TEST(ButtonActions, ButtonsWithoutChecksSendWhateverTheFormHolds) {
    for (int id : {control::kSetSystemMode, control::kResetConfig, control::kReadConfig,
                   control::kReadImei}) {
        EXPECT_EQ(ActionForButton(id)->check, nullptr) << id;
    }
    TrackerForm form;
    EXPECT_EQ(ActionForButton(control::kSetAll)->check(form, {}),
              ValidationMessage::PasswordLength);
}

// The APN and the server texts would split their command at a separator.
TEST(ButtonActions, ApnAndServerButtonsRefuseSeparators) {
    TrackerForm form;
    EXPECT_EQ(ActionForButton(control::kSetApn)->check(form, {}), std::nullopt);
    form.apnUser = "a,b";
    form.serverPort = "80;";
    EXPECT_EQ(ActionForButton(control::kSetApn)->check(form, {}),
              ValidationMessage::ApnUserSeparator);
    EXPECT_EQ(ActionForButton(control::kSetIpAndPort)->check(form, {}),
              ValidationMessage::ServerPortSeparator);
}

}  // namespace
}  // namespace vorlen
