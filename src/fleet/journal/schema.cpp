#include "fleet/journal/schema.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace vorlen::fleet::schema {
namespace {

template <class... Visitors>
struct Overload : Visitors... {
    using Visitors::operator()...;
};

std::string SqlType(const Member& member, Dialect dialect) {
    return std::visit(
        Overload{[](std::string JournalEntry::*) { return std::string("TEXT"); },
                 [](int JournalEntry::*) { return std::string("INTEGER"); },
                 [dialect](double JournalEntry::*) {
                     return std::string(dialect == Dialect::Sqlite ? "REAL" : "DOUBLE PRECISION");
                 }},
        member);
}

std::string Parameter(std::size_t number) { return "$" + std::to_string(number); }

std::string EveryColumn() {
    std::string statement = "SELECT id";
    for (const Column& column : kColumns) {
        statement += ", " + std::string(column.name);
    }
    return statement + " FROM ";
}

// Indexes of version 2: the history's filters and summaries read a time
// span of one station, operator, lot or result, newest first.
std::vector<std::string> Indexes() {
    std::vector<std::string> indexes{
        "CREATE INDEX IF NOT EXISTS provisioning_by_imei ON provisioning (imei, id)",
        "CREATE INDEX IF NOT EXISTS provisioning_by_started ON provisioning (started)"};
    for (const char* column : {"station", "operator", "lot", "result"}) {
        indexes.push_back("CREATE INDEX IF NOT EXISTS provisioning_by_" + std::string(column) +
                          " ON provisioning (" + column + ", started)");
    }
    return indexes;
}

// A numbered series (a value such as "TRUCK-{n:04}") keeps its last number
// drawn, and each tracker's number by IMEI, so that a re-run keeps it and no
// number is given twice.
std::vector<std::string> SeriesTables(Dialect dialect) {
    const std::string number = dialect == Dialect::Sqlite ? "INTEGER" : "BIGINT";
    return {"CREATE TABLE IF NOT EXISTS numbered_series (name TEXT PRIMARY KEY, last_number " +
                number + " NOT NULL)",
            "CREATE TABLE IF NOT EXISTS numbered_tracker (series TEXT NOT NULL, imei TEXT NOT "
            "NULL, number " +
                number + " NOT NULL, PRIMARY KEY (series, imei), UNIQUE (series, number))"};
}

}  // namespace

std::vector<std::string> CreateStatements(Dialect dialect) {
    std::string table = "CREATE TABLE IF NOT EXISTS provisioning (id ";
    table += dialect == Dialect::Sqlite ? "INTEGER PRIMARY KEY AUTOINCREMENT"
                                        : "BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY";
    for (const Column& column : kColumns) {
        table += ", " + std::string(column.name) + " " + SqlType(column.member, dialect);
    }
    table += ")";
    std::vector<std::string> statements{table};
    for (std::vector<std::string> more : {Indexes(), SeriesTables(dialect)}) {
        statements.insert(statements.end(), more.begin(), more.end());
    }
    statements.emplace_back("CREATE TABLE IF NOT EXISTS journal_schema (version INTEGER NOT NULL)");
    return statements;
}

std::vector<std::string> UpgradeStatements(int from, Dialect dialect) {
    std::vector<std::string> statements;
    for (const Column& column : kColumns) {
        if (column.since > from) {
            statements.push_back("ALTER TABLE provisioning ADD COLUMN " +
                                 std::string(column.name) + " " +
                                 SqlType(column.member, dialect));
        }
    }
    for (std::vector<std::string> more : {Indexes(), SeriesTables(dialect)}) {
        statements.insert(statements.end(), more.begin(), more.end());
    }
    statements.push_back("UPDATE journal_schema SET version = " + std::to_string(kSchemaVersion));
    return statements;
}

std::string RowsOf(int version) {
    std::string added;
    for (const Column& column : kColumns) {
        if (column.since > version) {
            added += ", CAST(NULL AS " + SqlType(column.member, Dialect::Postgres) + ") AS " +
                     std::string(column.name);
        }
    }
    return added.empty() ? "provisioning"
                         : "(SELECT provisioning.*" + added + " FROM provisioning) AS provisioning";
}

