// Writing the whole configuration into the tracker in one go.
#pragma once

#include "model/tracker_form.h"
#include "protocol/form_view.h"
#include "protocol/pause.h"
#include "protocol/port.h"
#include "model/selections.h"

namespace vorlen {

// Sends the nineteen setting commands in a fixed order, one transaction each,
// and reports the set-all success line once all are acknowledged. The first
// step that is not acknowledged, or whose command cannot be built, reports
// that setting's own failure line and ends the sequence; nothing is undone and
// nothing retried. `port` is null when no port is open. Trims the interval,
// the upload count and, with the fence on, the fence fields on the record.
void SendAllSettings(Port* port, TrackerForm& form, const Selections& selections,
                     FormView& view, int language, const Pause& pause = RealPause());

}  // namespace vorlen
