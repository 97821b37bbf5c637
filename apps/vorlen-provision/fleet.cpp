#include <algorithm>
#include <memory>
#include <thread>

#include "model/gbk.h"
#include "profile/profile_file.h"
#include "provision/actions.h"
#include "fleet/outcome_lines.h"
#include "provision/progress.h"
#include "fleet/recorded_plan.h"
#include "fleet/report.h"
#include "provision/run.h"
#include "provision/run_inputs.h"
#include "fleet/tool_texts.h"
#include "provision/trace.h"
#include "serial/open_failure_hint.h"
#include "serial/open_port.h"

namespace vorlen::fleet {
namespace {

using Ports = std::vector<std::shared_ptr<Port>>;

// Every port, or none: a port that does not open stops the run before
// anything is written. With a trace, each port records into its own record.
std::optional<Ports> OpenAll(const Options& options, Trace& trace, const Streams& streams) {
    const int language = options.LanguageIndex();
    Ports ports;
    for (const std::string& name : options.ports) {
        OpenFailure why;
        std::shared_ptr<Port> port = OpenPort(name, &why);
        if (!port) {
            streams.err << Say(text::kOpenFailed, language, {.port = name}) << ' '
                        << GbkToUtf8(OpenFailureHint(why, language)) << std::endl;
            return std::nullopt;
        }
        ports.push_back(trace.Follow(std::move(port), name));
    }
    return ports;
}

// What every port's run shares.
struct Fleet {
    const Profile& profile;
    const std::optional<DeviceList>& devices;
    Journal* journal;
    RunRecord record;
};

std::vector<Outcome> RunAll(const Ports& ports, const Fleet& fleet, const Options& options,
                            const RunSettings& settings, const Streams& streams,
                            std::vector<std::string>& journalFailures) {
    Progress progress(streams.out, streams.terminal, options.ports, streams.columns);
    std::vector<Outcome> outcomes(ports.size());
    std::vector<std::string> failures(ports.size());
    ImeiClaims claims;
    {
        std::vector<std::jthread> threads;
        for (std::size_t i = 0; i < ports.size(); ++i) {
            threads.emplace_back([&, i] {
                TrackerRecord record(fleet.journal, fleet.record);
                std::string deviceValues;
                TrackerPlan plan = RecordedPlan(fleet.profile, fleet.devices, ModeOf(options),
                                                options.force, deviceValues, record);
                plan.claims = &claims;
                outcomes[i] = ProvisionTracker(
                    *ports[i], options.ports[i], plan, settings,
                    [&progress, i](Phase phase, const std::string& what) {
                        progress.Show(i, phase, what);
                    });
                record.Finished(outcomes[i], deviceValues);
                failures[i] = record.Failure();
                progress.Finish(i, FinishedLine(outcomes[i], settings));
            });
        }
    }
    for (const std::string& failure : failures) {
        if (!failure.empty()) {
            journalFailures.push_back(failure);
        }
    }
    return outcomes;
}

// The trackers that passed with `result`: one configured but not recorded
// has not passed, and is not counted as configured either.
int PassedAs(const std::vector<Outcome>& outcomes, Result result) {
    return static_cast<int>(std::ranges::count_if(outcomes, [result](const Outcome& outcome) {
        return outcome.result == result && Passed(outcome);
    }));
}

// A re-run that wrote nothing says so: the trackers already held the profile.
std::string SummaryLine(const std::vector<Outcome>& outcomes, bool check, int language) {
    const int passed = static_cast<int>(std::ranges::count_if(outcomes, Passed));
    const int total = static_cast<int>(outcomes.size());
    if (check) {
        return Say(text::kCheckSummary, language, {.count = passed, .total = total});
    }
    const std::string how =
        Say(text::kSummaryConfigured, language, {.count = PassedAs(outcomes, Result::Done)}) +
        ", " +
        Say(text::kSummaryUnchanged, language, {.count = PassedAs(outcomes, Result::Unchanged)});
    return Say(text::kSummary, language, {.detail = how, .count = passed, .total = total});
}

}  // namespace

int ProvisionFleet(const Options& options, const Streams& streams) {
    const int language = options.LanguageIndex();
    if (const std::optional<std::string> port = RepeatedPort(options.ports)) {
        return RefuseArguments(Say(text::kPortTwice, language, {.port = *port}), language,
                               streams);
    }
    if (!options.report.empty() && !FolderExists(options.report)) {
        return RefuseArguments(Say(text::kNoFolder, language, {.detail = options.report}),
                               language, streams);
    }
    const std::optional<RunInputs> inputs = CheckedInputs(options, streams);
    if (!inputs) {
        return kBadInput;
    }
    // The previous run's report goes before any tracker is touched: a run
    // stopped half-way must not leave a report that says every tracker passed.
    if (!options.report.empty() && !WriteReport(FilePath(options.report), options.profile, {}, false)) {
        streams.err << Say(text::kReportFailed, language, {.detail = options.report})
                    << std::endl;
        return kBadInput;
    }
    Trace trace(options.trace);
    const std::optional<Ports> ports = OpenAll(options, trace, streams);
    if (!ports) {
        return kBadInput;
    }
    const RunSettings settings{options.WakeTimeout(), language};
    const Fleet fleet{inputs->profile, inputs->devices, inputs->journal.get(),
                      RecordOf(options)};
    std::vector<std::string> journalFailures;
    const std::vector<Outcome> outcomes =
        RunAll(*ports, fleet, options, settings, streams, journalFailures);
    trace.Print(streams.out, language);
    int passed = 0;
    for (const Outcome& outcome : outcomes) {
        passed += Passed(outcome) ? 1 : 0;
        for (const std::string& line : OutcomeLines(outcome, settings)) {
            streams.out << line << '\n';
        }
    }
    streams.out << SummaryLine(outcomes, options.check, language) << std::endl;
    for (const std::string& failure : journalFailures) {
        streams.err << Say(text::kJournalFailed, language,
                           {.port = JournalShown(options), .detail = JournalFailureShown(failure)})
                    << std::endl;
    }
    TellWaitingRows(inputs->journal.get(), options, streams);
    if (!options.report.empty() && !WriteReport(FilePath(options.report), options.profile, outcomes, true)) {
        streams.err << Say(text::kReportFailed, language, {.detail = options.report})
                    << std::endl;
        return kSomeFailed;
    }
    const bool all = passed == static_cast<int>(outcomes.size()) && journalFailures.empty();
    return all ? kAllPassed : kSomeFailed;
}

}  // namespace vorlen::fleet
