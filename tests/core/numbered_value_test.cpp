// Numbered values: where the placeholder is, what it becomes, and what is
// refused, as a profile or device-list value holds them.
#include <gtest/gtest.h>

#include "model/bilingual.h"
#include "model/gbk.h"
#include "fleet/numbered_value.h"

namespace vorlen::fleet {
namespace {

struct Expansion {
    const char* value;
    long long number;
    const char* numbered;  // nullptr: no placeholder
    const char* series;
};

// Each row catches a slip of its own: the zeros counted from the wrong end,
// a number wider than its width cut, the text after the placeholder lost,
// a brace that is no placeholder taken for one, and two widths of one
// prefix counted as two series (their numbers would then repeat).
TEST(NumberedValue, ExpandsEachPlaceholderForm) {
    const Expansion rows[] = {
        {"TRUCK-{n:04}", 7, "TRUCK-0007", "TRUCK-{n}"},
        {"TRUCK-{n:03}", 7, "TRUCK-007", "TRUCK-{n}"},
        {"{n}", 12, "12", "{n}"},
        {"A{n:02}B", 123, "A123B", "A{n}B"},
        {"{n:09}", 1, "000000001", "{n}"},
        {"车队{n:03}号", 5, "车队005号", "车队{n}号"},
        {"no number", 1, nullptr, ""},
        {"{x} and {N}", 1, nullptr, ""},
    };
    for (const Expansion& row : rows) {
        SCOPED_TRACE(row.value);
        std::string refusal;
        const std::optional<Numbering> numbering = FindNumbering(row.value, kEnglish, refusal);
        EXPECT_EQ(refusal, "");
        ASSERT_EQ(numbering.has_value(), row.numbered != nullptr);
        if (numbering) {
            EXPECT_EQ(Numbered(row.value, *numbering, row.number), row.numbered);
            EXPECT_EQ(numbering->series, row.series);
        }
    }
}

TEST(NumberedValue, RefusesMalformedAndDoubledPlaceholders) {
    const struct {
        const char* value;
        const char* said;
    } rows[] = {
        {"T{n", "holds a malformed number"},      {"T{n:4}", "holds a malformed number"},
        {"T{n:0}", "holds a malformed number"},   {"T{n:010}", "holds a malformed number"},
        {"T{n:04", "holds a malformed number"},   {"T{n }", "holds a malformed number"},
        {"T{n:00}", "holds a malformed number"},  {"{n}-{n}", "holds two numbers"},
        {"{n:02}{n:03}", "holds two numbers"},    {"{n}{n:4}", "holds two numbers"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value);
        std::string refusal;
        EXPECT_FALSE(FindNumbering(row.value, kEnglish, refusal));
        EXPECT_NE(refusal.find(row.value), std::string::npos) << refusal;
        EXPECT_NE(refusal.find(row.said), std::string::npos) << refusal;
    }
}

// The record holds GBK: the number goes in between the Chinese characters,
// not into one of them, and a key left at 0 keeps its placeholder.
TEST(NumberedValue, NumbersAProfilesGbkTexts) {
    Profile profile;
    profile.form.userId = *Utf8ToGbk("车队{n:02}");
    profile.form.apn = "net{n}";
    std::vector<std::string> refusals;
    const std::vector<NumberedKey> keys = NumberedKeys(profile, kEnglish, refusals);
    ASSERT_EQ(keys.size(), 2u);
    const Profile numbered = WithNumbers(profile, keys, {3, 0});
    EXPECT_EQ(GbkToUtf8(numbered.form.userId), "车队03");
    EXPECT_EQ(numbered.form.apn, "net{n}");
    EXPECT_EQ(WithNumberedValues("{\"serverPort\":\"9001\"}", numbered, keys),
              "{\"serverPort\":\"9001\",\"userId\":\"车队03\",\"apn\":\"net{n}\"}");
}

}  // namespace
}  // namespace vorlen::fleet
