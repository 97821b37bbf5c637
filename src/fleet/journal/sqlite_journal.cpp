#include "fleet/journal/sqlite_journal.h"

#include <algorithm>
#include <filesystem>
#include <functional>

#include <sqlite3.h>

#include "fleet/journal/private_path.h"
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

// Nothing when SQLite refuses the statement; its reason is then the
// connection's message.
Statement Compile(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &statement, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(statement);
        return nullptr;
    }
    return Statement(statement);
}

int Bind(sqlite3_stmt* statement, int index, const Value& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return sqlite3_bind_text(statement, index, text->data(), static_cast<int>(text->size()),
                                 SQLITE_TRANSIENT);
    }
    if (const auto* number = std::get_if<long long>(&value)) {
        return sqlite3_bind_int64(statement, index, *number);
    }
    if (const auto* real = std::get_if<double>(&value)) {
        return sqlite3_bind_double(statement, index, *real);
    }
    return sqlite3_bind_null(statement, index);
}

bool BindAll(sqlite3_stmt* statement, const std::vector<Value>& values) {
    int index = 0;
    for (const Value& value : values) {
        if (Bind(statement, ++index, value) != SQLITE_OK) {
            return false;
        }
    }
    return true;
}

// Steps the statement to its end, each row to `row`: a write is in the file
// only once its statement has stepped to SQLITE_DONE.
bool StepAll(sqlite3_stmt* statement, const std::function<void(sqlite3_stmt*)>& row = {}) {
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        if (row) {
            row(statement);
        }
    }
    return step == SQLITE_DONE;
}

std::string Text(sqlite3_stmt* statement, int column) {
    const unsigned char* text = sqlite3_column_text(statement, column);
    return text == nullptr ? "" : reinterpret_cast<const char*>(text);
}

// A number read as a number: SQLite would print it as text for us to read
// back, which is most of the time a summary of a million rows takes.
void ReadColumn(sqlite3_stmt* statement, int column, const schema::Member& member,
                JournalEntry& entry) {
    if (sqlite3_column_type(statement, column) == SQLITE_NULL) {
        return;
    }
    if (const auto* real = std::get_if<double JournalEntry::*>(&member)) {
        entry.**real = sqlite3_column_double(statement, column);
    } else if (const auto* whole = std::get_if<int JournalEntry::*>(&member)) {
        entry.**whole = sqlite3_column_int(statement, column);
    } else {
        entry.*std::get<std::string JournalEntry::*>(member) = Text(statement, column);
    }
}

// A file name as an SQLite URI: its own '?', '#' and '%' escaped.
std::string FileUri(const std::string& file, const std::string& parameters) {
    std::string uri = "file:";
    for (const char c : file) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        if (c == '?' || c == '#' || c == '%') {
            uri += {'%', kHex[(c >> 4) & 0xF], kHex[c & 0xF]};
        } else {
            uri += c;
        }
    }
    return uri + "?" + parameters;
}

sqlite3* OpenFile(const std::string& uri, int flags, std::string& failure) {
    sqlite3* db = nullptr;
    const int opened =
        sqlite3_open_v2(uri.c_str(), &db, flags | SQLITE_OPEN_URI | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (opened != SQLITE_OK) {
        failure = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(opened);
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, kBusyMilliseconds);
    return db;
}

// A WAL file that may not be written can still be read when its folder
// takes no -shm file: as a file that does not change while it is read.
bool MayReadUnchanging(sqlite3* db) {
    const int code = sqlite3_errcode(db) & 0xFF;
    return code == SQLITE_CANTOPEN || code == SQLITE_READONLY;
}

// The journal's name is UTF-8 (as SQLite takes it); a path made from the
// narrow string would read it in Windows' ANSI code page.
std::filesystem::path FilePath(const std::string& file) {
    return std::filesystem::path(std::u8string(file.begin(), file.end()));
}

}  // namespace

