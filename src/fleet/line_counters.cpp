#include "fleet/line_counters.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "fleet/report.h"
#include "fleet/tool_texts.h"

namespace vorlen::fleet {
namespace {

constexpr double kSecondsPerHour = 3600;
constexpr int kWholePercent = 100;

}  // namespace

std::optional<int> StationCounts::YieldPercent() const {
    if (Trackers() == 0) {
        return std::nullopt;
    }
    return (done + unchanged) * kWholePercent / Trackers();
}

std::string CountersLine(const StationCounts& counts, int language) {
    std::vector<std::string> parts{
        Say(text::kStationDone, language, {.count = counts.done}),
        Say(text::kStationUnchanged, language, {.count = counts.unchanged}),
        Say(text::kStationFailed, language, {.count = counts.failed}),
    };
    if (const std::optional<int> yield = counts.YieldPercent()) {
        parts.push_back(Say(text::kStationYield, language, {.count = *yield}));
    }
    if (counts.perHour) {
        parts.push_back(Say(text::kStationPerHour, language,
                            {.count = static_cast<int>(std::lround(*counts.perHour))}));
    }
    std::string line;
    for (const std::string& part : parts) {
        line += (line.empty() ? "" : ", ") + part;
    }
    return line;
}

LineTally::LineTally(SteadyClock clock) : clock_(std::move(clock)), start_(clock_()) {}

void LineTally::Add(const Outcome& outcome) {
    const bool passed = Passed(outcome);
    int& tally = passed && outcome.result == Result::Done        ? counts_.done
                 : passed && outcome.result == Result::Unchanged ? counts_.unchanged
                                                                 : counts_.failed;
    ++tally;
    if (passed) {
        const TimePoint now = clock_();
        passed_.push_back(now);
        while (passed_.front() < now - kPaceWindow) {
            passed_.pop_front();
        }
    }
}

void LineTally::Stop() {
    if (!stopped_) {
        stopped_ = clock_();
    }
}

// The pace over the window, or over the time since the start while that is
// shorter; a second at least, so that outcomes at the very start make no
// pace beyond reason.
StationCounts LineTally::Counts() const {
    const TimePoint now = stopped_.value_or(clock_());
    StationCounts counts = counts_;
    counts.elapsedSeconds = std::chrono::duration<double>(now - start_).count();
    if (counts.Trackers() >= kOutcomesBeforePace) {
        const TimePoint from = std::max(start_, now - kPaceWindow);
        const auto recent = std::count_if(passed_.begin(), passed_.end(),
                                          [from](TimePoint at) { return at >= from; });
        const double seconds =
            std::max(1.0, std::chrono::duration<double>(now - from).count());
        counts.perHour = static_cast<double>(recent) * kSecondsPerHour / seconds;
    }
    return counts;
}

}  // namespace vorlen::fleet
