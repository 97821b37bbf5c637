#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>
#include <string>

#include "model/bilingual.h"
#include "model/gbk.h"
#include "model/validation.h"

namespace vorlen {
namespace {

using M = ValidationMessage;

const std::string kTwoChineseCharacters = GbkOf("用户");  // four GBK bytes

TEST(CharacterChecks, PhoneNumberAndDecimalText) {
    const struct {
        std::string text;
        bool phone, decimal;
    } cases[] = {
        {"", true, true},          {"+", true, false},           {"+8613800138000", true, false},
        {"0123", true, true},      {"++1", false, false},        {"1+2", false, false},
        {" 123", false, false},    {"12-34", false, false},      {"1.5", false, true},
        {".5", false, false},      {"1..2", false, true},        {"-1", false, false},
        {kTwoChineseCharacters, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsPhoneNumber(c.text), c.phone) << '"' << c.text << '"';
        EXPECT_EQ(IsDecimalText(c.text), c.decimal) << '"' << c.text << '"';
    }
}

TEST(CharacterChecks, DecimalValueStopsAtTheSecondDot) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"", 0}, {"12", 12}, {"12.", 12}, {"12.5.3", 12.5}, {"12..5", 12}, {"2232.12.34", 2232.12},
        {"9100.5", 9100.5},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(DecimalValue(c.text), c.value) << c.text;
    }
}

// One field and its check: the text typed, the verdict and, if the check
// trims it, the text the record keeps afterwards.
struct FieldCase {
    std::string typed;
    Verdict verdict;
    std::optional<std::string> trimmed = std::nullopt;
};

void ExpectFieldCases(std::string TrackerForm::*field,
                      const std::function<Verdict(TrackerForm&)>& check,
                      const std::vector<FieldCase>& cases) {
    for (const auto& c : cases) {
        TrackerForm form;
        form.*field = c.typed;
        EXPECT_EQ(check(form), c.verdict) << '"' << c.typed << '"';
        EXPECT_EQ(form.*field, c.trimmed.value_or(c.typed)) << '"' << c.typed << '"';
    }
}

TEST(ButtonChecks, EachFieldByItsBoundariesAndTrimming) {
    // User numbers are never trimmed and have no length limit.
    ExpectFieldCases(&TrackerForm::userNumber4,
                     [](TrackerForm& form) { return CheckUserNumber(form, 4); },
                     {{"", {}}, {"+", {}}, {"+1", {}}, {"123456789012345678901", {}},
                      {" 123 ", M::UserNumber}, {"138-0013", M::UserNumber}});
    // The centre number is trimmed, then three to twenty bytes.
    ExpectFieldCases(&TrackerForm::centerNumber, CheckCenterNumber,
                     {{"", {}}, {"  ", {}, ""}, {" 123 ", {}, "123"}, {"+12", {}},
                      {"12", M::CenterNumber}, {"+1", M::CenterNumber},
                      {"12345678901234567890", {}}, {"123456789012345678901", M::CenterNumber},
                      {"12a", M::CenterNumber}});
    // The user ID counts GBK bytes, not characters.
    ExpectFieldCases(&TrackerForm::userId, CheckUserId,
                     {{"", {}}, {"ab", M::UserId}, {" ab ", M::UserId, "ab"}, {"a-c", {}},
                      {kTwoChineseCharacters, {}}, {GbkOf("用"), M::UserId},
                      {std::string(20, 'x'), {}}, {std::string(21, 'x'), M::UserId},
                      {"a,b", M::UserIdSeparator}, {" a#b ", M::UserIdSeparator, "a#b"}});
    // The free texts hold none of the line's separators; a GBK character's
    // second byte is never one.
    ExpectFieldCases(&TrackerForm::apnPassword, CheckApn,
                     {{"pa#ss", M::ApnPasswordSeparator}, {"p;", M::ApnPasswordSeparator},
                      {GbkOf("密码﹐@"), {}}, {"p\x7F", M::ApnPasswordSeparator}});
    ExpectFieldCases(&TrackerForm::apn, CheckApn, {{"cmnet,x", M::ApnSeparator}, {"cm.net", {}}});
    ExpectFieldCases(&TrackerForm::apnUser, CheckApn, {{"u\tv", M::ApnUserSeparator}});
    ExpectFieldCases(&TrackerForm::serverIp, CheckIpAndPort,
                     {{"10.0.0.1", {}}, {"10.0.0.1;", M::ServerIpSeparator}});
    ExpectFieldCases(&TrackerForm::serverPort, CheckIpAndPort, {{"80#", M::ServerPortSeparator}});
    // The password is four digits as typed.
    ExpectFieldCases(&TrackerForm::userPassword, CheckUserPassword,
                     {{"0123", {}}, {"12a4", M::PasswordDigits}, {" 123", M::PasswordDigits},
                      {kTwoChineseCharacters, M::PasswordDigits}, {"", M::PasswordLength},
                      {"123", M::PasswordLength}, {"12345", M::PasswordLength}});
}