std::unique_ptr<SqliteJournal> SqliteJournal::Open(const std::string& file, std::string& failure,
                                                   Access access) {
    std::error_code error;
    const bool there = std::filesystem::exists(FilePath(file), error);
    if (!there && access == Access::Read) {
        failure = error ? error.message() : "there is no journal file there";
        return nullptr;
    }
    if (!there && !MakePrivateFile(FilePath(file), failure)) {
        return nullptr;
    }
    const bool reading = access == Access::Read;
    sqlite3* db = OpenFile(FileUri(file, reading ? "mode=ro" : "mode=rw"),
                           reading ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE, failure);
    if (db == nullptr) {
        return nullptr;
    }
    std::unique_ptr<SqliteJournal> journal(new SqliteJournal(db));
    bool fresh = false;
    if (reading && !journal->CheckOwner(fresh) && MayReadUnchanging(db)) {
        journal.reset();
        db = OpenFile(FileUri(file, "mode=ro&immutable=1"), SQLITE_OPEN_READONLY, failure);
        if (db == nullptr) {
            return nullptr;
        }
        journal.reset(new SqliteJournal(db));
    }
    const bool ready = reading ? journal->CheckOwner(fresh) && !fresh : journal->Prepare();
    if (!ready) {
        failure = reading && fresh && journal->error_.empty() ? "the file holds no journal"
                                                               : journal->error_;
        return nullptr;
    }
    return journal;
}

// Reads what the file holds, changing nothing; false, with the reason, when
// it cannot be read or is not this program's journal.
bool SqliteJournal::CheckOwner(bool& fresh) {
    schema::Found found;
    const Statement tables = Compile(
        db_, "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'");
    const Statement columns = Compile(db_, "SELECT name FROM pragma_table_info('provisioning')");
    if (!tables || !columns ||
        !StepAll(tables.get(), [&](sqlite3_stmt* row) {
            const std::string name = Text(row, 0);
            if (name == "journal_schema") {
                found.versionTable = true;
            } else if (name != "provisioning" &&
                       std::find(schema::kSeriesTables.begin(), schema::kSeriesTables.end(),
                                 name) == schema::kSeriesTables.end()) {
                found.otherTables.push_back(name);
            }
        }) ||
        !StepAll(columns.get(),
                 [&](sqlite3_stmt* row) { found.provisioningColumns.push_back(Text(row, 0)); })) {
        return Failed("the file cannot be read as a journal");
    }
    if (found.versionTable) {
        const Statement version = Compile(db_, schema::VersionQuery());
        if (!version || !StepAll(version.get(), [&](sqlite3_stmt* row) {
                if (sqlite3_column_type(row, 0) != SQLITE_NULL) {
                    found.version = sqlite3_column_int64(row, 0);
                }
            })) {
            return Failed("the journal's schema version cannot be read");
        }
    }
    error_ = schema::Refusal(found, fresh, version_);
    return error_.empty();
}

// Looks first, then writes: WAL mode and the table only for a file that is
// this program's journal or holds nothing yet. The look is repeated inside
// the write transaction, so two processes opening a new file at once do not
// both create the table, nor both upgrade a journal of an earlier version;
// an upgrade is that one transaction, so it is whole or not at all.
bool SqliteJournal::Prepare() {
    bool fresh = false;
    if (!CheckOwner(fresh) || !Execute("PRAGMA journal_mode=WAL") || !Execute("BEGIN IMMEDIATE")) {
        return false;
    }
    if (!CheckOwner(fresh)) {
        Execute("ROLLBACK");
        return false;
    }
    std::vector<std::string> statements;
    if (fresh) {
        statements = schema::CreateStatements(schema::Dialect::Sqlite);
        statements.push_back(schema::VersionInsert());
    } else if (version_ < schema::kSchemaVersion) {
        statements = schema::UpgradeStatements(version_, schema::Dialect::Sqlite);
    }
    statements.push_back("COMMIT");
    for (const std::string& statement : statements) {
        if (!Execute(statement)) {
            const std::string reason = error_;
            Execute("ROLLBACK");
            error_ = reason;
            return false;
        }
    }
    version_ = schema::kSchemaVersion;
    return true;
}

