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

std::vector<Outcome> RunAll(const Ports& ports, const Profile& profile, const Options& options,
                            const RunSettings& settings, const Streams& streams) {
    Progress progress(streams.out, streams.terminal, options.ports);
    std::vector<Outcome> outcomes(ports.size());
    {
        std::vector<std::jthread> threads;
        for (std::size_t i = 0; i < ports.size(); ++i) {
            threads.emplace_back([&, i] {
                outcomes[i] = ProvisionTracker(
                    *ports[i], options.ports[i], profile, settings,
                    [&progress, i](Phase phase, const std::string& what) {
                        progress.Show(i, phase, what);
                    });
            });
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
    const std::vector<Outcome> outcomes = RunAll(*ports, *profile, options, settings, streams);
    trace.Print(streams.out, language);
    int passed = 0;
    for (const Outcome& outcome : outcomes) {
        passed += outcome.result == Result::Done ? 1 : 0;
        for (const std::string& line : OutcomeLines(outcome, settings)) {
            streams.out << line << '\n';
        }
    }
    streams.out << Say(text::kSummary, language,
                       {.count = passed, .total = static_cast<int>(outcomes.size())})
                << std::endl;
    if (!options.report.empty() && !WriteReport(options.report, options.profile, outcomes, true)) {
        streams.err << Say(text::kReportFailed, language, {.detail = options.report})
                    << std::endl;
        return kSomeFailed;
    }
    return passed == static_cast<int>(outcomes.size()) ? kAllPassed : kSomeFailed;
}

}  // namespace vorlen::provision
