// The journal's tables, the same for SQLite and PostgreSQL. A change of
// columns raises kSchemaVersion; a program meeting a later version refuses
// the journal rather than write rows it does not understand, and upgrades an
// earlier one in place when it writes (see UpgradeStatements).
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <string>
#include <variant>
#include <vector>

#include "fleet/journal/journal.h"

namespace vorlen::fleet::schema {

// 1: the table provisioning. 2: its column lot, the numbered series, and
// the indexes the history's filters and summaries read by.
inline constexpr int kSchemaVersion = 2;
// The earliest version this program upgrades; an earlier one is refused.
inline constexpr int kEarliestUpgraded = 1;

using Member = std::variant<std::string JournalEntry::*, int JournalEntry::*,
                            double JournalEntry::*>;

struct Column {
    std::string_view name;
    Member member;
    bool atStart;  // written when the tracker is identified
    int since = 1;  // the schema version that added it
};

using E = JournalEntry;
// A column added later goes last, so that a new journal and an upgraded one
// have their columns in the same order.
inline constexpr std::array<Column, 21> kColumns{{
    {"started", &E::started, true},
    {"finished", &E::finished, false},
    {"station", &E::station, true},
    {"operator", &E::operatorName, true},
    {"port", &E::port, true},
    {"imei", &E::imei, true},
    {"software_version", &E::softwareVersion, true},
    {"mode", &E::mode, true},
    {"profile", &E::profile, true},
    {"profile_sha256", &E::profileSha256, true},
    {"device_values", &E::deviceValues, true},
    {"result", &E::result, false},
    {"failed_step", &E::failedStep, false},
    {"failure", &E::failure, false},
    {"differences", &E::differences, false},
    {"wake_seconds", &E::wakeSeconds, false},
    {"identify_seconds", &E::identifySeconds, false},
    {"set_all_seconds", &E::setAllSeconds, false},
    {"verify_seconds", &E::verifySeconds, false},
    {"total_seconds", &E::totalSeconds, false},
    {"lot", &E::lot, true, 2},
}};

}  // namespace vorlen::fleet::schema

namespace vorlen::fleet::schema {

// One column's value: NULL, a text, a whole number or a real number.
using Value = std::variant<std::monostate, std::string, long long, double>;

enum class Dialect { Sqlite, Postgres };

// The statements that create the tables, their indexes and the version
// table when they are missing, one statement per entry; the version row is
// VersionInsert's.
std::vector<std::string> CreateStatements(Dialect dialect);

// The statements, one per entry, that bring a journal of version `from`
// (kEarliestUpgraded or later) to kSchemaVersion: run in one transaction,
// after which the journal is as a new one, every row kept.
std::vector<std::string> UpgradeStatements(int from, Dialect dialect);

// The rows of table provisioning as a FROM clause that has every column of
// kColumns in a journal of `version`: a column added later reads as NULL in
// a journal that has not been upgraded (as --history reads it).
std::string RowsOf(int version);

// The row's first half, numbered parameters $1 ... in column order; gives
// back the new row's id.
std::string InsertStatement();
// Every column of a row, then the id as the last parameter.
std::string UpdateStatement();
// The id and every column, newest first; `$1` is the IMEI when `byImei`.
std::string SelectStatement(bool byImei, int limit, int version = kSchemaVersion);
// The id and every column, oldest first.
std::string OldestStatement(int limit);

// A statement with its parameters, numbered $1 ... in the order they appear.
struct Query {
    std::string sql;
    std::vector<Value> parameters;
};

// The result a row without one is asked for by.
inline constexpr std::string_view kUnfinished = "unfinished";

// The id and every column of the rows the filter matches, newest start
// first (the id breaks a tie), at most `limit` of them (0 for all), from a
// journal of `version`. The same text for SQLite and PostgreSQL.
Query FindStatement(const JournalFilter& filter, long long limit, int version = kSchemaVersion);
// The number of rows the filter matches.
Query CountStatement(const JournalFilter& filter, int version = kSchemaVersion);
// A tracker's number in a series: $1 the series, $2 the IMEI.
std::string NumberOfStatement();
// The next number of series $1, counted on: the number as its one value.
std::string DrawStatement();
// The number $3 kept as the tracker $2's in series $1.
std::string KeepNumberStatement();

std::string VersionQuery();
std::string VersionInsert();

// What a database holds of a journal, as read before anything is written.
struct Found {
    std::vector<std::string> otherTables;          // a file's tables that are not the journal's
    std::vector<std::string> provisioningColumns;  // empty: no table provisioning
    bool versionTable = false;                     // journal_schema is there
    std::optional<long long> version;              // its version, if it holds one
};

// The journal's own tables beside provisioning and journal_schema.
inline constexpr std::array<std::string_view, 2> kSeriesTables{"numbered_series",
                                                               "numbered_tracker"};

// "" when the database is this program's journal (`fresh` false) or holds
// nothing of a journal yet (`fresh` true); else why it is refused, naming
// what was found. `version` is the journal's: kSchemaVersion, or an earlier
// one that a writer upgrades and a reader reads as it is.
std::string Refusal(const Found& found, bool& fresh, int& version);

// The values of the columns written at the start, or of every column.
std::vector<Value> Values(const JournalEntry& entry, bool atStartOnly);

// Sets column `index` of `entry` from its value as text (nothing for NULL).
void SetFromText(JournalEntry& entry, std::size_t index, const char* text);

}  // namespace vorlen::fleet::schema