SqliteJournal::~SqliteJournal() { sqlite3_close_v2(db_); }

// The reason, read from the connection before anything else can replace it.
bool SqliteJournal::Failed(const std::string& what) {
    error_ = what + ": " + sqlite3_errmsg(db_);
    return false;
}

// A write has taken when it ran to its end and changed exactly one row.
bool SqliteJournal::Written(sqlite3_stmt* statement, const std::string& what) {
    if (!StepAll(statement)) {
        taking_ = false;
        return Failed(what);
    }
    if (sqlite3_changes(db_) != 1) {
        error_ = what + ": the journal holds no such row";
        return false;
    }
    taking_ = true;
    return true;
}

bool SqliteJournal::Run(const std::string& sql) {
    std::lock_guard lock(mutex_);
    return Execute(sql);
}

bool SqliteJournal::Execute(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        error_ = message != nullptr ? message : sqlite3_errmsg(db_);
        sqlite3_free(message);
        return false;
    }
    return true;
}

std::int64_t SqliteJournal::Begin(const JournalEntry& entry) {
    std::lock_guard lock(mutex_);
    return Inserted(entry);
}

std::int64_t SqliteJournal::Inserted(const JournalEntry& entry) {
    const Statement insert = Compile(db_, schema::InsertStatement());
    if (!insert || !BindAll(insert.get(), schema::Values(entry, true))) {
        taking_ = false;
        Failed("the row cannot be written");
        return 0;
    }
    std::int64_t id = 0;
    const auto saved = [&id](sqlite3_stmt* row) { id = sqlite3_column_int64(row, 0); };
    if (!StepAll(insert.get(), saved)) {
        taking_ = false;
        Failed("the row cannot be written");
        return 0;
    }
    if (id == 0 || sqlite3_changes(db_) != 1) {
        error_ = "the row cannot be written: the journal gave back no row";
        return 0;
    }
    taking_ = true;
    return id;
}

// The first value of the statement's first row into `number` (left as it is
// when there is no row); false when the statement fails.
bool SqliteJournal::Number(const std::string& sql, const std::vector<Value>& values,
                           long long& number) {
    const Statement statement = Compile(db_, sql);
    return statement && BindAll(statement.get(), values) &&
           StepAll(statement.get(),
                   [&number](sqlite3_stmt* row) { number = sqlite3_column_int64(row, 0); });
}

bool SqliteJournal::Numbers(const std::string& imei, const std::vector<std::string>& series,
                            bool draw, std::vector<long long>& numbers) {
    numbers.assign(series.size(), 0);
    for (std::size_t i = 0; i < series.size(); ++i) {
        const std::vector<Value> tracker{Value(series[i]), Value(imei)};
        if (!Number(schema::NumberOfStatement(), tracker, numbers[i])) {
            return Failed("the numbers cannot be read");
        }
        if (draw && numbers[i] == 0 &&
            (!Number(schema::DrawStatement(), {Value(series[i])}, numbers[i]) || numbers[i] == 0 ||
             !Number(schema::KeepNumberStatement(),
                     {Value(series[i]), Value(imei), Value(numbers[i])}, numbers[i]))) {
            return Failed("no number can be drawn");
        }
    }
    return true;
}

bool SqliteJournal::NumbersOf(const std::string& imei, const std::vector<std::string>& series,
                              std::vector<long long>& numbers) {
    std::lock_guard lock(mutex_);
    return Numbers(imei, series, false, numbers);
}

