#include "fleet/report.h"

#include <algorithm>
#include <array>

#include <nlohmann/json.hpp>

#include "profile/private_file.h"

namespace vorlen::fleet {
namespace {

using nlohmann::json;

constexpr std::array<std::pair<Result, const char*>, 7> kResultNames{{
    {Result::Done, "done"},
    {Result::Unchanged, "unchanged"},
    {Result::NotListed, "not-listed"},
    {Result::NotWoken, "not-woken"},
    {Result::StepFailed, "step-failed"},
    {Result::ReadBackFailed, "read-back-failed"},
    {Result::Differs, "differs"},
}};

json Differences(const std::vector<Difference>& found) {
    json differences = json::array();
    for (const Difference& difference : found) {
        differences.push_back({{"key", difference.key},
                               {"expected", difference.expected},
                               {"actual", difference.actual}});
    }
    return differences;
}

json OrNull(const std::string& text) { return text.empty() ? json() : json(text); }

json PortReport(const Outcome& outcome) {
    return {
        {"port", outcome.port},
        {"imei", OrNull(outcome.imei)},
        {"softwareVersion", OrNull(outcome.softwareVersion)},
        {"result", ResultName(outcome.result)},
        {"failedStep", outcome.failedStep > 0 ? json(outcome.failedStep) : json()},
        {"failure", outcome.failure.empty() ? json() : json(outcome.failure)},
        {"differences", Differences(outcome.differences)},
        {"notRecorded", outcome.notRecorded.empty() ? json() : json(outcome.notRecorded)},
        {"timings",
         {{"wake", outcome.timings.wakeSeconds},
          {"identify", outcome.timings.identifySeconds},
          {"setAll", outcome.timings.setAllSeconds},
          {"verify", outcome.timings.verifySeconds},
          {"total", outcome.timings.totalSeconds}}},
    };
}

}  // namespace

const char* ResultName(Result result) {
    return std::find_if(kResultNames.begin(), kResultNames.end(),
                        [&](const auto& row) { return row.first == result; })
        ->second;
}

bool Passed(const Outcome& outcome) {
    return (outcome.result == Result::Done || outcome.result == Result::Unchanged) &&
           outcome.notRecorded.empty();
}

std::string DifferencesJson(const std::vector<Difference>& differences) {
    return Differences(differences).dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string ReportJson(const std::string& profile, const std::vector<Outcome>& outcomes,
                       bool finished) {
    json ports = json::array();
    for (const Outcome& outcome : outcomes) {
        ports.push_back(PortReport(outcome));
    }
    const bool passed = finished && std::all_of(outcomes.begin(), outcomes.end(), Passed);
    const json report{
        {"profile", profile}, {"finished", finished}, {"passed", passed}, {"ports", ports}};
    // Port and file names come from the command line and need not be UTF-8.
    return report.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

bool WriteReport(const std::filesystem::path& path, const std::string& profile,
                 const std::vector<Outcome>& outcomes, bool finished) {
    return SavePrivateFile(path, ReportJson(profile, outcomes, finished));
}

}  // namespace vorlen::fleet
