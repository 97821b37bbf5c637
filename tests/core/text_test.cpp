#include <climits>
#include <optional>
#include <string>
#include <gtest/gtest.h>

#include "model/field_text.h"
#include "model/control_ids.h"
#include "model/gbk.h"
#include "model/tracker_form.h"
#include "model/typing_limit.h"

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

// The typing rule as both windows apply it, on the texts their edits show.
TEST(TypingRule, CountsTheShownTextInGbkBytes) {
    const std::string unknown = "\xEF\xBF\xBD";  // U+FFFD: a byte from the line that is not GBK
    const struct {
        int controlId;
        std::string before;
        std::string after;
        Typing judged;
    } cases[] = {
        {control::kUserPassword, "", "1234", Typing::Accepted},
        {control::kUserPassword, "1234", "12345", Typing::Refused},
        {control::kUserPassword, "", "一二", Typing::Accepted},
        {control::kUserPassword, "一", "一二三", Typing::Refused},  // six bytes, not three
        {control::kUserPassword, unknown + unknown + unknown, unknown + unknown + unknown + "1",
         Typing::Accepted},  // a '?' each, not three bytes each
        {control::kUserPassword, "123456", "12345", Typing::AcceptedOverLimit},
        {control::kUserPassword, "123456", "abcdef", Typing::Refused},
        {control::kApn, "", "net \xF0\x9F\x98\x80", Typing::Refused},  // GBK has no emoji
        {control::kApn, "", "cm\nnet", Typing::Refused},
        {control::kApn, "cm", "cm,net", Typing::Refused},
        {control::kApn, "a,b,", "a,b", Typing::Accepted},  // a read-back's separator taken out
        {control::kStatusBox, "", std::string(300, 'x'), Typing::Accepted},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JudgeTyping(FieldForControl(c.controlId), c.before, c.after), c.judged)
            << c.before << " -> " << c.after;
    }
}

// Linux and Windows convert with different tables (iconv, the system's code
// page 936); both must give these results.
TEST(Gbk, BothPlatformsEncodeAndDecodeAlike) {
    const struct {
        std::string utf8;
        std::optional<std::string> gbk;
    } encodings[] = {
        {"CMNET", "CMNET"},
        {"读取配置信息成功！", "\xB6\xC1\xC8\xA1\xC5\xE4\xD6\xC3\xD0\xC5\xCF\xA2\xB3\xC9\xB9\xA6\xA3\xA1"},
        {"\xE2\x82\xAC", "\x80"},                     // the euro sign, code page 936's one single byte
        {std::string("a\0b", 3), std::string("a\0b", 3)},
        {"", ""},
        {"CMNET \xE4\xB8\xAD", "CMNET \xD6\xD0"},   // English, then one Chinese character last
        {"APN\xE2\x82", std::nullopt},                 // English, then cut UTF-8
        {"\xF3\xA0\x80\x9F ", std::nullopt},          // a tag character, which iconv would drop
        {"x\xF3\xA0\x81\xBF", std::nullopt},          // the last tag character
        {"\xF3\xA0\x82\x80", std::nullopt},           // the first one after them: no GBK code either
        {"\xEE\x80\x80", std::nullopt},               // U+E000: Windows would write AA A1
        {"\xEF\xA3\xB5", std::nullopt},               // U+F8F5: Windows would write FF
        {"\xE2\x82", std::nullopt},                   // cut UTF-8
        {"\xC0\xAF", std::nullopt},                   // an over-long "/"
    };
    for (const auto& c : encodings) {
        EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk) << c.utf8;
    }
    const struct {
        std::string gbk;
        std::string utf8;
    } decodings[] = {
        {"\xD6\xD0\xCE\xC4\xD6", "中文\xEF\xBF\xBD"},  // a lead byte cut off
        {"\xA1\xFF\x80\xFF\xFE", "\xEF\xBF\xBD\xEF\xBF\xBD\xE2\x82\xAC\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\x81\x7F", "\xEF\xBF\xBD\x7F"},              // 7F is no trail byte
        {"\xFF", "\xEF\xBF\xBD"},
        {"\xAA\xA1", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // the user-defined areas: no characters
        {"\xA1\x40", "\xEF\xBF\xBD@"},
        {"\x01OK\x7F", "\x01OK\x7F"},
        {"OK\xD6\xD0", "OK\xE4\xB8\xAD"},  // English, then one Chinese character last
        {"OK\xD6", "OK\xEF\xBF\xBD"},
    };
    for (const auto& c : decodings) {
        EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8);
    }
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
