// The journal in a PostgreSQL database that several stations share. Every
// row is one INSERT ... RETURNING id and later one UPDATE of that id, so rows
// of stations writing at once never mix; each command's status is checked,
// and an update counts only when it changed that one row.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "fleet/journal/journal.h"
#include "fleet/journal/schema.h"

struct pg_conn;
struct pg_result;

namespace vorlen::fleet {

class PostgresJournal : public Journal {
public:
    enum class Access { Write, Read };

    // `uri`: a libpq connection URI. For writing, the tables are created in a
    // database that holds nothing of a journal, and a journal of an earlier
    // schema version is upgraded; for reading, it is read as it is. A table
    // provisioning of other columns, or a version this program does not
    // know, is refused and nothing is changed.
    // Nothing, with the reason in `failure`, when it cannot be opened.
    static std::unique_ptr<PostgresJournal> Open(const std::string& uri, std::string& failure,
                                                 Access access = Access::Write);
    ~PostgresJournal() override;

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

    // The connection is up: a failed command was the server's refusal, not
    // an outage.
    bool Connected() const;
    // Connects again, as opened; true once the server answers.
    bool Reconnect();
    // The server's id of the row that started at `entry.started` on its
    // station and port, inserted unless it is there: a row sent again after
    // its answer was lost is not doubled. 0 when it cannot be had.
    std::int64_t Adopt(const JournalEntry& entry);

private:
    explicit PostgresJournal(pg_conn* connection) : connection_(connection) {}
    bool Prepare(Access access);
    bool CheckOwner(bool& fresh);
    bool Failed(const pg_result* result, const std::string& what);
    std::int64_t Inserted(const JournalEntry& entry);
    void StopReading();
    bool Number(const std::string& sql, const std::vector<schema::Value>& values,
                long long& number);
    bool Numbers(const std::string& imei, const std::vector<std::string>& series, bool draw,
                 std::vector<long long>& numbers);

    pg_conn* connection_;
    mutable std::mutex mutex_;
    std::string error_;
    bool outage_ = false;  // the last command met no server
    int version_ = 0;      // the journal's schema version, as found or made
};

}  // namespace vorlen::fleet
