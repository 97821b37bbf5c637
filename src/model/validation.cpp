#include "model/validation.h"

#include <charconv>
#include <limits>

#include "model/field_text.h"
#include "model/free_text.h"

namespace vorlen {
namespace {

// Lengths count the record's GBK bytes, so a Chinese character takes two.
constexpr std::size_t kShortestNumber = 3;
constexpr std::size_t kLongestNumber = 20;
constexpr std::size_t kShortestUserId = 3;
constexpr std::size_t kLongestUserId = 20;
constexpr std::size_t kPasswordLength = 4;

constexpr int kLargestUploadCount = 99;
constexpr int kLongestInterval = 99;
// The power-saving mode sleeps between samples, so it allows far longer
// intervals.
constexpr int kLongestPowerSavingInterval = 65535;
constexpr int kLongestFenceInterval = 59;
constexpr double kLargestLatitude = 9100;
constexpr double kLargestLongitude = 18100;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool HasLengthBetween(std::string_view text, std::size_t shortest, std::size_t longest) {
    return text.size() >= shortest && text.size() <= longest;
}

// Trims the field, then it must be decimal text whose integer value lies in
// [lowest, highest].
bool TrimmedIntegerWithin(std::string& field, int lowest, int highest) {
    Trim(field);
    if (!IsDecimalText(field)) {
        return false;
    }
    const int value = IntegerValue(field);
    return value >= lowest && value <= highest;
}

bool TrimmedDecimalWithin(std::string& field, double lowest, double highest) {
    Trim(field);
    if (!IsDecimalText(field)) {
        return false;
    }
    const double value = DecimalValue(field);
    return value >= lowest && value <= highest;
}

Verdict CheckInterval(TrackerForm& form, int longestInterval) {
    if (!TrimmedIntegerWithin(form.intervalTime, 0, longestInterval)) {
        return ValidationMessage::Interval;
    }
    if (!TrimmedIntegerWithin(form.uploadCount, 0, kLargestUploadCount)) {
        return ValidationMessage::Upload;
    }
    return std::nullopt;
}

}  // namespace

bool IsPhoneNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    for (char c : text) {
        if (!IsDigit(c)) {
            return false;
        }
    }
    return true;
}

bool IsDecimalText(std::string_view text) {
    if (!text.empty() && text.front() == '.') {
        return false;
    }
    for (char c : text) {
        if (!IsDigit(c) && c != '.') {
            return false;
        }
    }
    return true;
}

double DecimalValue(std::string_view text) {
    const std::size_t firstDot = text.find('.');
    if (firstDot != std::string_view::npos) {
        text = text.substr(0, text.find('.', firstDot + 1));
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        return std::numeric_limits<double>::infinity();
    }
    return error == std::errc{} ? value : 0;
}

Verdict CheckUserNumber(const TrackerForm& form, int slot) {
    if (IsPhoneNumber(UserNumber(form, slot))) {
        return std::nullopt;
    }
    return ValidationMessage::UserNumber;
}

Verdict CheckCenterNumber(TrackerForm& form) {
    Trim(form.centerNumber);
    const std::string& number = form.centerNumber;
    if (number.empty() ||
        (HasLengthBetween(number, kShortestNumber, kLongestNumber) && IsPhoneNumber(number))) {
        return std::nullopt;
    }
    return ValidationMessage::CenterNumber;
}

Verdict CheckIntervalAndUpload(TrackerForm& form, const Selections& selections) {
    return CheckInterval(form, selections.workingMode == kModePowerSaving
                                   ? kLongestPowerSavingInterval
                                   : kLongestInterval);
}

Verdict CheckElectricFence(TrackerForm& form, const Selections& selections) {
    if (form.fenceEnabled == 0) {
        return std::nullopt;
    }
    // A fence type the list does not have has no fields to check.
    if (selections.fenceType != kCircleFence && selections.fenceType != kCustomFence) {
        return std::nullopt;
    }
    if (!TrimmedIntegerWithin(form.fenceRadius, 1, std::numeric_limits<int>::max())) {
        return ValidationMessage::FenceRadius;
    }
    if (!TrimmedIntegerWithin(form.fenceInterval, 1, kLongestFenceInterval)) {
        return ValidationMessage::FenceInterval;
    }
    if (selections.fenceType != kCustomFence) {
        return std::nullopt;
    }
    if (!TrimmedDecimalWithin(form.latitude, 0, kLargestLatitude)) {
        return ValidationMessage::Latitude;
    }
    if (!TrimmedDecimalWithin(form.longitude, 0, kLargestLongitude)) {
        return ValidationMessage::Longitude;
    }
    return std::nullopt;
}

Verdict CheckUserPassword(const TrackerForm& form) {
    const std::string& password = form.userPassword;
    if (password.size() != kPasswordLength) {
        return ValidationMessage::PasswordLength;
    }
    for (char c : password) {
        if (!IsDigit(c)) {
            return ValidationMessage::PasswordDigits;
        }
    }
    return std::nullopt;
}

Verdict CheckUserId(TrackerForm& form) {
    Trim(form.userId);
    if (form.userId.empty() || HasLengthBetween(form.userId, kShortestUserId, kLongestUserId)) {
        return CheckFreeTexts(form, FreeTexts().first(1));
    }
    return ValidationMessage::UserId;
}

// The APN, its user and its password.
Verdict CheckApn(const TrackerForm& form) { return CheckFreeTexts(form, FreeTexts().subspan(1, 3)); }

Verdict CheckIpAndPort(const TrackerForm& form) {
    return CheckFreeTexts(form, FreeTexts().subspan(4, 2));
}

Verdict ValidateAllFields(TrackerForm& form, const Selections& selections) {
    for (int slot = 1; slot <= 9; ++slot) {
        if (CheckUserNumber(form, slot)) {
            return UserNumberInSlot(slot);
        }
    }
    if (Verdict verdict = CheckCenterNumber(form)) {
        return verdict;
    }
    if (Verdict verdict = CheckElectricFence(form, selections)) {
        return verdict;
    }
    // Unlike its own button, set-all holds the interval to 0..99 in every
    // working mode, the power-saving one included.
    if (Verdict verdict = CheckInterval(form, kLongestInterval)) {
        return verdict;
    }
    if (Verdict verdict = CheckUserId(form)) {
        return verdict;
    }
    if (Verdict verdict = CheckUserPassword(form)) {
        return verdict;
    }
    return CheckFreeTexts(form, FreeTexts());
}

}  // namespace vorlen
