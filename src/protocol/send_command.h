// Sending what a button asks for: one command, or the read-back or set-all
// sequence, with the outcome in the status line.
#pragma once

#include "model/tracker_form.h"
#include "protocol/command_type.h"
#include "protocol/form_view.h"
#include "protocol/pause.h"
#include "protocol/port.h"
#include "model/selections.h"

namespace vorlen {

// Runs `type` against the record the window has just saved from its
// controls. ReadConfig and SetAll hand over to their sequences, which report
// themselves; every other type is one transaction followed by its result line.
// `port` is null when no port is open.
void SendCommand(CommandType type, Port* port, TrackerForm& form, const Selections& selections,
                 FormView& view, int language, const Pause& pause = RealPause());

// One command of types 0 to 23. A successful IMEI read stores the IMEI (empty
// when the reply quotes none) and refreshes the form before the result line.
// The fence with no fence type selected has no command: it fails at once and
// writes nothing.
void SendSingleCommand(CommandType type, Port* port, TrackerForm& form,
                       const Selections& selections, FormView& view, int language,
                       const Pause& pause = RealPause());

}  // namespace vorlen
