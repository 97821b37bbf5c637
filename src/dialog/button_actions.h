// What each setting button does: the check that stands between the
// operator's input and the line, and the command it sends when the check
// passes.
#pragma once

#include <span>

#include "model/tracker_form.h"
#include "model/validation.h"
#include "protocol/command_type.h"
#include "model/selections.h"

namespace vorlen {

struct ButtonAction {
    int buttonId;
    CommandType type;
    // Null for buttons that send without a check. A button with a check saves
    // the controls into the record first; the check trims what it checks.
    Verdict (*check)(TrackerForm& form, const Selections& selections);
};

std::span<const ButtonAction> ButtonActions();

// The action of a button, or null for a control that sends nothing (the
// wake-up button and every non-button).
const ButtonAction* ActionForButton(int buttonId);

}  // namespace vorlen
