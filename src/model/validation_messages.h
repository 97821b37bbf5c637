// The messages that refuse an operator's input before anything is sent.
#pragma once

#include "model/bilingual.h"

namespace vorlen {

enum class ValidationMessage : int {
    UserNumber,  // any single user-number button
    CenterNumber,
    UserId,
    PasswordLength,
    PasswordDigits,
    Interval,
    Upload,
    FenceRadius,
    FenceInterval,
    Latitude,
    Longitude,
    UserNumber1,  // UserNumber1..UserNumber9: the set-all check names the slot
    UserNumber2,
    UserNumber3,
    UserNumber4,
    UserNumber5,
    UserNumber6,
    UserNumber7,
    UserNumber8,
    UserNumber9,
    UserIdSeparator,  // a free text holding "," ";" "#" or a control byte
    ApnSeparator,
    ApnUserSeparator,
    ApnPasswordSeparator,
    ServerIpSeparator,
    ServerPortSeparator,
};

// The set-all message of user number `slot` (1 to 9).
ValidationMessage UserNumberInSlot(int slot);

// The message in both languages, to be shown with InLanguage.
const Bilingual& MessageText(ValidationMessage message);

}  // namespace vorlen
