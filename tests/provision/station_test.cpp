// The fleet station against simulated trackers whose ports appear and vanish:
// a slot is a link in the test's folder to a simulator's terminal, made when
// a tracker is plugged in and removed (the simulator killed) when it is
// pulled out. The engine runs with short looks; the command line through
// --watch, and Ctrl-C through a child process.
#include <condition_variable>
#include <array>
#include <csignal>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "journal_rows.h"
#include "fleet/journal/journal.h"
#include "fleet/printable.h"
#include "fleet/slot_name.h"
#include "fleet/profile_proof.h"
#include "fleet/station.h"
#include "provision_rig.h"
#include "provision/station_board.h"

namespace vorlen::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using fleet::Outcome;
using fleet::Result;
using fleet::SlotPhase;
using fleet::SlotState;

constexpr auto kPatience = 30s;

std::string Imei(int i) { return "86450703000010" + std::to_string(i); }

std::unique_ptr<SimProcess> Tracker(const std::string& imei, std::vector<std::string> extra = {}) {
    extra.insert(extra.end(), {"--imei", imei});
    return std::make_unique<SimProcess>(extra);
}

// A slot's socket: a link to the plugged-in tracker's terminal.
class Socket {
public:
    explicit Socket(std::string path) : path_(std::move(path)) {}
    const std::string& Path() const { return path_; }
    // A slot of the Wine session outlives a test: what an earlier one left
    // plugged in is replaced.
    void Plug(const SimProcess& tracker) const {
        std::filesystem::remove(path_);
        std::filesystem::create_symlink(std::filesystem::read_symlink(tracker.LinkPath()), path_);
    }
    void Pull(SimProcess& tracker) const {
        std::filesystem::remove(path_);
        tracker.Kill();
    }

private:
    std::string path_;
};

// Every state the station has shown, in order.
class Changes {
public:
    fleet::Station::OnChange Listener() {
        return [this](std::size_t, const SlotState& state, const fleet::StationCounts&) {
            std::lock_guard lock(mutex_);
            states_.push_back(state);
            changed_.notify_all();
        };
    }
    // Waits until `seen` holds for the states so far.
    bool WaitFor(const std::function<bool(const std::vector<SlotState>&)>& seen) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kPatience, [&] { return seen(states_); });
    }
    bool WaitForOutcomes(std::size_t count) {
        return WaitFor([count](const auto& states) { return OutcomesIn(states).size() >= count; });
    }
    bool WaitForPhase(SlotPhase phase, std::size_t after) {
        return WaitFor([=](const auto& states) {
            return std::any_of(states.begin() + static_cast<std::ptrdiff_t>(after), states.end(),
                               [phase](const SlotState& state) { return state.phase == phase; });
        });
    }
    std::vector<SlotState> States() {
        std::lock_guard lock(mutex_);
        return states_;
    }
    // Each run ends in Finished once, with its outcome.
    static std::vector<Outcome> OutcomesIn(const std::vector<SlotState>& states) {
        std::vector<Outcome> outcomes;
        for (const SlotState& state : states) {
            if (state.phase == SlotPhase::Finished && state.last) {
                outcomes.push_back(*state.last);
            }
        }
        return outcomes;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<SlotState> states_;
};

class Station : public ProvisionTest {
protected:
    void SetUp() override {
        ProvisionTest::SetUp();
        std::string failure;
        journal_ = fleet::OpenJournal(Path("journal.sqlite"), failure);
        ASSERT_TRUE(journal_) << failure;
    }

    // One slot at `socket`, looking for its port every 20 ms and at a
    // finished tracker every 100 ms.
    std::unique_ptr<fleet::Station> Start(const Socket& socket) {
        return StartSlots({socket.Path()});
    }

