// The station's counters against a clock the test drives: outcomes come, the
// line stands, old outcomes leave the pace's window.
#include <gtest/gtest.h>

#include "fleet/line_counters.h"
#include "model/bilingual.h"

namespace vorlen::test {
namespace {

using fleet::Result;
using Seconds = std::chrono::seconds;

// At `at` seconds after the start an outcome comes (none: only a look at
// the counters), and the line then reads `line`.
struct Moment {
    int at;
    std::optional<Result> outcome;
    std::string line;
    bool notRecorded = false;
};

// The pace read 7137 after three trackers in three seconds, stood still
// while nobody worked, counted failed trackers and read 3548 with nothing
// done. Now: the outcomes done or unchanged of the last ten minutes, over
// the time the line has run while that is shorter; none before three.
TEST(LineCounters, ThePaceIsTheLastTenMinutesAndFallsWhileTheLineStands) {
    std::chrono::steady_clock::time_point now{};
    fleet::LineTally tally([&now] { return now; });
    const std::vector<Moment> moments{
        {0, std::nullopt, "done 0, unchanged 0, failed 0"},
        {60, Result::Done, "done 1, unchanged 0, failed 0, yield 100%"},
        {90, Result::Unchanged, "done 1, unchanged 1, failed 0, yield 100%"},
        {120, Result::StepFailed, "done 1, unchanged 1, failed 1, yield 66%, 60 trackers per hour"},
        {240, std::nullopt, "done 1, unchanged 1, failed 1, yield 66%, 30 trackers per hour"},
        {600, std::nullopt, "done 1, unchanged 1, failed 1, yield 66%, 12 trackers per hour"},
        // The first tracker's outcome has left the window.
        {670, std::nullopt, "done 1, unchanged 1, failed 1, yield 66%, 6 trackers per hour"},
        // Configured, but the journal did not take its row: not passed.
        {680, Result::Done, "done 1, unchanged 1, failed 2, yield 50%, 6 trackers per hour", true},
        {700, Result::Done, "done 2, unchanged 1, failed 2, yield 60%, 6 trackers per hour"},
        {1300, std::nullopt, "done 2, unchanged 1, failed 2, yield 60%, 6 trackers per hour"},
        {1301, std::nullopt, "done 2, unchanged 1, failed 2, yield 60%, 0 trackers per hour"},
    };
    for (const Moment& moment : moments) {
        now = std::chrono::steady_clock::time_point{Seconds(moment.at)};
        if (moment.outcome) {
            fleet::Outcome outcome;
            outcome.result = *moment.outcome;
            if (moment.notRecorded) {
                outcome.notRecorded = "disk full";
            }
            tally.Add(outcome);
        }
        EXPECT_EQ(fleet::CountersLine(tally.Counts(), kEnglish), moment.line) << moment.at;
    }
}

// Once the line has stopped its counters stay: the end's summary is the
// pace the line had, not one that falls while the operator reads it.
TEST(LineCounters, AStoppedLineKeepsItsCounts) {
    std::chrono::steady_clock::time_point now{};
    fleet::LineTally tally([&now] { return now; });
    for (int i = 1; i <= 3; ++i) {
        now += Seconds(20);
        fleet::Outcome outcome;
        outcome.result = Result::Done;
        tally.Add(outcome);
    }
    tally.Stop();
    now += Seconds(3600);
    const fleet::StationCounts counts = tally.Counts();
    EXPECT_DOUBLE_EQ(counts.elapsedSeconds, 60);
    EXPECT_EQ(fleet::CountersLine(counts, kChinese),
              "完成3个, 未改变0个, 失败0个, 合格率100%, 每小时180个追踪器");
}

// One failure in two hundred rounded to a yield of 100% hid it.
TEST(LineCounters, TheYieldIsNeverRoundedUpToAFullOne) {
    const fleet::StationCounts counts{199, 0, 1};
    EXPECT_EQ(counts.YieldPercent(), 99);
    EXPECT_EQ(fleet::StationCounts{}.YieldPercent(), std::nullopt);
}

}  // namespace
}  // namespace vorlen::test
