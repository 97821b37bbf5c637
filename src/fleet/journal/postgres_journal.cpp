#include "fleet/journal/postgres_journal.h"

#include <cstdio>
#include <cstdlib>

#include <libpq-fe.h>

#include "fleet/journal/schema.h"

namespace vorlen::fleet {
namespace {

using schema::Value;

// Any number taken, so that two processes creating the table at once take
// turns instead of one failing on the catalogue's unique index.
constexpr const char* kSchemaLock = "SELECT pg_advisory_xact_lock(7300240024)";

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

Result Execute(PGconn* connection, const std::string& sql, const Parameters& parameters) {
    return Result(PQexecParams(connection, sql.c_str(),
                               static_cast<int>(parameters.pointers.size()), nullptr,
                               parameters.pointers.data(), nullptr, nullptr, 0));
}

bool Succeeded(const Result& result) {
    const ExecStatusType status = PQresultStatus(result.get());
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

}  // namespace

std::unique_ptr<PostgresJournal> PostgresJournal::Open(const std::string& uri,
                                                       std::string& failure) {
    std::unique_ptr<PostgresJournal> journal(new PostgresJournal(PQconnectdb(uri.c_str())));
    // The server's notices ("relation already exists, skipping") are not the
    // operator's business.
    PQsetNoticeProcessor(journal->connection_, [](void*, const char*) {}, nullptr);
    if (PQstatus(journal->connection_) != CONNECTION_OK || !journal->Prepare()) {
        failure = journal->error_.empty() ? PQerrorMessage(journal->connection_) : journal->error_;
        while (!failure.empty() && failure.back() == '\n') {
            failure.pop_back();
        }
        return nullptr;
    }
    return journal;
}

bool PostgresJournal::Prepare() {
    const Parameters none({});
    std::vector<std::string> statements{"BEGIN", kSchemaLock};
    for (std::string& create : schema::CreateStatements(schema::Dialect::Postgres)) {
        statements.push_back(std::move(create));
    }
    statements.insert(statements.end(), {schema::VersionInsert(), "COMMIT"});
    for (const std::string& statement : statements) {
        if (!Succeeded(Execute(connection_, statement, none))) {
            error_ = PQerrorMessage(connection_);
            Execute(connection_, "ROLLBACK", none);
            return false;
        }
    }
    const Result version = Execute(connection_, schema::VersionQuery(), none);
    if (!Succeeded(version)) {
        error_ = PQerrorMessage(connection_);
        return false;
    }
    const int found = std::atoi(PQgetvalue(version.get(), 0, 0));
    if (found > schema::kSchemaVersion) {
        error_ = "the journal was written by a later vorlen-provision (schema version " +
                 std::to_string(found) + ")";
        return false;
    }
    return true;
}

PostgresJournal::~PostgresJournal() { PQfinish(connection_); }

std::int64_t PostgresJournal::Begin(const JournalEntry& entry) {
    std::lock_guard lock(mutex_);
    const Result inserted =
        Execute(connection_, schema::InsertStatement(), Parameters(schema::Values(entry, true)));
    if (!Succeeded(inserted)) {
        error_ = PQerrorMessage(connection_);
        return 0;
    }
    return std::stoll(PQgetvalue(inserted.get(), 0, 0));
}

bool PostgresJournal::Finish(const JournalEntry& entry) {
    std::lock_guard lock(mutex_);
    std::vector<Value> values = schema::Values(entry, false);
    values.emplace_back(static_cast<long long>(entry.id));
    const Result updated = Execute(connection_, schema::UpdateStatement(), Parameters(values));
    if (!Succeeded(updated)) {
        error_ = PQerrorMessage(connection_);
        return false;
    }
    return true;
}

bool PostgresJournal::Newest(int limit, const std::string& imei,
                             std::vector<JournalEntry>& rows) {
    std::lock_guard lock(mutex_);
    const Parameters parameters(imei.empty() ? std::vector<Value>{}
                                             : std::vector<Value>{Value(imei)});
    const Result selected =
        Execute(connection_, schema::SelectStatement(!imei.empty(), limit), parameters);
    if (!Succeeded(selected)) {
        error_ = PQerrorMessage(connection_);
        return false;
    }
    for (int row = 0; row < PQntuples(selected.get()); ++row) {
        JournalEntry& entry = rows.emplace_back();
        entry.id = std::stoll(PQgetvalue(selected.get(), row, 0));
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

}  // namespace vorlen::fleet