    std::unique_ptr<fleet::Station> StartSlots(std::vector<std::string> slots) {
        std::vector<std::string> mistakes;
        fleet::StationSetup setup;
        setup.profile = *fleet::CheckedProfileFile(profile_, kEnglish, mistakes);
        setup.journal = journal_.get();
        setup.record = {"bench-3", "Li", "provision", profile_, ""};
        setup.slots = std::move(slots);
        fleet::StationSystem system = fleet::RealSystem();
        system.portLook = 20ms;
        system.sameTrackerLook = 100ms;
        return std::make_unique<fleet::Station>(std::move(setup), changes_.Listener(),
                                                    std::move(system));
    }

    std::vector<Row> Rows() { return SqliteRows(Path("journal.sqlite")); }

    std::unique_ptr<fleet::Journal> journal_;
    Changes changes_;
};

// How the next tracker comes: a replugged port, even with the same IMEI, or
// another tracker behind a port that stays.
struct Next {
    const char* how;
    bool replug;
    std::string imei;  // the second tracker's
};

class NextTracker : public Station, public ::testing::WithParamInterface<Next> {};

// Whichever way it comes, the next tracker gets a run and a row of its own.
// The slot is named before anything is plugged into it.
TEST_P(NextTracker, IsProvisionedAndRecorded) {
    const Next& next = GetParam();
    const Socket socket(Path("slot1"));
    const auto station = Start(socket);
    ASSERT_TRUE(changes_.WaitForPhase(SlotPhase::WaitingForPort, 0));
    auto first = Tracker(Imei(1));
    socket.Plug(*first);
    ASSERT_TRUE(changes_.WaitForOutcomes(1));
    const std::size_t seen = changes_.States().size();
    std::unique_ptr<SimProcess> second;
    if (next.replug) {
        socket.Pull(*first);
        ASSERT_TRUE(changes_.WaitForPhase(SlotPhase::WaitingForPort, seen));
        second = Tracker(next.imei);
        socket.Plug(*second);
    } else {
        ::kill(first->Pid(), SIGUSR1);
    }
    ASSERT_TRUE(changes_.WaitForOutcomes(2));
    const std::vector<Outcome> outcomes = Changes::OutcomesIn(changes_.States());
    EXPECT_EQ(outcomes[0].imei, Imei(1));
    EXPECT_EQ(outcomes[1].imei, next.imei);
    EXPECT_EQ(outcomes[1].result, Result::Done);
    EXPECT_EQ(Writes(next.replug ? *second : *first), next.replug ? 19 : 2 * 19);
    const std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].at("imei"), next.imei);
    EXPECT_EQ(rows[1].at("port"), socket.Path());
    EXPECT_EQ(rows[1].at("station"), "bench-3");
}

INSTANTIATE_TEST_SUITE_P(Station, NextTracker,
                         ::testing::Values(Next{"ReplugAnotherImei", true, Imei(2)},
                                           Next{"ReplugSameImei", true, Imei(1)},
                                           Next{"SwapBehindThePort", false, Imei(2)}),
                         [](const auto& info) { return std::string(info.param.how); });

