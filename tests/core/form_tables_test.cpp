#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>

#include "dialog/captions.h"
#include "dialog/choice_lists.h"
#include "model/control_ids.h"
#include "dialog/dialog_layout.h"
#include "dialog/dialog_units.h"
#include "model/tracker_form.h"

namespace vorlen {
namespace {

using namespace control;

std::multiset<int> MembersOf(int groupId) {
    const DialogControl* box = FindDialogControl(groupId);
    std::multiset<int> members;
    for (const DialogControl& row : DialogLayout()) {
        if (Contains(box->rect, row.rect)) {
            members.insert(row.id);
        }
    }
    return members;
}

TEST(DialogLayout, HoldsEightySixControlsWithDistinctIdsInsideTheForm) {
    EXPECT_EQ(DialogLayout().size(), 86u);
    std::map<int, int> seen;
    for (const DialogControl& row : DialogLayout()) {
        ++seen[row.id];
        EXPECT_TRUE(Contains(kFormRect, row.rect)) << row.id;
    }
    for (const auto& [id, count] : seen) {
        EXPECT_EQ(count, id == kNoControlId ? 4 : 1) << id;
    }
}

// The enabling rules address these groups; a mistyped rectangle would move a
// control into or out of one.
TEST(DialogLayout, GroupsByContainmentAreTheOnesTheRulesExpect) {
    const std::map<int, std::multiset<int>> expected{
        {kCenterGroup, {kCenterGroup, kSetCenterNumber, kCenterNumber}},
        {kIpPortGroup, {kIpPortGroup, kSetIpAndPort, kServerIp, kServerPortLabel, kServerPort}},
        {kApnGroup,
         {kApnGroup, kSetApn, kApn, kApnUserLabel, kApnUser, kApnPasswordLabel, kApnPassword}},
        {kUserIdGroup, {kUserIdGroup, kSetUserId, kUserId}},
    };
    for (const auto& [group, members] : expected) {
        EXPECT_EQ(MembersOf(group), members) << group;
    }

    const std::set<int> outsideTheArea{kPortList,  kLanguageList, kStatusBox,
                                       kPortLabel, kLanguageLabel, kWakeTracker,
                                       kUserNumberGroup, kApnGroup, kIpPortGroup};
    std::multiset<int> area;
    for (const DialogControl& row : DialogLayout()) {
        if (!outsideTheArea.contains(row.id)) {
            area.insert(row.id);
        }
    }
    EXPECT_EQ(MembersOf(kConfigArea), area);
}

TEST(DialogLayout, ContainmentIncludesTheEdges) {
    const Rect box{10, 10, 20, 20};
    for (const Rect& inside : {box, Rect{10, 10, 1, 1}, Rect{29, 29, 1, 1}}) {
        EXPECT_TRUE(Contains(box, inside));
    }
    for (const Rect& across : {Rect{9, 10, 2, 2}, Rect{10, 9, 2, 2}, Rect{29, 10, 2, 2},
                               Rect{10, 29, 2, 2}}) {
        EXPECT_FALSE(Contains(box, across)) << across.x << ',' << across.y;
    }
}

TEST(DialogLayout, ClosedListsAreOneEditHighAndOpenListsShowWhatFits) {
    const DialogControl* ports = FindDialogControl(kPortList);
    EXPECT_EQ(FieldRect(*ports), (Rect{38, 12, 48, 14}));
    EXPECT_EQ(OpenListRows(*ports), 6);  // (63 - 14) / 8
    EXPECT_EQ(OpenListRows(*FindDialogControl(kNorthSouthList)), 4);
    const DialogControl* button = FindDialogControl(kSetCenterNumber);
    EXPECT_EQ(FieldRect(*button), button->rect);
}

TEST(Captions, CoverEveryCaptionedControlOnceAndMatchItsResourceCaption) {
    std::map<int, const Caption*> captions;
    for (const Caption& caption : LanguageCaptions()) {
        EXPECT_TRUE(captions.emplace(caption.controlId, &caption).second) << caption.controlId;
    }
    for (const DialogControl& row : DialogLayout()) {
        const bool captioned = row.kind == ControlKind::PushButton ||
                               row.kind == ControlKind::Label || row.kind == ControlKind::CheckBox;
        const auto found = captions.find(row.id);
        ASSERT_EQ(found != captions.end(), captioned) << row.id;
        if (captioned) {
            EXPECT_EQ(found->second->text.chinese, row.caption) << row.id;
            EXPECT_FALSE(found->second->text.english.empty()) << row.id;
        }
    }
}

TEST(DialogLayout, EveryRecordFieldIsBoundToAnEditOrTheCheckBox) {
    for (const FieldSpec& field : ExchangeOrder()) {
        const DialogControl* row = FindDialogControl(field.controlId);
        ASSERT_NE(row, nullptr) << field.name;
        EXPECT_EQ(row->kind, field.text != nullptr ? ControlKind::Edit : ControlKind::CheckBox)
            << field.name;
    }
}

TEST(ChoiceLists, FillOnlyListsOfTheLayoutAndSelectAnExistingEntry) {
    for (const ChoiceList& list : ChoiceLists()) {
        const DialogControl* row = FindDialogControl(list.controlId);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->kind, ControlKind::DropDownList);
        EXPECT_GE(list.selectedAfterFill, 0);
        EXPECT_LT(list.selectedAfterFill, static_cast<int>(list.entries.size()));
    }
    EXPECT_EQ(FindChoiceList(kPortList), nullptr);
    EXPECT_EQ(Utf8In(FindChoiceList(kLanguageList)->entries[kChinese], kEnglish), "中文");
    EXPECT_EQ(FindChoiceList(kLanguageList)->selectedAfterFill, kEnglish);
}

// The tracker receives the selected index as the count.
TEST(ChoiceLists, BaseStationEntryIsItsOwnIndex) {
    const ChoiceList* list = FindChoiceList(kBaseStationList);
    ASSERT_EQ(list->entries.size(), 8u);
    for (std::size_t i = 0; i < list->entries.size(); ++i) {
        EXPECT_EQ(list->entries[i].english, std::to_string(i));
    }
}

TEST(DialogUnits, HorizontalBaseUnitIsTheRoundedAverageOfTheLetters) {
    const struct {
        int width;
        int base;
    } cases[] = {{0, 0}, {311, 6}, {312, 6}, {337, 6}, {338, 7}, {285, 5}, {286, 6}, {364, 7}};
    for (const auto& c : cases) {
        EXPECT_EQ(HorizontalBaseUnit(c.width), c.base) << c.width;
    }
}

TEST(DialogUnits, ConvertWithTheBaseUnitsOfMsSansSerifAt96Dpi) {
    const BaseUnits base{6, 13};
    const struct {
        Rect dialogUnits;
        Rect pixels;
    } cases[] = {
        {{0, 0, 472, 325}, {0, 0, 708, 528}},
        {{13, 55, 79, 14}, {20, 89, 118, 23}},  // 19.5 rounds up; 89.375 down
        {{200, 12, 265, 28}, {300, 20, 398, 45}},
        {{7, 47, 458, 271}, {11, 76, 687, 441}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToPixels(c.dialogUnits, base), c.pixels) << c.dialogUnits.x << ',' << c.dialogUnits.y;
    }
}

// Rounding each edge on its own keeps every group's members inside it.
TEST(DialogUnits, KeepGroupsTogetherAtAnyFontSize) {
    for (int x = 4; x <= 12; ++x) {
        for (int y = 9; y <= 24; ++y) {
            const BaseUnits base{x, y};
            for (const DialogControl& box : DialogLayout()) {
                if (box.kind != ControlKind::GroupBox) {
                    continue;
                }
                for (const DialogControl& row : DialogLayout()) {
                    EXPECT_EQ(Contains(ToPixels(box.rect, base), ToPixels(row.rect, base)),
                              Contains(box.rect, row.rect))
                        << "base " << x << 'x' << y << ", box at " << box.rect.x << ','
                        << box.rect.y << ", control " << row.id;
                }
            }
        }
    }
}

}  // namespace
}  // namespace vorlen