// BEGIN IMMEDIATE takes the file's write lock first: two processes drawing
// at once take turns.
std::int64_t SqliteJournal::BeginNumbered(JournalEntry entry,
                                          const std::vector<std::string>& series,
                                          const NumberedValues& deviceValues,
                                          std::vector<long long>& numbers) {
    std::lock_guard lock(mutex_);
    if (!Execute("BEGIN IMMEDIATE")) {
        error_ = "no number can be drawn: " + error_;
        return 0;
    }
    std::int64_t id = 0;
    if (Numbers(entry.imei, series, true, numbers)) {
        entry.deviceValues = deviceValues(numbers);
        id = Inserted(entry);
    }
    if (id == 0 || !Execute("COMMIT")) {
        const std::string reason = error_;
        Execute("ROLLBACK");
        error_ = reason;
        numbers.clear();
        return 0;
    }
    return id;
}

bool SqliteJournal::Finish(const JournalEntry& entry) {
    std::lock_guard lock(mutex_);
    std::vector<Value> values = schema::Values(entry, false);
    values.emplace_back(static_cast<long long>(entry.id));
    const Statement update = Compile(db_, schema::UpdateStatement());
    if (!update || !BindAll(update.get(), values)) {
        taking_ = false;
        return Failed("the row cannot be completed");
    }
    return Written(update.get(), "row " + std::to_string(entry.id) + " cannot be completed");
}

bool SqliteJournal::Newest(int limit, const std::string& imei, std::vector<JournalEntry>& rows) {
    return Select(schema::SelectStatement(!imei.empty(), limit, version_), imei, rows);
}

bool SqliteJournal::Oldest(int limit, std::vector<JournalEntry>& rows) {
    return Select(schema::OldestStatement(limit), "", rows);
}

bool SqliteJournal::Select(const std::string& sql, const std::string& imei,
                           std::vector<JournalEntry>& rows) {
    std::lock_guard lock(mutex_);
    const Statement select = Compile(db_, sql);
    if (!select || (!imei.empty() && Bind(select.get(), 1, imei) != SQLITE_OK)) {
        return Failed("the journal cannot be read");
    }
    const auto read = [&rows](sqlite3_stmt* statement) {
        JournalEntry& row = rows.emplace_back();
        row.id = sqlite3_column_int64(statement, 0);
        for (std::size_t i = 0; i < schema::kColumns.size(); ++i) {
            const auto* text = sqlite3_column_text(statement, static_cast<int>(i) + 1);
            schema::SetFromText(row, i, reinterpret_cast<const char*>(text));
        }
    };
    return StepAll(select.get(), read) || Failed("the journal cannot be read");
}

bool SqliteJournal::Find(const JournalFilter& filter, long long limit, const JournalRowSink& row) {
    std::lock_guard lock(mutex_);
    const schema::Query query = schema::FindStatement(filter, limit, version_);
    const Statement select = Compile(db_, query.sql);
    if (!select || !BindAll(select.get(), query.parameters)) {
        return Failed("the journal cannot be read");
    }
    JournalEntry entry;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(select.get())) == SQLITE_ROW) {
        entry = JournalEntry();
        entry.id = sqlite3_column_int64(select.get(), 0);
        for (std::size_t i = 0; i < schema::kColumns.size(); ++i) {
            ReadColumn(select.get(), static_cast<int>(i) + 1, schema::kColumns[i].member, entry);
        }
        if (!row(entry)) {
            return true;
        }
    }
    return step == SQLITE_DONE || Failed("the journal cannot be read");
}

bool SqliteJournal::Count(const JournalFilter& filter, long long& count) {
    std::lock_guard lock(mutex_);
    const schema::Query query = schema::CountStatement(filter, version_);
    const Statement select = Compile(db_, query.sql);
    if (!select || !BindAll(select.get(), query.parameters) ||
        !StepAll(select.get(), [&count](sqlite3_stmt* row) { count = sqlite3_column_int64(row, 0); })) {
        return Failed("the journal cannot be read");
    }
    return true;
}

std::string SqliteJournal::LastError() const {
    std::lock_guard lock(mutex_);
    return error_;
}

JournalHealth SqliteJournal::Health() const {
    std::lock_guard lock(mutex_);
    return {taking_, 0, taking_ ? "" : error_};
}

}  // namespace vorlen::fleet
