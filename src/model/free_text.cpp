#include "model/free_text.h"

#include <algorithm>
#include <array>

namespace vorlen {
namespace {

using F = TrackerForm;
using M = ValidationMessage;

constexpr std::array<FreeText, 6> kFreeTexts{{
    {&F::userId, M::UserIdSeparator},
    {&F::apn, M::ApnSeparator},
    {&F::apnUser, M::ApnUserSeparator},
    {&F::apnPassword, M::ApnPasswordSeparator},
    {&F::serverIp, M::ServerIpSeparator},
    {&F::serverPort, M::ServerPortSeparator},
}};

}  // namespace

std::span<const FreeText> FreeTexts() { return kFreeTexts; }

bool IsSeparatorByte(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value < 0x20 || value == 0x7F || byte == ',' || byte == ';' || byte == '#';
}

bool HoldsSeparator(std::string_view gbk) {
    return std::any_of(gbk.begin(), gbk.end(), IsSeparatorByte);
}

bool IsFreeText(std::string TrackerForm::*text) {
    return std::any_of(kFreeTexts.begin(), kFreeTexts.end(),
                       [text](const FreeText& free) { return free.text == text; });
}

Verdict CheckFreeTexts(const TrackerForm& form, std::span<const FreeText> texts) {
    for (const FreeText& free : texts) {
        if (HoldsSeparator(form.*free.text)) {
            return free.refusal;
        }
    }
    return std::nullopt;
}

}  // namespace vorlen
