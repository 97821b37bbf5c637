// The outcome of a run as JSON, for scripts and records.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "fleet/outcome.h"

namespace vorlen::fleet {

// The result as the report and the journal name it: "done", "unchanged", ...
const char* ResultName(Result result);

// Done, or unchanged, and recorded: the tracker holds what it is to hold,
// and the journal says so.
bool Passed(const Outcome& outcome);

// The differing fields as a JSON array of {key, expected, actual}.
std::string DifferencesJson(const std::vector<Difference>& differences);

// The report's text: the profile, whether the run reached its end, whether
// every port passed (never before the end), and per port its result, failed
// step, failure line, differing fields and timings (seconds).
std::string ReportJson(const std::string& profile, const std::vector<Outcome>& outcomes,
                       bool finished);

// Replaces the file in one step, readable by its owner only: the differing
// fields may show passwords. False when the file cannot be written.
bool WriteReport(const std::filesystem::path& path, const std::string& profile,
                 const std::vector<Outcome>& outcomes, bool finished);

}  // namespace vorlen::fleet
