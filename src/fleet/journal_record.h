// Each tracker's row in the journal: written as soon as the tracker is
// identified, completed when its run ends. A run killed in between leaves
// the row without an end, for the history to show as unfinished.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "fleet/host.h"
#include "fleet/journal/journal.h"
#include "fleet/outcome.h"

namespace vorlen::fleet {

// What every row of one run has in common.
struct RunRecord {
    std::string station;
    std::string operatorName;
    std::string mode;
    std::string profile;
    std::string profileSha256;
    std::string lot = {};  // the batch (--lot), "" for none
};

class TrackerRecord {
public:
    // `journal` may be null: nothing is kept.
    TrackerRecord(Journal* journal, const RunRecord& run) : journal_(journal), run_(run) {}

    // Writes the row's first half, unless BeginNumbered has.
    void Identified(const Outcome& outcome, const std::string& deviceValues);
    // The tracker's numbers in the series, drawn in one transaction with the
    // row's first half (see Journal::BeginNumbered); false, with the reason
    // in Failure(), when there is no journal or it gives none.
    bool BeginNumbered(const Outcome& identified, const std::vector<std::string>& series,
                       const Journal::NumberedValues& deviceValues,
                       std::vector<long long>& numbers);
    // The numbers the tracker holds, 0 where none, drawing nothing.
    bool NumbersOf(const std::string& imei, const std::vector<std::string>& series,
                   std::vector<long long>& numbers);
    // Completes the row (a tracker never identified gets its whole row now);
    // the outcome says why when the journal does not hold it.
    void Finished(Outcome& outcome, const std::string& deviceValues);

    // The journal's reason when the row is not held, else "".
    const std::string& Failure() const { return failure_; }

private:
    JournalEntry Entry(const Outcome& outcome, const std::string& deviceValues) const;

    Journal* journal_;
    const RunRecord& run_;
    std::string started_ = UtcNow();
    std::int64_t id_ = 0;
    std::string failure_;
};

}  // namespace vorlen::fleet
