// A port's outcome as the operator reads it.
#pragma once

#include <string>
#include <vector>

#include "fleet/outcome.h"
#include "fleet/phases.h"

namespace vorlen::fleet {

// The outcome's line, then one line per differing field (UTF-8).
std::vector<std::string> OutcomeLines(const Outcome& outcome, const RunSettings& settings);

// The outcome's first line without the port, for a display that shows the
// port anyway.
std::string FinishedLine(const Outcome& outcome, const RunSettings& settings);

// The outcome alone, without the port and the tracker's IMEI and software
// version, for a display that names the port and the IMEI on lines of
// their own: "done, configured and verified (2.1 s)".
std::string OutcomeOnlyLine(const Outcome& outcome, const RunSettings& settings);

}  // namespace vorlen::fleet
