// The form at rest: start-up, enabling rules, language switch, port changes.
#include <QCheckBox>
#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>
#include <array>
#include <gtest/gtest.h>
#include <map>
#include <set>

#include "form/captions.h"
#include "form/control_ids.h"
#include "form/control_text.h"
#include "form/dialog_layout.h"
#include "window_fixture.h"

namespace vorlen::testing {
namespace {

using namespace control;

const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);

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

std::set<int> EnabledIds(const TrackerConfigDialog& form) {
    std::set<int> enabled;
    for (const DialogControl& row : DialogLayout()) {
        if (row.id != kNoControlId && form.Control(row.id)->isEnabled()) {
            enabled.insert(row.id);
        }
    }
    return enabled;
}

QString StatusText(const TrackerConfigDialog& form) {
    return ControlText(*form.Control(kStatusBox));
}

// What the operator sees behind the status text.
QColor StatusBackground(const TrackerConfigDialog& form) {
    auto* box = qobject_cast<QPlainTextEdit*>(form.Control(kStatusBox));
    return box->viewport()->grab().toImage().pixelColor(2, 2);
}

QColor DefaultBackground(const TrackerConfigDialog& form) {
    return form.palette().color(QPalette::Base);
}

void ExpectCaptions(const TrackerConfigDialog& form, int language) {
    for (const Caption& caption : LanguageCaptions()) {
        EXPECT_EQ(ControlText(*form.Control(caption.controlId)).toStdString(),
                  Utf8In(caption.text, language))
            << caption.controlId;
    }
}

class StartUp : public ::testing::Test {
protected:
    FakeMachine machine;
};

TEST_F(StartUp, FillsTheListsLocksTheAreaAndOpensTheFirstPort) {
    machine.portNames = {"/dev/ttyUSB0", "/dev/ttyACM0"};
    TrackerConfigDialog form(machine.Services());

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
    EXPECT_EQ(form.PortHandle().Current(), machine.opened[0]);
    EXPECT_EQ(StatusText(form), "Init and Open /dev/ttyUSB0 Success!");
    EXPECT_EQ(form.CurrentStatusMark(), StatusMark::Success);
    EXPECT_EQ(StatusBackground(form), kGreen);
    EXPECT_TRUE(machine.messages.empty());
}

TEST_F(StartUp, WithoutPortsOrWithAFailedDiscoveryOpensNothingAndSaysNothing) {
    for (const bool discoveryFails : {false, true}) {
        machine.portNames = discoveryFails ? std::vector<std::string>{"/dev/ttyUSB0"}
                                           : std::vector<std::string>{};
        machine.discoveryFails = discoveryFails;
        TrackerConfigDialog form(machine.Services());

        EXPECT_EQ(ListOf(form, kPortList)->count(), 0);
        EXPECT_EQ(form.PortIndex(), -1);
        EXPECT_TRUE(form.Ports().empty());
        EXPECT_TRUE(machine.opened.empty());
        EXPECT_EQ(form.PortHandle().Current(), nullptr);
        EXPECT_EQ(StatusText(form), "");
        EXPECT_EQ(form.CurrentStatusMark(), StatusMark::None);
        EXPECT_EQ(StatusBackground(form), DefaultBackground(form));
        EXPECT_TRUE(machine.messages.empty());
    }
}

TEST_F(StartUp, APortThatWillNotOpenIsReportedInRed) {
    machine.portNames = {"/dev/ttyUSB0"};
    machine.failingPorts = {"/dev/ttyUSB0"};
    TrackerConfigDialog form(machine.Services());

    EXPECT_EQ(StatusText(form), "Open /dev/ttyUSB0 Failed!");
    EXPECT_EQ(form.CurrentStatusMark(), StatusMark::Failure);
    EXPECT_EQ(StatusBackground(form), kRed);
    EXPECT_EQ(form.PortHandle().Current(), nullptr);
    EXPECT_TRUE(ListOf(form, kPortList)->isEnabled());
}

TEST_F(StartUp, StatusColourFollowsTheMarkAndLeavesTheTextColour) {
    TrackerConfigDialog form(machine.Services());
    const QColor text = form.Control(kStatusBox)->palette().color(QPalette::Text);
    const std::pair<StatusMark, QColor> marks[] = {
        {StatusMark::Success, kGreen},
        {StatusMark::Failure, kRed},
        {StatusMark::None, DefaultBackground(form)},
    };
    for (const auto& [mark, background] : marks) {
        form.ReportStatus(GbkOf("状态"), mark);
        EXPECT_EQ(StatusText(form), "状态");
        EXPECT_EQ(StatusBackground(form), background);
        EXPECT_EQ(form.Control(kStatusBox)->palette().color(QPalette::Text), text);
    }
}

TEST_F(StartUp, UnlockingEnablesTheGroupsOfTheWorkingMode) {
    // Centre, IP/port, APN, user ID.
    const std::array<int, 4> groups{kCenterGroup, kIpPortGroup, kApnGroup, kUserIdGroup};
    const std::array<std::array<bool, 4>, 5> expected{{
        {false, false, false, false},
        {true, false, false, false},
        {false, true, true, true},
        {false, true, true, true},
        {false, true, true, true},
    }};
    for (int mode = 0; mode < 5; ++mode) {
        TrackerConfigDialog form(machine.Services());
        form.SelectEntry(kWorkingModeList, mode);
        form.UnlockConfigArea();

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
        EXPECT_EQ(EnabledIds(form), expectedEnabled) << "mode " << mode;
        EXPECT_FALSE(qobject_cast<QCheckBox*>(form.Control(kFenceOpen))->isChecked());
    }
}

TEST_F(StartUp, ChoosingAWorkingModeSwitchesTheGroups) {
    TrackerConfigDialog form(machine.Services());
    form.UnlockConfigArea();
    Choose(ListOf(form, kWorkingModeList), 1);
    EXPECT_TRUE(form.Control(kCenterNumber)->isEnabled());
    EXPECT_FALSE(form.Control(kServerIp)->isEnabled());
    Choose(ListOf(form, kWorkingModeList), 4);
    EXPECT_FALSE(form.Control(kCenterNumber)->isEnabled());
    EXPECT_TRUE(form.Control(kServerIp)->isEnabled());
    EXPECT_TRUE(form.Control(kApn)->isEnabled());
    EXPECT_TRUE(form.Control(kUserId)->isEnabled());
}

TEST_F(StartUp, TheFenceBoxAndTheFenceTypeEnableTheFenceParameters) {
    TrackerConfigDialog form(machine.Services());
    form.UnlockConfigArea();
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
    EXPECT_EQ(form.Record().fenceEnabled, 1);
    EXPECT_EQ(enabledFenceControls(), (std::set<int>{kFenceTypeList, kFenceRadius, kFenceInterval}));

    Choose(ListOf(form, kFenceTypeList), kCustomFence);
    EXPECT_EQ(enabledFenceControls(), kFenceControls);
    Choose(ListOf(form, kFenceTypeList), kCircleFence);
    EXPECT_EQ(enabledFenceControls(), (std::set<int>{kFenceTypeList, kFenceRadius, kFenceInterval}));
    Choose(ListOf(form, kFenceTypeList), kCustomFence);

    fenceOpen->click();
    EXPECT_EQ(form.Record().fenceEnabled, 0);
    EXPECT_TRUE(enabledFenceControls().empty());
    EXPECT_EQ(form.CurrentSelections().fenceType, kCustomFence);
}

TEST_F(StartUp, LanguageSwitchResetsListsStatusAndFenceAndShowsTheRecord) {
    machine.portNames = {"/dev/ttyUSB0"};
    TrackerConfigDialog form(machine.Services());
    form.UnlockConfigArea();
    form.SelectEntry(kWarningTypeList, 2);
    form.SelectEntry(kWorkingModeList, 3);
    form.SelectEntry(kNorthSouthList, 1);
    qobject_cast<QCheckBox*>(form.Control(kFenceOpen))->click();
    Choose(ListOf(form, kFenceTypeList), kCustomFence);
    form.Record().centerNumber = "10086";
    SetControlText(*form.Control(kCenterNumber), "99");  // typed, never saved

    Choose(ListOf(form, kLanguageList), kChinese);

    ExpectCaptions(form, kChinese);
    EXPECT_EQ(Entries(ListOf(form, kWarningTypeList)),
              (QStringList{"不报警", "拨号报警", "信息报警", "拨号报警+信息报警"}));
    EXPECT_EQ(Entries(ListOf(form, kWorkingModeList)),
              (QStringList{"点到点", "点到中心", "GPRS按需连接", "GPRS长连接", "GPRS省电连接"}));
    EXPECT_EQ(Entries(ListOf(form, kFenceTypeList)), (QStringList{"围栏", "自定义围栏"}));
    const Selections selections = form.CurrentSelections();
    EXPECT_EQ(selections.warningType, 0);
    EXPECT_EQ(selections.workingMode, 0);
    EXPECT_EQ(selections.fenceType, 0);
    EXPECT_EQ(selections.northSouth, 1);  // not a language list
    EXPECT_EQ(form.Language(), kChinese);

    EXPECT_EQ(StatusText(form), "");
    EXPECT_EQ(StatusBackground(form), kGreen);
    EXPECT_EQ(ControlText(*form.Control(kCenterNumber)), "10086");
    EXPECT_EQ(form.Record().fenceEnabled, 1);
    EXPECT_FALSE(qobject_cast<QCheckBox*>(form.Control(kFenceOpen))->isChecked());
    for (const int id : kFenceControls) {
        EXPECT_FALSE(form.Control(id)->isEnabled()) << id;
    }

    Choose(ListOf(form, kLanguageList), kEnglish);
    ExpectCaptions(form, kEnglish);
    EXPECT_EQ(ListOf(form, kWorkingModeList)->currentText(), "P2P");
    EXPECT_EQ(ListOf(form, kPortList)->currentText(), "/dev/ttyUSB0");
}

TEST_F(StartUp, ChangingThePortReopensReportsAndLocks) {
    machine.portNames = {"/dev/ttyUSB0", "/dev/ttyUSB1"};
    TrackerConfigDialog form(machine.Services());
    QComboBox* ports = ListOf(form, kPortList);

    form.UnlockConfigArea();
    Choose(ports, 1);
    ASSERT_EQ(machine.opened.size(), 2u);
    EXPECT_TRUE(machine.opened[0]->closed);
    EXPECT_EQ(form.PortHandle().Current(), machine.opened[1]);
    EXPECT_EQ(StatusText(form), "Init and Open /dev/ttyUSB1 Success!");
    EXPECT_FALSE(form.Control(kSetAll)->isEnabled());

    // The same port again: closed first, then opened anew.
    form.UnlockConfigArea();
    Choose(ports, 1);
    ASSERT_EQ(machine.opened.size(), 3u);
    EXPECT_TRUE(machine.opened[1]->closed);
    EXPECT_EQ(machine.opened[2]->name, "/dev/ttyUSB1");
    EXPECT_FALSE(form.Control(kSetAll)->isEnabled());

    machine.failingPorts = {"/dev/ttyUSB0"};
    form.UnlockConfigArea();
    Choose(ports, 0);
    EXPECT_TRUE(machine.opened[2]->closed);
    EXPECT_EQ(form.PortHandle().Current(), nullptr);
    EXPECT_EQ(StatusText(form), "Open /dev/ttyUSB0 Failed!");
    EXPECT_EQ(StatusBackground(form), kRed);
    EXPECT_FALSE(form.Control(kSetAll)->isEnabled());
}

TEST_F(StartUp, ChineseOpenResultAfterTheSwitch) {
    machine.portNames = {"/dev/ttyUSB0"};
    TrackerConfigDialog form(machine.Services());
    Choose(ListOf(form, kLanguageList), kChinese);
    Choose(ListOf(form, kPortList), 0);
    EXPECT_EQ(StatusText(form), "初始化并打开/dev/ttyUSB0成功!");
}

TEST_F(StartUp, ClosingTheFormClosesThePort) {
    machine.portNames = {"/dev/ttyUSB0"};
    TrackerConfigDialog form(machine.Services());
    form.reject();
    ASSERT_EQ(machine.opened.size(), 1u);
    EXPECT_TRUE(machine.opened[0]->closed);
    EXPECT_EQ(form.PortHandle().Current(), nullptr);
}

TEST_F(StartUp, GroupEnablingCountsTheBoxAndEverythingInsideIt) {
    TrackerConfigDialog form(machine.Services());
    form.UnlockConfigArea();
    EXPECT_EQ(form.EnableGroupChildren(form.Control(kSetAll), false), 0);
    EXPECT_TRUE(form.Control(kSetAll)->isEnabled());
    EXPECT_EQ(form.EnableGroupChildren(nullptr, false), 0);

    EXPECT_EQ(form.EnableGroupChildren(form.Control(kCenterGroup), false), 3);
    EXPECT_FALSE(form.Control(kSetCenterNumber)->isEnabled());
    EXPECT_FALSE(form.Control(kCenterNumber)->isEnabled());
    EXPECT_TRUE(form.Control(kUserNumber1 + 8)->isEnabled());

    // Hidden controls and untitled boxes count like the others.
    int inArea = 0;
    for (const DialogControl& row : DialogLayout()) {
        inArea += Contains(FindDialogControl(kConfigArea)->rect, row.rect) ? 1 : 0;
    }
    EXPECT_EQ(form.EnableGroupChildren(form.Control(kConfigArea), true), inArea);
    EXPECT_TRUE(form.Control(kWriteImei)->isEnabled());
}

TEST_F(StartUp, AButtonRunsItsActionOnlyWhileEnabled) {
    TrackerConfigDialog form(machine.Services());
    int clicks = 0;
    form.SetButtonAction(kSetCenterNumber, [&] { ++clicks; });
    auto* button = qobject_cast<QPushButton*>(form.Control(kSetCenterNumber));

    button->click();
    EXPECT_EQ(clicks, 0);
    form.SelectEntry(kWorkingModeList, kModeP2S);
    form.UnlockConfigArea();
    button->click();
    EXPECT_EQ(clicks, 1);
    qobject_cast<QPushButton*>(form.Control(kSetAll))->click();  // no action yet
    EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace vorlen::testing
