#include "fleet/journal/summary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>

#include "fleet/journal/schema.h"
#include "fleet/journal_time.h"
#include "fleet/printable.h"
#include "profile/private_file.h"

namespace vorlen::fleet {
namespace {

// The outcomes in the order a run meets them; the unfinished last.
constexpr std::array<std::string_view, 8> kResults{
    "done",  "unchanged", "not-listed", "not-woken", "step-failed", "read-back-failed",
    "differs", schema::kUnfinished};

bool Passed(std::string_view result) { return result == "done" || result == "unchanged"; }

// A tracker not in the device list was meant to get nothing: it neither
// passes nor fails.
bool Judged(const JournalEntry& row) { return !row.result.empty() && row.result != "not-listed"; }

// Where a failure happened, in the order of the run, for the failures' list.
std::pair<int, std::string> StepOf(const JournalEntry& row) {
    if (row.result == "not-woken") {
        return {0, "wake-up"};
    }
    if (row.result == "step-failed") {
        return {row.failedStep, "set-all step " + std::to_string(row.failedStep)};
    }
    if (row.result == "read-back-failed") {
        return {100, "read-back"};
    }
    return {101, "verification"};
}

struct Span {
    double start;
    double end;
};

struct GroupTally {
    long long trackers = 0;
    long long passed = 0;
    long long judged = 0;
    std::vector<Span> spans;
};

using Member = double JournalEntry::*;
constexpr std::array<std::pair<const char*, Member>, 4> kPhases{{
    {"wake-up", &JournalEntry::wakeSeconds},
    {"identification", &JournalEntry::identifySeconds},
    {"set-all", &JournalEntry::setAllSeconds},
    {"verification", &JournalEntry::verifySeconds},
}};

// Pauses of over kLongestGapSeconds between one tracker's end and the next
// one's start are left out.
double RunningSeconds(std::vector<Span> spans) {
    std::sort(spans.begin(), spans.end(),
              [](const Span& a, const Span& b) { return a.start < b.start; });
    double running = 0;
    double from = 0;
    double to = 0;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        if (i == 0 || spans[i].start > to + kLongestGapSeconds) {
            running += to - from;
            from = spans[i].start;
            to = spans[i].end;
        } else {
            to = std::max(to, spans[i].end);
        }
    }
    return running + (to - from);
}

// Linear between the nearest ranks, as a spreadsheet's PERCENTILE.
double Percentile(const std::vector<float>& sorted, double share) {
    const double rank = share * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(rank));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (rank - static_cast<double>(below)) * (sorted[above] - sorted[below]);
}

std::vector<GroupFigures> Groups(const std::map<std::string, GroupTally>& tallies) {
    std::vector<GroupFigures> groups;
    for (const auto& [name, tally] : tallies) {
        groups.push_back({name, tally.trackers, tally.passed, tally.judged,
                          RunningSeconds(tally.spans)});
    }
    return groups;
}

}  // namespace

struct SummaryCounter::Tallies {
    Summary summary;
    std::map<std::string, long long> results;
    std::map<std::pair<int, std::string>, std::map<std::string, long long>> failures;
    std::map<std::string, GroupTally> stations, operators, lots;
    std::array<std::vector<float>, kPhases.size()> phases;
};

SummaryCounter::SummaryCounter(const Zone& zone) : zone_(zone), tallies_(new Tallies) {}
SummaryCounter::~SummaryCounter() = default;

