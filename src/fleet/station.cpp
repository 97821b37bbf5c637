#include "fleet/station.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <thread>

#include "fleet/report.h"
#include "fleet/slot_loop.h"
#include "fleet/tool_texts.h"
#include "protocol/pause.h"
#include "serial/open_port.h"

namespace vorlen::fleet {
namespace {

// How often the station looks at the journal: rows that wait for the server
// are sent without a slot doing anything.
constexpr std::chrono::milliseconds kJournalLook{200};

}  // namespace

StationSystem RealSystem() {
    StationSystem system;
    system.openPort = [](const std::string& name, OpenFailure* why) { return OpenPort(name, why); };
    system.portExists = [](const std::string& name) { return PortExists(name); };
    return system;
}

struct Station::Shared {
    Shared(StationSetup setup, OnChange onChange, StationSystem system)
        : setup(std::move(setup)), onChange(std::move(onChange)), system(std::move(system)),
          tally(this->system.clock) {}

    // The counts with the time since the start, or, once every slot has
    // ended, the time the station ran.
    StationCounts Counts() const {
        std::lock_guard lock(mutex);
        return tally.Counts();
    }

    // A tracker's outcome is in; with `count` of them the station stops.
    void Tally(const Outcome& outcome, const std::string& journalFailure) {
        bool enough = false;
        {
            std::lock_guard lock(mutex);
            tally.Add(outcome);
            if (!journalFailure.empty() &&
                std::find(journalFailures.begin(), journalFailures.end(), journalFailure) ==
                    journalFailures.end()) {
                journalFailures.push_back(journalFailure);
            }
            enough = setup.count > 0 && tally.Counts().Trackers() >= setup.count;
        }
        if (enough) {
            stop.request_stop();
        }
    }

    // A slot is about to run a tracker: false once `count` have started.
    bool MayStart() {
        std::lock_guard lock(mutex);
        if (setup.count > 0 && started >= setup.count) {
            return false;
        }
        ++started;
        return true;
    }

    void SlotEnded() {
        {
            std::lock_guard lock(mutex);
            if (--running == 0) {
                tally.Stop();
            }
        }
        allEnded.notify_all();
    }

    // Tells every change of the journal's state until the station ends.
    void WatchJournal(std::stop_token ended) {
        std::optional<JournalHealth> told;
        do {
            const JournalHealth now = setup.journal->Health();
            if (now != told) {
                told = now;
                setup.journalChanged(now);
            }
        } while (StoppablePause(ended)(kJournalLook));
    }

    // Tells the counts every `countsLook` until the station ends: the pace
    // falls while no tracker comes.
    void TellCounts(std::stop_token ended) {
        while (StoppablePause(ended)(system.countsLook)) {
            setup.countsChanged(Counts());
        }
    }

    bool TakeRetry(std::size_t index) {
        std::lock_guard lock(mutex);
        const bool asked = retries[index];
        retries[index] = false;
        return asked;
    }

    void RunSlotThread(std::size_t index) {
        const SlotHost host{
            setup, system, stop.get_token(), claims, [this] { return MayStart(); },
            [this, index](const SlotState& state) {
                if (onChange) {
                    onChange(index, state, Counts());
                }
            },
            [this](const Outcome& outcome, const std::string& failure) {
                Tally(outcome, failure);
            },
            [this, index] { return TakeRetry(index); }};
        RunSlot(index, host);
        SlotEnded();
    }

    const StationSetup setup;
    const OnChange onChange;
    const StationSystem system;
    std::stop_source stop;
    mutable std::mutex mutex;
    std::condition_variable allEnded;
    std::size_t running = 0;
    LineTally tally;
    int started = 0;  // trackers whose run has begun
    std::vector<bool> retries;  // by slot: the operator asked for a run again
    ImeiClaims claims;
    std::vector<std::string> journalFailures;
    std::vector<std::jthread> slots;
    std::jthread journalWatch;
    std::jthread countsTeller;
};

Station::Station(StationSetup setup, OnChange onChange, StationSystem system)
    : shared_(std::make_shared<Shared>(std::move(setup), std::move(onChange), std::move(system))) {
    Shared& shared = *shared_;
    shared.running = shared.setup.slots.size();
    shared.retries.assign(shared.running, false);
    if (shared.running == 0) {
        shared.tally.Stop();
    }
    for (std::size_t i = 0; i < shared.setup.slots.size(); ++i) {
        shared.slots.emplace_back([&shared, i] { shared.RunSlotThread(i); });
    }
    if (shared.setup.journal != nullptr && shared.setup.journalChanged) {
        shared.journalWatch =
            std::jthread([&shared](std::stop_token ended) { shared.WatchJournal(ended); });
    }
    if (shared.setup.countsChanged) {
        shared.countsTeller =
            std::jthread([&shared](std::stop_token ended) { shared.TellCounts(ended); });
    }
}

Station::~Station() {
    RequestStop();
    Wait();
    shared_->slots.clear();
    shared_->journalWatch = {};
    shared_->countsTeller = {};
}

void Station::RequestStop() { shared_->stop.request_stop(); }

void Station::Wait() {
    std::unique_lock lock(shared_->mutex);
    shared_->allEnded.wait(lock, [this] { return shared_->running == 0; });
}

void Station::Retry(std::size_t slot) {
    std::lock_guard lock(shared_->mutex);
    if (slot < shared_->retries.size()) {
        shared_->retries[slot] = true;
    }
}

bool Station::Stopped() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->running == 0;
}

StationCounts Station::Counts() const { return shared_->Counts(); }

std::vector<std::string> Station::JournalFailures() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->journalFailures;
}

}  // namespace vorlen::fleet
