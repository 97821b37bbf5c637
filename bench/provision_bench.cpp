// How long vorlen-provision takes for one awake simulated tracker (wake-up,
// IMEI, first read-back, set-all, verification) next to the floor the 50 ms
// polling sets, for 32 in parallel next to one, for a re-run that finds the
// tracker unchanged, and what one tracker's journal row costs in SQLite and
// in PostgreSQL. Then the station: how soon a slot's port that appears gets
// its first command, and how many trackers eight slots provision in an hour
// when each slot's tracker is swapped for a new one as soon as it is done.
// Runs the program in this process; prints one table row each.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "profile/profile_file.h"
#include "fleet/journal/journal.h"
#include "fleet/profile_proof.h"
#include "provision/run.h"
#include "fleet/station.h"
#include "sim/postgres_server.h"
#include "sim/sim_process.h"

namespace {

using namespace vorlen;
using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

// Wake-up 200 ms, the IMEI 50 ms, read-back 3 x 50 ms, set-all 19 x 50 ms,
// read-back again.
constexpr double kUnchangedFloorMs = 200 + 50 + 3 * 50;
constexpr double kFloorMs = kUnchangedFloorMs + 19 * 50 + 3 * 50;
constexpr double kParallelFactor = 1.2;
constexpr int kJournalRows = 200;
// A slot's port that appears gets its first command within this.
constexpr double kPortToCommandTargetMs = 500;
constexpr int kPortAppearances = 10;
constexpr int kStationSlots = 8;
constexpr auto kStationRun = std::chrono::seconds(60);
// A station asks a finished tracker's slot every second (its default look)
// whether the tracker is still there: the look, its wake-up of the next
// tracker, which the run's own wake-up then is, and its IMEI read (50 ms)
// come on top of the run's floor.
constexpr double kStationFloorMs = kFloorMs + 1000 + 50;

struct Times {
    double min;
    double median;
    double max;
    bool passed;
};

// Provisions the trackers `runs` times with one program run each.
using Trackers = std::vector<std::unique_ptr<test::SimProcess>>;

Times Measure(const std::string& profile, const Trackers& sims, int runs,
              const std::vector<std::string>& extra) {
    std::vector<std::string> arguments{"vorlen-provision", "--profile", profile};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    for (const auto& sim : sims) {
        arguments.insert(arguments.end(), {"--port", sim->LinkPath()});
    }
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    std::vector<double> times;
    bool passed = true;
    for (int i = 0; i < runs; ++i) {
        std::ostringstream out;
        const auto start = Clock::now();
        passed = fleet::Run(static_cast<int>(argv.size()), argv.data(), out, out, false) ==
                     fleet::kAllPassed &&
                 passed;
        times.push_back(Millis(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2], times.back(), passed};
}

Trackers AwakeTrackers(int count) {
    Trackers sims;
    for (int i = 0; i < count; ++i) {
        sims.push_back(std::make_unique<test::SimProcess>(std::vector<std::string>{"--awake"}));
    }
    return sims;
}

// One tracker's row written and completed, as a run writes it: the mean of
// kJournalRows, in milliseconds, or a negative number when a write failed.
double JournalMsPerTracker(const std::string& where) {
    std::string failure;
    const std::unique_ptr<fleet::Journal> journal = fleet::OpenJournal(where, failure);
    if (!journal) {
        std::fprintf(stderr, "cannot open the journal %s: %s\n", where.c_str(), failure.c_str());
        return -1;
    }
    fleet::JournalEntry entry;
    entry.started = fleet::UtcNow();
    entry.station = "bench";
    entry.port = "/dev/ttyUSB0";
    entry.imei = "861234567890123";
    entry.softwareVersion = "V1.04 SIM";
    entry.mode = "provision";
    entry.profile = "fleet.toml";
    entry.profileSha256 = std::string(64, 'a');
    const auto start = Clock::now();
    for (int i = 0; i < kJournalRows; ++i) {
        entry.id = journal->Begin(entry);
        entry.finished = fleet::UtcNow();
        entry.result = "done";
        if (entry.id == 0 || !journal->Finish(entry)) {
            return -1;
        }
    }
    return Millis(Clock::now() - start).count() / kJournalRows;
}

void PrintJournalRow(const char* action, double ms, double bound) {
    char target[32];
    std::snprintf(target, sizeof target, "< 1 %% of one (%.1f)", bound);
    std::printf("| %-30s | %4d | %9s | %9.2f | %9s | %-22s | %-6s |\n", action, kJournalRows, "",
                ms, "", target, ms >= 0 && ms < bound ? "met" : "MISSED");
}

void PrintRow(const char* action, int runs, const Times& times, double bound, const char* target) {
    const bool met = times.passed && times.median <= bound;
    std::printf("| %-30s | %4d | %9.1f | %9.1f | %9.1f | %-22s | %-6s |\n", action, runs, times.min,
                times.median, times.max, target, met ? "met" : "MISSED");
}


// The station with the real system's looks, on `slots`, every change told.
std::unique_ptr<fleet::Station> StartStation(const Profile& profile,
                                                 std::vector<std::string> slots,
                                                 fleet::Station::OnChange onChange) {
    fleet::StationSetup setup;
    setup.profile = profile;
    setup.slots = std::move(slots);
    return std::make_unique<fleet::Station>(std::move(setup), std::move(onChange));
}

double SteadySeconds(Clock::time_point when) {
    return std::chrono::duration<double>(when.time_since_epoch()).count();
}

// From the slot's link appearing to the first command the tracker hears
// (both on the monotonic clock), for trackers plugged in one after another.
Times PortToFirstCommand(const Profile& profile, const std::string& socket) {
    std::atomic<fleet::SlotPhase> phase{fleet::SlotPhase::WaitingForPort};
    const auto station = StartStation(
        profile, {socket},
        [&phase](std::size_t, const fleet::SlotState& state, const fleet::StationCounts&) {
            phase = state.phase;
        });
    std::vector<double> times;
    bool passed = true;
    for (int i = 0; i < kPortAppearances; ++i) {
        test::SimProcess tracker;
        const Clock::time_point plugged = Clock::now();
        std::filesystem::create_symlink(std::filesystem::read_symlink(tracker.LinkPath()), socket);
        passed = tracker.WaitForCommands(1, std::chrono::seconds(5)) && passed;
        times.push_back(passed ? (tracker.Log().front().seconds - SteadySeconds(plugged)) * 1000
                               : -1);
        std::filesystem::remove(socket);
        tracker.Kill();
        while (phase != fleet::SlotPhase::WaitingForPort) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2], times.back(), passed};
}

// Eight slots, each tracker swapped (SIGUSR1) for a new one as soon as its
// outcome is in; the trackers done per hour over kStationRun.
double StationTrackersPerHour(const Profile& profile) {
    Trackers sims;
    std::vector<std::string> slots;
    for (int i = 0; i < kStationSlots; ++i) {
        sims.push_back(std::make_unique<test::SimProcess>());
        slots.push_back(sims.back()->LinkPath());
    }
    const auto station = StartStation(
        profile, slots,
        [&sims](std::size_t slot, const fleet::SlotState& state,
                const fleet::StationCounts&) {
            if (state.phase == fleet::SlotPhase::Finished) {
                ::kill(sims[slot]->Pid(), SIGUSR1);
            }
        });
    std::this_thread::sleep_for(kStationRun);
    const fleet::StationCounts counts = station->Counts();
    station->RequestStop();
    return counts.done * 3600.0 / counts.elapsedSeconds;
}

void PrintStation(const Times& port, double perHour) {
    std::printf("| %-30s | runs | min ms    | median ms | max ms    | %-22s | met    |\n",
                "station", "target");
    std::printf("|%s|------|-----------|-----------|-----------|%s|--------|\n",
                std::string(32, '-').c_str(), std::string(24, '-').c_str());
    char target[32];
    std::snprintf(target, sizeof target, "< %.0f ms", kPortToCommandTargetMs);
    PrintRow("port appears -> first command", kPortAppearances, port, kPortToCommandTargetMs,
             target);
    const double runFloor = kStationSlots * 3600e3 / kFloorMs;
    const double lookFloor = kStationSlots * 3600e3 / kStationFloorMs;
    std::printf("\n| %-30s | trackers/h | floor, run alone | floor with the look | met    |\n",
                "8 slots, swapped when done");
    std::printf("|%s|------------|------------------|---------------------|--------|\n",
                std::string(32, '-').c_str());
    std::printf("| %-30s | %10.0f | %16.0f | %19.0f | %-6s |\n", "60 s, trackers per hour", perHour,
                runFloor, lookFloor, perHour >= lookFloor * 0.95 ? "met" : "MISSED");
}

// The station's two measures on the bench's profile; false when the
// profile is refused.
bool StationBench(const std::string& profile, const std::filesystem::path& folder) {
    std::vector<std::string> mistakes;
    const std::optional<Profile> checked = fleet::CheckedProfileFile(profile, 1, mistakes);
    if (!checked) {
        std::fprintf(stderr, "the bench's profile is refused: %s\n", mistakes.front().c_str());
        return false;
    }
    const Times port = PortToFirstCommand(*checked, (folder / "slot1").string());
    const double perHour = StationTrackersPerHour(*checked);
    std::printf("\n");
    PrintStation(port, perHour);
    return true;
}

}  // namespace