// A tracker left in its slot is asked again and again whether it is still
// there, and never written twice.
TEST_F(Station, ATrackerLeftInItsSlotIsWrittenOnce) {
    const Socket socket(Path("slot1"));
    const auto station = Start(socket);
    const auto tracker = Tracker(Imei(1), {"--awake"});
    socket.Plug(*tracker);
    ASSERT_TRUE(changes_.WaitForOutcomes(1));
    const auto imeiReads = [&] {
        const std::vector<std::string> sent = tracker->Commands();
        return std::count(sent.begin(), sent.end(), "AT+EGMR=0,7");
    };
    const auto deadline = Clock::now() + kPatience;
    while (imeiReads() < 4 && Clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_GE(imeiReads(), 4);
    EXPECT_EQ(Writes(*tracker), 19);
    EXPECT_EQ(Changes::OutcomesIn(changes_.States()).size(), 1u);
    EXPECT_EQ(Rows().size(), 1u);
    EXPECT_EQ(station->Counts().done, 1);
}

// Pulled out mid-set-all: failed at its step, recorded so; the slot waits
// for its port, and the next tracker passes.
TEST_F(Station, ATrackerPulledOutMidSetAllFailsAtItsStep) {
    const Socket socket(Path("slot1"));
    const auto station = Start(socket);
    auto pulled = Tracker(Imei(1), {"--chunked"});
    socket.Plug(*pulled);
    ASSERT_TRUE(changes_.WaitFor([](const std::vector<SlotState>& states) {
        return std::any_of(states.begin(), states.end(), [](const SlotState& state) {
            return state.what == "set-all, step 3 of 19";
        });
    }));
    socket.Pull(*pulled);
    ASSERT_TRUE(changes_.WaitForOutcomes(1));
    ASSERT_TRUE(changes_.WaitForPhase(SlotPhase::WaitingForPort, changes_.States().size() - 1));
    const auto next = Tracker(Imei(2));
    socket.Plug(*next);
    ASSERT_TRUE(changes_.WaitForOutcomes(2));
    const std::vector<Outcome> outcomes = Changes::OutcomesIn(changes_.States());
    EXPECT_EQ(outcomes[0].result, Result::StepFailed);
    EXPECT_GE(outcomes[0].failedStep, 3);
    EXPECT_EQ(outcomes[1].result, Result::Done);
    EXPECT_EQ(changes_.States().back().lastLine.rfind("done, configured and verified", 0), 0u);
    const std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].at("result"), "step-failed");
    EXPECT_EQ(rows[0].at("failed_step"), std::to_string(outcomes[0].failedStep));
    EXPECT_EQ(rows[0].at("failure"), "the port went away");
    EXPECT_EQ(rows[1].at("result"), "done");
    EXPECT_EQ(station->Counts().failed, 1);
    EXPECT_EQ(station->Counts().done, 1);
}

// The pace falls while the line stands only if someone is told: with no
// slot changing, the counts still come every countsLook, on the station's
// clock (here the test's, two minutes on).
TEST_F(Station, CountsAreToldWhileNoSlotChanges) {
    std::mutex mutex;
    std::condition_variable told;
    std::vector<double> elapsed;
    std::chrono::steady_clock::time_point now{};
    std::vector<std::string> mistakes;
    fleet::StationSetup setup;
    setup.profile = *fleet::CheckedProfileFile(profile_, kEnglish, mistakes);
    setup.slots = {Path("no-adapter-here")};
    setup.countsChanged = [&](const fleet::StationCounts& counts) {
        std::lock_guard lock(mutex);
        elapsed.push_back(counts.elapsedSeconds);
        told.notify_all();
    };
    fleet::StationSystem system = fleet::RealSystem();
    system.countsLook = 10ms;
    system.clock = [&] {
        std::lock_guard lock(mutex);
        return now;
    };
    fleet::Station station(std::move(setup), changes_.Listener(), std::move(system));
    {
        std::lock_guard lock(mutex);
        now += std::chrono::minutes(2);
    }
    std::unique_lock lock(mutex);
    EXPECT_TRUE(told.wait_for(lock, kPatience, [&] {
        return !elapsed.empty() && elapsed.back() == 120;
    }));
}

// A failed tracker left in its slot is not run again by itself; the
// operator's Retry runs it again without a replug, as a tracker of its own:
// a second outcome, a second row. A Retry for a slot out of range is nothing.
TEST_F(Station, RetryRunsTheFailedTrackerStillInItsSlotAgain) {
    const Socket socket(Path("slot1"));
    const auto station = Start(socket);
    const auto tracker = Tracker(Imei(1), {"--awake", "--refuse", "770"});
    socket.Plug(*tracker);
    ASSERT_TRUE(changes_.WaitForOutcomes(1));
    std::this_thread::sleep_for(400ms);  // four looks at the same tracker
    ASSERT_EQ(Changes::OutcomesIn(changes_.States()).size(), 1u);
    station->Retry(1);
    station->Retry(0);
    ASSERT_TRUE(changes_.WaitForOutcomes(2));
    const std::vector<Outcome> outcomes = Changes::OutcomesIn(changes_.States());
    ASSERT_EQ(outcomes.size(), 2u);
    for (const Outcome& outcome : outcomes) {
        EXPECT_EQ(outcome.result, Result::StepFailed);
        EXPECT_EQ(outcome.imei, Imei(1));
    }
    EXPECT_EQ(station->Counts().failed, 2);
    EXPECT_EQ(Rows().size(), 2u);
}

