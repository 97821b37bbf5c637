#include "fleet/journal_record.h"

#include "fleet/report.h"

namespace vorlen::fleet {

JournalEntry TrackerRecord::Entry(const Outcome& outcome, const std::string& deviceValues) const {
    JournalEntry entry{
        .id = id_,
        .started = started_,
        .finished = {},
        .station = run_.station,
        .operatorName = run_.operatorName,
        .lot = run_.lot,
        .port = outcome.port,
        .imei = outcome.imei,
        .softwareVersion = outcome.softwareVersion,
        .mode = run_.mode,
        .profile = run_.profile,
        .profileSha256 = run_.profileSha256,
        .deviceValues = deviceValues,
        .result = {},
        .failedStep = outcome.failedStep,
        .failure = outcome.failure,
        .differences = {},
        .wakeSeconds = outcome.timings.wakeSeconds,
        .identifySeconds = outcome.timings.identifySeconds,
        .setAllSeconds = outcome.timings.setAllSeconds,
        .verifySeconds = outcome.timings.verifySeconds,
        .totalSeconds = outcome.timings.totalSeconds,
    };
    if (!outcome.differences.empty()) {
        entry.differences = DifferencesJson(outcome.differences);
    }
    return entry;
}

void TrackerRecord::Identified(const Outcome& outcome, const std::string& deviceValues) {
    if (journal_ == nullptr || id_ != 0) {
        return;
    }
    id_ = journal_->Begin(Entry(outcome, deviceValues));
    failure_ = id_ == 0 ? journal_->LastError() : "";
}

bool TrackerRecord::BeginNumbered(const Outcome& identified,
                                  const std::vector<std::string>& series,
                                  const Journal::NumberedValues& deviceValues,
                                  std::vector<long long>& numbers) {
    if (journal_ == nullptr) {
        failure_ = "no journal is kept";
        return false;
    }
    id_ = journal_->BeginNumbered(Entry(identified, {}), series, deviceValues, numbers);
    failure_ = id_ == 0 ? journal_->LastError() : "";
    return id_ != 0;
}

bool TrackerRecord::NumbersOf(const std::string& imei, const std::vector<std::string>& series,
                              std::vector<long long>& numbers) {
    if (journal_ == nullptr || !journal_->NumbersOf(imei, series, numbers)) {
        failure_ = journal_ == nullptr ? "no journal is kept" : journal_->LastError();
        return false;
    }
    return true;
}

// A start that could not be written is tried again with the end: the row
// may still be kept whole.
void TrackerRecord::Finished(Outcome& outcome, const std::string& deviceValues) {
    if (journal_ == nullptr) {
        return;
    }
    if (id_ == 0) {
        Identified(outcome, deviceValues);
    }
    if (id_ != 0) {
        JournalEntry entry = Entry(outcome, deviceValues);
        entry.finished = UtcNow();
        entry.result = ResultName(outcome.result);
        failure_ = journal_->Finish(entry) ? "" : journal_->LastError();
    }
    outcome.notRecorded = failure_;
}

}  // namespace vorlen::fleet
