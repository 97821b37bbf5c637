// The journal's table, the same for SQLite and PostgreSQL. A change of
// columns raises kSchemaVersion; a program meeting a later version refuses
// the journal rather than write rows it does not understand.
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <string>
#include <variant>
#include <vector>

#include "fleet/journal/journal.h"

namespace vorlen::fleet::schema {

inline constexpr int kSchemaVersion = 1;

using Member = std::variant<std::string JournalEntry::*, int JournalEntry::*,
                            double JournalEntry::*>;

struct Column {
    std::string_view name;
    Member member;
    bool atStart;  // written when the tracker is identified
};

using E = JournalEntry;
inline constexpr std::array<Column, 20> kColumns{{
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
}};

}  // namespace vorlen::fleet::schema

namespace vorlen::fleet::schema {

// One column's value: NULL, a text, a whole number or a real number.
using Value = std::variant<std::monostate, std::string, long long, double>;

enum class Dialect { Sqlite, Postgres };

// The statements that create the table, its index and the version table when
// they are missing, one statement per entry.
std::vector<std::string> CreateStatements(Dialect dialect);

// The row's first half, numbered parameters $1 ... in column order; gives
// back the new row's id.
std::string InsertStatement();
// Every column of a row, then the id as the last parameter.
std::string UpdateStatement();
// The id and every column, newest first; `$1` is the IMEI when `byImei`.
std::string SelectStatement(bool byImei, int limit);
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
// first (the id breaks a tie), at most `limit` of them (0 for all). The same
// text for SQLite and PostgreSQL.
Query FindStatement(const JournalFilter& filter, long long limit);
// The number of rows the filter matches.
Query CountStatement(const JournalFilter& filter);

std::string VersionQuery();
std::string VersionInsert();

// What a database holds of a journal, as read before anything is written.
struct Found {
    std::vector<std::string> otherTables;          // a file's tables that are not the journal's
    std::vector<std::string> provisioningColumns;  // empty: no table provisioning
    bool versionTable = false;                     // journal_schema is there
    std::optional<long long> version;              // its version, if it holds one
};

// "" when the database is this program's journal (`fresh` false) or holds
// nothing of a journal yet (`fresh` true); else why it is refused, naming
// what was found.
std::string Refusal(const Found& found, bool& fresh);

// The values of the columns written at the start, or of every column.
std::vector<Value> Values(const JournalEntry& entry, bool atStartOnly);

// Sets column `index` of `entry` from its value as text (nothing for NULL).
void SetFromText(JournalEntry& entry, std::size_t index, const char* text);

}  // namespace vorlen::fleet::schema
