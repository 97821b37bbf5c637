#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>
#include <vector>

#include "fakes.h"
#include "model/bilingual.h"
#include "model/control_ids.h"
#include "model/gbk.h"
#include "protocol/readback.h"

namespace vorlen {
namespace {

using testing::FakeFormView;
using testing::NoPause;
using testing::ScriptedTracker;

constexpr const char* kNumbersQuery = "AT+OPENAT=901,;\r\n";
constexpr const char* kSystemQuery = "AT+OPENAT=902,;\r\n";
constexpr const char* kFenceQuery = "AT+OPENAT=903,;\r\n";

// The tracker echoes the query, then answers "@" and its values.
std::string Answer(const std::string& query, const std::string& values) {
    return query + "\r\n@" + values + "#\r\nOK\r\n";
}

// Answers each query with its values; an unlisted query stays unanswered.
ScriptedTracker::Script Answers(std::map<std::string, std::string> values) {
    return [values](const std::string& query) {
        const auto found = values.find(query);
        return found == values.end() ? std::string() : Answer(query, found->second);
    };
}

std::vector<std::string> TakeAll(std::string_view list, const std::vector<int>& sizes) {
    const char* cursor = list.data();
    int remaining = static_cast<int>(list.size());
    std::vector<std::string> fields(sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        TakeReplyField(cursor, remaining, '#', fields[i], sizes[i]);
        EXPECT_LE(cursor, list.data() + list.size());
    }
    return fields;
}

TEST(TakeReplyField, CutsTheListByTheFieldRules) {
    using std::string_literals::operator""s;
    const struct {
        std::string list;
        std::vector<int> sizes;
        std::vector<std::string> fields;
    } cases[] = {
        {"", {5, 5}, {"", ""}},
        {"a#b#", {5, 5, 5}, {"a", "b", ""}},
        {"#a", {5, 5}, {"", "a"}},
        {"ab#c", {5, 5, 5, 5}, {"ab", "c", "", ""}},
        // Cut at size - 1: the next character is dropped, the rest is a field.
        {"abcdef#g", {4, 4, 4}, {"abc", "ef", "g"}},
        {"abcd", {4, 4}, {"abc", ""}},
        {"abc#d", {4, 4}, {"abc", "d"}},
        // A zero byte ends the text but not the field.
        {"a\0b#c"s, {5, 5}, {"a", "c"}},
        // A size below 2 leaves no room: every field is empty and one
        // character is skipped each time, down to the lowest int.
        {"abc", {INT_MIN, 0, 1}, {"", "", ""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TakeAll(c.list, c.sizes), c.fields) << c.list;
    }
}

TEST(ReadBack, FillsTheRecordListsAndFenceFromAllThreeReplies) {
    ScriptedTracker tracker(Answers({
        {kNumbersQuery, "10086#x#ID42#1234#1#2#3#4#5#6#7#8#9#861234567890123"},
        {kSystemQuery, "x#3#2#30#5#\xA1\xFFnet#user#pass#10.0.0.1#8080#6#1.04#Build7"},
        {kFenceQuery, "1#2232.1234#N#11403.5678#E#500#10#3"},
    }));
    TrackerForm form;
    FakeFormView view;
    ReadBackConfiguration(&tracker, form, view, kChinese, NoPause());

    EXPECT_EQ(tracker.written,
              (std::vector<std::string>{kNumbersQuery, kSystemQuery, kFenceQuery}));
    using F = TrackerForm;
    const std::pair<std::string F::*, std::string> texts[] = {
        {&F::centerNumber, "10086"},     {&F::userId, "ID42"},         {&F::userPassword, "1234"},
        {&F::imei, "861234567890123"},   {&F::intervalTime, "30"},     {&F::uploadCount, "5"},
        {&F::apn, "\xA1\xFFnet"},        {&F::apnUser, "user"},        {&F::apnPassword, "pass"},
        {&F::serverIp, "10.0.0.1"},      {&F::serverPort, "8080"},     {&F::latitude, "2232.1234"},
        {&F::longitude, "11403.5678"},   {&F::fenceRadius, "500"},     {&F::fenceInterval, "10"},
        {&F::softwareVersion, "V1.04 Build7"},
    };
    for (const auto& [field, text] : texts) {
        EXPECT_EQ(form.*field, text);  // the APN is not GBK: stored as received
    }
    for (int slot = 1; slot <= 9; ++slot) {
        EXPECT_EQ(UserNumber(form, slot), std::to_string(slot));
    }
    EXPECT_EQ(form.fenceEnabled, 1);
    for (auto [list, entry] : {std::pair{control::kWorkingModeList, 3},
                               {control::kWarningTypeList, 2}, {control::kBaseStationList, 6},
                               {control::kNorthSouthList, 0}, {control::kEastWestList, 0}}) {
        EXPECT_EQ(view.Selected(list), entry) << list;
    }
    EXPECT_EQ(view.workingModeAtEnabling, std::vector<int>{3});
    EXPECT_GE(view.refreshes, 1);
    ASSERT_EQ(view.statuses.size(), 1u);
    EXPECT_EQ(view.statuses[0].text, GbkOf("读取配置信息成功！"));
    EXPECT_EQ(view.statuses[0].mark, StatusMark::Success);
}

TEST(ReadBack, FenceReplySetsKindEnablingAndHemispheres) {
    // Fence type, radius, interval, longitude, latitude, N/S, E/W.
    const std::vector<int> controls{control::kFenceTypeList, control::kFenceRadius,
                                    control::kFenceInterval, control::kLongitude,
                                    control::kLatitude,      control::kNorthSouthList,
                                    control::kEastWestList};
    const std::vector<bool> before{false, true, false, true, false, true, false};
    const struct {
        std::string switchValue, northSouth, eastWest, kind;
        int fenceType;
        std::vector<bool> enabled;
        int northSouthEntry, eastWestEntry;
    } cases[] = {
        {"1", "N", "E", "3", 1, {true, true, true, true, true, true, true}, 0, 0},
        {"1", "n", "e", "2", 0, {true, true, true, false, false, false, false}, 0, 0},
        {"1", "s", "w", "1", 0, {true, false, false, false, false, false, false}, 1, 1},
        // Kinds outside 1 to 3 leave the six parameters as they were.
        {"1", "", "", "5", -1, {true, true, false, true, false, true, false}, 1, 1},
        {"9", "NN", "E ", "0", 0, {true, true, false, true, false, true, false}, 1, 1},
        {"0", "N", "W", "3", -1, {false, false, false, false, false, false, false}, 0, 1},
    };
    for (const auto& c : cases) {
        const std::string values = c.switchValue + "#2232.1234#" + c.northSouth +
                                   "#11403.5678#" + c.eastWest + "#500#10#" + c.kind;
        ScriptedTracker tracker(
            Answers({{kNumbersQuery, ""}, {kSystemQuery, ""}, {kFenceQuery, values}}));
        TrackerForm form;
        FakeFormView view;
        for (std::size_t i = 0; i < controls.size(); ++i) {
            view.enabled[controls[i]] = before[i];
        }
        ReadBackConfiguration(&tracker, form, view, kEnglish, NoPause());

        EXPECT_EQ(form.fenceEnabled, std::stoi(c.switchValue)) << values;
        EXPECT_EQ(view.Selected(control::kFenceTypeList), c.fenceType) << values;
        for (std::size_t i = 0; i < controls.size(); ++i) {
            EXPECT_EQ(view.enabled[controls[i]], c.enabled[i]) << values << " @" << controls[i];
        }
        // Texts and hemispheres are stored whether the fence is on or off.
        EXPECT_EQ(form.latitude, "2232.1234");
        EXPECT_EQ(form.fenceInterval, "10");
        EXPECT_EQ(view.Selected(control::kNorthSouthList), c.northSouthEntry) << values;
        EXPECT_EQ(view.Selected(control::kEastWestList), c.eastWestEntry) << values;
    }
}

TEST(ReadBack, ChoiceNumbersReadLikeAtoiAndMissingFieldsAreEmpty) {
    const struct {
        std::string values;
        int workingMode, warningType, baseStations;
        std::string apn, version;
    } cases[] = {
        {"x#7#4#0#0#a#u#p#ip#1#8#1#2", -1, -1, -1, "a", "V1 2"},
        {"x#abc##0#0#a#u#p#ip#1#3x#1#", 0, 0, 3, "a", "V1 "},
        {"x#-1# 2#0#0#a#u#p#ip#1#+7##", -1, 2, 7, "a", "V "},
        // A short reply: the closing OK lands in the warning type, reading 0,
        // and every later field is empty.
        {"x#2", 2, 0, 0, "", "V "},
    };
    for (const auto& c : cases) {
        ScriptedTracker tracker(Answers({{kNumbersQuery, ""}, {kSystemQuery, c.values},
                                         {kFenceQuery, ""}}));
        TrackerForm form;
        form.apn = "old";
        FakeFormView view;
        ReadBackConfiguration(&tracker, form, view, kEnglish, NoPause());
        EXPECT_EQ(view.Selected(control::kWorkingModeList), c.workingMode) << c.values;
        EXPECT_EQ(view.Selected(control::kWarningTypeList), c.warningType) << c.values;
        EXPECT_EQ(view.Selected(control::kBaseStationList), c.baseStations) << c.values;
        EXPECT_EQ(form.apn, c.apn) << c.values;
        EXPECT_EQ(form.softwareVersion, c.version) << c.values;
        // An empty fence reply switches the fence off.
        EXPECT_EQ(form.fenceEnabled, 0);
        EXPECT_FALSE(view.enabled[control::kFenceTypeList]);
    }
}

TEST(ReadBack, OverlongNumberShiftsEveryLaterFieldOnePlace) {
    ScriptedTracker tracker(Answers({
        {kNumbersQuery, "10086#x#ID#1234#1234567890123456789012345#2#3#4#5#6#7#8#9#861234"},
        {kSystemQuery, ""},
        {kFenceQuery, ""},
    }));
    TrackerForm form;
    FakeFormView view;
    ReadBackConfiguration(&tracker, form, view, kEnglish, NoPause());
    EXPECT_EQ(form.userNumber1, "12345678901234567890");
    EXPECT_EQ(form.userNumber2, "2345");
    EXPECT_EQ(form.userNumber3, "2");
    EXPECT_EQ(form.userNumber9, "8");
    EXPECT_EQ(form.imei, "9");
}

TEST(ReadBack, ReplyWithoutAtSignIsAllFieldsAndTheLastOneKeepsTheOk) {
    ScriptedTracker tracker([](const std::string& query) -> std::string {
        return query == kNumbersQuery ? "AT\r\n10086#x#ID42#0000\r\nOK\r\n" : "OK";
    });
    TrackerForm form;
    FakeFormView view;
    ReadBackConfiguration(&tracker, form, view, kEnglish, NoPause());
    EXPECT_EQ(form.centerNumber, "AT\r\n10086");
    EXPECT_EQ(form.userId, "ID42");
    EXPECT_EQ(form.userPassword, "0000\r\nOK");
    EXPECT_EQ(form.userNumber1, "");
}

TEST(ReadBack, FailedQueryReportsAndSendsNothingMore) {
    {
        TrackerForm form;
        FakeFormView view;
        ReadBackConfiguration(nullptr, form, view, kEnglish, NoPause());
        ASSERT_EQ(view.statuses.size(), 1u);
        EXPECT_EQ(view.statuses[0].text, "Read config failed!");
        EXPECT_TRUE(view.selected.empty());
    }
    ScriptedTracker tracker(Answers({{kNumbersQuery, "10086#x#ID42#1234"}}));
    TrackerForm form;
    FakeFormView view;
    ReadBackConfiguration(&tracker, form, view, kChinese, NoPause());
    EXPECT_EQ(tracker.written, (std::vector<std::string>{kNumbersQuery, kSystemQuery}));
    EXPECT_EQ(form.centerNumber, "10086");
    EXPECT_EQ(form.userPassword, "1234");
    EXPECT_EQ(form.fenceEnabled, 0);
    EXPECT_TRUE(view.workingModeAtEnabling.empty());
    ASSERT_EQ(view.statuses.size(), 1u);
    EXPECT_EQ(view.statuses[0].text, GbkOf("读取配置信息失败！"));
    EXPECT_EQ(view.statuses[0].mark, StatusMark::Failure);
}

}  // namespace
}  // namespace vorlen