std::string InsertStatement() {
    std::string names;
    std::string parameters;
    std::size_t number = 0;
    for (const Column& column : kColumns) {
        if (column.atStart) {
            const std::string comma = number == 0 ? "" : ", ";
            names += comma + std::string(column.name);
            parameters += comma + Parameter(++number);
        }
    }
    return "INSERT INTO provisioning (" + names + ") VALUES (" + parameters + ") RETURNING id";
}

std::string UpdateStatement() {
    std::string statement = "UPDATE provisioning SET ";
    std::size_t number = 0;
    for (const Column& column : kColumns) {
        statement += (number == 0 ? "" : ", ") + std::string(column.name) + " = " +
                     Parameter(number + 1);
        ++number;
    }
    return statement + " WHERE id = " + Parameter(number + 1);
}

std::string SelectStatement(bool byImei, int limit, int version) {
    return EveryColumn() + RowsOf(version) + (byImei ? " WHERE imei = $1" : "") +
           " ORDER BY id DESC LIMIT " + std::to_string(limit);
}

std::string OldestStatement(int limit) {
    return EveryColumn() + "provisioning ORDER BY id LIMIT " + std::to_string(limit);
}

namespace {

using List = std::vector<std::string> JournalFilter::*;

struct ListColumn {
    std::string_view column;
    List values;
};

constexpr std::array<ListColumn, 4> kListColumns{{
    {"station", &JournalFilter::stations},
    {"operator", &JournalFilter::operators},
    {"lot", &JournalFilter::lots},
    {"profile", &JournalFilter::profiles},
}};

// "column IN ($3, $4)", its values appended to the parameters.
std::string AnyOf(std::string_view column, const std::vector<std::string>& values,
                  std::vector<Value>& parameters) {
    std::string condition = std::string(column) + " IN (";
    for (const std::string& value : values) {
        parameters.emplace_back(value);
        condition += (condition.back() == '(' ? "" : ", ") + Parameter(parameters.size());
    }
    return condition + ")";
}

// An unfinished row has no result: asked for by name, it is the NULL one.
std::string ResultCondition(const std::vector<std::string>& results,
                            std::vector<Value>& parameters) {
    std::vector<std::string> named;
    std::copy_if(results.begin(), results.end(), std::back_inserter(named),
                 [](const std::string& result) { return result != kUnfinished; });
    const bool unfinished = named.size() < results.size();
    if (named.empty()) {
        return "result IS NULL";
    }
    const std::string any = AnyOf("result", named, parameters);
    return unfinished ? "(" + any + " OR result IS NULL)" : any;
}

Query Where(const JournalFilter& filter) {
    Query query;
    std::vector<std::string> conditions;
    const auto compare = [&](const std::string& value, const char* condition) {
        if (!value.empty()) {
            query.parameters.emplace_back(value);
            conditions.push_back(condition + Parameter(query.parameters.size()));
        }
    };
    compare(filter.since, "started >= ");
    compare(filter.until, "started < ");
    compare(filter.imei, "imei = ");
    for (const ListColumn& list : kListColumns) {
        if (!(filter.*list.values).empty()) {
            conditions.push_back(AnyOf(list.column, filter.*list.values, query.parameters));
        }
    }
    if (!filter.results.empty()) {
        conditions.push_back(ResultCondition(filter.results, query.parameters));
    }
    for (const std::string& condition : conditions) {
        query.sql += (query.sql.empty() ? " WHERE " : " AND ") + condition;
    }
    return query;
}

}  // namespace

Query FindStatement(const JournalFilter& filter, long long limit, int version) {
    Query query = Where(filter);
    query.sql = EveryColumn() + RowsOf(version) + query.sql + " ORDER BY started DESC, id DESC";
    if (limit > 0) {
        query.sql += " LIMIT " + std::to_string(limit);
    }
    return query;
}

Query CountStatement(const JournalFilter& filter, int version) {
    Query query = Where(filter);
    query.sql = "SELECT count(*) FROM " + RowsOf(version) + query.sql;
    return query;
}

std::string NumberOfStatement() {
    return "SELECT number FROM numbered_tracker WHERE series = $1 AND imei = $2";
}

// One row a series: the row's lock makes two stations drawing at once take
// turns, and each gets the number after the other's.
std::string DrawStatement() {
    return "INSERT INTO numbered_series (name, last_number) VALUES ($1, 1) ON CONFLICT (name) "
           "DO UPDATE SET last_number = numbered_series.last_number + 1 RETURNING last_number";
}

