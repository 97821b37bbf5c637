#include "model/gbk.h"
#include "profile/profile_file.h"
#include "provision/actions.h"
#include "provision/journal_record.h"
#include "provision/read_tracker.h"
#include "serial/open_port.h"
#include "provision/phases.h"
#include "provision/progress.h"
#include "provision/run.h"
#include "provision/tool_texts.h"
#include "provision/wake.h"

namespace vorlen::provision {
namespace {

// Wakes the tracker, reads its IMEI and its whole configuration; the failure
// line when that does not happen. The journal has the row from the IMEI on.
std::optional<Profile> ReadTracker(Port& port, const RunSettings& settings,
                                   const Streams& streams, TrackerRecord& record,
                                   Outcome& outcome, std::string& failure) {
    const int language = settings.language;
    const std::string& name = outcome.port;
    Progress progress(streams.out, streams.terminal, {name});
    progress.Show(0, kWaking, Say(text::kWaking, language, {.detail = WakeSeconds(settings)}));
    if (!WakeWithin(port, settings.wakeTimeout)) {
        failure = Say(text::kNotWoken, language, {.port = name, .detail = WakeSeconds(settings)});
        return std::nullopt;
    }
    progress.Show(0, kReading, Say(text::kReading, language));
    outcome.result = Result::ReadBackFailed;
    std::optional<Profile> read;
    if (const std::optional<std::string> imei = ReadImei(port, language, outcome.failure)) {
        outcome.imei = GbkToUtf8(*imei);
        record.Identified(outcome, {});
        read = ReadConfiguration(port, language, outcome.failure);
    }
    if (!read) {
        failure = Say(text::kReadFailed, language, {.port = name, .detail = outcome.failure});
        return std::nullopt;
    }
    outcome.softwareVersion = GbkToUtf8(read->form.softwareVersion);
    outcome.result = Result::Done;
    return read;
}

}  // namespace

int ReadToProfile(const Options& options, const Streams& streams) {
    const int language = options.LanguageIndex();
    const std::string& name = options.readPort;
    if (!FolderExists(options.out)) {
        return RefuseArguments(Say(text::kNoFolder, language, {.detail = options.out}), language,
                               streams);
    }
    const std::optional<std::unique_ptr<Journal>> journal = ChosenJournal(options, streams);
    if (!journal) {
        return kBadInput;
    }
    const std::shared_ptr<Port> port = OpenPort(name);
    if (!port) {
        streams.err << Say(text::kOpenFailed, language, {.port = name}) << std::endl;
        return kBadInput;
    }
    const RunRecord run{options.station.empty() ? HostName() : options.station,
                        options.operatorName, "read", options.out, {}};
    TrackerRecord record(journal->get(), run);
    Outcome outcome;
    outcome.port = name;
    std::string failure;
    const std::optional<Profile> read = ReadTracker(*port, {options.WakeTimeout(), language},
                                                    streams, record, outcome, failure);
    record.Finished(outcome, {});
    if (!read) {
        streams.out << failure << std::endl;
        return kSomeFailed;
    }
    if (!SaveProfileFile(options.out, read->form, read->selections)) {
        streams.err << GbkToUtf8(SaveFailedMessage(options.out, language)) << std::endl;
        return kSomeFailed;
    }
    streams.out << Say(text::kSaved, language, {.port = name, .detail = options.out}) << std::endl;
    // A tracker may hold what the form cannot (a longer password): say so now,
    // not when the file is first loaded.
    const ProfileResult check = ReadProfile(WriteProfile(read->form, read->selections), language);
    if (!check) {
        streams.out << Say(text::kSavedButUnfit, language,
                           {.detail = GbkToUtf8(check.error.message)})
                    << std::endl;
    }
    return kAllPassed;
}

}  // namespace vorlen::provision