// --count ends the run once that many trackers are in, whatever the output.
// Under Wine the trackers sit in the session's slots, the ports Wine listed
// as its server started.
TEST_F(Station, WatchStopsAfterCountTrackers) {
    const std::optional<StationSlot> first = tool_->Slot(0, folder_.string());
    const std::optional<StationSlot> second = tool_->Slot(1, folder_.string());
    if (!tool_->SeesMappedPorts() && !second) {
        GTEST_SKIP() << "a station waits for a port the system lists, and Wine lists no COM "
                        "port mapped after its server started (the test's own are)";
    }
    for (const bool terminal : {false, true}) {
        if (terminal && !tool_->CanActAsTerminal()) {
            continue;
        }
        SCOPED_TRACE(terminal ? "terminal" : "plain");
        const auto one = Tracker(Imei(1), {"--awake"});
        const auto two = Tracker(Imei(2), {"--awake"});
        std::optional<Socket> slot1;
        std::optional<Socket> slot2;
        if (!tool_->SeesMappedPorts()) {
            slot1.emplace(first->link).Plug(*one);
            slot2.emplace(second->link).Plug(*two);
        }
        const std::string port1 = slot1 ? first->port : PortOf(*one);
        const std::string port2 = slot2 ? second->port : PortOf(*two);
        const ToolRun run = RunTool({"--profile", profile_, "--watch", "--count", "2", "--port",
                                     port1, "--port", port2, "--no-journal"},
                                    terminal);
        EXPECT_EQ(run.status, fleet::kAllPassed) << run.out << run.err;
        // On a terminal the line is cut to 80 columns; elsewhere each
        // outcome is told once.
        const std::string outcome =
            terminal ? "| last: done"
                     : "2  " + fleet::ShortPort(port2) + ": done, configured and verified";
        EXPECT_NE(run.out.find(outcome), std::string::npos) << run.out;
        if (!terminal) {
            EXPECT_EQ(run.out.find(outcome), run.out.rfind(outcome)) << run.out;
        }
        EXPECT_NE(run.out.find("done 2, unchanged 0, failed 0, "), std::string::npos);
        EXPECT_EQ(run.out.find("\x1b[3A") != std::string::npos, terminal);
        EXPECT_EQ(run.out.find("step 2 of 19") != std::string::npos, terminal);
    }
}

// A tracker whose IMEI reply holds no IMEI fails before anything is
// written; the tracker swapped in behind it is not taken for "the same
// tracker" (both read as "" before, and the second was never run).
TEST_F(Station, AnUnreadableImeiIsNeverTheSameTracker) {
    const Socket socket(Path("slot1"));
    const auto station = Start(socket);
    const auto tracker = Tracker(Imei(1), {"--awake", "--bare-imei"});
    socket.Plug(*tracker);
    ASSERT_TRUE(changes_.WaitForOutcomes(1));
    ::kill(tracker->Pid(), SIGUSR1);
    ASSERT_TRUE(changes_.WaitForOutcomes(2));
    for (const Outcome& outcome : Changes::OutcomesIn(changes_.States())) {
        EXPECT_EQ(outcome.result, Result::ReadBackFailed);
        EXPECT_EQ(outcome.failure, "the tracker's IMEI reply is not an IMEI");
        EXPECT_EQ(outcome.imei, "");
    }
    EXPECT_EQ(Writes(*tracker), 0);
    EXPECT_EQ(station->Counts().done, 0);
    EXPECT_GE(Rows().size(), 2u);
    EXPECT_EQ(Rows()[1].at("result"), "read-back-failed");
}

