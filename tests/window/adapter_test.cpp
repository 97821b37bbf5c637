// The Qt window as the dialog's adapter: what the toolkit itself would get
// wrong if left alone, the typing limit and the mouse wheel.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QWheelEvent>

#include "dialog/dialog_layout.h"
#include "dialog/system_command.h"
#include "qt/line_monitor_window.h"
#include "qt/opening_combo_box.h"
#include "qt/station_window.h"
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

// Every list reports its opening to the form, whether it shows tips or
// not; which list takes its entries afresh is the form's rule.
TEST(Adapter, EveryListSaysItIsAboutToOpen) {
    Machine machine{{"/dev/ttyFake0"}, false};
    TrackerWindow form(machine.Services());
    form.show();
    for (const DialogControl& row : DialogLayout()) {
        if (row.kind != ControlKind::DropDownList) {
            continue;
        }
        auto* list = qobject_cast<OpeningComboBox*>(ListOf(form, row.id));
        ASSERT_NE(list, nullptr) << row.id;
        QSignalSpy opening(list, &OpeningComboBox::popupAboutToShow);
        list->showPopup();
        EXPECT_EQ(opening.count(), 1) << row.id;
        list->hidePopup();
    }
}

TEST(Adapter, AProfileGoesOutAndComesBackThroughTheShortcuts) {
    char folder[] = "/tmp/vorlen-window-profile-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    Machine machine{{"/dev/ttyFake0"}, false};
    machine.profilePath = std::filesystem::path(folder) / "fleet.toml";
    TrackerWindow form(machine.Services());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.Dialog().UnlockConfigArea();
    Choose(form, kWorkingModeList, 3);
    Type(form, kApn, "cmnet");
    Type(form, kCenterNumber, "+8613900000000");
    QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(std::filesystem::exists(*machine.profilePath));

    TrackerWindow other(machine.Services());
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    QTest::keyClick(&other, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(Shown(other, kApn), "cmnet");
    EXPECT_EQ(Shown(other, kCenterNumber), "+8613900000000");
    EXPECT_EQ(ListOf(other, kWorkingModeList)->currentIndex(), 3);
    EXPECT_TRUE(machine.Refusals().empty());

    // The menu speaks the operator's language.
    Choose(other, kLanguageList, kChinese);
    QStringList captions;
    for (const QAction* action : other.actions()) {
        captions << action->text();
    }
    EXPECT_TRUE(captions.contains(QString::fromUtf8("保存配置文件(&S)..."))) << captions.join('|').toStdString();
    std::filesystem::remove_all(folder);
}

// Ctrl+L opens the monitor beside the form; the form stays usable and its
// commands show there as they go out.
TEST(Adapter, TheLineMonitorOpensOnCtrlLAndShowsTheFormsCommands) {
    Rig rig;
    TrackerWindow& form = rig.form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.Dialog().UnlockConfigArea();
    QTest::keyClick(&form, Qt::Key_L, Qt::ControlModifier);
    auto* monitor = form.findChild<LineMonitorWindow*>();
    ASSERT_NE(monitor, nullptr);
    EXPECT_TRUE(monitor->isVisible());
    EXPECT_FALSE(monitor->isModal());

    Press(form, kOpenGps);
    auto* rows = monitor->findChild<QPlainTextEdit*>();
    ASSERT_TRUE(WaitUntil([&] { return rows->toPlainText().count('\n') >= 1; }));
    const QStringList lines = rows->toPlainText().split('\n');
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("-> AT+OPENAT=221,;\\r\\n"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains(QStringLiteral("<- "))) << lines[1].toStdString();
}

// The form owns its station as it owns its monitor: both open from its
// menu beside it, and a language switch reaches both at once, shown or
// hidden, with no program around the form to pass it on.
TEST(Adapter, TheMonitorAndTheStationOpenBesideTheFormAndFollowItsLanguageLive) {
    Rig rig;
    TrackerWindow& form = rig.form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.Dialog().OnSystemCommand(kLineMonitorCommand);
    form.Dialog().OnSystemCommand(kFleetStationCommand);
    auto* monitor = form.findChild<LineMonitorWindow*>();
    auto* station = form.findChild<fleet::FleetStationWindow*>();
    ASSERT_NE(monitor, nullptr);
    ASSERT_NE(station, nullptr);
    EXPECT_TRUE(station->isVisible());
    EXPECT_EQ(station->windowTitle(), QStringLiteral("Fleet Station"));
    monitor->hide();

    Choose(form, kLanguageList, kChinese);
    EXPECT_EQ(monitor->windowTitle(), QString::fromUtf8("线路监视器"));
    EXPECT_EQ(station->windowTitle(), QString::fromUtf8("批量工位"));
    auto* start = qobject_cast<QPushButton*>(station->Control(fleet::kStationStart));
    EXPECT_EQ(start->text(), QString::fromUtf8("开始"));
    EXPECT_FALSE(monitor->isVisible());
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
