// The journal in one SQLite file. Several processes may write the same file
// at once: the file is in WAL mode, each statement is a transaction of its
// own, and a writer waits for the others instead of failing. A row counts as
// kept only once its statement has run to its end and changed that one row.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "fleet/journal/journal.h"
#include "fleet/journal/schema.h"

struct sqlite3;
struct sqlite3_stmt;

namespace vorlen::fleet {

class SqliteJournal : public Journal {
public:
    enum class Access { Write, Read };

    // For writing, a missing file is created (its owner's only), a file
    // holding nothing of a journal gets the tables, and a journal of an
    // earlier schema version is upgraded; for reading, the file must be
    // there, and is read as it is. Either way a file that is not this
    // program's journal, or holds a version it does not know, is refused and
    // left as it was.
    // Nothing, with the reason in `failure`, when it cannot be opened.
    static std::unique_ptr<SqliteJournal> Open(const std::string& file, std::string& failure,
                                               Access access = Access::Write);
    ~SqliteJournal() override;

    std::int64_t Begin(const JournalEntry& entry) override;
    bool Finish(const JournalEntry& entry) override;
    bool Newest(int limit, const std::string& imei, std::vector<JournalEntry>& rows) override;
    bool Find(const JournalFilter& filter, long long limit, const JournalRowSink& row) override;
    bool Count(const JournalFilter& filter, long long& count) override;
    bool NumbersOf(const std::string& imei, const std::vector<std::string>& series,
                   std::vector<long long>& numbers) override;
    std::int64_t BeginNumbered(JournalEntry entry, const std::vector<std::string>& series,
                               const NumberedValues& deviceValues,
                               std::vector<long long>& numbers) override;
    std::string LastError() const override;
    JournalHealth Health() const override;

    // The oldest `limit` rows, oldest first.
    bool Oldest(int limit, std::vector<JournalEntry>& rows);
    // Statements without parameters, run to their end; false with the reason
    // in LastError.
    bool Run(const std::string& sql);

private:
    explicit SqliteJournal(sqlite3* db) : db_(db) {}
    bool CheckOwner(bool& fresh);
    bool Prepare();
    bool Execute(const std::string& sql);
    bool Select(const std::string& sql, const std::string& imei, std::vector<JournalEntry>& rows);
    std::int64_t Inserted(const JournalEntry& entry);
    bool Number(const std::string& sql, const std::vector<schema::Value>& values,
                long long& number);
    bool Numbers(const std::string& imei, const std::vector<std::string>& series, bool draw,
                 std::vector<long long>& numbers);
    bool Failed(const std::string& what);
    bool Written(sqlite3_stmt* statement, const std::string& what);

    sqlite3* db_;
    mutable std::mutex mutex_;
    std::string error_;
    bool taking_ = true;
    int version_ = 0;  // the journal's schema version, as found or made
};

}  // namespace vorlen::fleet
