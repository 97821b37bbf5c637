#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <thread>

#include "model/gbk.h"
#include "profile/key_lines.h"
#include "profile/profile_file.h"
#include "protocol/line_rows.h"
#include "provision/actions.h"
#include "provision/device_list.h"
#include "provision/printable.h"
#include "provision/journal_record.h"
#include "serial/open_port.h"
#include "provision/outcome_lines.h"
#include "provision/profile_proof.h"
#include "provision/progress.h"
#include "provision/provision_tracker.h"
#include "provision/report.h"
#include "provision/run.h"
#include "provision/tool_texts.h"
#include "provision/trace.h"
#include "serial/open_failure_hint.h"

namespace vorlen::provision {
namespace {

using Ports = std::vector<std::shared_ptr<Port>>;

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The profile as the window's Set ALL would take it, or every line that
// refuses it. The check trims a copy; the commands go out as the file has
// them, as they go out as the controls show them.
std::optional<Profile> CheckedProfile(const Options& options, const Streams& streams) {
    const int language = options.LanguageIndex();
    ProfileResult loaded = LoadProfileFile(options.profile, language);
    if (!loaded) {
        // A fault inside the file is named with the file, one a line; a
        // missing file names itself.
        for (const ProfileError& fault : loaded.faults) {
            const std::string message = EscapedText(fault.message);
            streams.err << (fault.line > 0 || !fault.key.empty()
                                ? Say(text::kBadProfile, language,
                                      {.port = options.profile, .detail = message})
                                : message)
                        << '\n';
        }
        streams.err.flush();
        return std::nullopt;
    }
    const std::vector<std::string> mistakes =
        SetAllMistakes(*loaded.profile, KeyLines(FileText(options.profile)), language);
    for (const std::string& mistake : mistakes) {
        streams.err << Say(text::kBadProfile, language,
                           {.port = options.profile, .detail = mistake})
                    << '\n';
    }
    streams.err.flush();
    return mistakes.empty() ? std::move(loaded.profile) : std::nullopt;
}

std::optional<std::string> RepeatedPort(const std::vector<std::string>& ports) {
    std::set<std::string> seen;
    for (const std::string& port : ports) {
        if (!seen.insert(port).second) {
            return port;
        }
    }
    return std::nullopt;
}

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

// The profile a tracker is to hold and the device row's values, by its IMEI;
// with a device list, nothing for a tracker it does not name.
TrackerPlan PlanFor(const Fleet& fleet, const Options& options, std::string& deviceValues,
                    TrackerRecord& record) {
    TrackerPlan plan;
    plan.mode = options.check ? Mode::Check : Mode::Provision;
    plan.force = options.force;
    plan.target = [&fleet, &deviceValues](const std::string& imei) -> std::optional<Profile> {
        if (!fleet.devices) {
            return fleet.profile;
        }
        const auto row = fleet.devices->find(imei);
        if (row == fleet.devices->end()) {
            return std::nullopt;
        }
        deviceValues = ValuesJson(row->second);
        return row->second.profile;
    };
    plan.identified = [&record, &deviceValues](const Outcome& outcome) {
        record.Identified(outcome, deviceValues);
    };
    return plan;
}

// The outcome's first line without the port, which the progress shows anyway.
std::string FinishedLine(const Outcome& outcome, const RunSettings& settings) {
    const std::string line = OutcomeLines(outcome, settings).front();
    const std::string prefix = outcome.port + ": ";
    return line.starts_with(prefix) ? line.substr(prefix.size()) : line;
}

std::vector<Outcome> RunAll(const Ports& ports, const Fleet& fleet, const Options& options,
                            const RunSettings& settings, const Streams& streams,
                            std::vector<std::string>& journalFailures) {
    Progress progress(streams.out, streams.terminal, options.ports);
    std::vector<Outcome> outcomes(ports.size());
    std::vector<std::string> failures(ports.size());
    {
        std::vector<std::jthread> threads;
        for (std::size_t i = 0; i < ports.size(); ++i) {
            threads.emplace_back([&, i] {
                TrackerRecord record(fleet.journal, fleet.record);
                std::string deviceValues;
                outcomes[i] = ProvisionTracker(
                    *ports[i], options.ports[i], PlanFor(fleet, options, deviceValues, record),
                    settings, [&progress, i](Phase phase, const std::string& what) {
                        progress.Show(i, phase, what);
                    });
                record.Finished(outcomes[i], deviceValues);
                failures[i] = record.Failure();
                progress.Show(i, kFinished, FinishedLine(outcomes[i], settings));
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
    const std::optional<Profile> profile = CheckedProfile(options, streams);
    if (!profile) {
        return kBadInput;
    }
    std::optional<DeviceList> devices;
    if (!options.devices.empty()) {
        std::string failure;
        devices = LoadDeviceList(options.devices, *profile, language, failure);
        if (!devices) {
            streams.err << failure << std::endl;
            return kBadInput;
        }
    }
    const std::optional<std::unique_ptr<Journal>> journal = ChosenJournal(options, streams);
    if (!journal) {
        return kBadInput;
    }
    // The previous run's report goes before any tracker is touched: a run
    // stopped half-way must not leave a report that says every tracker passed.
    if (!options.report.empty() && !WriteReport(options.report, options.profile, {}, false)) {
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
    const Fleet fleet{*profile, devices, journal->get(),
                      {options.station.empty() ? HostName() : options.station,
                       options.operatorName, options.check ? "check" : "provision",
                       options.profile, FileSha256(options.profile)}};
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
    streams.out << Say(options.check ? text::kCheckSummary : text::kSummary, language,
                       {.count = passed, .total = static_cast<int>(outcomes.size())})
                << std::endl;
    for (const std::string& failure : journalFailures) {
        streams.err << Say(text::kJournalFailed, language,
                           {.port = JournalShown(options), .detail = Printable(failure)})
                    << std::endl;
    }
    if (!options.report.empty() && !WriteReport(options.report, options.profile, outcomes, true)) {
        streams.err << Say(text::kReportFailed, language, {.detail = options.report})
                    << std::endl;
        return kSomeFailed;
    }
    const bool all = passed == static_cast<int>(outcomes.size()) && journalFailures.empty();
    return all ? kAllPassed : kSomeFailed;
}

}  // namespace vorlen::provision
