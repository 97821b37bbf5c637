// A fleet station: one profile on a row of slots. A slot is a port the
// operator names, present or not yet (a USB adapter's socket), and each slot
// loops on its own thread: wait for the port and for a tracker that answers
// the wake-up, identify it by its IMEI, provision and verify it as
// vorlen-provision does, record it in the journal, show the outcome, then
// wait for the next tracker: a different IMEI, or the port going away and
// coming back. A tracker left in its slot after its outcome is never written
// again.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "profile/profile.h"
#include "protocol/port.h"
#include "fleet/device_list.h"
#include "fleet/journal/journal.h"
#include "fleet/journal_record.h"
#include "fleet/line_counters.h"
#include "fleet/outcome.h"
#include "serial/open_failure.h"

namespace vorlen::fleet {

enum class SlotPhase {
    WaitingForPort,     // the slot's port is not there
    WaitingForTracker,  // the port is open; the wake-up runs until a tracker answers
    Identifying,        // the IMEI and the configuration as found
    Setting,            // set-all, step by step
    Verifying,          // the read-back after set-all
    Finished,           // the outcome is shown; waiting for the next tracker
    Stopped,            // the station has stopped; the slot does nothing more
};

struct SlotState {
    std::string slot;                // the port's name as given
    SlotPhase phase = SlotPhase::WaitingForPort;
    std::string what;                // the phase in words, UTF-8, the station's language
    std::string imei;                // the tracker now in the slot; empty for none
    std::optional<Outcome> last;     // the slot's last tracker's outcome
    std::string lastLine;            // its outcome line without the port, UTF-8
};

// What the station needs of the system; tests give pseudo-terminals and
// their links, and may shorten the waits.
struct StationSystem {
    std::function<std::shared_ptr<Port>(const std::string& name, OpenFailure* why)> openPort;
    std::function<bool(const std::string& name)> portExists;
    // How often a slot looks for its port, and asks a tracker left in the
    // slot whether it is still the same one.
    std::chrono::milliseconds portLook{100};
    std::chrono::milliseconds sameTrackerLook{1000};
    // The counters' clock, and how often the counters are told while
    // nothing happens (the pace falls while the line stands).
    SteadyClock clock = std::chrono::steady_clock::now;
    std::chrono::milliseconds countsLook{1000};
};

// The real ports (serial/open_port.h).
StationSystem RealSystem();

struct StationSetup {
    Profile profile;                     // passed Set ALL's check
    std::optional<DeviceList> devices;   // by IMEI; a tracker it does not name is "not listed"
    Journal* journal = nullptr;          // null: nothing is recorded
    RunRecord record;                    // the journal's columns every row shares
    Mode mode = Mode::Provision;
    bool force = false;
    int language = 1;                    // 0 Chinese, anything else English
    std::vector<std::string> slots;      // port names, each once
    // Start no more than this many trackers, and stop once each has its
    // outcome; 0 for no end.
    int count = 0;
    // Called from the station's own thread when the journal's state changes
    // (rows wait for the server, or it takes no rows); may be empty.
    std::function<void(const JournalHealth& health)> journalChanged;
    // Called from the station's own thread every `countsLook` with the
    // counts as they then are; may be empty.
    std::function<void(const StationCounts& counts)> countsChanged;
};

class Station {
public:
    // Called on a slot's thread whenever the slot changes, with the counts
    // as they then are. Calls for one slot come in order; calls for
    // different slots may overlap.
    using OnChange = std::function<void(std::size_t slot, const SlotState& state,
                                        const StationCounts& counts)>;

    // Starts every slot's loop at once. `setup.journal` must outlive it.
    Station(StationSetup setup, OnChange onChange, StationSystem system = RealSystem());
    // Stops, and waits for every slot.
    ~Station();
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // Each slot ends after its current command: a tracker in the middle of
    // set-all ends as failed, stopped at that step, and is recorded so.
    void RequestStop();
    // Returns once every slot has stopped (after a stop, or after `count`
    // outcomes).
    void Wait();
    // The operator asks the slot to run the tracker still in it again, as
    // if it were a new one: the slot does so at its next look at it, without
    // a replug. Asked while a tracker is worked on, or while no port is
    // there, it is dropped.
    void Retry(std::size_t slot);
    bool Stopped() const;

    StationCounts Counts() const;
    // The journal's reasons for writes that failed, each once.
    std::vector<std::string> JournalFailures() const;

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

}  // namespace vorlen::fleet
