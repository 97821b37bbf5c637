// The Qt window as the dialog's adapter: what the toolkit itself would get
// wrong if left alone, the typing limit and the mouse wheel.
#include <QApplication>
#include <QLineEdit>
#include <QWheelEvent>

#include "rig.h"

namespace vorlen::testing {
namespace {

// A read-back can leave a value longer than its edit's limit (the
// simulator's six-digit password in the four-digit field).
TEST(Adapter, ATextLongerThanItsLimitCanOnlyGetShorter) {
    Machine machine{{"/dev/ttyFake0"}, false};
    TrackerWindow form(machine.Services());
    form.Dialog().UnlockConfigArea();
    form.Dialog().Record().userPassword = "123456";
    form.Dialog().Refresh();
    auto* edit = qobject_cast<QLineEdit*>(form.Control(kUserPassword));
    edit->end(false);

    const struct {
        const char* what;
        std::function<void()> act;
        QString left;
    } steps[] = {
        {"typed past the end", [&] { TypeKeys(edit, "7"); }, "123456"},
        {"pasted over everything", [&] { edit->selectAll(); edit->insert("99999999"); }, "123456"},
        {"one deleted", [&] { edit->end(false); QTest::keyClick(edit, Qt::Key_Backspace); }, "12345"},
        {"typed again, still too long", [&] { TypeKeys(edit, "9"); }, "12345"},
        {"replaced by as long a text", [&] { edit->selectAll(); edit->insert("abcde"); }, "12345"},
        {"cut to the limit", [&] { edit->end(false); QTest::keyClick(edit, Qt::Key_Backspace); }, "1234"},
        {"at the limit nothing more", [&] { TypeKeys(edit, "5"); }, "1234"},
        {"shorter, then typed within it", [&] {
             QTest::keyClick(edit, Qt::Key_Backspace);
             TypeKeys(edit, "8");
         }, "1238"},
    };
    for (const auto& step : steps) {
        step.act();
        EXPECT_EQ(edit->text(), step.left) << step.what;
    }
}

TEST(Adapter, OpeningThePortListListsThePortsAfresh) {
    Machine machine{{"/dev/ttyFake0"}, false};
    TrackerWindow form(machine.Services());
    form.show();
    machine.portNames.push_back("/dev/ttyFake1");
    ListOf(form, kPortList)->showPopup();
    EXPECT_EQ(Entries(ListOf(form, kPortList)), (QStringList{"/dev/ttyFake0", "/dev/ttyFake1"}));
    EXPECT_EQ(ListOf(form, kPortList)->currentIndex(), 0);
    EXPECT_EQ(machine.opened.size(), 1u);
    ListOf(form, kPortList)->hidePopup();
}

void Wheel(QWidget* list) {
    const QPointF middle(list->width() / 2.0, list->height() / 2.0);
    QWheelEvent down(middle, list->mapToGlobal(middle), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list, &down);
}

// Over the port list a wheel would reopen the port and lock the form; over
// the language list it would reset three lists and empty the status line.
TEST(Adapter, TheWheelChangesAListOnlyWhileItHasTheKeyboardFocus) {
    Machine machine{{"/dev/ttyFake0", "/dev/ttyFake1"}, false};
    TrackerWindow form(machine.Services());
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    const std::string status = StatusText(form);
    form.Control(kWakeTracker)->setFocus();

    Wheel(form.Control(kPortList));
    Wheel(form.Control(kLanguageList));
    EXPECT_EQ(ListOf(form, kPortList)->currentIndex(), 0);
    EXPECT_EQ(ListOf(form, kLanguageList)->currentIndex(), kEnglish);
    EXPECT_EQ(machine.opened.size(), 1u);
    EXPECT_EQ(StatusText(form), status);

    form.Control(kPortList)->setFocus();
    ASSERT_TRUE(form.Control(kPortList)->hasFocus());
    Wheel(form.Control(kPortList));
    EXPECT_EQ(ListOf(form, kPortList)->currentIndex(), 1);
    EXPECT_EQ(machine.opened.size(), 2u) << "a wheel in the focused list is a pick";
}

}  // namespace
}  // namespace vorlen::testing