TEST(ButtonChecks, IntervalAndUploadByWorkingMode) {
    const struct {
        int workingMode;
        std::string interval, upload;
        Verdict verdict;
    } cases[] = {
        {kModeP2P, "", "", {}},          {kModeP2P, "1.5", "99", {}},
        {kModeP2P, "99", "0", {}},       {kModeP2P, "100", "", M::Interval},
        {-1, "100", "", M::Interval},    {kModePowerSaving, "65535", "", {}},
        {kModePowerSaving, "65536", "", M::Interval},
        {kModeP2P, ".5", "", M::Interval}, {kModeP2P, "-1", "", M::Interval},
        {kModeP2P, "1", "100", M::Upload}, {kModeP2P, "1", "+1", M::Upload},
    };
    for (const auto& c : cases) {
        TrackerForm form;
        form.intervalTime = c.interval;
        form.uploadCount = c.upload;
        EXPECT_EQ(CheckIntervalAndUpload(form, {.workingMode = c.workingMode}), c.verdict)
            << c.workingMode << " " << c.interval << " " << c.upload;
    }
    TrackerForm form;
    form.intervalTime = " 30 ";
    form.uploadCount = "\t5";
    EXPECT_EQ(CheckIntervalAndUpload(form, {.workingMode = kModeLongGprs}), Verdict{});
    EXPECT_EQ(form.intervalTime, "30");
    EXPECT_EQ(form.uploadCount, "5");
}

struct FenceCase {
    int fenceEnabled;
    int fenceType;
    std::string radius, interval, latitude, longitude;
    Verdict verdict;
};

const FenceCase kFenceCases[] = {
    {0, kCustomFence, "x", "x", "x", "x", {}},
    {1, -1, "x", "x", "x", "x", {}},
    {1, kCircleFence, "1", "59", "x", "x", {}},
    {1, kCircleFence, " 1.5 ", "1", "", "", {}},
    {1, kCircleFence, "0", "1", "", "", M::FenceRadius},
    {1, kCircleFence, "0.5", "1", "", "", M::FenceRadius},
    {1, kCircleFence, "", "1", "", "", M::FenceRadius},
    {1, kCircleFence, "1", "60", "", "", M::FenceInterval},
    {1, kCircleFence, "1", "", "", "", M::FenceInterval},
    {1, kCustomFence, "1", "1", "", "", {}},
    {1, kCustomFence, "1", "1", "9100", "18100", {}},
    {1, kCustomFence, "1", "1", "2232.12.34", "12..5", {}},
    {1, kCustomFence, "1", "1", "9100.5", "0", M::Latitude},
    {1, kCustomFence, "1", "1", ".5", "0", M::Latitude},
    {1, kCustomFence, "1", "1", "N22", "0", M::Latitude},
    {1, kCustomFence, "1", "1", "0", "18100.01", M::Longitude},
    {1, kCustomFence, "0", "60", ".5", ".5", M::FenceRadius},
};

