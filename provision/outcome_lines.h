// A port's outcome as the operator reads it.
#pragma once

#include <string>
#include <vector>

#include "provision/outcome.h"
#include "provision/phases.h"

namespace vorlen::provision {

// The outcome's line, then one line per differing field (UTF-8).
std::vector<std::string> OutcomeLines(const Outcome& outcome, const RunSettings& settings);

}  // namespace vorlen::provision
