#include "fleet/journal/postgres_journal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include <libpq-fe.h>

#include "fleet/journal/one_line.h"
#include "fleet/journal/schema.h"

namespace vorlen::fleet {
namespace {

using schema::Value;

// Any number taken, so that two processes creating the table at once take
// turns instead of one failing on the catalogue's unique index.
constexpr const char* kSchemaLock = "SELECT pg_advisory_xact_lock(7300240024)";

// A server that does not answer is given up after this long, so that a
// station's slot is not held while its row can wait in the outbox.
constexpr const char* kConnectSeconds = "10";

// A row is the same row when it started at the same moment on the same
// station's port: one port runs one tracker at a time.
constexpr const char* kFindStarted =
    "SELECT id FROM provisioning WHERE started = $1 AND station IS NOT DISTINCT FROM $2 "
    "AND port IS NOT DISTINCT FROM $3 ORDER BY id LIMIT 1";

struct Clear {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, Clear>;

// libpq takes every parameter as text; NULL as a null pointer.
struct Parameters {
    std::vector<std::string> texts;
    std::vector<const char*> pointers;

    explicit Parameters(const std::vector<Value>& values) {
        texts.reserve(values.size());
        for (const Value& value : values) {
            texts.push_back(Text(value));
        }
        for (std::size_t i = 0; i < values.size(); ++i) {
            pointers.push_back(std::holds_alternative<std::monostate>(values[i])
                                   ? nullptr
                                   : texts[i].c_str());
        }
    }

