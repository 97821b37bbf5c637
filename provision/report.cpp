#include "provision/report.h"

#include <algorithm>
#include <array>

#include <nlohmann/json.hpp>

#include "profile/private_file.h"

namespace vorlen::provision {
namespace {

using nlohmann::json;

constexpr std::array<std::pair<Result, const char*>, 5> kResultNames{{
    {Result::Done, "done"},
    {Result::NotWoken, "not-woken"},
    {Result::StepFailed, "step-failed"},
    {Result::ReadBackFailed, "read-back-failed"},
    {Result::Differs, "differs"},
}};

const char* NameOf(Result result) {
    return std::find_if(kResultNames.begin(), kResultNames.end(),
                        [&](const auto& row) { return row.first == result; })
        ->second;
}

json PortReport(const Outcome& outcome) {
    json differences = json::array();
    for (const Difference& difference : outcome.differences) {
        differences.push_back({{"key", difference.key},
                               {"expected", difference.expected},
                               {"actual", difference.actual}});
    }
    return {
        {"port", outcome.port},
        {"result", NameOf(outcome.result)},
        {"failedStep", outcome.failedStep > 0 ? json(outcome.failedStep) : json()},
        {"failure", outcome.failure.empty() ? json() : json(outcome.failure)},
        {"differences", differences},
        {"timings",
         {{"wake", outcome.timings.wakeSeconds},
          {"setAll", outcome.timings.setAllSeconds},
          {"verify", outcome.timings.verifySeconds},
          {"total", outcome.timings.totalSeconds}}},
    };
}

}  // namespace

std::string ReportJson(const std::string& profile, const std::vector<Outcome>& outcomes,
                       bool finished) {
    json ports = json::array();
    for (const Outcome& outcome : outcomes) {
        ports.push_back(PortReport(outcome));
    }
    const bool passed = finished && std::all_of(outcomes.begin(), outcomes.end(),
                                    [](const Outcome& o) { return o.result == Result::Done; });
    const json report{
        {"profile", profile}, {"finished", finished}, {"passed", passed}, {"ports", ports}};
    // Port and file names come from the command line and need not be UTF-8.
    return report.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

bool WriteReport(const std::filesystem::path& path, const std::string& profile,
                 const std::vector<Outcome>& outcomes, bool finished) {
    return SavePrivateFile(path, ReportJson(profile, outcomes, finished));
}

}  // namespace vorlen::provision