// Two slots holding trackers with one IMEI at once (a cloned IMEI on the
// line): the second to identify fails before anything is written, naming
// the other slot, and is not run again while it stays.
TEST_F(Station, TwoSlotsWithOneImeiFailTheSecond) {
    const Socket first(Path("slot1"));
    const Socket second(Path("slot2"));
    const auto one = Tracker(Imei(7), {"--awake"});
    const auto two = Tracker(Imei(7), {"--awake"});
    first.Plug(*one);
    second.Plug(*two);
    const auto station = StartSlots({first.Path(), second.Path()});
    ASSERT_TRUE(changes_.WaitForOutcomes(2));
    std::this_thread::sleep_for(300ms);  // three looks at the trackers left in their slots
    std::vector<Outcome> outcomes = Changes::OutcomesIn(changes_.States());
    ASSERT_EQ(outcomes.size(), 2u);
    std::partition(outcomes.begin(), outcomes.end(),
                   [](const Outcome& outcome) { return outcome.result == Result::Done; });
    EXPECT_EQ(outcomes[0].result, Result::Done);
    EXPECT_EQ(outcomes[1].result, Result::ReadBackFailed);
    EXPECT_EQ(outcomes[1].failure, "IMEI " + Imei(7) + " is also the tracker's in " +
                                       outcomes[0].port +
                                       " at this moment: a cloned IMEI, nothing written");
    EXPECT_EQ(Writes(*one) + Writes(*two), 19);
    EXPECT_EQ(Rows().size(), 2u);
}

// --count 1 with two slots busy at once cut the second tracker off at its
// step and called it failed: now it is never started, and the first ends.
TEST_F(Station, CountStartsNoMoreTrackersThanAskedAndFinishesThem) {
    const std::optional<StationSlot> first = tool_->Slot(0, folder_.string());
    const std::optional<StationSlot> second = tool_->Slot(1, folder_.string());
    if (!tool_->SeesMappedPorts() && !second) {
        GTEST_SKIP() << "a station waits for a port the system lists";
    }
    const auto one = Tracker(Imei(1), {"--awake", "--chunked"});
    const auto two = Tracker(Imei(2), {"--awake", "--chunked"});
    std::optional<Socket> slot1;
    std::optional<Socket> slot2;
    if (!tool_->SeesMappedPorts()) {
        slot1.emplace(first->link).Plug(*one);
        slot2.emplace(second->link).Plug(*two);
    }
    const ToolRun run = RunTool({"--profile", profile_, "--watch", "--count", "1", "--port",
                                 slot1 ? first->port : PortOf(*one), "--port",
                                 slot2 ? second->port : PortOf(*two), "--no-journal"});
    EXPECT_EQ(run.status, fleet::kAllPassed) << run.out << run.err;
    EXPECT_NE(run.out.find("done 1, unchanged 0, failed 0, "), std::string::npos) << run.out;
    std::vector<int> writes{Writes(*one), Writes(*two)};
    std::sort(writes.begin(), writes.end());
    EXPECT_EQ(writes, (std::vector<int>{0, 19}));
    const auto imeiReads = [](const SimProcess& sim) {
        const std::vector<std::string> sent = sim.Commands();
        return std::count(sent.begin(), sent.end(), "AT+EGMR=0,7");
    };
    EXPECT_EQ(imeiReads(*one) + imeiReads(*two), 1);
}

// The program's exit status once it ends, or -1 when it is still running
// after `patience` (then it is killed).
int ExitWithin(pid_t child, Clock::duration patience) {
    const auto deadline = Clock::now() + patience;
    for (int status = 0; Clock::now() < deadline; std::this_thread::sleep_for(50ms)) {
        if (::waitpid(child, &status, WNOHANG) == child) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
    }
    ::kill(child, SIGKILL);
    ExitOf(child);
    return -1;
}

