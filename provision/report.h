// The outcome of a run as JSON, for scripts and records.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "provision/outcome.h"

namespace vorlen::provision {

// The report's text: the profile, whether every port passed, and per port its
// result, failed step, failure line, differing fields and timings (seconds).
std::string ReportJson(const std::string& profile, const std::vector<Outcome>& outcomes);

// False when the file cannot be written.
bool WriteReport(const std::filesystem::path& path, const std::string& profile,
                 const std::vector<Outcome>& outcomes);

}  // namespace vorlen::provision
