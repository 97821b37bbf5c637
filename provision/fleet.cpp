#include <algorithm>
#include <memory>
#include <set>
#include <thread>

#include "model/gbk.h"
#include "model/validation.h"
#include "profile/profile_file.h"
#include "protocol/line_record.h"
#include "protocol/line_rows.h"
#include "protocol/recorded_port.h"
#include "provision/actions.h"
#include "provision/device_list.h"
#include "provision/printable.h"
#include "provision/journal_record.h"
#include "serial/open_port.h"
#include "provision/outcome_lines.h"
#include "provision/progress.h"
#include "provision/provision_tracker.h"
#include "provision/report.h"
#include "provision/run.h"
#include "provision/tool_texts.h"
#include "serial/open_failure_hint.h"

namespace vorlen::provision {
namespace {

using Ports = std::vector<std::shared_ptr<Port>>;
using Records = std::vector<std::unique_ptr<LineRecord>>;

// The profile as the window's Set ALL would take it, or the one line that
// refuses it. The check trims a copy; the commands go out as the file has
// them, as they go out as the controls show them.
std::optional<Profile> CheckedProfile(const Options& options, const Streams& streams) {
    const int language = options.LanguageIndex();
    ProfileResult loaded = LoadProfileFile(options.profile, language);
    if (!loaded) {
        // A fault inside the file is named with the file; a missing file
        // names itself.
        const std::string message = GbkToUtf8(loaded.error.message);
        streams.err << (loaded.error.line > 0 || !loaded.error.key.empty()
                            ? Say(text::kBadProfile, language,
                                  {.port = options.profile, .detail = message})
                            : message)
                    << std::endl;
        return std::nullopt;
    }
    Profile checked = *loaded.profile;
    if (const Verdict verdict = ValidateAllFields(checked.form, checked.selections)) {
        const std::string message = GbkToUtf8(InLanguage(MessageText(*verdict), language));
        streams.err << Say(text::kRefusedProfile, language,
                           {.port = options.profile, .detail = message})
                    << std::endl;
        return std::nullopt;
    }
    return loaded.profile;
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
std::optional<Ports> OpenAll(const Options& options, Records& records, const Streams& streams) {
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
        if (options.trace) {
            records.push_back(std::make_unique<LineRecord>());
            port = std::make_shared<RecordedPort>(std::move(port), *records.back());
        }
        ports.push_back(std::move(port));
    }
    return ports;
}

// The rows of every port's line, port by port, as the line monitor shows them.
void PrintTraces(const Options& options, const Records& records, const Streams& streams) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        streams.out << Say(text::kTraceOf, options.LanguageIndex(), {.port = options.ports[i]})
                    << '\n'
                    << LineRecordText(*records[i]);
    }
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
    Records records;
    const std::optional<Ports> ports = OpenAll(options, records, streams);
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
    PrintTraces(options, records, streams);
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
    if (!options.report.empty() && !WriteReport(options.report, options.profile, outcomes)) {
        streams.err << Say(text::kReportFailed, language, {.detail = options.report})
                    << std::endl;
        return kSomeFailed;
    }
    const bool all = passed == static_cast<int>(outcomes.size()) && journalFailures.empty();
    return all ? kAllPassed : kSomeFailed;
}

}  // namespace vorlen::provision