    static std::string Text(const Value& value) {
        if (const auto* text = std::get_if<std::string>(&value)) {
            return *text;
        }
        if (const auto* number = std::get_if<long long>(&value)) {
            return std::to_string(*number);
        }
        if (const auto* real = std::get_if<double>(&value)) {
            char digits[32];
            std::snprintf(digits, sizeof digits, "%.6f", *real);
            return digits;
        }
        return {};
    }
};

Result Execute(PGconn* connection, const std::string& sql, const Parameters& parameters = Parameters({})) {
    return Result(PQexecParams(connection, sql.c_str(),
                               static_cast<int>(parameters.pointers.size()), nullptr,
                               parameters.pointers.data(), nullptr, nullptr, 0));
}

bool Succeeded(const Result& result, ExecStatusType wanted) {
    return PQresultStatus(result.get()) == wanted;
}

}  // namespace

std::unique_ptr<PostgresJournal> PostgresJournal::Open(const std::string& uri,
                                                       std::string& failure, Access access) {
    // The URI's own settings come after, so its connect_timeout wins.
    const char* keywords[] = {"connect_timeout", "dbname", nullptr};
    const char* values[] = {kConnectSeconds, uri.c_str(), nullptr};
    std::unique_ptr<PostgresJournal> journal(
        new PostgresJournal(PQconnectdbParams(keywords, values, 1)));
    if (journal->connection_ == nullptr) {
        failure = "out of memory";
        return nullptr;
    }
    // The server's notices ("relation already exists, skipping") are not the
    // operator's business.
    PQsetNoticeProcessor(journal->connection_, [](void*, const char*) {}, nullptr);
    if (PQstatus(journal->connection_) != CONNECTION_OK) {
        failure = OneLine(PQerrorMessage(journal->connection_));
        return nullptr;
    }
    if (!journal->Prepare(access)) {
        failure = journal->error_;
        return nullptr;
    }
    return journal;
}

// Looks first, inside the transaction that would create the tables or
// upgrade a journal of an earlier version, and writes only into a database
// that holds this program's journal or nothing of one. The upgrade is that
// one transaction, whole or not at all. The server's reason is read before
// the rollback.
bool PostgresJournal::Prepare(Access access) {
    bool fresh = false;
    if (access == Access::Read) {
        if (CheckOwner(fresh) && fresh) {
            error_ = "the database holds no journal (no table provisioning)";
        }
        return error_.empty();
    }
    for (const char* start : {"BEGIN", kSchemaLock}) {
        const Result started = Execute(connection_, start);
        if (!Succeeded(started, PGRES_COMMAND_OK) && !Succeeded(started, PGRES_TUPLES_OK)) {
            Failed(started.get(), "the journal cannot be prepared");
            Execute(connection_, "ROLLBACK");
            return false;
        }
    }
    std::vector<std::string> statements;
    if (!CheckOwner(fresh)) {
        Execute(connection_, "ROLLBACK");
        return false;
    }
    if (fresh) {
        statements = schema::CreateStatements(schema::Dialect::Postgres);
        statements.push_back(schema::VersionInsert());
    } else if (version_ < schema::kSchemaVersion) {
        statements = schema::UpgradeStatements(version_, schema::Dialect::Postgres);
    }
    statements.emplace_back("COMMIT");
    for (const std::string& statement : statements) {
        const Result done = Execute(connection_, statement);
        if (!Succeeded(done, PGRES_COMMAND_OK)) {
            Failed(done.get(), "the journal cannot be prepared");
            Execute(connection_, "ROLLBACK");
            return false;
        }
    }
    version_ = schema::kSchemaVersion;
    return true;
}

bool PostgresJournal::CheckOwner(bool& fresh) {
    schema::Found found;
    const Result columns = Execute(
        connection_,
        "SELECT attname FROM pg_attribute WHERE attrelid = to_regclass('provisioning') "
        "AND attnum > 0 AND NOT attisdropped ORDER BY attnum");
    const Result version = Execute(connection_, "SELECT to_regclass('journal_schema') IS NOT NULL");
    if (!Succeeded(columns, PGRES_TUPLES_OK) || !Succeeded(version, PGRES_TUPLES_OK) ||
        PQntuples(version.get()) != 1) {
        return Failed(columns.get(), "the journal cannot be read");
    }
    for (int row = 0; row < PQntuples(columns.get()); ++row) {
        found.provisioningColumns.emplace_back(PQgetvalue(columns.get(), row, 0));
    }
    found.versionTable = std::strcmp(PQgetvalue(version.get(), 0, 0), "t") == 0;
    if (found.versionTable) {
        const Result number = Execute(connection_, schema::VersionQuery());
        if (!Succeeded(number, PGRES_TUPLES_OK) || PQntuples(number.get()) != 1) {
            return Failed(number.get(), "the journal's schema version cannot be read");
        }
        if (PQgetisnull(number.get(), 0, 0) == 0) {
            found.version = std::atoll(PQgetvalue(number.get(), 0, 0));
        }
    }
    error_ = schema::Refusal(found, fresh, version_);
    return error_.empty();
}

PostgresJournal::~PostgresJournal() { PQfinish(connection_); }

// The server gone (a connection exception, a shutdown, or a failure libpq
// met before any answer) is an outage: the row may wait. Anything else is the
// server's refusal of the row itself.
bool PostgresJournal::Failed(const pg_result* result, const std::string& what) {
    const char* state = result != nullptr ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const std::string_view code = state != nullptr ? state : "";
    outage_ = PQstatus(connection_) != CONNECTION_OK || code.empty() || code.starts_with("08") ||
              code.starts_with("57P");
    const char* reason = result != nullptr ? PQresultErrorMessage(result) : "";
    error_ = what + ": " +
             OneLine(*reason != '\0' ? reason : PQerrorMessage(connection_));
    return false;
}

std::int64_t PostgresJournal::Begin(const JournalEntry& entry) {
    std::lock_guard lock(mutex_);
    return Inserted(entry);
}

std::int64_t PostgresJournal::Inserted(const JournalEntry& entry) {
    const Result inserted =
        Execute(connection_, schema::InsertStatement(), Parameters(schema::Values(entry, true)));
    if (!Succeeded(inserted, PGRES_TUPLES_OK) || PQntuples(inserted.get()) != 1) {
        Failed(inserted.get(), "the row cannot be written");
        return 0;
    }
    return std::atoll(PQgetvalue(inserted.get(), 0, 0));
}

// The first value of the command's first row into `number` (left as it is
// when there is no row); false, with the reason, when the command fails.
bool PostgresJournal::Number(const std::string& sql, const std::vector<Value>& values,
                             long long& number) {
    const Result result = Execute(connection_, sql, Parameters(values));
    if (!Succeeded(result, PGRES_TUPLES_OK) && !Succeeded(result, PGRES_COMMAND_OK)) {
        return Failed(result.get(), "no number can be drawn");
    }
    if (PQntuples(result.get()) > 0) {
        number = std::atoll(PQgetvalue(result.get(), 0, 0));
    }
    return true;
}

bool PostgresJournal::Numbers(const std::string& imei, const std::vector<std::string>& series,
                              bool draw, std::vector<long long>& numbers) {
    numbers.assign(series.size(), 0);
    for (std::size_t i = 0; i < series.size(); ++i) {
        if (!Number(schema::NumberOfStatement(), {Value(series[i]), Value(imei)}, numbers[i])) {
            return false;
        }
        if (draw && numbers[i] == 0 &&
            (!Number(schema::DrawStatement(), {Value(series[i])}, numbers[i]) ||
             !Number(schema::KeepNumberStatement(),
                     {Value(series[i]), Value(imei), Value(numbers[i])}, numbers[i]))) {
            return false;
        }
    }
    return true;
}

bool PostgresJournal::NumbersOf(const std::string& imei, const std::vector<std::string>& series,
                                std::vector<long long>& numbers) {
    std::lock_guard lock(mutex_);
    return Numbers(imei, series, false, numbers);
}

// The series' row is locked by the draw until the commit: a station drawing
// at the same moment waits, then counts on from this one's number.
std::int64_t PostgresJournal::BeginNumbered(JournalEntry entry,
                                            const std::vector<std::string>& series,
                                            const NumberedValues& deviceValues,
                                            std::vector<long long>& numbers) {
    std::lock_guard lock(mutex_);
    const Result begun = Execute(connection_, "BEGIN");
    if (!Succeeded(begun, PGRES_COMMAND_OK)) {
        Failed(begun.get(), "no number can be drawn");
        return 0;
    }
    std::int64_t id = 0;
    if (Numbers(entry.imei, series, true, numbers)) {
        entry.deviceValues = deviceValues(numbers);
        id = Inserted(entry);
    }
    if (id != 0) {
        const Result committed = Execute(connection_, "COMMIT");
        if (Succeeded(committed, PGRES_COMMAND_OK)) {
            return id;
        }
        Failed(committed.get(), "no number can be drawn");
    }
    Execute(connection_, "ROLLBACK");
    numbers.clear();
    return 0;
}

std::int64_t PostgresJournal::Adopt(const JournalEntry& entry) {
    std::lock_guard lock(mutex_);
    const auto nullable = [](const std::string& text) { return text.empty() ? Value() : Value(text); };
    const Result found = Execute(connection_, kFindStarted,
                                 Parameters({Value(entry.started), nullable(entry.station),
                                             nullable(entry.port)}));
    if (!Succeeded(found, PGRES_TUPLES_OK)) {
        Failed(found.get(), "the row cannot be looked for");
        return 0;
    }
    return PQntuples(found.get()) == 1 ? std::atoll(PQgetvalue(found.get(), 0, 0)) : Inserted(entry);
}

bool PostgresJournal::Finish(const JournalEntry& entry) {
    std::lock_guard lock(mutex_);
    std::vector<Value> values = schema::Values(entry, false);
    values.emplace_back(static_cast<long long>(entry.id));
    const Result updated = Execute(connection_, schema::UpdateStatement(), Parameters(values));
    const std::string what = "row " + std::to_string(entry.id) + " cannot be completed";
    if (!Succeeded(updated, PGRES_COMMAND_OK)) {
        return Failed(updated.get(), what);
    }
    if (std::strcmp(PQcmdTuples(updated.get()), "1") != 0) {
        error_ = what + ": the journal holds no such row";
        return false;
    }
    return true;
}

namespace {

JournalEntry RowOf(const PGresult* result, int row) {
    JournalEntry entry;
    entry.id = std::atoll(PQgetvalue(result, row, 0));
    for (std::size_t i = 0; i < schema::kColumns.size(); ++i) {
        const int column = static_cast<int>(i) + 1;
        schema::SetFromText(entry, i,
                            PQgetisnull(result, row, column) != 0 ? nullptr
                                                                   : PQgetvalue(result, row, column));
    }
    return entry;
}

}  // namespace

// Rows come one by one (libpq's single-row mode), so a million of them are
// never held at once, on the server's side or on ours.
bool PostgresJournal::Find(const JournalFilter& filter, long long limit, const JournalRowSink& row) {
    std::lock_guard lock(mutex_);
    const schema::Query query = schema::FindStatement(filter, limit, version_);
    const Parameters parameters(query.parameters);
    if (PQsendQueryParams(connection_, query.sql.c_str(),
                          static_cast<int>(parameters.pointers.size()), nullptr,
                          parameters.pointers.data(), nullptr, nullptr, 0) != 1 ||
        PQsetSingleRowMode(connection_) != 1) {
        StopReading();
        return Failed(nullptr, "the journal cannot be read");
    }
    bool failed = false;
    while (Result result = Result(PQgetResult(connection_))) {
        const ExecStatusType status = PQresultStatus(result.get());
        if (status == PGRES_SINGLE_TUPLE && !row(RowOf(result.get(), 0))) {
            StopReading();
            return true;
        }
        if (status != PGRES_SINGLE_TUPLE && status != PGRES_TUPLES_OK && !failed) {
            failed = !Failed(result.get(), "the journal cannot be read");
        }
    }
    return !failed;
}

// Asks the server to stop sending and reads what it sent before it stopped,
// so that the connection takes the next command.
void PostgresJournal::StopReading() {
    if (PGcancel* cancel = PQgetCancel(connection_)) {
        char reason[256];
        PQcancel(cancel, reason, sizeof reason);
        PQfreeCancel(cancel);
    }
    while (Result(PQgetResult(connection_))) {
    }
}

bool PostgresJournal::Count(const JournalFilter& filter, long long& count) {
    std::lock_guard lock(mutex_);
    const schema::Query query = schema::CountStatement(filter, version_);
    const Result counted = Execute(connection_, query.sql, Parameters(query.parameters));
    if (!Succeeded(counted, PGRES_TUPLES_OK) || PQntuples(counted.get()) != 1) {
        return Failed(counted.get(), "the journal cannot be read");
    }
    count = std::atoll(PQgetvalue(counted.get(), 0, 0));
    return true;
}

bool PostgresJournal::Newest(int limit, const std::string& imei,
                             std::vector<JournalEntry>& rows) {
    std::lock_guard lock(mutex_);
    const Parameters parameters(imei.empty() ? std::vector<Value>{}
                                             : std::vector<Value>{Value(imei)});
    const Result selected =
        Execute(connection_, schema::SelectStatement(!imei.empty(), limit, version_), parameters);
    if (!Succeeded(selected, PGRES_TUPLES_OK)) {
        return Failed(selected.get(), "the journal cannot be read");
    }
    for (int row = 0; row < PQntuples(selected.get()); ++row) {
        JournalEntry& entry = rows.emplace_back();
        entry.id = std::atoll(PQgetvalue(selected.get(), row, 0));
        for (std::size_t i = 0; i < schema::kColumns.size(); ++i) {
            const int column = static_cast<int>(i) + 1;
            schema::SetFromText(entry, i,
                                PQgetisnull(selected.get(), row, column) != 0
                                    ? nullptr
                                    : PQgetvalue(selected.get(), row, column));
        }
    }
    return true;
}

std::string PostgresJournal::LastError() const {
    std::lock_guard lock(mutex_);
    return error_;
}

JournalHealth PostgresJournal::Health() const {
    std::lock_guard lock(mutex_);
    const bool up = PQstatus(connection_) == CONNECTION_OK && !outage_;
    return {up, 0, up ? "" : error_};
}

bool PostgresJournal::Connected() const {
    std::lock_guard lock(mutex_);
    return PQstatus(connection_) == CONNECTION_OK && !outage_;
}

bool PostgresJournal::Reconnect() {
    std::lock_guard lock(mutex_);
    PQreset(connection_);
    if (PQstatus(connection_) != CONNECTION_OK) {
        error_ = "the server does not answer: " + OneLine(PQerrorMessage(connection_));
        return false;
    }
    outage_ = false;
    return true;
}

}  // namespace vorlen::fleet
