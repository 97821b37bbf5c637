#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <numeric>
#include <thread>

#include "fakes.h"
#include "protocol/line_record.h"
#include "protocol/recorded_port.h"
#include "protocol/transaction.h"
#include "protocol/wake_worker.h"

namespace vorlen {
namespace {

using namespace std::chrono_literals;
using testing::NoPause;
using testing::ScriptedTracker;
using Clock = std::chrono::steady_clock;

// A clock that moves only when told.
struct ManualClock {
    Clock::time_point now{};
    LineRecord::Clock Get() {
        return [this] { return now; };
    }
};

std::vector<std::string> BytesOf(const std::vector<LineEntry>& entries) {
    std::vector<std::string> bytes;
    for (const LineEntry& entry : entries) {
        bytes.push_back(entry.bytes);
    }
    return bytes;
}

TEST(LineRecord, StampsEntriesWithTheTimeSinceItStarted) {
    ManualClock clock;
    clock.now += 5s;
    LineRecord record(clock.Get());
    clock.now += 1234ms;
    record.Append(LineDirection::Written, "AT\r\n");
    clock.now += 52ms;
    record.Append(LineDirection::Received, "OK");
    const auto entries = record.Since(0);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].time, 1234ms);
    EXPECT_EQ(entries[0].direction, LineDirection::Written);
    EXPECT_EQ(entries[1].time, 1286ms);
    EXPECT_EQ(entries[1].direction, LineDirection::Received);
    EXPECT_EQ(BytesOf(entries), (std::vector<std::string>{"AT\r\n", "OK"}));
}

// A reader holds the sequence of its last entry and fetches only what is new;
// the oldest entries go once the record is full, and after a clear.
TEST(LineRecord, ReadersFetchWhatIsNewSinceTheirLastEntry) {
    LineRecord record(Clock::now, 3);
    for (const char* bytes : {"1", "2"}) {
        record.Append(LineDirection::Written, bytes);
    }
    EXPECT_EQ(BytesOf(record.Since(0)), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(BytesOf(record.Since(1)), (std::vector<std::string>{"2"}));
    EXPECT_TRUE(record.Since(2).empty());
    EXPECT_TRUE(record.Since(99).empty());

    for (const char* bytes : {"3", "4", "5"}) {
        record.Append(LineDirection::Received, bytes);
    }
    const auto held = record.Since(0);
    EXPECT_EQ(BytesOf(held), (std::vector<std::string>{"3", "4", "5"}));
    EXPECT_EQ(held.front().sequence, 3u) << "the gap shows the reader what was dropped";
    EXPECT_EQ(BytesOf(record.Since(1)), BytesOf(held));
    EXPECT_EQ(BytesOf(record.Since(4)), (std::vector<std::string>{"5"}));

    record.Clear();
    EXPECT_TRUE(record.Since(0).empty());
    record.Append(LineDirection::Written, "6");
    const auto after = record.Since(5);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].sequence, 6u);
}

TEST(LineRecord, KeepsTheNewestFewThousandEntriesOfBoundedSize) {
    LineRecord record;
    const std::string flood(3 * LineRecord::kEntryBytes, '7');
    for (int i = 0; i < 10000; ++i) {
        record.Append(LineDirection::Received, flood);
    }
    const auto entries = record.Since(0);
    ASSERT_EQ(entries.size(), LineRecord::kEntries);
    EXPECT_EQ(entries.back().sequence, 10000u);
    for (const LineEntry& entry : entries) {
        ASSERT_EQ(entry.bytes, flood.substr(0, LineRecord::kEntryBytes));
        ASSERT_EQ(entry.notKept, 2 * LineRecord::kEntryBytes);
    }
}

