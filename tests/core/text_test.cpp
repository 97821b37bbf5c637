#include <climits>
#include <gtest/gtest.h>

#include "model/field_text.h"
#include "model/gbk.h"
#include "model/tracker_form.h"

namespace vorlen {
namespace {

TEST(IntegerValue, ReadsLikeAtoi) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"", 0},          {"abc", 0},       {"42", 42},        {"  \t42", 42},
        {"-7", -7},       {"+8", 8},        {"12.7", 12},      {"30 ", 30},
        {"- 5", 0},       {"1e3", 1},       {"007", 7},        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IntegerValue(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(IntegerValue, SaturatesBeyondTheIntRange) {
    EXPECT_EQ(IntegerValue("2147483648"), INT_MAX);
    EXPECT_EQ(IntegerValue("99999999999999999999999999"), INT_MAX);
    EXPECT_EQ(IntegerValue("-2147483649"), INT_MIN);
    EXPECT_EQ(IntegerValue("-99999999999999999999999999"), INT_MIN);
}

TEST(Trim, RemovesEverySortOfBlankAtBothEndsOnly) {
    std::string text = " \t\r\n\v\f13 800\f\v\n\r\t ";
    Trim(text);
    EXPECT_EQ(text, "13 800");
    std::string blank = " \t ";
    Trim(blank);
    EXPECT_EQ(blank, "");
}

TEST(Gbk, ChineseTakesTwoBytesAndWhatGbkCannotEncodeIsRefused) {
    const auto ten = Utf8ToGbk("一二三四五六七八九十");
    ASSERT_TRUE(ten.has_value());
    EXPECT_EQ(ten->size(), 20u);
    EXPECT_EQ(GbkToUtf8(*ten), "一二三四五六七八九十");
    EXPECT_EQ(Utf8ToGbk("plain ASCII"), "plain ASCII");
    EXPECT_FALSE(Utf8ToGbk("ok \xF0\x9F\x98\x80").has_value());  // an emoji
    EXPECT_FALSE(Utf8ToGbk("\xD7\x90").has_value());              // Hebrew alef
    EXPECT_FALSE(Utf8ToGbk("\xFF bad utf-8").has_value());
}

TEST(Gbk, InvalidBytesFromTheLineStillConvertForDisplay) {
    EXPECT_EQ(GbkToUtf8(std::string("A\xFF" "B", 3)), "A\xEF\xBF\xBD" "B");
    EXPECT_EQ(GbkToUtf8(std::string("\x81", 1)), "\xEF\xBF\xBD");  // lead byte cut off
    EXPECT_EQ(GbkToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(TrackerFormTable, GivesEveryLimitOnceInExchangeOrder) {
    const auto order = ExchangeOrder();
    ASSERT_EQ(order.size(), 27u);
    EXPECT_EQ(order.front().name, "fenceEnabled");
    EXPECT_EQ(order.front().text, nullptr);
    EXPECT_EQ(order[1].name, "apn");
    EXPECT_EQ(order[1].maxLength, 100);
    EXPECT_EQ(FieldForControl(1025)->name, "userNumber9");
    EXPECT_EQ(FieldForControl(1044)->maxLength, 4);
    EXPECT_EQ(FieldForControl(1031)->maxLength, 5);
    EXPECT_EQ(FieldForControl(1003), nullptr);  // a button has no field
    TrackerForm form;
    UserNumber(form, 7) = "137";
    EXPECT_EQ(form.userNumber7, "137");
    EXPECT_THROW(UserNumber(form, 10), std::out_of_range);
}

}  // namespace
}  // namespace vorlen