// --watch with two slots, as the line runs it: both ports appear once the
// station runs, and one tracker is swapped for another (its port vanishes
// and appears again). A station that never lets go of a vanished port, or
// looks only at the ports there when it started, never reaches the third.
TEST_F(Station, WatchFollowsPortsThatAppearAndVanish) {
    if (!tool_->SeesMappedPorts()) {
        // Seen with Wine 8: a COM port of its list opens before a tracker is
        // linked there and reads nothing after, and one whose tracker is
        // pulled out stays listed and open, so the slot never reaches the next.
        GTEST_SKIP() << "Wine keeps a listed COM port, and the handle to it, after its "
                        "device has gone";
    }
    const std::optional<StationSlot> first = tool_->Slot(0, folder_.string());
    const std::optional<StationSlot> second = tool_->Slot(1, folder_.string());
    const Socket one(first->link);
    const Socket two(second->link);
    const pid_t child =
        tool_->Start({"--profile", profile_, "--watch", "--count", "3", "--port", first->port,
                      "--port", second->port, "--no-journal"},
                     Path("watch.out"));
    std::this_thread::sleep_for(tool_->StartUp());
    auto trackers = std::array{Tracker(Imei(1), {"--awake"}), Tracker(Imei(2), {"--awake"}),
                               Tracker(Imei(3), {"--awake"})};
    one.Plug(*trackers[0]);
    two.Plug(*trackers[1]);
    const auto shown = [&] {
        std::ostringstream text;
        text << std::ifstream(Path("watch.out")).rdbuf();
        return text.str();
    };
    const auto verified = [&] {
        const std::string out = shown();
        std::size_t count = 0;
        for (std::size_t at = out.find("done, configured"); at != std::string::npos;
             at = out.find("done, configured", at + 1)) {
            ++count;
        }
        return count;
    };
    const auto deadline = Clock::now() + kPatience;
    while (verified() < 2 && Clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
    }
    one.Pull(*trackers[0]);
    std::this_thread::sleep_for(500ms);  // the slot looks at an empty socket
    one.Plug(*trackers[2]);
    EXPECT_EQ(ExitWithin(child, kPatience), fleet::kAllPassed);
    const std::string out = shown();
    EXPECT_NE(out.find("done 3, unchanged 0, failed 0, "), std::string::npos) << out;
    EXPECT_EQ(Writes(*trackers[1]), 19);
    EXPECT_EQ(Writes(*trackers[2]), 19) << out;
}

// What a terminal `columns` wide shows after `out`, as xterm draws it: a
// character past the last column goes to the next row, CR, LF (a new line,
// as the terminal's output processing makes it), cursor up
// (CSI n A), erase line (CSI 2 K) and erase below (CSI J); rows trimmed.
std::vector<std::string> Screen(const std::string& out, std::size_t columns) {
    const std::string kFiller = "\x01";  // the second column of a wide character
    std::vector<std::vector<std::string>> rows(1);
    std::size_t row = 0;
    std::size_t column = 0;
    const auto cell = [&](std::size_t r, std::size_t c) -> std::string& {
        rows.resize(std::max(rows.size(), r + 1));
        rows[r].resize(std::max(rows[r].size(), c + 1));
        return rows[r][c];
    };
    for (std::size_t i = 0; i < out.size();) {
        if (out[i] == '\x1b' && i + 1 < out.size() && out[i + 1] == '[') {
            const std::size_t end = out.find_first_not_of("0123456789;", i + 2);
            const int n = end > i + 2 ? std::stoi(out.substr(i + 2, end - i - 2)) : 0;
            if (out[end] == 'A') {
                row -= std::min<std::size_t>(row, std::max(n, 1));
                column = std::min(column, columns - 1);
            } else if (out[end] == 'K' && row < rows.size()) {
                rows[row].clear();
            } else if (out[end] == 'J') {
                rows.resize(std::min(rows.size(), row + 1));
                if (row < rows.size()) {
                    rows[row].resize(std::min(rows[row].size(), column));
                }
            }
            i = end + 1;
        } else if (out[i] == '\r' || out[i] == '\n' || out[i] == '\a') {
            column = out[i] == '\a' ? column : 0;
            row += out[i] == '\n' ? 1 : 0;
            ++i;
        } else {
            std::size_t length = 1;
            while (i + length < out.size() && (out[i + length] & 0xC0) == 0x80) {
                ++length;
            }
            const std::string character = out.substr(i, length);
            const std::size_t width = fleet::DisplayColumns(character);
            if (column + width > columns) {
                ++row;
                column = 0;
            }
            cell(row, column) = character;
            for (std::size_t filler = 1; filler < width; ++filler) {
                cell(row, column + filler) = kFiller;
            }
            column += width;
            i += length;
        }
    }
    std::vector<std::string> shown;
    for (const auto& cells : rows) {
        std::string text;
        for (const std::string& character : cells) {
            text += character.empty() ? " " : character == kFiller ? "" : character;
        }
        shown.push_back(text.substr(0, text.find_last_not_of(' ') + 1));
    }
    return shown;
}

