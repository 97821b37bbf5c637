// The form at rest on lines that never answer: start-up, enabling rules,
// language switch, port changes, typing limits and the save, and the window's
// outside (geometry in dialog units, frame, about box, message box).
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <map>

#include "qt/about_dialog.h"
#include "dialog/captions.h"
#include "dialog/dialog_layout.h"
#include "qt/dialog_metrics.h"
#include "qt/message_box.h"
#include "rig.h"

namespace vorlen::testing {
namespace {

// Every control the rules switch, from the layout: the members of a group.
std::set<int> MembersOf(int groupId) {
    const Rect box = FindDialogControl(groupId)->rect;
    std::set<int> members;
    for (const DialogControl& row : DialogLayout()) {
        if (row.id != kNoControlId && Contains(box, row.rect)) {
            members.insert(row.id);
        }
    }
    return members;
}

const std::set<int> kFenceControls{kFenceTypeList, kFenceRadius,    kFenceInterval, kLatitude,
                                   kNorthSouthList, kLongitude,     kEastWestList};

std::set<int> EnabledIds(const TrackerWindow& form) {
    std::set<int> enabled;
    for (const DialogControl& row : DialogLayout()) {
        if (row.id != kNoControlId && form.Control(row.id)->isEnabled()) {
            enabled.insert(row.id);
        }
    }
    return enabled;
}

QColor DefaultBackground(const TrackerWindow& form) {
    return form.palette().color(QPalette::Base);
}

void ExpectCaptions(const TrackerWindow& form, int language) {
    for (const Caption& caption : LanguageCaptions()) {
        EXPECT_EQ(ControlText(*form.Control(caption.controlId)).toStdString(),
                  Utf8In(caption.text, language))
            << caption.controlId;
    }
}

class StartUp : public ::testing::Test {
protected:
    Machine machine{{}, false};
};

TEST_F(StartUp, FillsTheListsLocksTheAreaAndOpensTheFirstPort) {
    machine.portNames = {"/dev/ttyUSB0", "/dev/ttyACM0"};
    TrackerWindow form(machine.Services());

    const std::map<int, std::pair<QStringList, int>> lists{
        {kPortList, {{"/dev/ttyUSB0", "/dev/ttyACM0"}, 0}},
        {kLanguageList, {{"中文", "English"}, 1}},
        {kWarningTypeList, {{"No warning", "Call warning", "MSG warning", "Call and MSG warning"}, 0}},
        {kWorkingModeList,
         {{"P2P", "P2S", "Custom GPRS Connect", "Long GPRS Connect", "GPRS power saving"}, 0}},
        {kFenceTypeList, {{"Electric Fence", "Custom Electric Fence"}, 0}},
        {kNorthSouthList, {{"N", "S"}, 0}},
        {kEastWestList, {{"E", "W"}, 0}},
        {kBaseStationList, {{"0", "1", "2", "3", "4", "5", "6", "7"}, 0}},
    };
    for (const auto& [id, contents] : lists) {
        EXPECT_EQ(Entries(ListOf(form, id)), contents.first) << id;
        EXPECT_EQ(ListOf(form, id)->currentIndex(), contents.second) << id;
    }
    ExpectCaptions(form, kEnglish);

    // Only what lies outside the configuration area is usable.
    std::set<int> usable;
    for (const DialogControl& row : DialogLayout()) {
        if (row.id != kNoControlId && !MembersOf(kConfigArea).contains(row.id)) {
            usable.insert(row.id);
        }
    }
    EXPECT_EQ(EnabledIds(form), usable);
    EXPECT_TRUE(usable.contains(kPortList) && usable.contains(kLanguageList) &&
                usable.contains(kWakeTracker));

    ASSERT_EQ(machine.opened.size(), 1u);
    EXPECT_EQ(machine.opened[0]->name, "/dev/ttyUSB0");
    EXPECT_EQ(LineUnder(form), machine.opened[0]);
    EXPECT_EQ(StatusText(form), "Init and Open /dev/ttyUSB0 Success!");
    EXPECT_EQ(form.Dialog().CurrentStatusMark(), StatusMark::Success);
    EXPECT_EQ(StatusBackground(form), kGreen);
    EXPECT_TRUE(machine.messages.empty());
}

TEST_F(StartUp, WithoutPortsOrWithAFailedDiscoveryOpensNothingAndSaysNothing) {
    for (const bool discoveryFails : {false, true}) {
        machine.portNames = discoveryFails ? std::vector<std::string>{"/dev/ttyUSB0"}
                                           : std::vector<std::string>{};
        machine.discoveryFails = discoveryFails;
        TrackerWindow form(machine.Services());

        EXPECT_EQ(ListOf(form, kPortList)->count(), 0);
        EXPECT_EQ(form.Dialog().PortIndex(), -1);
        EXPECT_TRUE(form.Dialog().Ports().empty());
        EXPECT_TRUE(machine.opened.empty());
        EXPECT_EQ(form.Dialog().PortHandle().Current(), nullptr);
        EXPECT_EQ(StatusText(form), "");
        EXPECT_EQ(form.Dialog().CurrentStatusMark(), StatusMark::None);
        EXPECT_EQ(StatusBackground(form), DefaultBackground(form));
        EXPECT_TRUE(machine.messages.empty());
    }
}

TEST_F(StartUp, StatusColourFollowsTheMarkAndLeavesTheTextColour) {
    TrackerWindow form(machine.Services());
    const QColor text = form.Control(kStatusBox)->palette().color(QPalette::Text);
    const std::pair<StatusMark, QColor> marks[] = {
        {StatusMark::Success, kGreen},
        {StatusMark::Failure, kRed},
        {StatusMark::None, DefaultBackground(form)},
    };
    for (const auto& [mark, background] : marks) {
        form.Dialog().ReportStatus(GbkOf("状态"), mark);
        EXPECT_EQ(StatusText(form), "状态");
        EXPECT_EQ(StatusBackground(form), background);
        EXPECT_EQ(form.Control(kStatusBox)->palette().color(QPalette::Text), text);
    }
}

// Both ways to a working mode: chosen before the unlock, or in the list after.
TEST_F(StartUp, UnlockingAndChoosingAWorkingModeEnableItsGroups) {
    // Centre, IP/port, APN, user ID.
    const std::array<int, 4> groups{kCenterGroup, kIpPortGroup, kApnGroup, kUserIdGroup};
    const std::array<std::array<bool, 4>, 5> expected{{
        {false, false, false, false},
        {true, false, false, false},
        {false, true, true, true},
        {false, true, true, true},
        {false, true, true, true},
    }};
    TrackerWindow chosen(machine.Services());
    chosen.Dialog().UnlockConfigArea();
    for (int mode : {1, 4, 0, 2, 3}) {
        TrackerWindow unlocked(machine.Services());
        unlocked.Dialog().SelectEntry(kWorkingModeList, mode);
        unlocked.Dialog().UnlockConfigArea();
        Choose(chosen, kWorkingModeList, mode);

        std::set<int> expectedEnabled;
        for (const DialogControl& row : DialogLayout()) {
            if (row.id != kNoControlId) {
                expectedEnabled.insert(row.id);
            }
        }
        for (std::size_t g = 0; g < groups.size(); ++g) {
            for (const int id : MembersOf(groups[g])) {
                if (!expected[static_cast<std::size_t>(mode)][g]) {
                    expectedEnabled.erase(id);
                }
            }
        }
        for (const int id : kFenceControls) {
            expectedEnabled.erase(id);
        }
        EXPECT_EQ(EnabledIds(unlocked), expectedEnabled) << "mode " << mode;
        EXPECT_EQ(EnabledIds(chosen), expectedEnabled) << "chosen mode " << mode;
        EXPECT_FALSE(qobject_cast<QCheckBox*>(unlocked.Control(kFenceOpen))->isChecked());
    }
}

TEST_F(StartUp, TheFenceBoxAndTheFenceTypeEnableTheFenceParameters) {
    TrackerWindow form(machine.Services());
    form.Dialog().UnlockConfigArea();
    auto* fenceOpen = qobject_cast<QCheckBox*>(form.Control(kFenceOpen));
    const auto enabledFenceControls = [&] {
        std::set<int> enabled;
        for (const int id : kFenceControls) {
            if (form.Control(id)->isEnabled()) {
                enabled.insert(id);
            }
        }
        return enabled;
    };

    fenceOpen->click();
    EXPECT_EQ(form.Dialog().Record().fenceEnabled, 1);
    EXPECT_EQ(enabledFenceControls(), (std::set<int>{kFenceTypeList, kFenceRadius, kFenceInterval}));

    Choose(form, kFenceTypeList, kCustomFence);
    EXPECT_EQ(enabledFenceControls(), kFenceControls);
    Choose(form, kFenceTypeList, kCircleFence);
    EXPECT_EQ(enabledFenceControls(), (std::set<int>{kFenceTypeList, kFenceRadius, kFenceInterval}));
    Choose(form, kFenceTypeList, kCustomFence);

    fenceOpen->click();
    EXPECT_EQ(form.Dialog().Record().fenceEnabled, 0);
    EXPECT_TRUE(enabledFenceControls().empty());
    EXPECT_EQ(form.Dialog().CurrentSelections().fenceType, kCustomFence);
}

TEST_F(StartUp, LanguageSwitchKeepsTheListsPicksClearsTheFenceKeepsTheStatusAndShowsTheRecord) {
    machine.portNames = {"/dev/ttyUSB0"};
    TrackerWindow form(machine.Services());
    form.Dialog().UnlockConfigArea();
    form.Dialog().SelectEntry(kWarningTypeList, 2);
    form.Dialog().SelectEntry(kWorkingModeList, 3);
    form.Dialog().ApplyWorkingModeEnabling();
    form.Dialog().SelectEntry(kNorthSouthList, 1);
    qobject_cast<QCheckBox*>(form.Control(kFenceOpen))->click();
    Choose(form, kFenceTypeList, kCustomFence);
    form.Dialog().Record().centerNumber = "10086";
    SetControlText(*form.Control(kCenterNumber), "99");  // typed, never saved

    Choose(form, kLanguageList, kChinese);

    ExpectCaptions(form, kChinese);
    EXPECT_EQ(Entries(ListOf(form, kWarningTypeList)),
              (QStringList{"不报警", "拨号报警", "信息报警", "拨号报警+信息报警"}));
    EXPECT_EQ(Entries(ListOf(form, kWorkingModeList)),
              (QStringList{"点到点", "点到中心", "GPRS按需连接", "GPRS长连接", "GPRS省电连接"}));
    EXPECT_EQ(Entries(ListOf(form, kFenceTypeList)), (QStringList{"围栏", "自定义围栏"}));
    const Selections selections = form.Dialog().CurrentSelections();
    // Each list keeps its pick, so the next Set sends what the groups show.
    EXPECT_EQ(selections.warningType, 2);
    EXPECT_EQ(selections.workingMode, 3);
    EXPECT_EQ(selections.fenceType, kCustomFence);
    EXPECT_EQ(selections.northSouth, 1);
    EXPECT_TRUE(form.Control(kServerIp)->isEnabled());
    EXPECT_EQ(form.Dialog().Language(), kChinese);

    EXPECT_EQ(StatusText(form), "Init and Open /dev/ttyUSB0 Success!");
    EXPECT_EQ(StatusBackground(form), kGreen);
    EXPECT_EQ(Shown(form, kCenterNumber), "10086");
    EXPECT_EQ(form.Dialog().Record().fenceEnabled, 1);
    EXPECT_FALSE(qobject_cast<QCheckBox*>(form.Control(kFenceOpen))->isChecked());
    for (const int id : kFenceControls) {
        EXPECT_FALSE(form.Control(id)->isEnabled()) << id;
    }

    Choose(form, kLanguageList, kEnglish);
    ExpectCaptions(form, kEnglish);
    EXPECT_EQ(ListOf(form, kWorkingModeList)->currentText(), "Long GPRS Connect");
    EXPECT_EQ(ListOf(form, kPortList)->currentText(), "/dev/ttyUSB0");

    // An open result after a switch speaks the new language.
    Choose(form, kLanguageList, kChinese);
    Choose(form, kPortList, 0);
    EXPECT_EQ(StatusText(form), "初始化并打开/dev/ttyUSB0成功!");
}

// vorlen --port /tmp/ttyVorlen --language zh, on a machine whose only port
// is a UART; Qt's own buttons follow the form's language.
TEST_F(StartUp, ThePortAndLanguageGivenAtStartAreUsedAndQtsButtonsFollow) {
    machine.portNames = {"/dev/ttyAMA0"};
    machine.start = {"/tmp/ttyVorlen", kChinese};
    TrackerWindow form(machine.Services());

    EXPECT_EQ(Entries(ListOf(form, kPortList)), (QStringList{"/dev/ttyAMA0", "/tmp/ttyVorlen"}));
    EXPECT_EQ(ListOf(form, kPortList)->currentIndex(), 1);
    ASSERT_EQ(machine.opened.size(), 1u);
    EXPECT_EQ(machine.opened[0]->name, "/tmp/ttyVorlen");
    ExpectCaptions(form, kChinese);
    const auto buttonTexts = [] {
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        return box.button(QMessageBox::Ok)->text() + " " + box.button(QMessageBox::Cancel)->text();
    };
    EXPECT_EQ(buttonTexts(), "确定 取消");
    Choose(form, kLanguageList, kEnglish);
    EXPECT_EQ(buttonTexts(), "OK Cancel");
}

TEST_F(StartUp, ChangingThePortReopensReportsAndLocks) {
    machine.portNames = {"/dev/ttyUSB0", "/dev/ttyUSB1"};
    TrackerWindow form(machine.Services());

    form.Dialog().UnlockConfigArea();
    Choose(form, kPortList, 1);
    ASSERT_EQ(machine.opened.size(), 2u);
    EXPECT_TRUE(machine.opened[0]->closed);
    EXPECT_EQ(LineUnder(form), machine.opened[1]);
    EXPECT_EQ(StatusText(form), "Init and Open /dev/ttyUSB1 Success!");
    EXPECT_FALSE(form.Control(kSetAll)->isEnabled());

    // The same port again: closed first, then opened anew.
    form.Dialog().UnlockConfigArea();
    Choose(form, kPortList, 1);
    ASSERT_EQ(machine.opened.size(), 3u);
    EXPECT_TRUE(machine.opened[1]->closed);
    EXPECT_EQ(machine.opened[2]->name, "/dev/ttyUSB1");
    EXPECT_FALSE(form.Control(kSetAll)->isEnabled());

    machine.failingPorts = {"/dev/ttyUSB0"};
    form.Dialog().UnlockConfigArea();
    Choose(form, kPortList, 0);
    EXPECT_TRUE(machine.opened[2]->closed);
    EXPECT_EQ(form.Dialog().PortHandle().Current(), nullptr);
    EXPECT_EQ(StatusText(form),
              "Open /dev/ttyUSB0 Failed!\n"
              "Another program is using this port. Close that program, then pick the port again.");
    EXPECT_EQ(StatusBackground(form), kRed);
    EXPECT_FALSE(form.Control(kSetAll)->isEnabled());

    machine.failingPorts.clear();
    Choose(form, kPortList, 1);
    form.reject();  // the form ends: its port is closed
    EXPECT_TRUE(machine.opened.back()->closed);
    EXPECT_EQ(form.Dialog().PortHandle().Current(), nullptr);
}

TEST_F(StartUp, GroupEnablingCountsTheBoxAndEverythingInsideIt) {
    TrackerWindow form(machine.Services());
    form.Dialog().UnlockConfigArea();
    EXPECT_EQ(form.Dialog().EnableGroupChildren(kSetAll, false), 0);
    EXPECT_TRUE(form.Control(kSetAll)->isEnabled());
    EXPECT_EQ(form.Dialog().EnableGroupChildren(kNoControlId, false), 0);

    EXPECT_EQ(form.Dialog().EnableGroupChildren(kCenterGroup, false), 3);
    EXPECT_FALSE(form.Control(kSetCenterNumber)->isEnabled());
    EXPECT_FALSE(form.Control(kCenterNumber)->isEnabled());
    EXPECT_TRUE(form.Control(kUserNumber1 + 8)->isEnabled());

    // Hidden controls count like the others; untitled boxes have no id.
    int inArea = 0;
    for (const DialogControl& row : DialogLayout()) {
        inArea += row.id != kNoControlId && Contains(FindDialogControl(kConfigArea)->rect, row.rect);
    }
    EXPECT_EQ(form.Dialog().EnableGroupChildren(kConfigArea, true), inArea);
    EXPECT_TRUE(form.Control(kWriteImei)->isEnabled());
}

// Runs `inspect` on the modal box that the next call opens, then lets
// `close` end it, so a test can look inside a modal loop.
void WhenModalOpens(std::function<void(QWidget*)> inspect) {
    QTimer::singleShot(0, [inspect = std::move(inspect)] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        inspect(modal);
    });
}

QStringList LabelTexts(const QWidget* box) {
    QStringList texts;
    for (const QLabel* label : box->findChildren<QLabel*>()) {
        texts << label->text();
    }
    return texts;
}

class Chrome : public ::testing::Test {
protected:
    Machine machine{{}, false};
    TrackerWindow form{machine.Services()};
};

// The base units Windows would take from this font: the 52 letters' width
// over 26, plus one, halved; and the font's height.
TEST_F(Chrome, EveryControlSitsAtItsDialogUnitRectangle) {
    const QFontMetrics metrics(form.font());
    const int baseX = (metrics.horizontalAdvance(
                           "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2;
    const int baseY = metrics.height();
    ASSERT_EQ(form.DialogBaseUnits(), (BaseUnits{baseX, baseY}));

    const auto x = [&](int units) { return (2 * units * baseX + 4) / 8; };
    const auto y = [&](int units) { return (2 * units * baseY + 8) / 16; };
    for (const DialogControl& row : DialogLayout()) {
        if (row.id == kNoControlId) {
            continue;
        }
        const int height = row.kind == ControlKind::DropDownList ? 14 : row.rect.height;
        const QRect expected(QPoint(x(row.rect.x), y(row.rect.y)),
                             QPoint(x(row.rect.x + row.rect.width) - 1, y(row.rect.y + height) - 1));
        EXPECT_EQ(form.Control(row.id)->geometry(), expected) << row.id;
        EXPECT_EQ(form.Control(row.id)->isHidden(), row.Has(control_flag::kHidden)) << row.id;
    }
    EXPECT_EQ(form.minimumSize(), QSize(x(472), y(325)));
    EXPECT_EQ(form.maximumSize(), QSize(x(472), y(325)));
}

TEST_F(Chrome, WindowIsVorlenWithAMinimiseButNoMaximiseBox) {
    EXPECT_EQ(form.windowTitle(), "Vorlen");
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(form.windowIcon().isNull());
}

TEST_F(Chrome, AboutItemIsInTheContextMenuAndOnF1) {
    EXPECT_EQ(form.contextMenuPolicy(), Qt::ActionsContextMenu);
    ASSERT_FALSE(form.actions().empty());
    QAction* about = form.actions().back();
    EXPECT_EQ(about->text(), "&About Vorlen...");
    EXPECT_EQ(about->shortcut(), QKeySequence(Qt::Key_F1));

    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    bool opened = false;
    WhenModalOpens([&](QWidget* box) {
        opened = true;
        EXPECT_EQ(box->windowTitle(), "About Vorlen");
        qobject_cast<QDialog*>(box)->reject();
    });
    QTest::keyClick(&form, Qt::Key_F1);
    EXPECT_TRUE(opened);
}

// The icon is compiled in as pixels made at build time: they must be the
// picture's own, colour and transparency alike.
TEST(AboutBox, IconIsTheProgramsPicture) {
    const QImage picture = QImage(QStringLiteral(VORLEN_PICTURE_PATH))
                               .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_FALSE(picture.isNull());
    const QImage icon = ApplicationIcon().pixmap(picture.size()).toImage().convertToFormat(
        QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(icon, picture);
}

TEST(AboutBox, ShowsTheIconVersionAndOkInItsDialogUnits) {
    AboutDialog about;
    const BaseUnits base = BaseUnitsOf(about.font());
    EXPECT_EQ(about.windowTitle(), "About Vorlen");
    EXPECT_EQ(about.size(), QSize(ToPixels({0, 0, 235, 55}, base).width,
                                  ToPixels({0, 0, 235, 55}, base).height));
    EXPECT_TRUE(LabelTexts(&about).contains("Vorlen Version 1.04"));

    bool hasIcon = false;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        hasIcon = hasIcon || !label->pixmap().isNull();
    }
    EXPECT_TRUE(hasIcon);

    auto* ok = about.findChild<QPushButton*>();
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
    WhenModalOpens([ok](QWidget*) { ok->click(); });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
}

TEST(MessageBox, IsModalWithTheCaptionAndTheGbkTextDecoded) {
    const struct {
        MessageButtons buttons;
        QMessageBox::StandardButton pressed;
        MessageAnswer answer;
    } cases[] = {
        {MessageButtons::Ok, QMessageBox::Ok, MessageAnswer::Ok},
        {MessageButtons::OkCancel, QMessageBox::Ok, MessageAnswer::Ok},
        {MessageButtons::OkCancel, QMessageBox::Cancel, MessageAnswer::Cancel},
    };
    for (const auto& c : cases) {
        WhenModalOpens([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), "Vorlen");
            EXPECT_EQ(box->text(), "请输入中心号码");
            EXPECT_EQ(box->button(QMessageBox::Cancel) != nullptr,
                      c.buttons == MessageButtons::OkCancel);
            box->button(c.pressed)->click();
        });
        EXPECT_EQ(ShowMessageBox(nullptr, "请输入中心号码", "Vorlen", c.buttons), c.answer);
    }
}

class DataExchange : public ::testing::Test {
protected:
    Machine machine{{}, false};
    TrackerWindow form{machine.Services()};

