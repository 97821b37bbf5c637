#include "fleet/journal/sqlite_journal.h"

#include <sqlite3.h>

#include "fleet/journal/schema.h"

namespace vorlen::fleet {
namespace {

using schema::Value;

// Long enough for another station's statement to end; each is one row.
constexpr int kBusyMilliseconds = 30000;

struct Finalize {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

Statement Compile(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &statement, nullptr);
    return Statement(statement);
}

void Bind(sqlite3_stmt* statement, int index, const Value& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        sqlite3_bind_text(statement, index, text->data(), static_cast<int>(text->size()),
                          SQLITE_TRANSIENT);
    } else if (const auto* number = std::get_if<long long>(&value)) {
        sqlite3_bind_int64(statement, index, *number);
    } else if (const auto* real = std::get_if<double>(&value)) {
        sqlite3_bind_double(statement, index, *real);
    } else {
        sqlite3_bind_null(statement, index);
    }
}

// Runs a statement that returns no row, or none that is wanted.
bool Execute(sqlite3* db, const std::string& sql) {
    return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

}  // namespace

std::unique_ptr<SqliteJournal> SqliteJournal::Open(const std::string& file,
                                                   std::string& failure) {
    sqlite3* db = nullptr;
    const int opened = sqlite3_open_v2(
        file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
        nullptr);
    std::unique_ptr<SqliteJournal> journal(new SqliteJournal(db));
    if (opened != SQLITE_OK || !journal->Prepare()) {
        failure = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(opened);
        if (!journal->error_.empty()) {
            failure = journal->error_;
        }
        return nullptr;
    }
    return journal;
}

// The table is created in one write transaction, so two processes opening a
// new file at once do not both create it.
bool SqliteJournal::Prepare() {
    sqlite3_busy_timeout(db_, kBusyMilliseconds);
    if (!Execute(db_, "PRAGMA journal_mode=WAL") || !Execute(db_, "BEGIN IMMEDIATE")) {
        return false;
    }
    for (const std::string& statement : schema::CreateStatements(schema::Dialect::Sqlite)) {
        if (!Execute(db_, statement)) {
            Execute(db_, "ROLLBACK");
            return false;
        }
    }
    if (!Execute(db_, schema::VersionInsert()) || !Execute(db_, "COMMIT")) {
        Execute(db_, "ROLLBACK");
        return false;
    }
    const Statement version = Compile(db_, schema::VersionQuery());
    if (!version || sqlite3_step(version.get()) != SQLITE_ROW) {
        return false;
    }
    if (sqlite3_column_int(version.get(), 0) > schema::kSchemaVersion) {
        error_ = "the journal was written by a later vorlen-provision (schema version " +
                 std::to_string(sqlite3_column_int(version.get(), 0)) + ")";
        return false;
    }
    return true;
}

SqliteJournal::~SqliteJournal() { sqlite3_close_v2(db_); }

std::int64_t SqliteJournal::Begin(const JournalEntry& entry) {
    std::lock_guard lock(mutex_);
    const Statement insert = Compile(db_, schema::InsertStatement());
    if (!insert) {
        error_ = sqlite3_errmsg(db_);
        return 0;
    }
    int index = 0;
    for (const Value& value : schema::Values(entry, true)) {
        Bind(insert.get(), ++index, value);
    }
    if (sqlite3_step(insert.get()) != SQLITE_ROW) {
        error_ = sqlite3_errmsg(db_);
        return 0;
    }
    return sqlite3_column_int64(insert.get(), 0);
}

bool SqliteJournal::Finish(const JournalEntry& entry) {
    std::lock_guard lock(mutex_);
    const Statement update = Compile(db_, schema::UpdateStatement());
    if (!update) {
        error_ = sqlite3_errmsg(db_);
        return false;
    }
    int index = 0;
    for (const Value& value : schema::Values(entry, false)) {
        Bind(update.get(), ++index, value);
    }
    sqlite3_bind_int64(update.get(), ++index, entry.id);
    if (sqlite3_step(update.get()) != SQLITE_DONE) {
        error_ = sqlite3_errmsg(db_);
        return false;
    }
    return true;
}

bool SqliteJournal::Newest(int limit, const std::string& imei, std::vector<JournalEntry>& rows) {
    std::lock_guard lock(mutex_);
    const Statement select = Compile(db_, schema::SelectStatement(!imei.empty(), limit));
    if (!select) {
        error_ = sqlite3_errmsg(db_);
        return false;
    }
    if (!imei.empty()) {
        Bind(select.get(), 1, imei);
    }
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(select.get())) == SQLITE_ROW) {
        JournalEntry& row = rows.emplace_back();
        row.id = sqlite3_column_int64(select.get(), 0);
        for (std::size_t i = 0; i < schema::kColumns.size(); ++i) {
            const auto* text = sqlite3_column_text(select.get(), static_cast<int>(i) + 1);
            schema::SetFromText(row, i, reinterpret_cast<const char*>(text));
        }
    }
    if (step != SQLITE_DONE) {
        error_ = sqlite3_errmsg(db_);
        return false;
    }
    return true;
}

std::string SqliteJournal::LastError() const {
    std::lock_guard lock(mutex_);
    return error_;
}

}  // namespace vorlen::fleet