TEST(LineRecord, RecordedPortKeepsWhatTheLineTookAndDelivered) {
    LineRecord record;
    auto tracker = std::make_shared<ScriptedTracker>(
        [](const std::string&) { return std::string("\r\nOK\r\n"); },
        std::deque<std::string>{"", "early"});
    RecordedPort port(tracker, record);

    std::string reply;
    EXPECT_TRUE(RunTransaction(&port, "AT+OPENAT=720,1;\r\n", reply, NoPause()));
    tracker->writeFails = true;
    EXPECT_FALSE(RunTransaction(&port, "AT+OPENAT=730,30,5;\r\n", reply, NoPause()));

    // The empty poll leaves no entry; the refused write shows what it lost.
    const auto entries = record.Since(0);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(BytesOf(entries), (std::vector<std::string>{"AT+OPENAT=720,1;\r\n", "early",
                                                           "\r\nOK\r\n", ""}));
    EXPECT_EQ(entries[0].direction, LineDirection::Written);
    EXPECT_EQ(entries[0].notWritten, 0u);
    EXPECT_EQ(entries[1].direction, LineDirection::Received);
    EXPECT_EQ(entries[2].direction, LineDirection::Received);
    EXPECT_EQ(entries[3].direction, LineDirection::Written);
    EXPECT_EQ(entries[3].notWritten, 21u);
}

// Follows the record until `done` and nothing new is left; returns the
// sequences seen. Every entry must arrive whole and after the one before.
std::vector<std::uint64_t> Follow(const LineRecord& record, const std::atomic<bool>& done,
                                  const std::function<bool(const LineEntry&)>& whole) {
    std::vector<std::uint64_t> seen;
    std::uint64_t last = 0;
    for (bool finished = false; !finished;) {
        finished = done;  // read before fetching, so the last entries are fetched too
        for (const LineEntry& entry : record.Since(last)) {
            EXPECT_GT(entry.sequence, last);
            EXPECT_TRUE(whole(entry)) << entry.sequence << ": " << entry.bytes;
            last = entry.sequence;
            seen.push_back(last);
        }
    }
    return seen;
}

// The wake-up worker appends on its thread while two readers follow the
// record: each sees every entry once, whole and in order.
TEST(LineRecord, ReadersFollowTheWakeUpWorkerOnItsThread) {
    LineRecord record;
    std::atomic<int> attempts{0};
    auto tracker = std::make_shared<ScriptedTracker>([&](const std::string&) {
        return ++attempts > 40 ? std::string("\r\nOK\r\n") : std::string("busy");
    });
    PortSlot ports;
    ports.Replace(std::make_shared<RecordedPort>(tracker, record));
    std::atomic<bool> awake{false};
    WakeUpWorker worker([](std::stop_token) { return NoPause(); });
    const auto whole = [](const LineEntry& entry) {
        return entry.direction == LineDirection::Written
                   ? entry.bytes == std::string(kWakeCommand) ||
                         entry.bytes == std::string(kStayAwakeCommand)
                   : entry.bytes == "busy" || entry.bytes == "\r\nOK\r\n";
    };
    std::vector<std::uint64_t> otherSaw;
    std::thread other([&] { otherSaw = Follow(record, awake, whole); });
    worker.Restart(ports, [&](WakeUpWorker::Ticket) { awake = true; });
    const std::vector<std::uint64_t> saw = Follow(record, awake, whole);
    other.join();
    worker.Stop();

    // 40 unacknowledged wake commands, two acknowledged ones, an answer each.
    std::vector<std::uint64_t> expected(84);
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(saw, expected);
    EXPECT_EQ(otherSaw, expected);
}

// Clearing while a writer appends and a reader follows: the reader still
// gets whole entries in order, and the numbering loses nothing.
TEST(LineRecord, ClearsWhileAWriterAppendsAndAReaderFollows) {
    constexpr int kAppends = 5000;
    LineRecord record(Clock::now, 100);
    std::atomic<bool> written{false};
    std::thread writer([&] {
        for (int i = 1; i <= kAppends; ++i) {
            record.Append(LineDirection::Received, std::to_string(i));
        }
        written = true;
    });
    std::thread clearer([&] {
        while (!written) {
            record.Clear();
            std::this_thread::yield();
        }
    });
    Follow(record, written, [](const LineEntry& entry) {
        return entry.bytes == std::to_string(entry.sequence);
    });
    writer.join();
    clearer.join();
    record.Append(LineDirection::Written, "after");
    EXPECT_EQ(record.Since(kAppends).at(0).sequence, kAppends + 1u);
}

}  // namespace
}  // namespace vorlen
