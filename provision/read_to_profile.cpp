#include "model/gbk.h"
#include "profile/profile_file.h"
#include "protocol/readback.h"
#include "provision/actions.h"
#include "serial/open_port.h"
#include "provision/phases.h"
#include "provision/progress.h"
#include "provision/run.h"
#include "provision/tool_texts.h"
#include "provision/wake.h"

namespace vorlen::provision {
namespace {

// Wakes the tracker and reads its whole configuration; the failure line
// when either does not happen.
std::optional<Profile> ReadTracker(Port& port, const std::string& name,
                                   const RunSettings& settings, const Streams& streams,
                                   std::string& failure) {
    const int language = settings.language;
    Progress progress(streams.out, streams.terminal, {name});
    progress.Show(0, kWaking, Say(text::kWaking, language, {.detail = WakeSeconds(settings)}));
    if (!WakeWithin(port, settings.wakeTimeout)) {
        failure = Say(text::kNotWoken, language, {.port = name, .detail = WakeSeconds(settings)});
        return std::nullopt;
    }
    progress.Show(0, kReading, Say(text::kReading, language));
    const TrackerReading reading = ReadBackTracker(port);
    if (!reading.Succeeded()) {
        failure = Say(text::kReadFailed, language,
                      {.port = name, .detail = GbkToUtf8(ReadBackResultText(false, language))});
        return std::nullopt;
    }
    return Profile{reading.form, reading.selections};
}

}  // namespace

int ReadToProfile(const Options& options, const Streams& streams) {
    const int language = options.LanguageIndex();
    const std::string& name = options.readPort;
    if (!FolderExists(options.out)) {
        return RefuseArguments(Say(text::kNoFolder, language, {.detail = options.out}), language,
                               streams);
    }
    const std::shared_ptr<Port> port = OpenPort(name);
    if (!port) {
        streams.err << Say(text::kOpenFailed, language, {.port = name}) << std::endl;
        return kBadInput;
    }
    std::string failure;
    const std::optional<Profile> read =
        ReadTracker(*port, name, {options.WakeTimeout(), language}, streams, failure);
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
