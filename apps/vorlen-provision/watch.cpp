#include <thread>

#include "provision/actions.h"
#include "provision/interrupt.h"
#include "provision/run.h"
#include "provision/run_inputs.h"
#include "fleet/station.h"
#include "provision/station_board.h"
#include "fleet/tool_texts.h"

namespace vorlen::fleet {
namespace {

// How soon a Ctrl-C reaches the station.
constexpr std::chrono::milliseconds kInterruptLook{50};

// Runs until every slot has stopped: after --count outcomes, or after the
// current command once Ctrl-C was pressed.
void RunUntilStopped(Station& station) {
    const Interrupts interrupts;
    while (!station.Stopped()) {
        if (interrupts.Requested()) {
            station.RequestStop();
        }
        std::this_thread::sleep_for(kInterruptLook);
    }
    station.Wait();
}

}  // namespace

// Unlike a fleet run, a slot's port need not be there: it is looked for
// until it appears.
int WatchStation(const Options& options, const Streams& streams) {
    const int language = options.LanguageIndex();
    if (const std::optional<std::string> port = RepeatedPort(options.ports)) {
        return RefuseArguments(Say(text::kPortTwice, language, {.port = *port}), language,
                               streams);
    }
    std::optional<RunInputs> inputs = CheckedInputs(options, streams);
    if (!inputs) {
        return kBadInput;
    }
    StationSetup setup{std::move(inputs->profile), std::move(inputs->devices),
                       inputs->journal.get(), RecordOf(options), ModeOf(options),
                       options.force, language, options.ports, options.count};
    streams.out << Say(text::kStationHint, language) << std::endl;
    StationBoard board(streams.out, options.slots,
                       {streams.terminal, options.bell, language, streams.columns});
    setup.journalChanged = [&board](const JournalHealth& health) { board.ShowJournal(health); };
    setup.countsChanged = [&board](const StationCounts& counts) { board.ShowCounts(counts); };
    Station station(std::move(setup),
                    [&board](std::size_t slot, const SlotState& state,
                             const StationCounts& counts) { board.Show(slot, state, counts); });
    RunUntilStopped(station);
    const StationCounts counts = station.Counts();
    board.Finish(counts);
    const std::vector<std::string> journalFailures = station.JournalFailures();
    TellWaitingRows(inputs->journal.get(), options, streams);
    for (const std::string& failure : journalFailures) {
        streams.err << Say(text::kJournalFailed, language,
                           {.port = JournalShown(options), .detail = JournalFailureShown(failure)})
                    << std::endl;
    }
    return counts.failed == 0 && journalFailures.empty() ? kAllPassed : kSomeFailed;
}

}  // namespace vorlen::fleet
