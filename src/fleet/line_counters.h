// The station's counters as the terminal's board and both windows show them:
// how many trackers were done, found unchanged and failed, the yield, and
// the line's pace. The pace is the line's of late, not since the morning: a
// bench that stood for half an hour says so, and a failed tracker is no
// tracker made.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "fleet/outcome.h"

namespace vorlen::fleet {

using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;

// The outcomes of this long ago and less make the pace.
inline constexpr std::chrono::minutes kPaceWindow{10};
// No pace is told before this many outcomes: two trackers in the first
// minute make no rate anyone should plan by.
inline constexpr int kOutcomesBeforePace = 3;

struct StationCounts {
    int done = 0;       // configured and verified
    int unchanged = 0;  // already held the profile: nothing written
    int failed = 0;     // every other outcome
    double elapsedSeconds = 0;  // since the station started
    // Trackers done or unchanged per hour over the last ten minutes (or
    // since the start, when that is sooner); none until three outcomes.
    std::optional<double> perHour;

    int Trackers() const { return done + unchanged + failed; }
    // The share of trackers not failed, in whole percent rounded down (one
    // failure in two hundred is 99%, never 100%); none before an outcome.
    std::optional<int> YieldPercent() const;
};

// "done 41, unchanged 2, failed 1, yield 97%, 980 trackers per hour"; the
// yield and the pace only once they are known.
std::string CountersLine(const StationCounts& counts, int language);

// Outcomes as they come, against a clock (the real one but in tests).
class LineTally {
public:
    explicit LineTally(SteadyClock clock = std::chrono::steady_clock::now);

    // `outcome` is in: done and unchanged count as passed only when
    // Passed() says so (a tracker configured but not recorded failed).
    void Add(const Outcome& outcome);
    // The line has stopped: the counts stay as they stood then.
    void Stop();
    StationCounts Counts() const;

private:
    using TimePoint = std::chrono::steady_clock::time_point;

    const SteadyClock clock_;
    const TimePoint start_;
    std::optional<TimePoint> stopped_;
    StationCounts counts_;
    std::deque<TimePoint> passed_;  // the moments of done and unchanged outcomes, oldest first
};

}  // namespace vorlen::fleet