TrackerForm FenceForm(const FenceCase& c) {
    TrackerForm form;
    form.fenceEnabled = c.fenceEnabled;
    form.fenceRadius = c.radius;
    form.fenceInterval = c.interval;
    form.latitude = c.latitude;
    form.longitude = c.longitude;
    return form;
}

// The fence button and the set-all check apply the same fence rules.
TEST(ButtonChecks, ElectricFenceAlikeForTheButtonAndSetAll) {
    for (const auto& c : kFenceCases) {
        TrackerForm form = FenceForm(c);
        EXPECT_EQ(CheckElectricFence(form, {.fenceType = c.fenceType}), c.verdict)
            << c.fenceEnabled << " " << c.fenceType << " " << c.radius << " " << c.interval
            << " " << c.latitude << " " << c.longitude;
        form = FenceForm(c);
        form.userPassword = "0000";
        EXPECT_EQ(ValidateAllFields(form, {.fenceType = c.fenceType}), c.verdict);
    }
}

// Everything acceptable and the fence off: the set-all check passes.
TrackerForm AcceptableForm() {
    TrackerForm form;
    form.userPassword = "0000";
    return form;
}

TEST(SetAllCheck, EveryFieldOnEveryPress) {
    using F = TrackerForm;
    const struct {
        std::string F::*field;
        std::string text;
        int workingMode;
        Verdict verdict;
    } cases[] = {
        {&F::userNumber3, " 123", kModeP2P, M::UserNumber3},
        {&F::userNumber9, "1-2", kModeP2P, M::UserNumber9},
        {&F::userNumber1, "+8613800138000", kModeP2P, {}},
        {&F::centerNumber, " 123", kModeP2P, {}},
        {&F::centerNumber, "12", kModeP2P, M::CenterNumber},
        {&F::intervalTime, "99", kModePowerSaving, {}},
        {&F::intervalTime, "100", kModePowerSaving, M::Interval},
        {&F::uploadCount, "100", kModeP2P, M::Upload},
        {&F::userId, "ab", kModeP2P, M::UserId},
        {&F::userPassword, "", kModeP2P, M::PasswordLength},
        {&F::userPassword, " 123", kModeP2P, M::PasswordDigits},
        {&F::apnPassword, "pa#ss", kModeP2P, M::ApnPasswordSeparator},
        {&F::serverPort, "\r\n", kModeP2P, M::ServerPortSeparator},
    };
    for (const auto& c : cases) {
        TrackerForm form = AcceptableForm();
        form.*c.field = c.text;
        EXPECT_EQ(ValidateAllFields(form, {.workingMode = c.workingMode}), c.verdict) << c.text;
    }
}

TEST(SetAllCheck, FirstFailingRuleDecides) {
    TrackerForm form = AcceptableForm();
    form.userNumber2 = "x";
    form.userPassword = "1";
    EXPECT_EQ(ValidateAllFields(form, {}), M::UserNumber2);

    form = AcceptableForm();
    form.fenceEnabled = 1;
    form.intervalTime = "x";
    EXPECT_EQ(ValidateAllFields(form, {.fenceType = kCircleFence}), M::FenceRadius);
}

TEST(SetAllCheck, StopsTrimmingAtTheFailingRule) {
    TrackerForm form = AcceptableForm();
    form.centerNumber = " 1 ";
    form.intervalTime = " 5 ";
    EXPECT_EQ(ValidateAllFields(form, {}), M::CenterNumber);
    EXPECT_EQ(form.centerNumber, "1");
    EXPECT_EQ(form.intervalTime, " 5 ");
}

TEST(ValidationMessages, SetAllNamesTheUserNumberSlot) {
    EXPECT_EQ(InLanguage(MessageText(UserNumberInSlot(3)), kEnglish), "Input number3 is invalid!");
    EXPECT_EQ(InLanguage(MessageText(UserNumberInSlot(9)), kChinese),
              GbkOf("输入的绑定号码9不符合要求"));
    EXPECT_EQ(InLanguage(MessageText(M::UserNumber), kEnglish), "Input number is invalid!");
}

}  // namespace
}  // namespace vorlen
