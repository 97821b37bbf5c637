// The checks between the operator's input and the line. Each takes the record
// just saved from the controls, trims the fields it is meant to trim (the
// record keeps the trimmed text), and names the message that refuses the
// input, or nothing when the input may be sent. The first failing rule
// decides the message.
#pragma once

#include <optional>
#include <string_view>

#include "model/tracker_form.h"
#include "model/validation_messages.h"
#include "model/selections.h"

namespace vorlen {

using Verdict = std::optional<ValidationMessage>;

// Digits only, after one optional leading "+". The empty text and a lone "+"
// pass.
bool IsPhoneNumber(std::string_view text);

// Digits and dots, not starting with a dot. The empty text passes, and so do
// several dots ("1..2").
bool IsDecimalText(std::string_view text);

// The decimal reading of a text that passed IsDecimalText, up to its second
// dot ("12.5.3" is 12.5, the empty text 0). Its integer value is
// IntegerValue's reading, which stops at the first dot.
double DecimalValue(std::string_view text);

// One check per validating button.
Verdict CheckUserNumber(const TrackerForm& form, int slot);
Verdict CheckCenterNumber(TrackerForm& form);
Verdict CheckIntervalAndUpload(TrackerForm& form, const Selections& selections);
Verdict CheckElectricFence(TrackerForm& form, const Selections& selections);
Verdict CheckUserPassword(const TrackerForm& form);
Verdict CheckUserId(TrackerForm& form);
Verdict CheckApn(const TrackerForm& form);
Verdict CheckIpAndPort(const TrackerForm& form);

// The check behind "Set ALL": every field the set-all sequence sends, even
// those the operator has not touched. The free texts come last, so every
// older rule keeps its turn.
Verdict ValidateAllFields(TrackerForm& form, const Selections& selections);

}  // namespace vorlen
