#include "model/gbk.h"
#include "profile/profile_file.h"
#include "protocol/line_rows.h"
#include "provision/actions.h"
#include "fleet/journal_record.h"
#include "fleet/read_tracker.h"
#include "serial/open_port.h"
#include "fleet/phases.h"
#include "provision/progress.h"
#include "provision/run.h"
#include "fleet/tool_texts.h"
#include "provision/trace.h"
#include "fleet/wake.h"

namespace vorlen::fleet {
namespace {

// Wakes the tracker, reads its IMEI and its whole configuration; the failure
// line when that does not happen. The journal has the row from the IMEI on.
std::optional<Profile> ReadTracker(Port& port, const RunSettings& settings,
                                   const Streams& streams, TrackerRecord& record,
                                   Outcome& outcome, std::string& failure) {
    const int language = settings.language;
    const std::string& name = outcome.port;
    Progress progress(streams.out, streams.terminal, {name}, streams.columns);
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

// A tracker may hold what the form cannot (a six-digit factory password,
// bytes that are not GBK): the file is saved as read, so nothing the tracker
// said is lost, but the fields that will not load back are named and the run
// counts as failed, not as a profile ready for the fleet.
int SaveRead(const Profile& read, const Options& options, const Streams& streams) {
    const int language = options.LanguageIndex();
    if (!SaveProfileFile(FilePath(options.out), read.form, read.selections)) {
        streams.err << GbkToUtf8(SaveFailedMessage(FilePath(options.out), language)) << std::endl;
        return kSomeFailed;
    }
    streams.out << Say(text::kSaved, language, {.port = options.readPort, .detail = options.out})
                << std::endl;
    const std::vector<ProfileError> unfit =
        FieldsThatWillNotLoad(read.form, read.selections, language);
    for (const ProfileError& fault : unfit) {
        streams.out << Say(text::kSavedButUnfit, language, {.detail = EscapedText(fault.message)})
                    << '\n';
    }
    streams.out.flush();
    if (!unfit.empty()) {
        return kSomeFailed;
    }
    return kAllPassed;
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
    std::shared_ptr<Port> port = OpenPort(name);
    if (!port) {
        streams.err << Say(text::kOpenFailed, language, {.port = name}) << std::endl;
        return kBadInput;
    }
    Trace trace(options.trace);
    port = trace.Follow(std::move(port), name);
    const RunRecord run{options.station.empty() ? HostName() : options.station,
                        options.operatorName, "read", options.out, {}};
    TrackerRecord record(journal->get(), run);
    Outcome outcome;
    outcome.port = name;
    std::string failure;
    const std::optional<Profile> read = ReadTracker(*port, {options.WakeTimeout(), language},
                                                    streams, record, outcome, failure);
    record.Finished(outcome, {});
    trace.Print(streams.out, language);
    if (!read) {
        streams.out << failure << std::endl;
        return kSomeFailed;
    }
    return SaveRead(*read, options, streams);
}

}  // namespace vorlen::fleet