void SummaryCounter::Add(const JournalEntry& row) {
    Tallies& t = *tallies_;
    Summary& s = t.summary;
    ++s.rows;
    if (s.firstStarted.empty() || row.started < s.firstStarted) {
        s.firstStarted = row.started;
    }
    s.lastStarted = std::max(s.lastStarted, row.started);
    const std::string result = row.result.empty() ? std::string(schema::kUnfinished) : row.result;
    ++t.results[result];
    const bool passed = Passed(result);
    const bool judged = Judged(row);
    s.passed += passed;
    s.judged += judged;
    if (judged && !passed) {
        ++t.failures[StepOf(row)][row.failure];
    }
    const double start = JournalSeconds(row.started).value_or(0);
    const double end = JournalSeconds(row.finished).value_or(start + row.totalSeconds);
    for (auto [groups, name] : {std::pair{&t.stations, &row.station},
                                std::pair{&t.operators, &row.operatorName},
                                std::pair{&t.lots, &row.lot}}) {
        GroupTally& group = (*groups)[*name];
        ++group.trackers;
        group.passed += passed;
        group.judged += judged;
        group.spans.push_back({start, std::max(start, end)});
    }
    for (std::size_t i = 0; i < kPhases.size(); ++i) {
        if (const double seconds = row.*kPhases[i].second; seconds > 0) {
            t.phases[i].push_back(static_cast<float>(seconds));
        }
    }
    HourFigures& hour = s.hours[zone_.Wall(static_cast<std::time_t>(start)).calendar.tm_hour];
    if (row.result.empty()) {
        ++hour.unfinished;
    } else if (judged) {
        ++(passed ? hour.passed : hour.failed);
    }
}

Summary SummaryCounter::Figures() const {
    Tallies& t = *tallies_;
    Summary summary = t.summary;
    for (std::string_view result : kResults) {
        if (const auto found = t.results.find(std::string(result)); found != t.results.end()) {
            summary.results.emplace_back(found->first, found->second);
        }
    }
    for (const auto& [step, texts] : t.failures) {
        StepFailures& failures = summary.failures.emplace_back();
        failures.step = step.second;
        for (const auto& [text, count] : texts) {
            failures.count += count;
            failures.texts.emplace_back(text, count);
        }
        std::stable_sort(failures.texts.begin(), failures.texts.end(),
                         [](const Counted& a, const Counted& b) { return a.second > b.second; });
    }
    std::stable_sort(summary.failures.begin(), summary.failures.end(),
                     [](const StepFailures& a, const StepFailures& b) { return a.count > b.count; });
    summary.stations = Groups(t.stations);
    summary.operators = Groups(t.operators);
    summary.lots = Groups(t.lots);
    for (std::size_t i = 0; i < kPhases.size(); ++i) {
        std::vector<float>& seconds = t.phases[i];
        PhaseFigures& phase = summary.phases.emplace_back(PhaseFigures{kPhases[i].first});
        phase.rows = static_cast<long long>(seconds.size());
        if (!seconds.empty()) {
            std::sort(seconds.begin(), seconds.end());
            phase.median = Percentile(seconds, 0.5);
            phase.percentile95 = Percentile(seconds, 0.95);
        }
    }
    return summary;
}

double Yield(long long passed, long long judged) {
    return judged > 0 ? 100.0 * static_cast<double>(passed) / static_cast<double>(judged) : 0;
}

double PerHour(const GroupFigures& group) {
    return group.runningSeconds >= 1 ? static_cast<double>(group.trackers) * 3600 /
                                           group.runningSeconds
                                     : 0;
}

std::optional<Summary> Summarize(Journal& journal, const JournalFilter& filter, const Zone& zone) {
    SummaryCounter counter(zone);
    if (!journal.Find(filter, 0, [&counter](const JournalEntry& row) {
            counter.Add(row);
            return true;
        })) {
        return std::nullopt;
    }
    return counter.Figures();
}

bool SaveSummaryHtml(Journal& journal, const JournalFilter& filter, const Zone& zone,
                     const std::string& title, const std::filesystem::path& file,
                     std::string& failure) {
    const std::optional<Summary> summary = Summarize(journal, filter, zone);
    if (!summary) {
        failure = journal.LastError();
        return false;
    }
    std::ostringstream html;
    WriteSummaryHtml(*summary, zone, title, html);
    if (!SavePrivateFile(file, html.str())) {
        failure = "the file cannot be written";
        return false;
    }
    return true;
}

}  // namespace vorlen::fleet