class BoardOf80Columns : public Station, public ::testing::WithParamInterface<const char*> {};

// With by-path slot names a slot's line was longer than the terminal: it
// wrapped, the redraw moved up one row too few, and the screen filled with
// stale copies and fragments. On a real terminal 80 columns wide the board
// is its slots' lines, led by their names and sockets, and the counts, each
// once.
TEST_P(BoardOf80Columns, ShowsEachLineOnceUnwrapped) {
    if (!tool_->CanActAsTerminal()) {
        GTEST_SKIP() << "this tool's output goes to a file, never to a terminal";
    }
    const auto one = Tracker(Imei(1), {"--awake"});
    const auto two = Tracker(Imei(2), {"--awake"});
    const std::vector<std::string> slots{
        Path("pci-0000:00:14.0-usb-0:1.1:1.0-port0"), Path("pci-0000:00:14.0-usb-0:1.2:1.0-port0")};
    Socket(slots[0]).Plug(*one);
    Socket(slots[1]).Plug(*two);
    const TerminalRun run = RunOnTerminal({"--profile", profile_, "--watch", "--count", "2",
                                           "--port", slots[0], "--port", "B=" + slots[1],
                                           "--no-journal", "--language", GetParam()},
                                          fleet::kUsualColumns);
    EXPECT_EQ(run.status, fleet::kAllPassed) << run.out;
    std::vector<std::string> shown = Screen(run.out, fleet::kUsualColumns);
    std::erase(shown, "");
    ASSERT_EQ(shown.size(), 4u) << run.out;  // the hint, two slots, the counts
    EXPECT_TRUE(shown[1].starts_with("1  USB 1.1: ")) << shown[1];
    EXPECT_TRUE(shown[2].starts_with("B  USB 1.2: ")) << shown[2];
    EXPECT_TRUE(shown[3].starts_with(GetParam() == std::string("en") ? "done 2, " : "完成2个"))
        << shown[3];
    std::size_t widest = 0;
    for (const std::string& line : shown) {
        widest = std::max(widest, fleet::DisplayColumns(line));
    }
    EXPECT_GE(widest, fleet::kUsualColumns - 2) << "the slots' lines were long enough to cut";
}

INSTANTIATE_TEST_SUITE_P(Station, BoardOf80Columns, ::testing::Values("en", "zh"),
                         [](const auto& info) { return std::string(info.param); });

// A terminal made narrower while the station runs rewraps the lines it
// shows; a redraw that moved up one row per line left the rest of each
// wrapped line behind, and the board crept down the screen.
TEST(StationBoard, ARedrawAfterTheTerminalNarrowedMovesUpEveryRewrappedRow) {
    std::ostringstream out;
    std::size_t columns = 100;
    fleet::StationBoard board(out, fleet::NumberedSlots({"/dev/ttyUSB0", "/dev/ttyUSB1"}),
                              {true, false, kEnglish, [&columns] { return columns; }});
    SlotState state;
    state.phase = SlotPhase::Finished;
    state.what = "waiting for the next tracker";
    state.lastLine = std::string(120, 'x');  // cut to 99 columns: 3 rows at 40
    board.Show(0, state, {});
    board.Show(1, state, {});
    columns = 40;
    out.str("");
    board.ShowCounts({});
    EXPECT_TRUE(out.str().starts_with("\x1b[7A\r\x1b[J")) << out.str();
    std::vector<std::string> shown = Screen(out.str(), 40);
    std::erase(shown, "");
    EXPECT_EQ(shown.size(), 3u) << out.str();  // two slots and the counts, a row each
}