    // Every edit usable, whatever the working mode would allow.
    void SetUp() override { form.Dialog().EnableGroupChildren(kConfigArea, true); }
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
        // Nor do the separators of the command line in a free text.
        {kApnPassword, "p,a;s#s", "pass"},
        {kImei, "35ก1", "351"},
    };
    for (const auto& c : cases) {
        TypeKeys(form.Control(c.id), c.typed);
        EXPECT_EQ(Shown(form, c.id), c.kept.toStdString()) << c.id;
    }
}

TEST_F(DataExchange, SaveStopsAtTheFirstOverlongFieldWithTheFocusOnIt) {
    form.show();
    form.Dialog().Record().centerNumber = std::string(21, '1');
    form.Dialog().Record().userId = "old";
    form.Dialog().Refresh();
    TypeKeys(form.Control(kApn), "cmnet");      // saved before the centre number
    TypeKeys(form.Control(kUserId), "-new");    // saved after it

    EXPECT_FALSE(form.Dialog().UpdateData(true));
    EXPECT_EQ(machine.messages, std::vector<std::string>{"Enter no more than 20 characters."});
    EXPECT_EQ(machine.captions, std::vector<std::string>{"Vorlen"});
    EXPECT_EQ(form.focusWidget(), form.Control(kCenterNumber));
    EXPECT_EQ(form.Dialog().Record().apn, "cmnet");
    EXPECT_EQ(form.Dialog().Record().centerNumber, std::string(21, '1'));
    EXPECT_EQ(form.Dialog().Record().userId, "old");

    Choose(form, kLanguageList, kChinese);
    EXPECT_FALSE(form.Dialog().UpdateData(true));
    EXPECT_EQ(machine.messages.back(), "最多只能输入20个字符。");
}

// A tracker reply may hold bytes that are not GBK; they show as U+FFFD.
TEST_F(DataExchange, BytesThatAreNotGbkSurviveASaveUntilEdited) {
    const std::string reply = "V\xFF" "1";
    form.Dialog().Record().softwareVersion = reply;
    form.Dialog().Refresh();
    EXPECT_TRUE(form.Dialog().UpdateData(true));
    EXPECT_EQ(form.Dialog().Record().softwareVersion, reply);

    TypeKeys(form.Control(kSoftwareVersion), "2");
    EXPECT_TRUE(form.Dialog().UpdateData(true));
    EXPECT_EQ(form.Dialog().Record().softwareVersion, "V?12");
}

}  // namespace
}  // namespace vorlen::testing
