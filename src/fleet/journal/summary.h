// What a supervisor asks of a shift: how many trackers passed, what failed
// and at which step, how fast each station, operator and lot went, how long
// each phase takes. Counted from the rows as they are read, so that a whole
// journal is never held at once.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "fleet/journal/journal.h"
#include "fleet/local_zone.h"

namespace vorlen::fleet {

// Starts further apart than this are a pause, not counted as running.
inline constexpr double kLongestGapSeconds = 10 * 60;

using Counted = std::pair<std::string, long long>;  // a name and how often

struct GroupFigures {
    std::string name;            // "" for rows without one
    long long trackers = 0;      // rows, the unfinished too
    long long passed = 0;        // done or unchanged
    long long judged = 0;        // finished with an outcome that counts (not not-listed)
    double runningSeconds = 0;   // from the first start to the last end, pauses left out
};

struct StepFailures {
    std::string step;            // "wake-up", "set-all step 7", "read-back", "verification"
    long long count = 0;
    std::vector<Counted> texts;  // most frequent first
};

struct PhaseFigures {
    const char* phase;
    long long rows = 0;          // rows in which the phase ran
    double median = 0;
    double percentile95 = 0;
};

struct HourFigures {
    long long passed = 0;
    long long failed = 0;
    long long unfinished = 0;
};

struct Summary {
    long long rows = 0;
    std::string firstStarted, lastStarted;  // UTC, as the journal holds them
    std::vector<Counted> results;           // in the order of the outcomes, none of 0
    long long passed = 0;
    long long judged = 0;
    std::vector<StepFailures> failures;     // most frequent first
    std::vector<GroupFigures> stations, operators, lots;
    std::vector<PhaseFigures> phases;       // wake-up, identification, set-all, verification
    std::array<HourFigures, 24> hours{};    // by the hour of the day each row started
};

// Yield in percent; 0 when nothing was judged.
double Yield(long long passed, long long judged);

// Trackers per hour while running; 0 when it never ran for a second.
double PerHour(const GroupFigures& group);

// Takes the rows one by one; the hours of the day on the zone's clock.
class SummaryCounter {
public:
    explicit SummaryCounter(const Zone& zone);
    ~SummaryCounter();
    SummaryCounter(const SummaryCounter&) = delete;
    SummaryCounter& operator=(const SummaryCounter&) = delete;

    void Add(const JournalEntry& row);
    Summary Figures() const;

private:
    struct Tallies;
    const Zone& zone_;
    std::unique_ptr<Tallies> tallies_;
};

// The summary of the rows the filter matches, read through the journal's
// Find; nothing, with the reason in the journal's LastError, when they
// cannot be read.
std::optional<Summary> Summarize(Journal& journal, const JournalFilter& filter, const Zone& zone);

// The summary as text, times on the zone's clock.
void PrintSummary(const Summary& summary, const Zone& zone, std::ostream& out);

// The summary as one HTML page with its charts drawn in SVG: nothing to
// run, nothing fetched, printable on A4. Every text from the journal escaped.
void WriteSummaryHtml(const Summary& summary, const Zone& zone, const std::string& title,
                      std::ostream& out);

// The HTML summary of the rows the filter matches, saved at `file`
// readable by its owner only from its first byte (it names operators and
// trackers), replacing it whole. False, with the reason, when the rows cannot
// be read or the file cannot be written.
bool SaveSummaryHtml(Journal& journal, const JournalFilter& filter, const Zone& zone,
                     const std::string& title, const std::filesystem::path& file,
                     std::string& failure);

}  // namespace vorlen::fleet
