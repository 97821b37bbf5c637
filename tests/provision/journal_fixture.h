// A small journal whose every figure is counted by hand: rows across two
// days, two stations, two operators, each result, written through the
// journal's own interface into SQLite or the throw-away PostgreSQL server.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fleet/journal/journal.h"
#include "fleet/local_zone.h"
#include "fleet/journal_time.h"
#include "sim/postgres_server.h"

namespace vorlen::test {

// Started (UTC), station, operator, lot, IMEI, profile, result ("" unfinished),
// failed step, failure, then wake-up, identification, set-all and
// verification seconds; the row finishes when its phases have run. An
// unfinished row holds no times: they are written with its end.
struct FixtureRow {
    const char* started;
    const char* station;
    const char* operatorName;
    const char* lot;
    const char* imei;
    const char* profile;
    const char* result;
    int failedStep;
    const char* failure;
    double wake, identify, setAll, verify;
};

// Ids 1 to 7 in this order. In CST (UTC+8) the first is on 7 December and
// the last on 9 December; in EST (UTC-5) all but the last two are on the 7th.
inline const std::vector<FixtureRow>& FixtureRows() {
    static const std::vector<FixtureRow> rows{
        {"2026-12-07T15:30:00.000Z", "A", "li", "L1", "860000000000001", "fleet.toml", "done", 0, "",
         2, 1, 20, 4},
        {"2026-12-07T16:10:00.000Z", "A", "li", "L1", "860000000000002", "fleet.toml", "step-failed", 7,
         "step 7 was not acknowledged", 4, 1, 12, 0},
        {"2026-12-07T23:50:00.000Z", "B", "wang", "L1", "860000000000003", "fleet.toml", "not-woken", 0,
         "no answer to the wake-up", 120, 0, 0, 0},
        {"2026-12-08T00:20:00.000Z", "B", "wang", "L2", "860000000000004", "other.toml", "done", 0, "",
         6, 2, 24, 6},
        {"2026-12-08T09:00:00.000Z", "A", "wang", "L2", "860000000000005", "fleet.toml", "differs", 0,
         "APN differs", 8, 1, 22, 5},
        {"2026-12-08T15:59:00.000Z", "B", "li", "", "860000000000001", "fleet.toml", "", 0, "", 0, 0,
         0, 0},
        {"2026-12-08T16:01:00.000Z", "A", "li", "", "860000000000006", "fleet.toml", "unchanged", 0,
         "", 10, 1, 0, 3},
    };
    return rows;
}

inline fleet::JournalEntry EntryOf(const FixtureRow& row) {
    fleet::JournalEntry entry;
    entry.started = row.started;
    entry.station = row.station;
    entry.operatorName = row.operatorName;
    entry.lot = row.lot;
    entry.imei = row.imei;
    entry.profile = row.profile;
    entry.mode = "provision";
    entry.result = row.result;
    entry.failedStep = row.failedStep;
    entry.failure = row.failure;
    entry.wakeSeconds = row.wake;
    entry.identifySeconds = row.identify;
    entry.setAllSeconds = row.setAll;
    entry.verifySeconds = row.verify;
    entry.totalSeconds = row.wake + row.identify + row.setAll + row.verify;
    if (!entry.result.empty()) {
        const double start = *fleet::JournalSeconds(entry.started);
        entry.finished = fleet::JournalText(static_cast<std::time_t>(start + entry.totalSeconds));
    }
    return entry;
}

// Writes the rows in their order: the first gets id 1.
inline void Fill(fleet::Journal& journal, const std::vector<FixtureRow>& rows) {
    for (const FixtureRow& row : rows) {
        fleet::JournalEntry entry = EntryOf(row);
        entry.id = journal.Begin(entry);
        ASSERT_NE(entry.id, 0) << journal.LastError();
        if (!entry.result.empty()) {
            ASSERT_TRUE(journal.Finish(entry)) << journal.LastError();
        }
    }
}

// A zone of a fixed offset, as the operator's clock.
class FixedZone : public fleet::Zone {
public:
    FixedZone(int eastSeconds, std::string name) : east_(eastSeconds), name_(std::move(name)) {}
    fleet::WallTime Wall(std::time_t moment) const override {
        return {fleet::UtcZone().Wall(moment + east_).calendar, name_};
    }
    std::optional<std::time_t> Moment(const std::tm& calendar) const override {
        return fleet::UtcMoment(calendar) - east_;
    }

private:
    int east_;
    std::string name_;
};

// Where the fixture is kept: an SQLite file or the throw-away server.
enum class Database { Sqlite, Postgres };

inline std::string DatabaseName(const ::testing::TestParamInfo<Database>& info) {
    return info.param == Database::Sqlite ? "Sqlite" : "Postgres";
}

}  // namespace vorlen::test