int main() {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "vorlen-provision-bench";
    std::filesystem::create_directories(folder);
    const std::string profile = (folder / "fleet.toml").string();
    TrackerForm form;
    form.userPassword = "1234";
    form.intervalTime = "30";
    form.uploadCount = "1";
    if (!SaveProfileFile(profile, form, Selections{0, 0, 0, 0, 0, 0})) {
        std::fprintf(stderr, "cannot write %s\n", profile.c_str());
        return 1;
    }
    const auto one = AwakeTrackers(1);
    const auto many = AwakeTrackers(32);
    const std::vector<std::string> forced{"--force", "--no-journal"};
    const Times single = Measure(profile, one, 5, forced);
    const Times parallel = Measure(profile, many, 3, forced);
    const Times unchanged = Measure(profile, one, 5, {"--no-journal"});
    const double sqlite = JournalMsPerTracker((folder / "journal.sqlite").string());
    double postgres = -1;
    if (test::PostgresServer::Installed()) {
        const test::PostgresServer server;
        postgres = server.Started() ? JournalMsPerTracker(server.Uri()) : -1;
    }

    std::printf("| %-30s | runs | min ms    | median ms | max ms    | %-22s | met    |\n",
                "provisioning", "target");
    std::printf("|%s|------|-----------|-----------|-----------|%s|--------|\n",
                std::string(32, '-').c_str(), std::string(24, '-').c_str());
    char floorTarget[32];
    std::snprintf(floorTarget, sizeof floorTarget, "floor %.0f, +5 %%", kFloorMs);
    PrintRow("one tracker", 5, single, kFloorMs * 1.05, floorTarget);
    char parallelTarget[32];
    std::snprintf(parallelTarget, sizeof parallelTarget, "< %.2f x one (%.0f)", kParallelFactor,
                  single.median * kParallelFactor);
    PrintRow("32 trackers in parallel", 3, parallel, single.median * kParallelFactor,
             parallelTarget);
    char unchangedTarget[32];
    std::snprintf(unchangedTarget, sizeof unchangedTarget, "floor %.0f, +5 %%",
                  kUnchangedFloorMs);
    PrintRow("re-run, tracker unchanged", 5, unchanged, kUnchangedFloorMs * 1.05,
             unchangedTarget);
    PrintJournalRow("journal row, SQLite", sqlite, single.median / 100);
    PrintJournalRow("journal row, PostgreSQL", postgres, single.median / 100);
    const bool station = StationBench(profile, folder);
    std::filesystem::remove_all(folder);
    return station ? 0 : 1;
}