std::string KeepNumberStatement() {
    return "INSERT INTO numbered_tracker (series, imei, number) VALUES ($1, $2, $3)";
}

std::string VersionQuery() { return "SELECT max(version) FROM journal_schema"; }

std::string VersionInsert() {
    return "INSERT INTO journal_schema (version) SELECT " + std::to_string(kSchemaVersion) +
           " WHERE NOT EXISTS (SELECT 1 FROM journal_schema)";
}

std::vector<Value> Values(const JournalEntry& entry, bool atStartOnly) {
    std::vector<Value> values;
    for (const Column& column : kColumns) {
        if (atStartOnly && !column.atStart) {
            continue;
        }
        values.push_back(std::visit(
            Overload{[&](std::string JournalEntry::*text) {
                         return entry.*text == "" ? Value() : Value(entry.*text);
                     },
                     [&](int JournalEntry::*number) {
                         return entry.*number == 0 ? Value() : Value(1LL * (entry.*number));
                     },
                     [&](double JournalEntry::*number) { return Value(entry.*number); }},
            column.member));
    }
    return values;
}

void SetFromText(JournalEntry& entry, std::size_t index, const char* text) {
    if (text == nullptr) {
        return;
    }
    std::visit(Overload{[&](std::string JournalEntry::*member) { entry.*member = text; },
                        [&](int JournalEntry::*member) { entry.*member = std::atoi(text); },
                        [&](double JournalEntry::*member) {
                            entry.*member = std::strtod(text, nullptr);
                        }},
               kColumns[index].member);
}

}  // namespace vorlen::fleet::schema

namespace vorlen::fleet::schema {
namespace {

std::string Listed(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) {
        list += (list.empty() ? "" : ", ") + name;
    }
    return list;
}

// The columns a journal of `version` has; kSchemaVersion's when its version
// is not known yet.
std::vector<std::string> MissingColumns(const std::vector<std::string>& found, long long version) {
    std::vector<std::string> wanted{"id"};
    for (const Column& column : kColumns) {
        if (column.since <= version) {
            wanted.emplace_back(column.name);
        }
    }
    std::vector<std::string> missing;
    for (const std::string& name : wanted) {
        if (std::find(found.begin(), found.end(), name) == found.end()) {
            missing.push_back(name);
        }
    }
    return missing;
}

std::string VersionRefusal(long long version) {
    const std::string known = std::to_string(kSchemaVersion);
    if (version > kSchemaVersion) {
        return "the journal was written by a later vorlen-provision (schema version " +
               std::to_string(version) + "; this one knows version " + known + ")";
    }
    return "the journal has schema version " + std::to_string(version) +
           ", which this vorlen-provision does not know (it knows version " + known + ")";
}

}  // namespace

std::string Refusal(const Found& found, bool& fresh, int& version) {
    version = kSchemaVersion;
    const bool table = !found.provisioningColumns.empty();
    fresh = !table && !found.versionTable;
    if (fresh) {
        return found.otherTables.empty()
                   ? ""
                   : "the database holds another program's tables (" + Listed(found.otherTables) +
                         "), not a vorlen-provision journal";
    }
    if (!table) {
        return "the database holds a table journal_schema but no table provisioning";
    }
    const long long claimed =
        found.version && *found.version >= kEarliestUpgraded && *found.version < kSchemaVersion
            ? *found.version
            : kSchemaVersion;
    if (const std::vector<std::string> missing =
            MissingColumns(found.provisioningColumns, claimed);
        !missing.empty()) {
        return "the table provisioning was not made by vorlen-provision: it lacks the columns " +
               Listed(missing) + " (it has " + Listed(found.provisioningColumns) + ")";
    }
    if (!found.versionTable) {
        return "the table provisioning has no table journal_schema beside it: not a "
               "vorlen-provision journal";
    }
    if (!found.version) {
        return "the table journal_schema holds no version";
    }
    if (*found.version < kEarliestUpgraded || *found.version > kSchemaVersion) {
        return VersionRefusal(*found.version);
    }
    version = static_cast<int>(*found.version);
    return "";
}

}  // namespace vorlen::fleet::schema