struct Bell {
    const char* name;
    bool terminal;
    bool asked;
    bool fails;
    int bells;
};

class BellOnFailure : public Station, public ::testing::WithParamInterface<Bell> {};

// The operator watches the tracker, not the screen: with --bell a failure
// rings once, and nothing else does; a log file never gets the byte.
TEST_P(BellOnFailure, RingsOnlyWhenAskedOnATerminalForAFailure) {
    if (!tool_->CanActAsTerminal()) {
        GTEST_SKIP() << "this tool's output goes to a file, never to a terminal";
    }
    const Bell& bell = GetParam();
    const auto tracker =
        Tracker(Imei(1), bell.fails ? std::vector<std::string>{"--awake", "--bare-imei"}
                                    : std::vector<std::string>{"--awake"});
    std::vector<std::string> arguments{"--profile", profile_, "--watch", "--count", "1",
                                       "--port", tracker->LinkPath(), "--no-journal"};
    if (bell.asked) {
        arguments.push_back("--bell");
    }
    const std::string out = bell.terminal ? RunOnTerminal(arguments, fleet::kUsualColumns).out
                                          : RunTool(arguments).out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\a'), bell.bells) << out;
    EXPECT_NE(out.find(bell.fails ? "failed 1" : "done 1"), std::string::npos) << out;
}

INSTANTIATE_TEST_SUITE_P(Station, BellOnFailure,
                         ::testing::Values(Bell{"Failure", true, true, true, 1},
                                           Bell{"NotAsked", true, false, true, 0},
                                           Bell{"Passed", true, true, false, 0},
                                           Bell{"ToAPipe", false, true, true, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// When Ctrl-C comes: with a tracker mid-set-all, or while the slot waits
// after a tracker passed.
struct Press {
    const char* when;
    std::vector<std::string> sim;
    int exit;
};

class CtrlC : public Station, public ::testing::WithParamInterface<Press> {
protected:
    bool MidSetAll() const { return GetParam().exit == fleet::kSomeFailed; }
};

// Ctrl-C in the middle of set-all stops the tracker after its current
// command, recorded as stopped at the next step; while the slots only wait,
// the program ends and says nothing failed.
TEST_P(CtrlC, EndsEachSlotAfterItsCurrentCommand) {
    const auto tracker = Tracker(Imei(1), GetParam().sim);
    const std::string journal = Path("j.sqlite");
    const pid_t child = StartProgram({"--profile", profile_, "--watch", "--port",
                                      tracker->LinkPath(), "--journal", journal},
                                     Path("out"));
    const auto pressNow = [&] {
        const std::vector<Row> rows = SqliteRows(journal);
        return MidSetAll() ? Writes(*tracker) >= 3 : !rows.empty() && rows[0].count("result");
    };
    const auto deadline = Clock::now() + kPatience;
    while (!pressNow() && Clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    ::kill(child, SIGINT);
    EXPECT_EQ(ExitOf(child), GetParam().exit);
    const std::vector<Row> rows = SqliteRows(journal);
    ASSERT_EQ(rows.size(), 1u);
    if (MidSetAll()) {
        EXPECT_EQ(rows[0].at("result"), "step-failed");
        EXPECT_EQ(rows[0].at("failure"), "the station was stopped");
        EXPECT_EQ(std::stoi(rows[0].at("failed_step")), Writes(*tracker) + 1);
        EXPECT_LT(Writes(*tracker), 19);
    } else {
        EXPECT_EQ(rows[0].at("result"), "done");
    }
}

INSTANTIATE_TEST_SUITE_P(Station, CtrlC,
                         ::testing::Values(Press{"MidSetAll", {"--chunked"},
                                                 fleet::kSomeFailed},
                                           Press{"WhileWaiting", {"--awake"},
                                                 fleet::kAllPassed}),
                         [](const auto& info) { return std::string(info.param.when); });

}  // namespace
}  // namespace vorlen::test
