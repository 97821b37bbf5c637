#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>
#include <vector>

#include "fakes.h"
#include "model/bilingual.h"
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
    ASSERT_EQ(view.readings.size(), 1u);
    const TrackerReading& reading = view.readings[0];
    EXPECT_EQ(reading.answered, 3);
    EXPECT_EQ(reading.form.imei, form.imei);
    EXPECT_EQ(reading.fenceKind, 3);
    const Selections& read = reading.selections;
    for (auto [selected, entry] : {std::pair{read.workingMode, 3}, {read.warningType, 2},
                                   {read.baseStationCount, 6}, {read.northSouth, 0},
                                   {read.eastWest, 0}, {read.fenceType, 1}}) {
        EXPECT_EQ(selected, entry);
    }
    EXPECT_GE(view.refreshes, 1);
    ASSERT_EQ(view.statuses.size(), 1u);
    EXPECT_EQ(view.statuses[0].text, GbkOf("读取配置信息成功！"));
    EXPECT_EQ(view.statuses[0].mark, StatusMark::Success);
}

// Which controls each kind enables is the dialog's rule (tests/dialog).
TEST(ReadBack, FenceReplyGivesTheKindItsEntryAndTheHemispheres) {
    const struct {
        std::string switchValue, northSouth, eastWest, kind;
        int fenceType;
        int northSouthEntry, eastWestEntry;
    } cases[] = {
        {"1", "N", "E", "3", 1, 0, 0},
        {"1", "n", "e", "2", 0, 0, 0},
        {"1", "s", "w", "1", 0, 1, 1},
        // Kinds beyond the list name no entry; kinds below it stand on the first.
        {"1", "", "", "5", -1, 1, 1},
        {"9", "NN", "E ", "0", 0, 1, 1},
        {"0", "N", "W", "3", -1, 0, 1},
    };
    for (const auto& c : cases) {
        const std::string values = c.switchValue + "#2232.1234#" + c.northSouth +
                                   "#11403.5678#" + c.eastWest + "#500#10#" + c.kind;
        ScriptedTracker tracker(
            Answers({{kNumbersQuery, ""}, {kSystemQuery, ""}, {kFenceQuery, values}}));
        const TrackerReading reading = ReadBackTracker(tracker, {}, NoPause());

        ASSERT_TRUE(reading.Succeeded()) << values;
        EXPECT_EQ(reading.form.fenceEnabled, std::stoi(c.switchValue)) << values;
        EXPECT_EQ(reading.selections.fenceType, c.fenceType) << values;
        if (reading.form.fenceEnabled != 0) {
            EXPECT_EQ(reading.fenceKind, std::stoi(c.kind)) << values;
        }
        // Texts and hemispheres are read whether the fence is on or off.
        EXPECT_EQ(reading.form.latitude, "2232.1234");
        EXPECT_EQ(reading.form.fenceInterval, "10");
        EXPECT_EQ(reading.selections.northSouth, c.northSouthEntry) << values;
        EXPECT_EQ(reading.selections.eastWest, c.eastWestEntry) << values;
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
        const TrackerReading reading = ReadBackTracker(tracker, form, NoPause());
        EXPECT_EQ(reading.selections.workingMode, c.workingMode) << c.values;
        EXPECT_EQ(reading.selections.warningType, c.warningType) << c.values;
        EXPECT_EQ(reading.selections.baseStationCount, c.baseStations) << c.values;
        EXPECT_EQ(reading.form.apn, c.apn) << c.values;
        EXPECT_EQ(reading.form.softwareVersion, c.version) << c.values;
        // An empty fence reply switches the fence off.
        EXPECT_EQ(reading.form.fenceEnabled, 0);
        EXPECT_EQ(reading.selections.fenceType, -1);
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
        ASSERT_EQ(view.readings.size(), 1u);
        EXPECT_EQ(view.readings[0].answered, 0);
    }
    ScriptedTracker tracker(Answers({{kNumbersQuery, "10086#x#ID42#1234"}}));
    TrackerForm form;
    FakeFormView view;
    ReadBackConfiguration(&tracker, form, view, kChinese, NoPause());
    EXPECT_EQ(tracker.written, (std::vector<std::string>{kNumbersQuery, kSystemQuery}));
    EXPECT_EQ(form.centerNumber, "10086");
    EXPECT_EQ(form.userPassword, "1234");
    EXPECT_EQ(form.fenceEnabled, 0);
    ASSERT_EQ(view.readings.size(), 1u);
    EXPECT_FALSE(view.readings[0].SystemAnswered());
    ASSERT_EQ(view.statuses.size(), 1u);
    EXPECT_EQ(view.statuses[0].text, GbkOf("读取配置信息失败！"));
    EXPECT_EQ(view.statuses[0].mark, StatusMark::Failure);
}

}  // namespace
}  // namespace vorlen
