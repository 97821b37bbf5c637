// Values between the controls and the record: typing limits in GBK bytes,
// the save that stops at an over-long field, the load.
#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "form/bilingual.h"
#include "form/control_ids.h"
#include "form/control_text.h"
#include "window_fixture.h"

namespace vorlen::testing {
namespace {

using namespace control;

// Types like the operator, one key at a time; QTest::keyClicks cannot type
// characters beyond Latin-1.
void Type(QWidget* edit, const QString& text) {
    for (const QChar character : text) {
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(character), Qt::NoModifier);
    }
}

class DataExchange : public ::testing::Test {
protected:
    FakeMachine machine;
    TrackerConfigDialog form{machine.Services()};

    // Every edit usable, whatever the working mode would allow.
    void SetUp() override { form.EnableGroupChildren(form.Control(kConfigArea), true); }

    QString Shown(int id) const { return ControlText(*form.Control(id)); }
};

TEST_F(DataExchange, TypingStopsAtTheFieldsLimitInGbkBytes) {
    const struct {
        int id;
        QString typed;
        QString kept;
    } cases[] = {
        {kUserNumber1, "1234567890123456789012345", "12345678901234567890"},
        {kCenterNumber, "+861380013800099999", "+861380013800099999"},
        {kUserId, "abcdefghijklmnopqrstuvwxyz", "abcdefghijklmnopqrst"},
        {kUserPassword, "123456", "1234"},
        {kFenceInterval, "123", "12"},
        {kUploadCount, "123", "12"},
        {kIntervalTime, "1234567", "12345"},
        {kUserNumber1 + 1, "一二三四五六七八九十百", "一二三四五六七八九十"},
        // 19 bytes, then a Chinese character would make 21: refused; a digit fits.
        {kUserNumber1 + 2, "1234567890123456789中0", "12345678901234567890"},
        // Characters GBK has no code for never get in, with or without a limit.
        {kApn, "netกwork", "network"},
        {kImei, "35ก1", "351"},
    };
    for (const auto& c : cases) {
        Type(form.Control(c.id), c.typed);
        EXPECT_EQ(Shown(c.id), c.kept) << c.id;
    }
}

TEST_F(DataExchange, SaveCopiesEveryFieldInGbkAndLoadShowsThem) {
    SetControlText(*form.Control(kApn), "cmnet");
    SetControlText(*form.Control(kUserId), "车载一号");
    qobject_cast<QAbstractButton*>(form.Control(kFenceOpen))->setChecked(true);

    EXPECT_TRUE(form.UpdateData(true));
    EXPECT_EQ(form.Record().apn, "cmnet");
    EXPECT_EQ(form.Record().userId, GbkOf("车载一号"));
    EXPECT_EQ(form.Record().fenceEnabled, 1);

    form.Record().imei = "354660000000001";
    form.Record().softwareVersion = GbkOf("版本 2.3");
    form.Record().fenceEnabled = 0;
    form.Refresh();
    EXPECT_EQ(Shown(kImei), "354660000000001");
    EXPECT_EQ(Shown(kSoftwareVersion), "版本 2.3");
    EXPECT_FALSE(qobject_cast<QAbstractButton*>(form.Control(kFenceOpen))->isChecked());
}

TEST_F(DataExchange, SaveStopsAtTheFirstOverlongFieldWithTheFocusOnIt) {
    form.show();
    form.Record().centerNumber = std::string(21, '1');
    form.Record().userId = "old";
    form.Refresh();
    Type(form.Control(kApn), "cmnet");      // saved before the centre number
    Type(form.Control(kUserId), "-new");    // saved after it

    EXPECT_FALSE(form.UpdateData(true));
    EXPECT_EQ(machine.messages, std::vector<std::string>{"Enter no more than 20 characters."});
    EXPECT_EQ(machine.captions, std::vector<std::string>{"Vorlen"});
    EXPECT_EQ(form.focusWidget(), form.Control(kCenterNumber));
    EXPECT_EQ(form.Record().apn, "cmnet");
    EXPECT_EQ(form.Record().centerNumber, std::string(21, '1'));
    EXPECT_EQ(form.Record().userId, "old");

    Choose(ListOf(form, kLanguageList), kChinese);
    EXPECT_FALSE(form.UpdateData(true));
    EXPECT_EQ(machine.messages.back(), "最多只能输入20个字符。");
}

// A tracker reply may hold bytes that are not GBK; they show as U+FFFD.
TEST_F(DataExchange, BytesThatAreNotGbkSurviveASaveUntilEdited) {
    const std::string reply = "V\xFF" "1";
    form.Record().softwareVersion = reply;
    form.Refresh();
    EXPECT_TRUE(form.UpdateData(true));
    EXPECT_EQ(form.Record().softwareVersion, reply);

    Type(form.Control(kSoftwareVersion), "2");
    EXPECT_TRUE(form.UpdateData(true));
    EXPECT_EQ(form.Record().softwareVersion, "V?12");
}

}  // namespace
}  // namespace vorlen::testing
